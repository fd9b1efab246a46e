#include "platform/pixels/raster.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/pixels/runtime_error.h"
#include "tests/support/pictures.h"

namespace vimbrel {
namespace {

// Truth table of each binary raster operation: the result bit for (D, S) = (0,0), (0,1), (1,0), (1,1).
struct RopRow {
  int mode;
  int bits[4];
};

constexpr RopRow kRops[] = {
    {1, {0, 0, 0, 0}},  {2, {1, 0, 0, 0}},  {3, {0, 0, 1, 0}},  {4, {1, 0, 1, 0}},
    {5, {0, 1, 0, 0}},  {6, {1, 1, 0, 0}},  {7, {0, 1, 1, 0}},  {8, {1, 1, 1, 0}},
    {9, {0, 0, 0, 1}},  {10, {1, 0, 0, 1}}, {11, {0, 0, 1, 1}}, {12, {1, 0, 1, 1}},
    {13, {0, 1, 0, 1}}, {14, {1, 1, 0, 1}}, {15, {0, 1, 1, 1}}, {16, {1, 1, 1, 1}},
};

TEST(Raster, EveryModeFollowsItsTruthTableBitByBitAndKeepsAlpha) {
  // D and S chosen so that each of the four (d, s) combinations occurs in some colour bits.
  const std::uint32_t d = 0xFF00FF0Fu, s = 0xFF0F0FF0u;
  for (const RopRow& row : kRops) {
    std::uint32_t want = 0;
    for (int bit = 0; bit < 24; ++bit) {
      const int db = (d >> bit) & 1, sb = (s >> bit) & 1;
      want |= static_cast<std::uint32_t>(row.bits[db * 2 + sb]) << bit;
    }
    want |= 0xFF000000u;
    EXPECT_EQ(combine(row.mode, d, s), want) << "mode " << row.mode;

    // The block transfer gives the same as the pixel rule.
    Bitmap dst = Bitmap::create(3, 1), src = Bitmap::create(3, 1);
    std::ranges::fill(dst.pixels(), d);
    std::ranges::fill(src.pixels(), s);
    blit(dst, 0, 0, 3, 1, src, 0, 0, row.mode);
    EXPECT_EQ(dst.at(2, 0), want) << "mode " << row.mode;
  }
}

TEST(Raster, ModesOutsideOneToSixteenAreRefused) {
  EXPECT_THROW(combine(0, 0, 0), RuntimeError);
  Bitmap b = Bitmap::create(1, 1);
  EXPECT_THROW(blit(b, 0, 0, 1, 1, b, 0, 0, 17), RuntimeError);
}

// A source whose pixel value encodes its own coordinates.
Bitmap numbered(int w, int h) {
  return test::picture(
      w, h, [](int x, int y) { return 0xFF000000u | static_cast<std::uint32_t>(y * 256 + x + 1); });
}

std::uint32_t src_px(int x, int y) {
  return 0xFF000000u | static_cast<std::uint32_t>(y * 256 + x + 1);
}

struct ClipCase {
  const char* name;
  int x, y, w, h, sx, sy;
};

TEST(Raster, CopyIsClippedAgainstTargetAndSourceAtEveryEdge) {
  const ClipCase cases[] = {
      {"negative-target-x", -2, 1, 4, 2, 0, 0}, {"negative-target-y", 1, -3, 2, 5, 1, 0},
      {"past-target-right", 4, 0, 5, 2, 0, 0},  {"past-target-bottom", 0, 3, 2, 9, 0, 0},
      {"past-source-right", 0, 0, 9, 1, 4, 1},  {"past-source-bottom", 0, 0, 2, 9, 0, 3},
      {"negative-source", 2, 2, 3, 3, -1, -2},  {"entirely-outside", 9, 9, 3, 3, 0, 0},
      {"zero-size", 1, 1, 0, 3, 0, 0},
  };
  const Bitmap src = numbered(6, 5);
  for (const ClipCase& c : cases) {
    Bitmap dst = Bitmap::create(6, 5);
    blit(dst, c.x, c.y, c.w, c.h, src, c.sx, c.sy, kDrawModeCopy);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 6; ++x) {
        const int sx = x - c.x + c.sx, sy = y - c.y + c.sy;
        const bool inside =
            x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h && sx >= 0 && sx < 6 && sy >= 0 && sy < 5;
        EXPECT_EQ(dst.at(x, y), inside ? src_px(sx, sy) : 0xFF000000u) << c.name << " at " << x << "," << y;
      }
    }
  }
}

TEST(Raster, FilledBoxIncludesBothCornersAndIsClipped) {
  Bitmap b = Bitmap::create(5, 4);
  fill_box(b, 1, 1, 2, 2, palette_colour(15));
  EXPECT_EQ(b.at(1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(b.at(2, 2), 0xFFFFFFFFu);
  EXPECT_EQ(b.at(3, 2), 0xFF000000u);
  EXPECT_EQ(b.at(0, 0), 0xFF000000u);

  // Corners given the other way round, and far outside the bitmap.
  fill_box(b, 100, 100, -100, -100, palette_colour(12));
  for (const std::uint32_t p : b.pixels()) EXPECT_EQ(p, 0xFFFF0000u);
}

TEST(Raster, PaletteHasBlackAndWhiteAtTheirNumbers) {
  EXPECT_EQ(palette_colour(0), 0xFF000000u);
  EXPECT_EQ(palette_colour(15), 0xFFFFFFFFu);
  EXPECT_THROW(palette_colour(16), RuntimeError);
}

}  // namespace
}  // namespace vimbrel
