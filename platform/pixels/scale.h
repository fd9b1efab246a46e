// The scaled copy of a picture's part into another: sharp blocks above 1, averages below, pulled
// a source row at a time so that a picture made on demand makes only the rows it is asked for.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/pixels/bitmap.h"
#include "platform/pixels/raster.h"

namespace vimbrel {

// Fills out[0, n) with the source pixels [x0, x0 + n) of source row y, white where the source has none.
using SourceRow = std::function<void(std::int64_t y, std::int64_t x0, std::int64_t n, std::uint32_t* out)>;

// Target pixel (to.x + i, to.y + j) (clipped to `dst`) shows the source around point
// (sx + (i + 1/2) / scale, sy + (j + 1/2) / scale):
// - scale >= 1: the one source pixel there, so each source pixel is a block of whole target pixels;
//   at scale 1 with whole sx, sy this is a plain copy;
// - scale < 1: the average of the source pixels the target pixel covers, all of them along the row,
//   and up to `max_rows` rows spread evenly over its height (fewer rows read, some shimmer kept).
void scale_copy(Bitmap& dst, PixelRect to, double sx, double sy, double scale, const SourceRow& source,
                int max_rows = 2);

// The source rows of a whole bitmap: its pixels, white beyond its edges.
SourceRow rows_of(const Bitmap& src);

}  // namespace vimbrel
