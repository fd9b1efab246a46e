// The scaled copy of a picture's part into another: sharp blocks above 1, averages below, pulled
// a source row at a time so that a picture made on demand makes only the rows it is asked for.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/pixels/bitmap.h"
#include "platform/pixels/raster.h"

namespace vimbrel {

// Fills `row` (one row, n wide) with the source pixels [x0, x0 + n) of source row y, white where the
// source has none. Called from several threads at once, each with its own row.
using SourceRow = std::function<void(std::int64_t y, std::int64_t x0, Bitmap& row)>;

// Target pixel (to.x + i, to.y + j) (clipped to `dst`) shows the source around point
// (sx + (i + 1/2) / scale, sy + (j + 1/2) / scale):
// - scale >= 1: the one source pixel there, so each source pixel is a block of whole target pixels;
//   at scale 1 with whole sx, sy this is a plain copy;
// - scale < 1: the average of the source pixels the target pixel covers, up to `samples` x `samples`
//   of them spread evenly over it: a box filter where it covers that few, a supersampled one beyond
//   (a view that moves keeps little shimmer, at a cost that follows the view rather than the canvas).
// The target's rows are shared out between two threads on a large copy.
void scale_copy(Bitmap& dst, PixelRect to, double sx, double sy, double scale, const SourceRow& source,
                int samples = 2);

// The source rows of a whole bitmap: its pixels, white beyond its edges.
SourceRow scaled_rows_of(const Bitmap& src);

}  // namespace vimbrel
