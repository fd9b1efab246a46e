// The EXIF orientation of a JPEG file and the mapping it asks for between stored and shown pixels.
#pragma once

#include <cstdint>

namespace vimbrel {

// The Orientation tag (1..8) of the APP1 Exif segment of the first `size` bytes of the open file
// `fd`; 1 when there is none or it is broken. Only the segments before the first scan are read.
// RuntimeError 7 when those cannot be held in memory.
int exif_orientation(int fd, std::uint64_t size);

// True for the orientations that swap width and height (5..8).
inline bool orientation_swaps_sides(int orientation) {
  return orientation >= 5 && orientation <= 8;
}

// The stored pixel shown at (x, y) of the upright picture; `width` and `height` are the stored sizes.
struct StoredPixel {
  std::int64_t x = 0, y = 0;
};
StoredPixel stored_pixel(int orientation, std::int64_t x, std::int64_t y, std::int64_t width,
                         std::int64_t height);

}  // namespace vimbrel
