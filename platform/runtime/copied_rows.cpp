#include "platform/runtime/copied_rows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "platform/imageio/bmp_format.h"

namespace vimbrel {

CopiedDraw clipped_to_sources(CopiedDraw d, std::span<const PictureSize> sizes) {
  for (CopyLayer& l : d.layers) {
    const PictureSize size = l.source < sizes.size() ? sizes[l.source] : PictureSize{};
    const std::int64_t dx = l.sx - l.to.x, dy = l.sy - l.to.y;
    const std::int64_t x0 = std::max(l.to.x, -dx), y0 = std::max(l.to.y, -dy);
    const std::int64_t x1 = std::min(l.to.x + l.to.w, size.width - dx);
    const std::int64_t y1 = std::min(l.to.y + l.to.h, size.height - dy);
    l.to = {x0, y0, std::max<std::int64_t>(x1 - x0, 0), std::max<std::int64_t>(y1 - y0, 0)};
    l.sx = x0 + dx, l.sy = y0 + dy;
  }
  std::erase_if(d.layers, [](const CopyLayer& l) { return l.to.w == 0 || l.to.h == 0; });
  return d;
}

namespace {

// Fills n pixels with one colour's three bytes, doubling what is written.
void fill_bgr(std::uint8_t* bgr, std::int64_t n, std::uint32_t colour) {
  if (n <= 0) return;
  bgr[0] = static_cast<std::uint8_t>(colour), bgr[1] = static_cast<std::uint8_t>(colour >> 8);
  bgr[2] = static_cast<std::uint8_t>(colour >> 16);
  const auto bytes = static_cast<std::size_t>(n) * 3;
  for (std::size_t done = 3; done < bytes; done *= 2)
    std::memcpy(bgr + done, bgr, std::min(done, bytes - done));
}

}  // namespace

void paint_copied_row(const CopiedDraw& d, std::span<const SourceBand> bands, std::int64_t y, std::int64_t x0,
                      std::int64_t x1, std::uint8_t* bgr) {
  // The background goes only where no layer lies; the layers are copied over it in order.
  struct Part {
    std::int64_t from, to;
  };
  std::array<Part, kMostCopyLayers> parts{};
  std::size_t n = 0;
  for (const CopyLayer& l : d.layers) {
    if (y < l.to.y || y >= l.to.y + l.to.h || n == kMostCopyLayers) continue;
    parts[n++] = {std::max(l.to.x, x0), std::min(l.to.x + l.to.w, x1)};
  }
  std::array<Part, kMostCopyLayers> sorted = parts;
  for (std::size_t i = 1; i < n; ++i)  // by start; a few at most
    for (std::size_t j = i; j > 0 && sorted[j].from < sorted[j - 1].from; --j)
      std::swap(sorted[j], sorted[j - 1]);
  std::int64_t at = x0;
  for (std::size_t i = 0; i < n; ++i) {
    if (sorted[i].from >= sorted[i].to) continue;
    fill_bgr(bgr + (at - x0) * 3, sorted[i].from - at, d.background);
    at = std::max(at, sorted[i].to);
  }
  fill_bgr(bgr + (at - x0) * 3, x1 - at, d.background);
  std::size_t k = 0;
  for (const CopyLayer& l : d.layers) {
    if (y < l.to.y || y >= l.to.y + l.to.h || k == kMostCopyLayers) continue;
    const Part p = parts[k++];
    if (p.from >= p.to) continue;
    const SourceBand& band = bands[l.source];
    const std::int64_t sy = y + l.sy - l.to.y - band.first_row, sx = p.from + l.sx - l.to.x - band.first_col;
    std::uint8_t* out = bgr + (p.from - x0) * 3;
    if (band.bgr.data != nullptr) {
      std::memcpy(out, band.bgr.row(sy) + sx * 3, static_cast<std::size_t>(p.to - p.from) * 3);
    } else if (band.spans != nullptr) {
      band.spans->read_bgr24_span(sy, sx, p.to - p.from, out);
    } else if (band.pixels != nullptr) {
      pixels_to_bgr24(band.pixels->row(static_cast<int>(sy)) + sx, out,
                      static_cast<std::size_t>(p.to - p.from));
    }
  }
}

}  // namespace vimbrel
