#include "sources/load_buttons.h"

#include <string>

#include "join/new_canvas.h"
#include "join/renderer.h"
#include "join/shown_work.h"
#include "platform/runtime/path_builtins.h"
#include "platform/runtime/ui_text.h"
#include "sources/image_reader.h"

namespace vimbrel {
namespace {

// Every picture the program reads first, then the given types; the windows translate the label.
constexpr const char* kImageFiles = UI_TEXT("画像ファイル");
const std::string kOpenFilter =
    std::string(kImageFiles) +
    " (*.BMP *.JPG *.JPEG *.JPE *.PNG *.GIF *.ICO *.PBM *.PGM *.PPM *.XBM *.XPM *.TIF *.TIFF "
    "*.WEBP);(*.BMP);(*.JPG);(*.*)";

// What differs between the A and B load buttons.
struct LoadTwin {
  Twin twin;
  std::int16_t button;
  const char* dialog_title;
  void (*reader)(Session&, Window);
  bool enables_everything;       // B: every command becomes available
  int enables_before_title = 0;  // A: "Ｂ画像ロード"
  int enables_after_title = 0;   // A: "Ａ画像切り出し"
};

const LoadTwin kLoadA{Twin::A, 53, UI_TEXT("Ａ画像にするファイルは？"), &LOAD_ABMP, false, 54, 61};
const LoadTwin kLoadB{Twin::B, 54, UI_TEXT("Ｂ画像にするファイルは？"), &LOAD_BBMP, true};

void enable(Session& s, int button) {
  if (button != 0) s.rt.ENABLEWINDOW(s.c.BUTTON[static_cast<std::size_t>(button)], -1);
}

// A new file was read into the slot: take its names, reset its crop, make a canvas and draw.
void take_new_file(Session& s, Window owner, const LoadTwin& t, const std::string& folder,
                   const std::string& title) {
  ImageSlot& image = s.doc.slot(t.twin);
  if (t.enables_everything) s.shell.MENU_ALLSET(owner);
  image.open_dir = folder;
  image.file_path = s.doc.load.load_path;
  enable(s, t.enables_before_title);
  image.file_title = title;
  s.shell.TITLE_SET(owner);
  enable(s, t.enables_after_title);
  image.src_left = image.src_right_off = image.src_top = image.src_bottom_off = 0;
  s.rt.SETSCROLLPOS(s.c.HSCROLL2, image.src_left);
  s.rt.SETSCROLLPOS(s.c.HSCROLL3, image.src_right_off);
  s.rt.SETSCROLLPOS(s.c.VSCROLL2, image.src_top);
  s.rt.SETSCROLLPOS(s.c.VSCROLL3, image.src_bottom_off);
  image.src_width = image.width;
  image.src_height = image.height;
  SUB_NEW(s, owner);
  LOAD_SCG(s, owner);
  // The join is whole now: the controller moves off it where it can (unless the user placed it).
  if (t.enables_everything) s.rt.PLACEFORM(s.c.FORM3, shown_work(s.doc));
}

void load_new(Session& s, Window owner, const LoadTwin& t) {
  JoinDocument& d = s.doc;
  ImageSlot& image = d.slot(t.twin);
  // While neither dialog has moved the current folder, B starts where the last A file came from.
  if (t.twin == Twin::B && d.b.open_dir == CURRENT_DIR("")) d.b.open_dir = d.a.open_dir;
  d.load.load_button = t.button;
  d.load.load_path = s.rt.WINOPENDLG(owner, t.dialog_title, image.open_dir, kOpenFilter, 0);
  if (d.load.load_path != kCancelled) {
    std::string drive, dir, name;
    SPLIT_PATH(d.load.load_path, drive, dir, name, image.file_ext);
    t.reader(s, owner);
    if (d.load.load_failed == 0) take_new_file(s, owner, t, drive + dir, name + image.file_ext);
  }
  d.load.load_button = 0;
}

void reload(Session& s, Window owner, const LoadTwin& t) {
  const ImageSlot& image = s.doc.slot(t.twin);
  if (image.width == 0) return;
  s.doc.load.load_path = image.file_path;  // the extension in force when that file was read stays
  t.reader(s, owner);
  if (s.doc.load.load_failed == 0) s.shell.TITLE_SET(owner);
}

}  // namespace

void BUTTON53_ON(Session& s, Window owner) {
  load_new(s, owner, kLoadA);
}
void BUTTON54_ON(Session& s, Window owner) {
  load_new(s, owner, kLoadB);
}
void BUTTON55_ON(Session& s, Window owner) {
  reload(s, owner, kLoadA);
}
void BUTTON56_ON(Session& s, Window owner) {
  reload(s, owner, kLoadB);
}

void add_loading_events(Session& s, EventTable& table) {
  VIMBREL_EVENT(table, s, BUTTON53_ON);
  VIMBREL_EVENT(table, s, BUTTON54_ON);
  VIMBREL_EVENT(table, s, BUTTON55_ON);
  VIMBREL_EVENT(table, s, BUTTON56_ON);
}

}  // namespace vimbrel
