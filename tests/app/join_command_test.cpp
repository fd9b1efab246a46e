#include "app/join_command.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <QImage>

#include "platform/imageio/bitmap_file.h"
#include "platform/pixels/raster.h"
#include "tests/support/pictures.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;

Bitmap pattern(int w, int h, std::uint32_t seed) {
  return test::picture(w, h, [seed](int x, int y) {
    return 0xFF000000u | ((seed * 2654435761u + x * 40503u + y * 9973u) & 0xFFFFFFu);
  });
}

// Paste the columns [from_x, w) of `src` at (x, y) of `dst` in `mode`, pixel by pixel.
void paste(Bitmap& dst, const Bitmap& src, int x, int y, int mode, int from_x = 0) {
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
  test::TempDir dir;
  Bitmap a, b;
  std::ostringstream out, err;
};

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

TEST_F(JoinCommand, AFailedLoadOrSaveExitsWithOneAndSaysWhy) {
  EXPECT_EQ(run({dir.file("missing.bmp"), dir.file("b.bmp"), "-o", dir.file("o.bmp")}), 1);
  EXPECT_NE(err.str().find("missing.bmp"), std::string::npos) << err.str();
  EXPECT_FALSE(fs::exists(dir.file("o.BMP")));

  fs::create_directory(dir.file("notapicture.bmp"));
  EXPECT_EQ(run({dir.file("a.bmp"), dir.file("notapicture.bmp"), "-o", dir.file("o.bmp")}), 1);
  EXPECT_FALSE(fs::exists(dir.file("o.BMP")));

  EXPECT_EQ(run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("no/such/folder/o.bmp")}), 1);
  EXPECT_FALSE(err.str().empty());
  EXPECT_TRUE(out.str().empty());
}

std::string corpus(const std::string& name) {
  return (test::corpus_dir() / name).string();
}

struct CauseCase {
  const char* name;
  std::function<std::string(const test::TempDir&)> make;  // gives picture B
  const char* cause;
};

const CauseCase kCauses[] = {
    {"Missing", [](const test::TempDir& d) { return d.file("none.jpg"); }, "not found"},
    {"Folder",
     [](const test::TempDir& d) {
       fs::create_directory(d.file("folder.bmp"));
       return d.file("folder.bmp");
     },
     "a folder"},
    {"Fifo",
     [](const test::TempDir& d) {
       ::mkfifo(d.file("pipe.jpg").c_str(), 0600);
       return d.file("pipe.jpg");
     },
     "not a regular file"},
    {"Broken",
     [](const test::TempDir& d) {
       std::ofstream(d.file("text.jpg")) << "not a picture";
       return d.file("text.jpg");
     },
     "a broken picture"},
    // Hostile files of the corpus: the refusal names what is wrong with each.
    {"HugeBmpClaim", [](const test::TempDir&) { return corpus("bmpsuite/b/reallybig.bmp"); },
     "BMP header claims 3000000 × 2000000 pixels but the file holds 24 KB"},
    {"BmpHeaderSize", [](const test::TempDir&) { return corpus("bmpsuite/b/badheadersize.bmp"); },
     "a BMP info header of 66 bytes"},
    {"ArithmeticJpegClaim",
     [](const test::TempDir&) { return corpus("jpeg/made/arithmetic_huge_claim.jpg"); },
     "JPEG header claims 30947 × 11777 pixels but its scans hold 126 bytes of coded data"},
    {"ArithmeticDataRunsOut",
     [](const test::TempDir&) { return corpus("jpeg/made/arithmetic_data_runs_out.jpg"); },
     "the JPEG's coded data runs out at row 209 of its 11777; the rest would be made up"},
    {"JpegCutInItsHeader", [](const test::TempDir&) { return corpus("jpeg/made/truncated_in_header.jpg"); },
     "the JPEG decoder refused its data (Invalid JPEG file structure: missing SOS marker)"},
};

void PrintTo(const CauseCase& c, std::ostream* os) {
  *os << c.name;
}

class JoinLoadCause : public JoinCommand, public ::testing::WithParamInterface<CauseCase> {};

TEST_P(JoinLoadCause, StderrNamesWhyThePictureCouldNotBeRead) {
  const std::string b_path = GetParam().make(dir);
  EXPECT_EQ(run({dir.file("a.bmp"), b_path, "-o", dir.file("o.bmp")}), 1);
  EXPECT_NE(err.str().find(b_path + ": " + GetParam().cause), std::string::npos) << err.str();
  EXPECT_FALSE(fs::exists(dir.file("o.BMP")));
}

INSTANTIATE_TEST_SUITE_P(Causes, JoinLoadCause, ::testing::ValuesIn(kCauses),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(JoinCommand, AWorkFolderNamedWithWildcardCharactersWorks) {
  const std::string work = dir.file("work?*");
  fs::create_directory(work);
  fs::copy_file(dir.file("b.bmp"), dir.file("b.pic"));  // read through the work file
  ASSERT_EQ(run({dir.file("a.bmp"), dir.file("b.pic"), "-o", dir.file("o"), "--work-dir", work}), 0)
      << err.str();
  EXPECT_EQ(read_bitmap_file(dir.file("o.BMP")).width(), 60);
  EXPECT_TRUE(fs::is_empty(work));
}

TEST_F(JoinCommand, ACutOffJpegLoadsWithAWarning) {
  const fs::path whole = test::corpus_dir() / "jpeg" / "made" / "baseline_420.jpg";
  fs::copy_file(whole, dir.file("cut.jpg"));
  fs::resize_file(dir.file("cut.jpg"), fs::file_size(whole) * 2 / 3);
  ASSERT_EQ(run({dir.file("a.bmp"), whole.string(), "-o", dir.file("o")}), 0) << err.str();
  EXPECT_EQ(err.str().find("warning"), std::string::npos) << "a whole file gets none: " << err.str();
  ASSERT_EQ(run({dir.file("a.bmp"), dir.file("cut.jpg"), "-o", dir.file("o")}), 0) << err.str();
  EXPECT_NE(err.str().find("warning: " + dir.file("cut.jpg")), std::string::npos) << err.str();
}

struct RefusedCase {
  const char* name;
  std::vector<std::string> options;  // after "a.bmp b.bmp -o OUT" (A 40 x 30 on the left, B 20 x 50)
  const char* reachable;             // the range stderr gives
};

const RefusedCase kRefused[] = {
    {"CropBeyondTheSlider", {"--crop-a", "40,0,0,0"}, "L and R can be 0..39"},
    {"CropLeavingNoColumn", {"--crop-a", "20,0,20,0"}, "L+R at most 39"},
    {"CropLeavingNoRow", {"--crop-b", "0,25,0,25"}, "T+B at most 49"},
    {"MoveOffTheRight", {"--margin", "0,0", "--move-b", "1,0"}, "DX can be -40..0"},
    {"MoveOffTheTop", {"--margin", "0,0", "--move-a", "0,-1"}, "DY 0..20"},
    {"OutputIsAFolderName", {"-o", "DIR:"}, "names a folder"},
    {"OutputIsAnExistingFolder", {"-o", "DIR:taken.bmp"}, "names a folder"},
    {"OutputIsADevice", {"-o", "/dev/null"}, "names a device or other special file (/dev/null)"},
    {"OutputInASystemFolder", {"-o", "/proc/self/out"}, "the system folder /proc"},
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
  *os << c.name;
}

class JoinRefusedValue : public JoinCommand, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(JoinRefusedValue, ExitsWithTwoAndTheReachableRange) {
  fs::create_directory(dir.file("taken.BMP"));
  std::vector<std::string> args = {dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("o")};
  // "DIR:" stands for the test's folder with a separator.
  for (const auto& o : GetParam().options)
    args.push_back(o.starts_with("DIR:") ? dir.file("") + o.substr(4) : o);
  EXPECT_EQ(run(args), 2);
  EXPECT_NE(err.str().find(GetParam().reachable), std::string::npos) << err.str();
  EXPECT_FALSE(fs::exists(dir.file("o.BMP")));
}

INSTANTIATE_TEST_SUITE_P(Values, JoinRefusedValue, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(JoinCommand, ANewlineInTheOutputNameIsPrintedEscaped) {
  ASSERT_EQ(run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("two\nlines.bmp")}), 0) << err.str();
  EXPECT_EQ(out.str(), "\"" + dir.file("two\\nlines.BMP") + "\"\n");
  EXPECT_TRUE(fs::exists(dir.file("two\nlines.BMP")));
}

TEST_F(JoinCommand, ALoopOfLinksIsNamedAsSuch) {
  fs::create_symlink(dir.file("loop2.bmp"), dir.file("loop1.bmp"));
  fs::create_symlink(dir.file("loop1.bmp"), dir.file("loop2.bmp"));
  EXPECT_EQ(run({dir.file("a.bmp"), dir.file("loop1.bmp"), "-o", dir.file("o")}), 1);
  EXPECT_NE(err.str().find(dir.file("loop1.bmp") + ": a loop of symbolic links"), std::string::npos)
      << err.str();
}

// A file system of 64 KiB (a tmpfs, which needs root to mount): the work folder or the output folder
// fills up, and stderr says so instead of blaming the picture.
TEST_F(JoinCommand, AFullDiskIsNamedAsTheCause) {
  const std::string full = dir.file("full");
  fs::create_directory(full);
  if (::mount("tmpfs", full.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "no tmpfs can be mounted here";
  write_bitmap_file(pattern(200, 100, 3), dir.file("b.pic"));  // 60 KB through the converter
  std::ofstream(full + "/filler").write(std::string(40 << 10, 'x').data(), 40 << 10);
  EXPECT_EQ(run({dir.file("a.bmp"), dir.file("b.pic"), "-o", dir.file("o"), "--work-dir", full}), 1);
  EXPECT_NE(err.str().find("no space left in the work folder"), std::string::npos) << err.str();
  EXPECT_EQ(run({dir.file("a.bmp"), dir.file("b.pic"), "-o", full + "/o"}), 1);
  EXPECT_NE(err.str().find("no space left in the output folder"), std::string::npos) << err.str();
  EXPECT_FALSE(fs::exists(full + "/o.BMP"));
  ::umount2(full.c_str(), MNT_DETACH);
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
