// Raster operations on bitmaps: bit-block transfer with the sixteen binary raster operations, filled box.
#pragma once

#include <cstdint>

#include "platform/pixels/bitmap.h"

namespace vimbrel {

// Draw modes are the binary raster-operation codes 1..16 (13 copies, 7 XORs, 9 ANDs, ...).
inline constexpr int kDrawModeCopy = 13;

// A rectangle in whole pixels, half-open: [x, x + w) × [y, y + h).
struct PixelRect {
  std::int64_t x = 0, y = 0, w = 0, h = 0;
};

// Combines a source pixel S with a destination pixel D under `mode`; alpha is kept 0xFF.
std::uint32_t combine(int mode, std::uint32_t d, std::uint32_t s);

// The part of `dst` that a copy of the w × h rectangle at (sx, sy) of `src` to (x, y) of `dst`
// writes: the rectangle clipped against both bitmaps, empty (w or h 0) when nothing is written. Its
// source lies at the same offset, (sx − x, sy − y), as before the clipping.
PixelRect blit_target(const Bitmap& dst, const Bitmap& src, std::int64_t x, std::int64_t y, std::int64_t w,
                      std::int64_t h, std::int64_t sx, std::int64_t sy);

// Copies the w × h rectangle at (sx, sy) of `src` to (x, y) of `dst`, combined by `mode`. The
// rectangle is clipped against both bitmaps (see blit_target); pixels outside either are left as
// they are. `src` and `dst` may be the same bitmap only when the rectangles do not overlap.
void blit(Bitmap& dst, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, const Bitmap& src,
          std::int64_t sx, std::int64_t sy, int mode);

// Fills the box with corners (x1, y1) and (x2, y2), both included, clipped to the bitmap.
void fill_box(Bitmap& dst, std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
              std::uint32_t colour);

// Fills a half-open rectangle, clipped to the bitmap.
void fill_rect(Bitmap& dst, PixelRect r, std::uint32_t colour);

// The sixteen-colour palette of the runtime's colour numbers (0 black ... 15 white) as 0xFFRRGGBB.
std::uint32_t palette_colour(int number);

}  // namespace vimbrel
