#include "join/clipboard.h"

#include <optional>
#include <string>

#include "join/compose.h"
#include "join/save_region.h"
#include "platform/pixels/runtime_error.h"
#include "platform/runtime/path_builtins.h"
#include "platform/runtime/ui_text.h"

namespace vimbrel {
namespace {

constexpr const char* kPastedA = UI_TEXT("クリップボード（Ａ）");
constexpr const char* kPastedB = UI_TEXT("クリップボード（Ｂ）");

}  // namespace

std::string pasted_file(const JoinDocument& d, Twin twin) {
  std::string drive, dir, name, ext;
  SPLIT_PATH(d.work_file_path, drive, dir, name, ext);
  return drive + dir + (twin == Twin::A ? kPastedA : kPastedB);
}

void MENUPASTE_ON(Session& s, Window owner) {
  const bool as_a = s.doc.a.width <= 0;
  // Each slot has a file of its own, so that a paste into B never changes the file A was read
  // from (a reload, or the read back after a failed load, reads it again).
  const std::string file = pasted_file(s.doc, as_a ? Twin::A : Twin::B);
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
