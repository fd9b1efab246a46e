#include "platform/imageio/png_file.h"

#include "platform/imageio/picture_rows.h"
#include "platform/imageio/qt_codecs.h"
#include "platform/pixels/runtime_error.h"

namespace vimbrel {
namespace {

void write_rgb_png(std::int64_t width, std::int64_t height, const RgbRowSource& row,
                   const std::string& path) {
  const QtCodecs* codecs = qt_codecs();
  if (!codecs) throw RuntimeError{errc::kPathAccess};
  codecs->write_png(width, height, row, path);
}

}  // namespace

void write_png_file(const Bitmap& bitmap, const std::string& path) {
  write_rgb_png(bitmap.width(), bitmap.height(), rows_of(bitmap), path);
}

void write_png_file(std::int64_t width, std::int64_t height, const StripPainter& paint,
                    const std::string& path) {
  if (width <= 0 || height <= 0) throw RuntimeError{errc::kPathAccess};
  write_rgb_png(width, height, top_down_rows(width, height, paint), path);
}

}  // namespace vimbrel
