// Grey pictures for the alignment search: one byte a pixel, and the halving that builds its pyramid.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pixels/bitmap.h"
#include "platform/pixels/raster.h"

namespace vimbrel {

struct GreyPicture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;  // rows contiguous

  const std::uint8_t* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width; }
  std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
};

// The luma (0.299 R + 0.587 G + 0.114 B, in eighths of 256) of the rectangle `part` of `picture`; `part`
// must lie inside the picture.
GreyPicture grey_of(const Bitmap& picture, PixelRect part);

// Each pixel the mean of a 2 × 2 block; an odd last row or column is dropped, so that pixel i of the
// half covers pixels 2i and 2i + 1.
GreyPicture half_of(const GreyPicture& grey);

}  // namespace vimbrel
