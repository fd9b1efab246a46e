// Checks shared by the tests of the picture readers.
#pragma once

#include <QImage>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/pixels/bitmap.h"

namespace vimbrel::test {

// A file name as a test row's name: letters and digits kept, everything else "_".
inline std::string row_name(std::string name) {
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

// The largest difference of any channel between the bitmap and a picture read by Qt.
inline int worst_channel_difference(const Bitmap& b, const QImage& reference) {
  const QImage ref = reference.convertToFormat(QImage::Format_RGB32);
  int worst = 0;
  for (int y = 0; y < b.height(); ++y) {
    for (int x = 0; x < b.width(); ++x) {
      const std::uint32_t p = b.at(x, y), q = ref.pixel(x, y);
      for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)));
      if ((p >> 24) != 0xFF) return 256;  // every pixel must be opaque
    }
  }
  return worst;
}

}  // namespace vimbrel::test
