// `join --align`: B at the start, centre or end of A along the side it joins, or on their overlap.
#include <gtest/gtest.h>

#include <sstream>

#include "app/join_command.h"
#include "platform/imageio/bitmap_file.h"
#include "tests/support/pictures.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

// Grain with no repeat: it matches itself at one offset only.
Bitmap grain(int w, int h, std::uint32_t seed) {
  return test::picture(w, h, [seed](int x, int y) {
    std::uint32_t v = (x + 1) * 73856093u ^ (y + 1) * 19349663u ^ seed * 83492791u;
    v ^= v >> 13, v *= 0x5bd1e995u, v ^= v >> 15;
    return 0xFF000000u | (v & 0xFFFFFFu);
  });
}

Bitmap cut(const Bitmap& from, int x, int y, int w, int h) {
  return test::picture(w, h, [&](int cx, int cy) { return from.at(x + cx, y + cy); });
}

struct AlongCase {
  const char* align;
  const char* side;
  int offset;  // B's top (or left) less A's
};

void PrintTo(const AlongCase& c, std::ostream* os) {
  *os << c.side << "_" << c.align;
}

class JoinAlign : public ::testing::TestWithParam<AlongCase> {
 protected:
  int run(std::vector<std::string> args) {
    err.str("");
    std::ostringstream out;
    return run_join_command(args, out, err);
  }
  test::TempDir dir;
  std::ostringstream err;
};

// A is 40 × 30, B 20 × 50 (right) or 60 × 16 (below): the centre is ⌊(A − B) / 2⌋ past A's start.
const AlongCase kAlong[] = {
    {"start", "right", 0}, {"centre", "right", -10}, {"end", "right", -20},
    {"start", "below", 0}, {"centre", "below", -10}, {"end", "below", -20},
};

TEST_P(JoinAlign, PutsBAtTheStartCentreOrEndOfA) {
  const AlongCase& c = GetParam();
  const bool right = std::string(c.side) == "right";
  const Bitmap a = grain(40, 30, 1), b = right ? grain(20, 50, 2) : grain(60, 16, 2);
  write_bitmap_file(a, dir.file("a.bmp"));
  write_bitmap_file(b, dir.file("b.bmp"));
  ASSERT_EQ(run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("out"), "--side", c.side, "--align",
                 c.align}),
            0)
      << err.str();
  const Bitmap out = read_bitmap_file(dir.file("out.BMP"));
  // The saved picture starts at the higher (further left) of the two.
  const int a_at = -std::min(0, c.offset);
  if (right) {
    EXPECT_EQ(out.at(0, a_at), a.at(0, 0));
    EXPECT_EQ(out.at(40, a_at + c.offset), b.at(0, 0));
  } else {
    EXPECT_EQ(out.at(a_at, 0), a.at(0, 0));
    EXPECT_EQ(out.at(a_at + c.offset, 30), b.at(0, 0));
  }
}

INSTANTIATE_TEST_SUITE_P(Sides, JoinAlign, ::testing::ValuesIn(kAlong),
                         [](const auto& i) { return std::string(i.param.side) + "_" + i.param.align; });

TEST_F(JoinAlign, AutoFindsTheOverlapAndTheMoveNudgesFromThere) {
  const Bitmap scene = grain(90, 50, 3);
  write_bitmap_file(cut(scene, 0, 0, 50, 44), dir.file("a.bmp"));
  write_bitmap_file(cut(scene, 31, 5, 59, 45), dir.file("b.bmp"));
  ASSERT_EQ(run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("x"), "--align", "auto", "--effect",
                 "4", "--apply-effect"}),
            0)
      << err.str();
  EXPECT_NE(err.str().find("(31, 5) from A's, score 1.000"), std::string::npos) << err.str();
  // XOR of two equal pictures: black wherever they overlap.
  const Bitmap x = read_bitmap_file(dir.file("x.BMP"));
  ASSERT_EQ(x.width(), 90);
  int lit = 0;
  for (int y = 5; y < 44; ++y)
    for (int px = 31; px < 50; ++px) lit += x.at(px, y) != 0xFF000000u;
  EXPECT_EQ(lit, 0);

  ASSERT_EQ(
      run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("y"), "--align", "auto", "--move-b", "2,0"}),
      0);
  EXPECT_EQ(read_bitmap_file(dir.file("y.BMP")).width(), 92);
}

TEST_F(JoinAlign, AutoExitsWithOneAndTheReasonWhenNothingMatches) {
  write_bitmap_file(grain(50, 40, 4), dir.file("a.bmp"));
  write_bitmap_file(grain(50, 40, 5), dir.file("b.bmp"));
  EXPECT_EQ(run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("z"), "--align", "auto"}), 1);
  EXPECT_NE(err.str().find("no matching position: the best match scores"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace vimbrel
