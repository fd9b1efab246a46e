#include "join/grey_picture.h"

namespace vimbrel {

GreyPicture grey_of(const Bitmap& picture, PixelRect part) {
  GreyPicture g;
  g.width = static_cast<int>(part.w);
  g.height = static_cast<int>(part.h);
  g.pixels.resize(static_cast<std::size_t>(g.width) * g.height);
  const int width = g.width;  // a local: the byte stores below could otherwise change it
  for (int y = 0; y < g.height; ++y) {
    const std::uint32_t* src = picture.row(static_cast<int>(part.y) + y) + part.x;
    std::uint8_t* dst = g.row(y);
    // The weighted sum stays below 65536: 16-bit lanes, which vectorise on every x86-64.
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = src[x];
      const auto r = static_cast<std::uint16_t>((p >> 16) & 0xFF);
      const auto gr = static_cast<std::uint16_t>((p >> 8) & 0xFF);
      const auto b = static_cast<std::uint16_t>(p & 0xFF);
      const auto sum = static_cast<std::uint16_t>(r * 77 + gr * 150 + b * 29 + 128);
      dst[x] = static_cast<std::uint8_t>(sum >> 8);
    }
  }
  return g;
}

GreyPicture half_of(const GreyPicture& grey) {
  GreyPicture h;
  h.width = grey.width / 2;
  h.height = grey.height / 2;
  h.pixels.resize(static_cast<std::size_t>(h.width) * h.height);
  const int width = h.width;
  for (int y = 0; y < h.height; ++y) {
    const std::uint8_t* a = grey.row(2 * y);
    const std::uint8_t* b = grey.row(2 * y + 1);
    std::uint8_t* dst = h.row(y);
    for (int x = 0; x < width; ++x) {
      const unsigned sum = a[2 * x] + a[2 * x + 1] + b[2 * x] + b[2 * x + 1];
      dst[x] = static_cast<std::uint8_t>((sum + 2) >> 2);
    }
  }
  return h;
}

}  // namespace vimbrel
