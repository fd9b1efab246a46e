#include "platform/pixels/raster.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/pixels/runtime_error.h"

namespace vimbrel {
namespace {

constexpr std::uint32_t kAlpha = 0xFF000000u;

template <int Mode>
constexpr std::uint32_t rop(std::uint32_t d, std::uint32_t s) {
  if constexpr (Mode == 1) return 0;
  if constexpr (Mode == 2) return ~(d | s);
  if constexpr (Mode == 3) return d & ~s;
  if constexpr (Mode == 4) return ~s;
  if constexpr (Mode == 5) return s & ~d;
  if constexpr (Mode == 6) return ~d;
  if constexpr (Mode == 7) return d ^ s;
  if constexpr (Mode == 8) return ~(d & s);
  if constexpr (Mode == 9) return d & s;
  if constexpr (Mode == 10) return ~(d ^ s);
  if constexpr (Mode == 11) return d;
  if constexpr (Mode == 12) return d | ~s;
  if constexpr (Mode == 13) return s;
  if constexpr (Mode == 14) return s | ~d;
  if constexpr (Mode == 15) return d | s;
  if constexpr (Mode == 16) return ~0u;
  return s;
}

template <int Mode>
void combine_row(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, std::size_t n) {
  if constexpr (Mode == 13) {
    std::memcpy(d, s, n * sizeof(std::uint32_t));
  } else {
    for (std::size_t i = 0; i < n; ++i) d[i] = rop<Mode>(d[i], s[i]) | kAlpha;
  }
}

using RowFn = void (*)(std::uint32_t*, const std::uint32_t*, std::size_t);

template <std::size_t... I>
constexpr std::array<RowFn, 16> row_table(std::index_sequence<I...>) {
  return {&combine_row<static_cast<int>(I) + 1>...};
}

constexpr auto kRows = row_table(std::make_index_sequence<16>{});

template <std::size_t... I>
constexpr std::array<std::uint32_t (*)(std::uint32_t, std::uint32_t), 16> pixel_table(
    std::index_sequence<I...>) {
  return {&rop<static_cast<int>(I) + 1>...};
}

constexpr auto kPixels = pixel_table(std::make_index_sequence<16>{});

int checked_mode(int mode) {
  if (mode < 1 || mode > 16) throw RuntimeError{errc::kIllegalCall};
  return mode;
}

}  // namespace

std::uint32_t combine(int mode, std::uint32_t d, std::uint32_t s) {
  return kPixels[checked_mode(mode) - 1](d, s) | kAlpha;
}

PixelRect blit_target(const Bitmap& dst, const Bitmap& src, std::int64_t x, std::int64_t y, std::int64_t w,
                      std::int64_t h, std::int64_t sx, std::int64_t sy) {
  // Clip the left/top edges against both bitmaps, moving the other side by the same amount.
  const std::int64_t cut_x = std::max({std::int64_t{0}, -x, -sx});
  const std::int64_t cut_y = std::max({std::int64_t{0}, -y, -sy});
  x += cut_x, sx += cut_x, w -= cut_x;
  y += cut_y, sy += cut_y, h -= cut_y;
  w = std::min({w, dst.width() - x, src.width() - sx});
  h = std::min({h, dst.height() - y, src.height() - sy});
  if (w <= 0 || h <= 0) return {x, y, 0, 0};
  return {x, y, w, h};
}

void blit(Bitmap& dst, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, const Bitmap& src,
          std::int64_t sx, std::int64_t sy, int mode) {
  const RowFn fn = kRows[checked_mode(mode) - 1];
  const PixelRect t = blit_target(dst, src, x, y, w, h, sx, sy);
  const std::int64_t dx = sx - x, dy = sy - y;
  for (std::int64_t r = 0; r < t.h; ++r) {
    fn(dst.row(static_cast<int>(t.y + r)) + t.x, src.row(static_cast<int>(t.y + r + dy)) + t.x + dx,
       static_cast<std::size_t>(t.w));
  }
}

void fill_rect(Bitmap& dst, PixelRect r, std::uint32_t colour) {
  const std::int64_t x1 = std::max<std::int64_t>(r.x, 0);
  const std::int64_t y1 = std::max<std::int64_t>(r.y, 0);
  const std::int64_t x2 = std::min<std::int64_t>(r.x + r.w, dst.width());
  const std::int64_t y2 = std::min<std::int64_t>(r.y + r.h, dst.height());
  if (x1 >= x2 || y1 >= y2) return;
  for (std::int64_t y = y1; y < y2; ++y) {
    std::uint32_t* row = dst.row(static_cast<int>(y));
    std::fill(row + x1, row + x2, colour);
  }
}

void fill_box(Bitmap& dst, std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
              std::uint32_t colour) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  fill_rect(dst, {x1, y1, x2 - x1 + 1, y2 - y1 + 1}, colour);
}

std::uint32_t palette_colour(int number) {
  static constexpr std::array<std::uint32_t, 16> kPalette = {
      0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
      0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  if (number < 0 || number > 15) throw RuntimeError{errc::kIllegalCall};
  return kPalette[static_cast<std::size_t>(number)] | kAlpha;
}

}  // namespace vimbrel
