#include "sources/image_reader.h"

#include <string>

#include "join/new_canvas.h"
#include "join/renderer.h"
#include "platform/pixels/runtime_error.h"
#include "platform/runtime/path_builtins.h"
#include "platform/runtime/ui_text.h"
#include "sources/crop_sliders.h"
#include "sources/cutout.h"
#include "sources/work_folder_check.h"

namespace vimbrel {
namespace {

// What differs between the A and B readers.
struct ReaderTwin {
  Twin twin;
  std::int16_t new_button;     // the load button whose event resets the crop itself
  Window Controls::*selected;  // radio button that hands the crop sliders to this slot
  Window Controls::*other;
  void (*fit_crop)(Session&, Window);
};

constexpr ReaderTwin kReadA{Twin::A, 53, &Controls::RADIO5, &Controls::RADIO6, &ACG_SRID_CHK};
constexpr ReaderTwin kReadB{Twin::B, 54, &Controls::RADIO6, &Controls::RADIO5, &BCG_SRID_CHK};

// Reads `load_path` into the slot's bitmap, a non-bitmap through the converter and the work file.
void read_file(Session& s, ImageSlot& image) {
  JoinDocument& d = s.doc;
  if (read_directly(image.file_ext)) {
    s.rt.LOADBITMAPFILE(image.bitmap, d.load.load_path);
  } else {
    KILL(d.work_file_path);  // a left-over work file; "?" and "*" are plain characters here
    // Success shows in whether the work file reads.
    ConvertedPicture converted = s.rt.converter().convert(d.load.load_path, d.work_file_path);
    // Why the converter wrote nothing says more than the missing work file does.
    const std::string why = std::move(converted.failure);
    const std::string warning = std::move(converted.warning);
    try {
      s.rt.LOADBITMAPFILE(image.bitmap, d.work_file_path, std::move(converted));
    } catch (RuntimeError& e) {
      if (!why.empty()) e.detail = why;
      throw;
    }
    if (!warning.empty()) s.rt.note_warning(warning);
    KILL(d.work_file_path);
  }
  image.width = s.rt.GETBITMAPWIDTH(image.bitmap);
  image.height = s.rt.GETBITMAPHEIGHT(image.bitmap);
}

void report_failure(Session& s, Window owner, int code) {
  s.rt.MESSAGEBOX(owner, s.doc.load.load_path,
                  code == errc::kOutOfMemory ? UI_TEXT("ロードする為のメモリが足りません")
                                             : UI_TEXT("このファイルは表示できません"),
                  0, 0);
}

// Reads the file and, when that fails, the slot's previous file once more. The slot is left holding
// the previous picture again, or nothing when there was none or it cannot be read either.
void read_with_recovery(Session& s, Window owner, ImageSlot& image) {
  JoinDocument& d = s.doc;
  for (int attempt = 0;; ++attempt) {
    if (!read_directly(image.file_ext) && !work_folder_usable(d)) {
      // The picture is not to blame: the conversion has nowhere to write.
      s.rt.set_error_detail(work_folder_detail(d));
      s.rt.MESSAGEBOX(owner, d.load.load_path, work_folder_message(s), 0, 0);
    } else {
      const std::optional<RuntimeError> error = trap([&] { read_file(s, image); });
      if (!error) return;
      s.rt.set_error_detail(error->cause());
      report_failure(s, owner, error->code);
    }
    d.load.load_failed = 1;
    // Never again after one read back, and not at all when the previous file is the one that failed.
    if (attempt > 0 || image.file_path.empty() || image.file_path == d.load.load_path) return;
    d.load.load_path = image.file_path;
    std::string drive, dir, name;
    SPLIT_PATH(image.file_path, drive, dir, name, image.file_ext);
  }
}

void set_crop_bounds(Session& s, ImageSlot& image) {
  image.src_left_max = crop_bound(image.width);
  image.src_right_min = static_cast<std::int16_t>(-image.src_left_max);
  image.src_top_max = crop_bound(image.height);
  image.src_bottom_min = static_cast<std::int16_t>(-image.src_top_max);
  s.rt.SETSCROLLRANGE(s.c.HSCROLL2, 0, image.src_left_max);
  s.rt.SETSCROLLRANGE(s.c.HSCROLL3, image.src_right_min, 0);
  s.rt.SETSCROLLRANGE(s.c.VSCROLL2, 0, image.src_top_max);
  s.rt.SETSCROLLRANGE(s.c.VSCROLL3, image.src_bottom_min, 0);
}

// A picture read into the slot: the cut-out window and the crop sliders follow it. With `refit` (a
// reload) the crop is kept, fitted to the new size, and the canvas is made again and drawn.
void take_picture(Session& s, Window owner, const ReaderTwin& t, ImageSlot& image, bool refit) {
  if (twin_of(s.doc.cutout.cutout_source) == t.twin) {
    s.rt.SHOWWINDOW(s.c.FORM4, -1);
    LOAD_KCG(s, owner);
  }
  s.rt.SETCHECK(s.c.*t.selected, 1);
  s.rt.SETCHECK(s.c.*t.other, 0);
  set_crop_bounds(s, image);
  if (!refit) return;
  t.fit_crop(s, owner);
  image.src_width = image.width + image.src_right_off - image.src_left;
  image.src_height = image.height + image.src_bottom_off - image.src_top;
  SUB_NEW(s, owner);
  LOAD_SCG(s, owner);
}

void read_image(Session& s, Window owner, const ReaderTwin& t) {
  JoinDocument& d = s.doc;
  ImageSlot& image = d.slot(t.twin);
  d.load.last_loaded = stored(t.twin);
  if (s.rt.CHECKOBJECT(image.bitmap) != 0) s.rt.DELETEOBJECT(image.bitmap);
  d.load.load_failed = 0;
  const float width = image.width, height = image.height;
  read_with_recovery(s, owner, image);
  if (d.load.load_failed == 0) {
    take_picture(s, owner, t, image, d.load.load_button != t.new_button);
  } else if (s.rt.CHECKOBJECT(image.bitmap) != 0 && (image.width != width || image.height != height)) {
    // The previous file changed on disk since the join took it: its sizes, crop and canvas follow
    // the picture read back, as a reload's would.
    take_picture(s, owner, t, image, true);
  }
  // Otherwise the crop, bounds, canvas and title stay as they were.
}

}  // namespace

bool read_directly(const std::string& ext) {
  return ext == ".bmp" || ext == ".BMP";
}

std::int16_t crop_bound(float size) {
  return size > 1000 ? std::int16_t{1000} : static_cast<std::int16_t>(size - 1);
}

void LOAD_ABMP(Session& s, Window owner) {
  read_image(s, owner, kReadA);
}

void LOAD_BBMP(Session& s, Window owner) {
  read_image(s, owner, kReadB);
}

}  // namespace vimbrel
