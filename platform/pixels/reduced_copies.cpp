#include "platform/pixels/reduced_copies.h"

#include <algorithm>
#include <cmath>

namespace vimbrel {
namespace {

// Sums a pixel into two 16-bit lanes each: red and blue, green (alpha dropped).
struct Sum {
  std::uint32_t rb = 0, g = 0;
  void add(std::uint32_t p) {
    rb += p & 0x00FF00FFu;
    g += (p >> 8) & 0xFFu;
  }
  std::uint32_t average(std::uint32_t n) const {
    const std::uint32_t half = n / 2;
    const std::uint32_t b = ((rb & 0xFFFFu) + half) / n, r = ((rb >> 16) + half) / n, gg = (g + half) / n;
    return 0xFF000000u | (r << 16) | (gg << 8) | b;
  }
};

}  // namespace

Bitmap halved(const Bitmap& src) {
  const int w = (src.width() + 1) / 2, h = (src.height() + 1) / 2;
  Bitmap out = Bitmap::create_uninitialised(w, h);
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* r0 = src.row(2 * y);
    const std::uint32_t* r1 = 2 * y + 1 < src.height() ? src.row(2 * y + 1) : nullptr;
    std::uint32_t* o = out.row(y);
    for (int x = 0; x < w; ++x) {
      Sum s;
      std::uint32_t n = 0;
      for (const std::uint32_t* r : {r0, r1}) {
        if (r == nullptr) continue;
        s.add(r[2 * x]), ++n;
        if (2 * x + 1 < src.width()) s.add(r[2 * x + 1]), ++n;
      }
      o[x] = s.average(n);
    }
  }
  return out;
}

std::int64_t reduced_length(std::int64_t length, int level) {
  for (int i = 0; i < level; ++i) length = (length + 1) / 2;
  return length;
}

int reduction_level(double scale) {
  if (!(scale > 0) || scale >= 0.5) return 0;
  return std::clamp(static_cast<int>(std::floor(std::log2(1 / scale) + 1e-9)), 1, 30);
}

const Bitmap& ReducedCopies::level(const Bitmap& full, int level) {
  while (static_cast<int>(levels_.size()) < level)
    levels_.push_back(halved(levels_.empty() ? full : levels_.back()));
  return levels_[static_cast<std::size_t>(level - 1)];
}

}  // namespace vimbrel
