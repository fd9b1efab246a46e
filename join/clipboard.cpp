#include "join/clipboard.h"

#include <optional>
#include <string>

#include "join/compose.h"
#include "join/save_region.h"
#include "platform/pixels/runtime_error.h"
#include "platform/runtime/path_builtins.h"
#include "platform/runtime/ui_text.h"

namespace vimbrel {

void MENUPASTE_ON(Session& s, Window owner) {
  const bool as_a = s.doc.a.width <= 0;
  std::string drive, dir, name, ext;
  SPLIT_PATH(s.doc.work_file_path, drive, dir, name, ext);
  // Each slot has a file of its own, so that a paste into B never changes the file A was read
  // from (a reload, or the read back after a failed load, reads it again).
  const std::string file = drive + dir + (as_a ? "クリップボード（Ａ）" : "クリップボード（Ｂ）");
  if (trapped([&] { KILL(file); }) != 0) return;  // an earlier paste's file, unless it is held
  const std::string picture = s.rt.CLIPBOARDPICTURE(file);
  if (picture.empty()) {
    s.rt.MESSAGEBOX(owner, UI_TEXT("貼り付け"), UI_TEXT("クリップボードに画像がありません"), 0, 0);
    return;
  }
  s.rt.press_after(as_a ? s.c.BUTTON[53] : s.c.BUTTON[54], picture);
}

void MENUCOPY_ON(Session& s, Window owner) {
  const std::optional<PixelRect> region = save_region(s.doc);
  if (!region) return;
  const ComposePlan plan = plan_composite(s, {.apply_effect = s.rt.GETCHECK(s.c.CHECK1) != 0});
  const int code = trapped([&] {
    Bitmap picture = Bitmap::create_uninitialised(region->w, region->h);
    compose(s.rt, plan, picture, *region);
    s.rt.SETCLIPBOARDPICTURE(picture);
  });
  if (code != 0) s.rt.MESSAGEBOX(owner, UI_TEXT("コピー"), UI_TEXT("コピーする為のメモリが足りません"), 0, 0);
}

void add_clipboard_events(Session& s, EventTable& table) {
  VIMBREL_EVENT(table, s, MENUPASTE_ON);
  VIMBREL_EVENT(table, s, MENUCOPY_ON);
}

}  // namespace vimbrel
