#include "join/new_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "join/canvas_settings.h"
#include "join/canvas_size.h"
#include "platform/pixels/runtime_error.h"
#include "platform/runtime/ui_text.h"

namespace vimbrel {
namespace {

// A canvas side for CREATEBITMAP. Sizes beyond any memory saturate, so that the runtime refuses them
// as out of memory instead of wrapping around.
std::int64_t bitmap_side(float v) {
  if (std::isnan(v)) return -1;
  return static_cast<std::int64_t>(std::clamp(std::round(static_cast<double>(v)), -1.0, 1e12));
}

// A number as decimal text with a blank where a plus sign would stand (5 gives " 5").
std::string signed_text(int n) {
  return (n < 0 ? "" : " ") + std::to_string(n);
}

// One attempt at the canvas picture; a failure is reported and leaves the object empty.
bool create_canvas(Session& s, Window owner) {
  JoinDocument& d = s.doc;
  const int code = trapped(
      [&] { s.rt.CREATEBITMAP(d.canvas_bitmap, bitmap_side(d.canvas_width), bitmap_side(d.canvas_height)); });
  if (code != 0) report_canvas_failure(s, owner, code);
  return code == 0;
}

// Drops the image read last (it keeps its file name, so the title shows which one failed) and
// sizes the canvas for the other one alone, without margins.
void drop_last_loaded(Session& s) {
  JoinDocument& d = s.doc;
  const std::optional<Twin> last = twin_of(d.load.last_loaded);
  if (!last) {
    d.canvas_width = d.canvas_height = 0;
    return;
  }
  ImageSlot& gone = d.slot(*last);
  const ImageSlot& kept = d.slot(other(*last));
  if (s.rt.CHECKOBJECT(gone.bitmap) != 0) s.rt.DELETEOBJECT(gone.bitmap);
  gone.width = gone.height = 0;
  gone.x = gone.y = 0;
  d.canvas_width = kept.width;
  d.canvas_height = kept.height;
}

// A margin as the settings form shows it: its decimal text, no leading blank.
std::string margin_text(float margin) {
  if (std::isnan(margin)) return "0";
  return std::to_string(std::llround(std::clamp(static_cast<double>(margin), -1e15, 1e15)));
}

constexpr const char* kDiscardQuestion =
    UI_TEXT("結合画像は保存されていません。\n破棄して新規作成しますか？");

void reset_cutout_window(Session& s) {
  JoinDocument& d = s.doc;
  d.cutout.cutout_width = d.cutout.cutout_height = 300;
  d.a.cutout_x = d.a.cutout_y = 0;
  d.b.cutout_x = d.b.cutout_y = 0;
  d.cutout.cutout_source = kNeither;
  s.rt.SHOWWINDOW(s.c.FORM4, 0);
}

}  // namespace

void report_canvas_failure(Session& s, Window owner, int code) {
  if (code == errc::kOutOfMemory) {
    s.rt.MESSAGEBOX(owner, UI_TEXT("結合画像表示エラー"), UI_TEXT("メモリが足りません"), 0, 0);
  } else {
    s.rt.MESSAGEBOX(owner, UI_TEXT("予期せぬ結合画像関連エラー"),
                    fill_text(s.rt.translated(UI_TEXT("エラー番号＝%1")), {signed_text(code)}), 0, 0);
  }
}

void SUB_NEW(Session& s, Window owner) {
  JoinDocument& d = s.doc;
  const CanvasSize size = canvas_size_for(d, attachment_side(s));
  d.canvas_width = size.width;
  d.canvas_height = size.height;

  s.rt.CLEARPICTURE(s.c.PICTURE1);
  s.rt.DELETEOBJECT(d.canvas_bitmap);
  if (!create_canvas(s, owner)) {
    drop_last_loaded(s);
    // The reduced canvas is tried once. Should that fail too, the join goes on with an empty
    // canvas rather than trying the same size again.
    const bool reduced_is_empty = d.canvas_width == 0 && d.canvas_height == 0;
    if (!create_canvas(s, owner)) {
      d.canvas_width = d.canvas_height = 0;
      if (!reduced_is_empty) {
        try {
          s.rt.CREATEBITMAP(d.canvas_bitmap, 0, 0);
        } catch (const RuntimeError&) {
          // The object stays empty; the renderer and the view draw nothing on it.
        }
      }
    }
  }
  s.rt.SETMAPMODE(d.canvas_bitmap, 1);
  s.shell.TITLE_SET(owner);
}

void BUTTON52_ON(Session& s, Window owner) {
  JoinDocument& d = s.doc;
  if (d.unsaved_changes && !s.rt.ASKBOX(owner, UI_TEXT("新規作成"), kDiscardQuestion)) return;
  s.shell.TITLE_SET(owner);
  s.rt.SHOWWINDOW(s.c.FORM2, -1);
  s.rt.SHOWWINDOW(s.c.FORM3, 0);
  s.rt.SETWINDOWTEXT(s.c.EDIT1, margin_text(d.margin_x));
  s.rt.SETWINDOWTEXT(s.c.EDIT2, margin_text(d.margin_y));
  const std::optional<Side> side = attachment_side(s);
  d.settings_opened = {static_cast<std::int16_t>(side ? static_cast<int>(*side) : 0),
                       s.rt.ISWINDOWVISIBLE(s.c.FORM4) != 0};
  s.rt.SHOWWINDOW(s.c.FORM4, 0);
}

void FORM2_CANCEL(Session& s, Window) {
  const SettingsOpened& opened = s.doc.settings_opened;
  for (const Side side : kAllSides) {
    s.rt.SETCHECK(side_radio(s.c, side), static_cast<int>(side) == opened.side ? 1 : 0);
  }
  s.rt.SHOWWINDOW(s.c.FORM3, -1);
  s.rt.SHOWWINDOW(s.c.FORM2, 0);
  if (opened.cutout_shown) s.rt.SHOWWINDOW(s.c.FORM4, -1);
}

void empty_join(Session& s, Window owner) {
  JoinDocument& d = s.doc;
  for (std::string* text :
       {&d.a.file_title, &d.b.file_title, &d.a.file_path, &d.b.file_path, &d.save_file_name}) {
    text->clear();
  }
  for (ImageSlot* img : {&d.a, &d.b}) {
    img->x = img->y = -1;
    img->undo_x = img->undo_y = 0;
    img->width = img->height = 0;
  }
  d.load.last_loaded = kNeither;
  d.unsaved_changes = false;
  SUB_NEW(s, owner);
  s.shell.MENU_RESET(owner);
  reset_cutout_window(s);
}

void add_new_canvas_events(Session& s, EventTable& table) {
  VIMBREL_EVENT(table, s, BUTTON52_ON);
  VIMBREL_EVENT(table, s, BUTTON2_ON);
  VIMBREL_EVENT(table, s, FORM2_CANCEL);
}

}  // namespace vimbrel
