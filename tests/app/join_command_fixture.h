// `vimbrel join` run in-process on two patterned pictures, with what the tests compare its output to.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "app/join_command.h"
#include "platform/imageio/bitmap_file.h"
#include "platform/pixels/raster.h"
#include "tests/support/picture_files.h"
#include "tests/support/temp_dir.h"

namespace vimbrel::test {

inline constexpr std::uint32_t kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;

// Paste the columns [from_x, w) of `src` at (x, y) of `dst` in `mode`, pixel by pixel.
inline void paste(Bitmap& dst, const Bitmap& src, int x, int y, int mode, int from_x = 0) {
  for (int sy = 0; sy < src.height(); ++sy)
    for (int sx = from_x; sx < src.width(); ++sx) {
      std::uint32_t& d = dst.at(x + sx - from_x, y + sy);
      d = combine(mode, d, src.at(sx, sy));
    }
}

class JoinCommand : public ::testing::Test {
 protected:
  JoinCommand() : a(pattern(40, 30, 1)), b(pattern(20, 50, 2)) {
    write_bitmap_file(a, dir.file("a.bmp"));
    write_bitmap_file(b, dir.file("b.bmp"));
  }
  int run(std::vector<std::string> args) {
    out.str(""), err.str("");
    return run_join_command(args, out, err);
  }
  void expect_file(const std::string& path, const Bitmap& want) {
    const Bitmap got = read_bitmap_file(path);
    ASSERT_EQ(got.width(), want.width());
    ASSERT_EQ(got.height(), want.height());
    int wrong = 0;
    for (int y = 0; y < want.height(); ++y)
      for (int x = 0; x < want.width(); ++x) wrong += got.at(x, y) != want.at(x, y);
    EXPECT_EQ(wrong, 0) << "pixels that differ";
  }
  TempDir dir;
  Bitmap a, b;
  std::ostringstream out, err;
};

}  // namespace vimbrel::test
