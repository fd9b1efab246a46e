#include "platform/imageio/png_file.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "platform/imageio/qt_codecs.h"
#include "platform/pixels/runtime_error.h"

namespace vimbrel {
namespace {

void to_rgb(const std::uint32_t* pixels, std::uint8_t* rgb, std::int64_t width) {
  for (std::int64_t x = 0; x < width; ++x) {
    const std::uint32_t p = pixels[x];
    rgb[3 * x] = static_cast<std::uint8_t>(p >> 16);
    rgb[3 * x + 1] = static_cast<std::uint8_t>(p >> 8);
    rgb[3 * x + 2] = static_cast<std::uint8_t>(p);
  }
}

void write_rgb_png(std::int64_t width, std::int64_t height, const RgbRowSource& row,
                   const std::string& path) {
  const QtCodecs* codecs = qt_codecs();
  if (!codecs) throw RuntimeError{errc::kPathAccess};
  codecs->write_png(width, height, row, path);
}

}  // namespace

bool is_png_path(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".png";
}

void write_png_file(const Bitmap& bitmap, const std::string& path) {
  write_rgb_png(
      bitmap.width(), bitmap.height(),
      [&](std::int64_t y, std::uint8_t* rgb) {
        to_rgb(bitmap.row(static_cast<int>(y)), rgb, bitmap.width());
      },
      path);
}

void write_png_file(std::int64_t width, std::int64_t height, const StripPainter& paint,
                    const std::string& path) {
  if (width <= 0 || height <= 0) throw RuntimeError{errc::kPathAccess};
  // Rows are asked for top-down; each strip of rows is painted once, when its first row is asked for.
  Bitmap strip = Bitmap::create_uninitialised(width, std::min<std::int64_t>(height, kPaintedStripRows));
  std::int64_t first = -kPaintedStripRows;  // the strip holds rows [first, first + strip.height())
  write_rgb_png(
      width, height,
      [&](std::int64_t y, std::uint8_t* rgb) {
        if (y >= first + strip.height()) {
          first = y;
          if (height - first < strip.height()) strip = Bitmap::create_uninitialised(width, height - first);
          paint(strip, first);
        }
        to_rgb(strip.row(static_cast<int>(y - first)), rgb, width);
      },
      path);
}

void write_picture_file(const Bitmap& bitmap, const std::string& path) {
  if (is_png_path(path)) {
    write_png_file(bitmap, path);
  } else {
    write_bitmap_file(bitmap, path);
  }
}

void write_picture_file(std::int64_t width, std::int64_t height, const StripPainter& paint,
                        const std::string& path) {
  if (is_png_path(path)) {
    write_png_file(width, height, paint, path);
  } else {
    write_bitmap_file(width, height, paint, path);
  }
}

}  // namespace vimbrel
