#include "join/correlation_map.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <memory>
#include <mutex>

#include "platform/pixels/runtime_error.h"

namespace vimbrel {
namespace {

// FFTW's planner is not thread-safe; plans are made one at a time.
std::mutex& planner_lock() {
  static std::mutex m;
  return m;
}

struct FftwFree {
  void operator()(void* p) const { fftw_free(p); }
};
template <typename T>
using FftwBuffer = std::unique_ptr<T[], FftwFree>;

template <typename T>
FftwBuffer<T> fftw_buffer(std::size_t count) {
  auto* p = static_cast<T*>(fftw_malloc(sizeof(T) * count));
  if (p == nullptr) throw RuntimeError{7};
  return FftwBuffer<T>(p);
}

// The smallest n' >= n whose only prime factors are 2, 3 and 5: FFTW is fastest on those.
int smooth_size(int n) {
  for (int k = n;; ++k) {
    int r = k;
    for (const int p : {2, 3, 5})
      while (r % p == 0) r /= p;
    if (r == 1) return k;
  }
}

// Summed-area table of a picture's values and their squares, both less the picture's mean, so that
// sums over large areas keep their precision.
struct AreaSums {
  int width = 0;
  std::vector<double> sum, sum_sq;  // (width + 1) × (height + 1)

  AreaSums(const GreyPicture& g, double mean) : width(g.width) {
    const std::size_t w1 = static_cast<std::size_t>(g.width) + 1;
    sum.assign(w1 * (static_cast<std::size_t>(g.height) + 1), 0.0);
    sum_sq.assign(sum.size(), 0.0);
    for (int y = 0; y < g.height; ++y) {
      double row = 0, row_sq = 0;
      const std::uint8_t* p = g.row(y);
      for (int x = 0; x < g.width; ++x) {
        const double v = p[x] - mean;
        row += v;
        row_sq += v * v;
        sum[(y + 1) * w1 + x + 1] = sum[y * w1 + x + 1] + row;
        sum_sq[(y + 1) * w1 + x + 1] = sum_sq[y * w1 + x + 1] + row_sq;
      }
    }
  }
  // Sums over [x0, x1) × [y0, y1).
  double over(const std::vector<double>& t, std::int64_t x0, std::int64_t y0, std::int64_t x1,
              std::int64_t y1) const {
    const std::size_t w1 = static_cast<std::size_t>(width) + 1;
    return t[y1 * w1 + x1] - t[y0 * w1 + x1] - t[y1 * w1 + x0] + t[y0 * w1 + x0];
  }
};

double mean_of(const GreyPicture& g) {
  double s = 0;
  for (const std::uint8_t p : g.pixels) s += p;
  return g.pixels.empty() ? 0 : s / static_cast<double>(g.pixels.size());
}

// The picture less `mean`, at the top left of a pw × ph field of zeros, transformed.
void transform(const GreyPicture& g, double mean, int pw, int ph, double* field, fftw_complex* out) {
  std::fill(field, field + static_cast<std::size_t>(pw) * ph, 0.0);
  for (int y = 0; y < g.height; ++y) {
    const std::uint8_t* p = g.row(y);
    double* dst = field + static_cast<std::size_t>(y) * pw;
    for (int x = 0; x < g.width; ++x) dst[x] = p[x] - mean;
  }
  fftw_plan plan;
  {
    std::lock_guard lock(planner_lock());
    plan = fftw_plan_dft_r2c_2d(ph, pw, field, out, FFTW_ESTIMATE);
  }
  fftw_execute(plan);
  std::lock_guard lock(planner_lock());
  fftw_destroy_plan(plan);
}

}  // namespace

CorrelationMap correlation_map(const GreyPicture& fixed, const GreyPicture& moving, OffsetRange range,
                               std::int64_t min_area) {
  CorrelationMap map;
  range.u_min = std::max(range.u_min, 1 - moving.width);
  range.u_max = std::min(range.u_max, fixed.width - 1);
  range.v_min = std::max(range.v_min, 1 - moving.height);
  range.v_max = std::min(range.v_max, fixed.height - 1);
  map.range = range;
  if (range.empty()) return map;

  // A linear correlation of all overlapping offsets needs no wrap-around: w_f + w_m - 1 points a row.
  const int pw = smooth_size(fixed.width + moving.width - 1);
  const int ph = smooth_size(fixed.height + moving.height - 1);
  const std::size_t points = static_cast<std::size_t>(pw) * ph;
  const std::size_t spectrum = static_cast<std::size_t>(pw / 2 + 1) * ph;
  auto field = fftw_buffer<double>(points);
  auto f_hat = fftw_buffer<fftw_complex>(spectrum);
  auto m_hat = fftw_buffer<fftw_complex>(spectrum);

  const double mean_f = mean_of(fixed), mean_m = mean_of(moving);
  transform(fixed, mean_f, pw, ph, field.get(), f_hat.get());
  transform(moving, mean_m, pw, ph, field.get(), m_hat.get());
  // F · conj(M): its inverse at (u, v) is the sum over x of f(x) m(x − (u, v)).
  for (std::size_t i = 0; i < spectrum; ++i) {
    const double a = f_hat[i][0], b = f_hat[i][1], c = m_hat[i][0], d = m_hat[i][1];
    f_hat[i][0] = a * c + b * d;
    f_hat[i][1] = b * c - a * d;
  }
  fftw_plan inverse;
  {
    std::lock_guard lock(planner_lock());
    inverse = fftw_plan_dft_c2r_2d(ph, pw, f_hat.get(), field.get(), FFTW_ESTIMATE);
  }
  fftw_execute(inverse);
  {
    std::lock_guard lock(planner_lock());
    fftw_destroy_plan(inverse);
  }

  const AreaSums fs(fixed, mean_f), ms(moving, mean_m);
  const double scale = 1.0 / static_cast<double>(points);
  const int cols = map.columns();
  map.scores.assign(static_cast<std::size_t>(cols) * (range.v_max - range.v_min + 1),
                    std::numeric_limits<float>::quiet_NaN());
  for (int v = range.v_min; v <= range.v_max; ++v) {
    for (int u = range.u_min; u <= range.u_max; ++u) {
      const Overlap ov = overlap_at(fixed.width, fixed.height, moving.width, moving.height, {u, v});
      const std::int64_t n = ov.area();
      if (n < min_area || n == 0) continue;
      const double sf = fs.over(fs.sum, ov.x0, ov.y0, ov.x1, ov.y1);
      const double sff = fs.over(fs.sum_sq, ov.x0, ov.y0, ov.x1, ov.y1);
      const double sm = ms.over(ms.sum, ov.x0 - u, ov.y0 - v, ov.x1 - u, ov.y1 - v);
      const double smm = ms.over(ms.sum_sq, ov.x0 - u, ov.y0 - v, ov.x1 - u, ov.y1 - v);
      const std::size_t at =
          static_cast<std::size_t>((v % ph + ph) % ph) * pw + static_cast<std::size_t>((u % pw + pw) % pw);
      const double sfm = field[at] * scale;
      const auto score = score_of_sums(static_cast<double>(n), sf, sm, sff, smm, sfm);
      if (score)
        map.scores[static_cast<std::size_t>(v - range.v_min) * cols + (u - range.u_min)] =
            static_cast<float>(*score);
    }
  }
  return map;
}

}  // namespace vimbrel
