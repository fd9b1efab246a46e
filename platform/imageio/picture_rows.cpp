#include "platform/imageio/picture_rows.h"

#include <algorithm>
#include <memory>

namespace vimbrel {

void to_rgb(const std::uint32_t* pixels, std::uint8_t* rgb, std::int64_t width) {
  for (std::int64_t x = 0; x < width; ++x) {
    const std::uint32_t p = pixels[x];
    rgb[3 * x] = static_cast<std::uint8_t>(p >> 16);
    rgb[3 * x + 1] = static_cast<std::uint8_t>(p >> 8);
    rgb[3 * x + 2] = static_cast<std::uint8_t>(p);
  }
}

RgbRowSource rows_of(const Bitmap& bitmap) {
  return [&bitmap](std::int64_t y, std::uint8_t* rgb) {
    to_rgb(bitmap.row(static_cast<int>(y)), rgb, bitmap.width());
  };
}

RgbRowSource top_down_rows(std::int64_t width, std::int64_t height, const StripPainter& paint) {
  struct Strip {
    Bitmap rows;
    std::int64_t first = -kPaintedStripRows;  // rows holds [first, first + rows.height())
  };
  auto strip = std::make_shared<Strip>();
  strip->rows = Bitmap::create_uninitialised(width, std::min<std::int64_t>(height, kPaintedStripRows));
  return [strip, width, height, &paint](std::int64_t y, std::uint8_t* rgb) {
    Strip& s = *strip;
    if (y >= s.first + s.rows.height()) {
      s.first = y;
      if (height - s.first < s.rows.height()) s.rows = Bitmap::create_uninitialised(width, height - s.first);
      paint(s.rows, s.first);
    }
    to_rgb(s.rows.row(static_cast<int>(y - s.first)), rgb, width);
  };
}

}  // namespace vimbrel
