// Picture files for tests: patterns written as bitmap files, in either row order, and files' bytes.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/imageio/bitmap_file.h"
#include "tests/support/pictures.h"

namespace vimbrel::test {

// A w × h picture of colours that differ from pixel to pixel and from seed to seed.
inline Bitmap pattern(int w, int h, std::uint32_t seed) {
  return picture(w, h, [seed](int x, int y) {
    return 0xFF000000u | ((seed * 2654435761u + x * 40503u + y * 9973u) & 0xFFFFFFu);
  });
}

inline std::string bytes_of(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

// The picture as a top-down 24-bit file: the height negated, the rows in the other order.
inline void write_top_down(const Bitmap& picture, const std::string& path) {
  write_bitmap_file(picture, path);
  std::string file = bytes_of(path);
  const std::size_t stride = (static_cast<std::size_t>(picture.width()) * 3 + 3) & ~std::size_t{3};
  std::string rows;
  for (int y = 0; y < picture.height(); ++y)
    rows += file.substr(54 + (picture.height() - 1 - y) * stride, stride);
  file.replace(54, rows.size(), rows);
  const std::int32_t height = -picture.height();
  for (int i = 0; i < 4; ++i) file[22 + i] = static_cast<char>(static_cast<std::uint32_t>(height) >> (8 * i));
  std::ofstream(path, std::ios::binary) << file;
}

}  // namespace vimbrel::test
