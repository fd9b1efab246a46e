#include "join/overlap_score.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace vimbrel {
namespace {

struct Sums {
  std::uint64_t f = 0, m = 0, ff = 0, mm = 0, fm = 0;
};

// Rows of at most this many pixels keep the per-row sums of products inside 31 bits.
constexpr std::int64_t kChunk = 32768;

// The sums over rows [y_begin, y_end) of the overlap. The inner loop keeps 32-bit sums that the
// compiler turns into vector multiply-adds.
Sums sums_over(const GreyPicture& fixed, const GreyPicture& moving, Offset o, const Overlap& ov,
               std::int64_t y_begin, std::int64_t y_end) {
  Sums s;
  for (std::int64_t y = y_begin; y < y_end; ++y) {
    const std::uint8_t* f = fixed.row(static_cast<int>(y)) + ov.x0;
    const std::uint8_t* m = moving.row(static_cast<int>(y - o.v)) + (ov.x0 - o.u);
    for (std::int64_t start = 0; start < ov.x1 - ov.x0; start += kChunk) {
      const std::int64_t n = std::min(kChunk, ov.x1 - ov.x0 - start);
      // 16-bit values into 32-bit sums: the multiply-adds of every x86-64 vector unit.
      std::int32_t sf = 0, sm = 0, sff = 0, smm = 0, sfm = 0;
      for (std::int64_t i = start; i < start + n; ++i) {
        const std::int16_t a = f[i], b = m[i];
        sf += a;
        sm += b;
        sff += a * a;
        smm += b * b;
        sfm += a * b;
      }
      s.f += sf, s.m += sm, s.ff += sff, s.mm += smm, s.fm += sfm;
    }
  }
  return s;
}

// Overlaps larger than this are summed on two threads.
constexpr std::int64_t kSplitArea = 1 << 20;

}  // namespace

Overlap overlap_at(int w_f, int h_f, int w_m, int h_m, Offset o) {
  return {std::max<std::int64_t>(0, o.u), std::max<std::int64_t>(0, o.v),
          std::min<std::int64_t>(w_f, std::int64_t{o.u} + w_m),
          std::min<std::int64_t>(h_f, std::int64_t{o.v} + h_m)};
}

std::optional<double> score_of_sums(double n, double sf, double sm, double sff, double smm, double sfm) {
  if (n <= 0) return std::nullopt;
  const double vf = sff - sf * sf / n;
  const double vm = smm - sm * sm / n;
  const double flat = kFlatDeviation * kFlatDeviation * n;
  if (vf < flat || vm < flat) return std::nullopt;
  return std::clamp((sfm - sf * sm / n) / std::sqrt(vf * vm), -1.0, 1.0);
}

std::optional<double> overlap_score(const GreyPicture& fixed, const GreyPicture& moving, Offset o) {
  const Overlap ov = overlap_at(fixed.width, fixed.height, moving.width, moving.height, o);
  const std::int64_t area = ov.area();
  if (area == 0) return std::nullopt;
  Sums s;
  if (area >= kSplitArea && ov.y1 - ov.y0 >= 2) {
    const std::int64_t mid = ov.y0 + (ov.y1 - ov.y0) / 2;
    Sums upper;
    std::thread t([&] { upper = sums_over(fixed, moving, o, ov, ov.y0, mid); });
    s = sums_over(fixed, moving, o, ov, mid, ov.y1);
    t.join();
    s.f += upper.f, s.m += upper.m, s.ff += upper.ff, s.mm += upper.mm, s.fm += upper.fm;
  } else {
    s = sums_over(fixed, moving, o, ov, ov.y0, ov.y1);
  }
  // Exact integers up to 2^53 in a double: overlaps of up to about 10^11 pixels.
  return score_of_sums(static_cast<double>(area), static_cast<double>(s.f), static_cast<double>(s.m),
                       static_cast<double>(s.ff), static_cast<double>(s.mm), static_cast<double>(s.fm));
}

}  // namespace vimbrel
