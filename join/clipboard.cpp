#include "join/clipboard.h"

#include <optional>
#include <string>

#include "join/compose.h"
#include "join/save_region.h"
#include "platform/pixels/runtime_error.h"

namespace vimbrel {

void MENUCOPY_ON(Session& s, Window owner) {
  const std::optional<PixelRect> region = save_region(s.doc);
  if (!region) return;
  const ComposePlan plan = plan_composite(s, {.apply_effect = s.rt.GETCHECK(s.c.CHECK1) != 0});
  const int code = trapped([&] {
    Bitmap picture = Bitmap::create_uninitialised(region->w, region->h);
    compose(s.rt, plan, picture, *region);
    s.rt.SETCLIPBOARDPICTURE(picture);
  });
  if (code != 0) s.rt.MESSAGEBOX(owner, "コピー", "コピーする為のメモリが足りません", 0, 0);
}

void add_clipboard_events(Session& s, EventTable& table) {
  VIMBREL_EVENT(table, s, MENUCOPY_ON);
}

}  // namespace vimbrel
