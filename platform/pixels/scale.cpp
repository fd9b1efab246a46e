#include "platform/pixels/scale.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>
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
  Bitmap line = Bitmap::create_uninitialised(n, 1);
  const std::uint32_t* row = line.row(0);
  std::int64_t last_y = 0;
  const std::uint32_t* last = nullptr;
  for (std::int64_t j = 0; j < to.h; ++j) {
    const std::int64_t y = floor_of(sy + (static_cast<double>(j0 + j) + 0.5) / scale);
    std::uint32_t* out = dst.row(static_cast<int>(to.y + j)) + to.x;
    if (last != nullptr && y == last_y) {
      std::memcpy(out, last, static_cast<std::size_t>(to.w) * 4);
      continue;
    }
    source(y, first, line);
    if (n == to.w) {
      std::memcpy(out, row, static_cast<std::size_t>(n) * 4);
    } else {
      for (std::int64_t i = 0; i < to.w; ++i)
        out[i] = row[static_cast<std::size_t>(col[static_cast<std::size_t>(i)] - first)];
    }
    last = out, last_y = y;
  }
}

// Averages: target column i covers source columns [edge[i], edge[i + 1]) (at least one), of which
// up to `samples` spread evenly are summed, over up to `samples` rows spread evenly over its height.
void reduce(Bitmap& dst, const PixelRect& to, std::int64_t i0, std::int64_t j0, double sx, double sy,
            double scale, const SourceRow& source, int samples) {
  const auto w = static_cast<std::size_t>(to.w);
  std::vector<std::int64_t> edge(w + 1);
  for (std::size_t i = 0; i <= w; ++i)
    edge[i] = floor_of(sx + static_cast<double>(i0 + static_cast<std::int64_t>(i)) / scale);
  for (std::size_t i = 1; i <= w; ++i) edge[i] = std::max(edge[i], edge[i - 1] + 1);
  const std::int64_t first = edge.front(), n = edge.back() - first;
  const int k = std::clamp(static_cast<int>(std::ceil(1 / scale - 1e-9)), 1, std::max(samples, 1));
  // The columns summed: k a target pixel (fewer where it covers fewer), as offsets into the row.
  std::vector<std::uint32_t> at;
  std::vector<std::uint32_t> start(w + 1);
  for (std::size_t i = 0; i < w; ++i) {
    start[i] = static_cast<std::uint32_t>(at.size());
    const std::int64_t span = edge[i + 1] - edge[i];
    const std::int64_t count = std::min<std::int64_t>(span, k);
    for (std::int64_t c = 0; c < count; ++c)
      at.push_back(static_cast<std::uint32_t>(edge[i] - first + (2 * c + 1) * span / (2 * count)));
  }
  start[w] = static_cast<std::uint32_t>(at.size());
  Bitmap line = Bitmap::create_uninitialised(n, 1);
  const std::uint32_t* row = line.row(0);
  std::vector<std::uint32_t> rb(w), ga(w);  // red and blue, green and alpha: two 16-bit lanes each
  for (std::int64_t j = 0; j < to.h; ++j) {
    std::fill(rb.begin(), rb.end(), 0);
    std::fill(ga.begin(), ga.end(), 0);
    for (int r = 0; r < k; ++r) {
      const double y = static_cast<double>(j0 + j) + (r + 0.5) / k;
      source(floor_of(sy + y / scale), first, line);
      for (std::size_t i = 0; i < w; ++i) {
        std::uint32_t s0 = 0, s1 = 0;
        for (std::uint32_t c = start[i]; c < start[i + 1]; ++c) {
          const std::uint32_t p = row[at[c]];
          s0 += p & 0x00FF00FFu;
          s1 += (p >> 8) & 0x00FF00FFu;
        }
        rb[i] += s0, ga[i] += s1;
      }
    }
    std::uint32_t* out = dst.row(static_cast<int>(to.y + j)) + to.x;
    for (std::size_t i = 0; i < w; ++i) {
      const std::uint32_t c = (start[i + 1] - start[i]) * static_cast<std::uint32_t>(k), half = c / 2;
      const std::uint32_t b = ((rb[i] & 0xFFFFu) + half) / c, r = ((rb[i] >> 16) + half) / c;
      const std::uint32_t g = ((ga[i] & 0xFFFFu) + half) / c;
      out[i] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
}

}  // namespace

void scale_copy(Bitmap& dst, PixelRect to, double sx, double sy, double scale, const SourceRow& source,
                int samples) {
  if (!(scale > 0)) return;
  // Clip to the target; (i0, j0) is the first target pixel kept, relative to the rectangle asked for.
  const std::int64_t x0 = std::max<std::int64_t>(to.x, 0), y0 = std::max<std::int64_t>(to.y, 0);
  const std::int64_t x1 = std::min<std::int64_t>(to.x + to.w, dst.width());
  const std::int64_t y1 = std::min<std::int64_t>(to.y + to.h, dst.height());
  if (x0 >= x1 || y0 >= y1) return;
  const std::int64_t i0 = x0 - to.x, j0 = y0 - to.y;
  const auto part = [&](std::int64_t from, std::int64_t rows) {
    const PixelRect clipped{x0, y0 + from, x1 - x0, rows};
    if (scale >= 1) {
      enlarge(dst, clipped, i0, j0 + from, sx, sy, scale, source);
    } else {
      reduce(dst, clipped, i0, j0 + from, sx, sy, scale, source, samples);
    }
  };
  const std::int64_t h = y1 - y0;
  // Source pixels read, roughly: worth a second thread past a few hundred thousand.
  const double work = static_cast<double>(x1 - x0) * static_cast<double>(h) / std::min(scale * scale, 1.0);
  if (work < 4e5 || h < 2) {
    part(0, h);
    return;
  }
  std::thread other([&] { part(h / 2, h - h / 2); });
  part(0, h / 2);
  other.join();
}

SourceRow scaled_rows_of(const Bitmap& src) {
  return [&src](std::int64_t y, std::int64_t x0, Bitmap& row) {
    const std::int64_t n = row.width();
    std::uint32_t* out = row.row(0);
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
