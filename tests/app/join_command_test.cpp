#include "app/join_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <QImage>

#include "platform/imageio/bitmap_file.h"
#include "platform/pixels/raster.h"
#include "tests/app/join_command_fixture.h"
#include "tests/support/pictures.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;
using test::JoinCommand;
using test::kBlack;
using test::kWhite;
using test::paste;
using test::pattern;

TEST_F(JoinCommand, SideBySideWithMarginsWritesTheBoundingBoxOfBothPictures) {
  ASSERT_EQ(run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("out.bmp"), "--margin", "10,6"}), 0)
      << err.str();
  EXPECT_EQ(out.str(), dir.file("out.BMP") + "\n");
  Bitmap want = Bitmap::create(60, 50);
  std::ranges::fill(want.pixels(), kWhite);
  paste(want, a, 0, 0, 13);
  paste(want, b, 40, 0, 13);
  expect_file(dir.file("out.BMP"), want);
}

TEST_F(JoinCommand, BelowMovedIntoAOverlapIsXoredWhenTheEffectIsApplied) {
  ASSERT_EQ(run({"--side=below", "--effect", "4", "--apply-effect", "--move-b", "0,-10", dir.file("a.bmp"),
                 dir.file("b.bmp"), "-o", dir.file("x.bmp")}),
            0)
      << err.str();
  Bitmap want = Bitmap::create(40, 70);
  std::ranges::fill(want.pixels(), kBlack);
  paste(want, a, 0, 0, 13);
  paste(want, b, 0, 20, 7);
  expect_file(dir.file("x.BMP"), want);
}

TEST_F(JoinCommand, ACropOnTheLeftLeavesAGapOfBackground) {
  ASSERT_EQ(run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("c.bmp"), "--side", "left", "--crop-a",
                 "5,0,0,0"}),
            0)
      << err.str();
  Bitmap want = Bitmap::create(60, 50);
  std::ranges::fill(want.pixels(), kWhite);
  paste(want, b, 0, 0, 13);
  paste(want, a, 25, 0, 13, 5);
  expect_file(dir.file("c.BMP"), want);
}

TEST_F(JoinCommand, PngHoldsTheSamePixelsAsTheBitmapInTwentyFourBitsWithoutAlpha) {
  const std::vector<std::string> join = {
      dir.file("a.bmp"), dir.file("b.bmp"), "--side", "below",    "--margin", "7,3", "--effect", "4",
      "--apply-effect",  "--move-b",        "-3,2",   "--crop-b", "2,4,3,1"};
  auto with = [&join](std::vector<std::string> more) {
    more.insert(more.begin(), join.begin(), join.end());
    return more;
  };
  ASSERT_EQ(run(with({"-o", dir.file("j.bmp")})), 0) << err.str();
  ASSERT_EQ(run(with({"-o", dir.file("j.bmp"), "--format", "png"})), 0) << err.str();
  EXPECT_EQ(out.str(), dir.file("j.PNG") + "\n");
  const Bitmap bmp = read_bitmap_file(dir.file("j.BMP"));
  const QImage png(QString::fromStdString(dir.file("j.PNG")), "png");
  ASSERT_FALSE(png.isNull());
  EXPECT_FALSE(png.hasAlphaChannel());
  EXPECT_EQ(png.depth() == 24 || png.format() == QImage::Format_RGB32, true) << png.format();
  ASSERT_EQ(png.width(), bmp.width());
  ASSERT_EQ(png.height(), bmp.height());
  int wrong = 0, dark = 0;
  for (int y = 0; y < bmp.height(); ++y)
    for (int x = 0; x < bmp.width(); ++x) {
      wrong += png.pixel(x, y) != bmp.at(x, y);
      dark += bmp.at(x, y) == kBlack;
    }
  EXPECT_EQ(wrong, 0) << "pixels that differ";
  EXPECT_GT(dark, 0) << "the XOR effect's black margin should show";
  // The PNG header: bit depth 8, colour type 2 (RGB, no alpha).
  std::ifstream f(dir.file("j.PNG"), std::ios::binary);
  std::string head(26, '\0');
  f.read(head.data(), 26);
  EXPECT_EQ(head.substr(1, 3), "PNG");
  EXPECT_EQ(head[24], 8);
  EXPECT_EQ(head[25], 2);

  // A PNG that cannot be put in place fails as a bitmap does, and leaves no part of itself behind.
  fs::create_directory(dir.file("d.PNG"));
  EXPECT_EQ(run(with({"-o", dir.file("d.png"), "--format", "png"})), 1);
  for (const auto& e : fs::directory_iterator(dir.path()))
    EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
}

// JPEG is lossy: on flat colours the decoded file stays within a few levels of the bitmap.
TEST_F(JoinCommand, JpegHoldsThePicturesWithinTheDecodersTolerance) {
  write_bitmap_file(test::picture(48, 32, [](int, int) { return 0xFFC03020u; }), dir.file("a.bmp"));
  write_bitmap_file(test::picture(32, 48, [](int, int) { return 0xFF2080E0u; }), dir.file("b.bmp"));
  ASSERT_EQ(run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("j")}), 0) << err.str();
  ASSERT_EQ(
      run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("j"), "--format", "jpeg", "--quality", "95"}),
      0)
      << err.str();
  EXPECT_EQ(out.str(), dir.file("j.JPG") + "\n");
  const Bitmap bmp = read_bitmap_file(dir.file("j.BMP"));
  const QImage jpeg(QString::fromStdString(dir.file("j.JPG")), "jpeg");
  ASSERT_EQ(jpeg.width(), bmp.width());
  ASSERT_EQ(jpeg.height(), bmp.height());
  // Chroma subsampling blurs the colour edges; inside the flat parts the levels stay close.
  double total = 0;
  for (int y = 0; y < bmp.height(); ++y)
    for (int x = 0; x < bmp.width(); ++x)
      for (const int shift : {0, 8, 16}) {
        const int got = static_cast<int>((jpeg.pixel(x, y) >> shift) & 0xFF);
        total += std::abs(got - static_cast<int>((bmp.at(x, y) >> shift) & 0xFF));
      }
  EXPECT_LT(total / (3.0 * bmp.width() * bmp.height()), 4.0) << "mean error in levels";
}

TEST_F(JoinCommand, AJpegLargerThanTheFormatAllowsIsRefusedBeforeAnythingIsWritten) {
  write_bitmap_file(Bitmap::create(1, 40000), dir.file("tall.bmp"));
  EXPECT_EQ(run({dir.file("tall.bmp"), dir.file("tall.bmp"), "-o", dir.file("j"), "--side", "below",
                 "--format", "jpeg"}),
            1);
  EXPECT_NE(err.str().find("JPEG holds at most 65535 pixels a side; the picture is 1 × 80000"),
            std::string::npos)
      << err.str();
  EXPECT_FALSE(fs::exists(dir.file("j.JPG")));
}

// "low.bmp" and "low.BMP" are one file where the names come from: the file there is the one replaced.
TEST_F(JoinCommand, AFileUnderAnotherCaseOfTheExtensionIsTheOneReplaced) {
  write_bitmap_file(Bitmap::create(3, 2), dir.file("low.bmp"));
  ASSERT_EQ(run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("low.bmp")}), 0) << err.str();
  EXPECT_EQ(out.str(), dir.file("low.bmp") + "\n");
  EXPECT_FALSE(fs::exists(dir.file("low.BMP")));
  EXPECT_EQ(read_bitmap_file(dir.file("low.bmp")).width(), 60);
}

TEST_F(JoinCommand, TheOutputAlwaysGetsTheExtensionBmpInUpperCase) {
  const std::pair<const char*, const char*> names[] = {
      {"p.png", "p.BMP"}, {"noext", "noext.BMP"}, {"two.dots.jpg", "two.dots.BMP"}, {"s.BMP", "s.BMP"}};
  for (const auto& [given, written] : names) {
    ASSERT_EQ(run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file(given)}), 0) << given << err.str();
    EXPECT_EQ(out.str(), dir.file(written) + "\n");
    EXPECT_TRUE(fs::exists(dir.file(written))) << written;
  }
}

TEST_F(JoinCommand, BadArgumentsExitWithTwoAndTheUsage) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {dir.file("a.bmp"), "-o", "x"},
      {dir.file("a.bmp"), dir.file("b.bmp")},
      {"a", "b", "-o", "x", "--side", "diagonal"},
      {"a", "b", "-o", "x", "--effect", "6"},
      {"a", "b", "-o", "x", "--margin", "5"},
      {"a", "b", "-o", "x", "--margin", "-1,5"},
      {"a", "b", "-o", "x", "--crop-a", "1,2,3"},
      {"a", "b", "-o", "x", "--on-top", "c"},
      {"a", "b", "-o", "x", "--frobnicate", "1"},
      {"a", "b", "-o"},
      {"a", "b", "-o", "x", "--format", "jpg"},
      {"a", "b", "-o", "x", "--format="},
  };
  for (const auto& args : cases) {
    EXPECT_EQ(run(args), 2);
    EXPECT_NE(err.str().find("usage: vimbrel join"), std::string::npos);
    EXPECT_TRUE(out.str().empty());
  }
  EXPECT_EQ(run({"--help"}), 0);
  EXPECT_NE(out.str().find("usage: vimbrel join"), std::string::npos);
}

TEST_F(JoinCommand, HelpListsEveryEffectByNumberAndByItsNameInTheEffectList) {
  EXPECT_EQ(run({"--help"}), 0);
  for (const char* effect :
       {"0  効果無し（余白が白）", "1  効果無し（余白が黒）", "2  Ａモード（余白が白）",
        "3  Ｂモード（余白が白）", "4  Ｃモード（余白が黒）", "5  Ｄモード（余白が黒）"}) {
    EXPECT_NE(out.str().find(std::string(effect) + "\n"), std::string::npos) << effect << "\n" << out.str();
  }
}

TEST(JoinCommandBinary, RunsWithoutADisplayOrQtPlatform) {
  test::TempDir dir;
  write_bitmap_file(pattern(8, 8, 3), dir.file("a.bmp"));
  const std::string cmd = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ") +
                          VIMBREL_BINARY + " join " + dir.file("a.bmp") + " " + dir.file("a.bmp") + " -o " +
                          dir.file("j.bmp") + " > " + dir.file("stdout.txt") + " 2>&1";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(read_bitmap_file(dir.file("j.BMP")).width(), 16);
  EXPECT_EQ(std::system((std::string(VIMBREL_BINARY) + " join --side >/dev/null 2>&1").c_str()) >> 8, 2);
}

TEST(JoinCommandBinary, ATemporaryFolderThatIsNotThereIsAFailureNotACrash) {
  test::TempDir dir;
  write_bitmap_file(pattern(8, 8, 3), dir.file("a.bmp"));
  const std::string cmd = "TMPDIR=" + dir.file("none") + " " + VIMBREL_BINARY + " join " + dir.file("a.bmp") +
                          " " + dir.file("a.bmp") + " -o " + dir.file("j.bmp") + " >/dev/null 2>&1";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_FALSE(fs::exists(dir.file("j.BMP")));
}

}  // namespace
}  // namespace vimbrel
