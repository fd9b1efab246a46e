#include "platform/pixels/scale.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace vimbrel {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

std::int64_t floor_of(double v) {
  return static_cast<std::int64_t>(std::floor(v));
}

// Sharp blocks: target column i shows source column col[i], target row j source row floor(...).
void enlarge(Bitmap& dst, const PixelRect& to, std::int64_t i0, std::int64_t j0, double sx, double sy,
             double scale, const SourceRow& source) {
  std::vector<std::int64_t> col(static_cast<std::size_t>(to.w));
  for (std::int64_t i = 0; i < to.w; ++i)
    col[static_cast<std::size_t>(i)] = floor_of(sx + (static_cast<double>(i0 + i) + 0.5) / scale);
  const std::int64_t first = col.front(), n = col.back() - first + 1;
  std::vector<std::uint32_t> row(static_cast<std::size_t>(n));
  std::int64_t last_y = 0;
  const std::uint32_t* last = nullptr;
  for (std::int64_t j = 0; j < to.h; ++j) {
    const std::int64_t y = floor_of(sy + (static_cast<double>(j0 + j) + 0.5) / scale);
    std::uint32_t* out = dst.row(static_cast<int>(to.y + j)) + to.x;
    if (last != nullptr && y == last_y) {
      std::memcpy(out, last, static_cast<std::size_t>(to.w) * 4);
      continue;
    }
    source(y, first, n, row.data());
    if (n == to.w) {
      std::memcpy(out, row.data(), static_cast<std::size_t>(n) * 4);
    } else {
      for (std::int64_t i = 0; i < to.w; ++i)
        out[i] = row[static_cast<std::size_t>(col[static_cast<std::size_t>(i)] - first)];
    }
    last = out, last_y = y;
  }
}

// Averages: target column i covers source columns [edge[i], edge[i + 1]) (at least one).
void reduce(Bitmap& dst, const PixelRect& to, std::int64_t i0, std::int64_t j0, double sx, double sy,
            double scale, const SourceRow& source, int max_rows) {
  const auto w = static_cast<std::size_t>(to.w);
  std::vector<std::int64_t> edge(w + 1);
  for (std::size_t i = 0; i <= w; ++i)
    edge[i] = floor_of(sx + static_cast<double>(i0 + static_cast<std::int64_t>(i)) / scale);
  for (std::size_t i = 1; i <= w; ++i) edge[i] = std::max(edge[i], edge[i - 1] + 1);
  const std::int64_t first = edge.front(), n = edge.back() - first;
  std::vector<std::uint32_t> row(static_cast<std::size_t>(n));
  // Red and blue, green and alpha: two 16-bit lanes each in one 32-bit sum, flushed every 256 pixels.
  std::vector<std::uint64_t> rb(w), ga(w);
  std::vector<std::uint32_t> count(w);
  const int rows = std::clamp(static_cast<int>(std::ceil(1 / scale - 1e-9)), 1, std::max(max_rows, 1));
  for (std::int64_t j = 0; j < to.h; ++j) {
    std::fill(rb.begin(), rb.end(), 0);
    std::fill(ga.begin(), ga.end(), 0);
    std::fill(count.begin(), count.end(), 0);
    for (int k = 0; k < rows; ++k) {
      const double at = static_cast<double>(j0 + j) + (k + 0.5) / rows;
      source(floor_of(sy + at / scale), first, n, row.data());
      for (std::size_t i = 0; i < w; ++i) {
        const std::uint32_t* p = row.data() + (edge[i] - first);
        const std::uint32_t* end = row.data() + (edge[i + 1] - first);
        count[i] += static_cast<std::uint32_t>(end - p);
        while (p < end) {
          const std::uint32_t* stop = std::min(end, p + 256);
          std::uint32_t s0 = 0, s1 = 0;
          for (; p < stop; ++p) {
            s0 += *p & 0x00FF00FFu;
            s1 += (*p >> 8) & 0x00FF00FFu;
          }
          rb[i] += (s0 & 0xFFFFu) | (static_cast<std::uint64_t>(s0 >> 16) << 32);
          ga[i] += (s1 & 0xFFFFu) | (static_cast<std::uint64_t>(s1 >> 16) << 32);
        }
      }
    }
    std::uint32_t* out = dst.row(static_cast<int>(to.y + j)) + to.x;
    for (std::size_t i = 0; i < w; ++i) {
      const std::uint64_t c = count[i], half = c / 2;
      const auto b = static_cast<std::uint32_t>(((rb[i] & 0xFFFFFFFFu) + half) / c);
      const auto r = static_cast<std::uint32_t>(((rb[i] >> 32) + half) / c);
      const auto g = static_cast<std::uint32_t>(((ga[i] & 0xFFFFFFFFu) + half) / c);
      out[i] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
}

}  // namespace

void scale_copy(Bitmap& dst, PixelRect to, double sx, double sy, double scale, const SourceRow& source,
                int max_rows) {
  if (!(scale > 0)) return;
  // Clip to the target; (i0, j0) is the first target pixel kept, relative to the rectangle asked for.
  const std::int64_t x0 = std::max<std::int64_t>(to.x, 0), y0 = std::max<std::int64_t>(to.y, 0);
  const std::int64_t x1 = std::min<std::int64_t>(to.x + to.w, dst.width());
  const std::int64_t y1 = std::min<std::int64_t>(to.y + to.h, dst.height());
  if (x0 >= x1 || y0 >= y1) return;
  const std::int64_t i0 = x0 - to.x, j0 = y0 - to.y;
  const PixelRect clipped{x0, y0, x1 - x0, y1 - y0};
  if (scale >= 1) {
    enlarge(dst, clipped, i0, j0, sx, sy, scale, source);
  } else {
    reduce(dst, clipped, i0, j0, sx, sy, scale, source, max_rows);
  }
}

SourceRow rows_of(const Bitmap& src) {
  return [&src](std::int64_t y, std::int64_t x0, std::int64_t n, std::uint32_t* out) {
    if (y < 0 || y >= src.height()) {
      std::fill(out, out + n, kWhite);
      return;
    }
    const std::int64_t from = std::clamp<std::int64_t>(x0, 0, src.width());
    const std::int64_t to = std::clamp<std::int64_t>(x0 + n, 0, src.width());
    std::fill(out, out + (from - x0), kWhite);
    if (to > from)
      std::memcpy(out + (from - x0), src.row(static_cast<int>(y)) + from,
                  static_cast<std::size_t>(to - from) * 4);
    std::fill(out + std::max(to, from) - x0, out + n, kWhite);
  };
}

}  // namespace vimbrel
