#include "join/saving.h"

#include <optional>
#include <string>

#include "join/compose.h"
#include "join/new_canvas.h"
#include "join/renderer.h"
#include "join/save_region.h"
#include "platform/pixels/rounding.h"
#include "platform/pixels/runtime_error.h"
#include "platform/runtime/path_builtins.h"
#include "platform/runtime/ui_text.h"

namespace vimbrel {
namespace {

void report_failure(Session& s, Window owner, const std::string& path, int code) {
  s.rt.MESSAGEBOX(owner, path,
                  code == errc::kOutOfMemory ? UI_TEXT("保存する為のメモリが足りません")
                                             : UI_TEXT("このファイルには保存できません"),
                  0, 0);
}

// Composes `region` of the canvas plane on the canvas object, re-made at the region's size, and
// writes it. The canvas' own pixels are let go first: the redraw afterwards paints them again, and a
// huge join never holds the canvas and the region at once.
void write_region(Session& s, const PixelRect& region, const std::string& path) {
  const BitmapObject canvas = s.doc.canvas_bitmap;
  const ComposePlan plan = plan_composite(s, {.apply_effect = s.rt.GETCHECK(s.c.CHECK1) != 0});
  s.rt.DELETEOBJECT(canvas);
  s.rt.CREATEBITMAP(canvas, region.w, region.h);
  // Painted as it is written: the region is never held whole.
  defer_composite(s.rt, canvas, plan, region.x, region.y);
  s.rt.SAVEFILE(canvas, path);
}

// The canvas again at the join's size, drawn as before the save. A failure here concerns the view,
// not the file, which is written by then; it is reported as the new-canvas command reports one.
void restore_canvas(Session& s, Window owner) {
  JoinDocument& d = s.doc;
  const int code = trapped([&] {
    s.rt.DELETEOBJECT(d.canvas_bitmap);
    s.rt.CREATEBITMAP(d.canvas_bitmap, to_pixel(d.canvas_width), to_pixel(d.canvas_height));
  });
  if (code != 0) {
    // The join itself is intact; the next load or save makes a canvas again.
    report_canvas_failure(s, owner, code);
    return;
  }
  LOAD_SCG(s, owner);
}

}  // namespace

void BUTTON60_ON(Session& s, Window owner) {
  JoinDocument& d = s.doc;
  if (d.save_dir == CURRENT_DIR("")) d.save_dir = d.a.open_dir;
  d.save_file_name =
      s.rt.WINSAVEDLG(owner, UI_TEXT("セーブファイル名は？"), d.save_dir + d.a.file_path, kSaveTypes, 0);
  if (d.save_file_name == kCancelled) return;
  const std::string extension =
      s.save_extension.empty() ? save_type_extension(d.save_file_name) : s.save_extension;
  const std::string path =
      file_under_any_extension_case(save_file_path(d.save_file_name, d.save_dir, extension));
  const std::optional<PixelRect> region = save_region(d);
  if (!region) return;
  const std::optional<RuntimeError> error = trap([&] { write_region(s, *region, path); });
  if (error) {
    s.rt.set_error_detail(error->cause());
    report_failure(s, owner, path, error->code);
  }
  restore_canvas(s, owner);
  if (!error) d.unsaved_changes = false;
}

void add_saving_events(Session& s, EventTable& table) {
  VIMBREL_EVENT(table, s, BUTTON60_ON);
}

}  // namespace vimbrel
