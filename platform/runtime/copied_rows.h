// Drawings that only copy, painted straight into B, G, R bytes: a 24-bit bitmap file's rows are then
// its sources' own bytes, never turned into pixels and back.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/pixels/raster.h"
#include "platform/runtime/source_band.h"

namespace vimbrel {

// A rectangle of source `source` copied so that source point (sx, sy) lands at the corner of `to`.
struct CopyLayer {
  std::size_t source = 0;
  PixelRect to{};
  std::int64_t sx = 0, sy = 0;
};

// A background colour (0xFFRRGGBB) and layers copied over it, lower first: at most kMostCopyLayers.
inline constexpr std::size_t kMostCopyLayers = 8;
struct CopiedDraw {
  std::uint32_t background = 0;
  std::vector<CopyLayer> layers;
};

struct PictureSize {
  std::int64_t width = 0, height = 0;
};

// The drawing with each layer cut to the part that finds pixels in its source, as a copy from it is
// clipped: source i is a picture of sizes[i] (0 × 0 for none).
CopiedDraw clipped_to_sources(CopiedDraw d, std::span<const PictureSize> sizes);

// Paints [x0, x1) of row y of the drawing, cut to its sources, into `bgr` (pixel x0 first). `bands`
// hold, for each source, every pixel of it that the row reads (or the file it is read from). Throws
// what reading a file throws.
void paint_copied_row(const CopiedDraw& d, std::span<const SourceBand> bands, std::int64_t y, std::int64_t x0,
                      std::int64_t x1, std::uint8_t* bgr);

}  // namespace vimbrel
