// The bitmap file reader on files made here byte by byte (its direct layouts and header checks), and
// the writer.
#include "platform/imageio/bitmap_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/pixels/runtime_error.h"
#include "platform/system/file_io.h"
#include "tests/platform/imageio/picture_checks.h"
#include "tests/support/pictures.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;
using test::worst_channel_difference;

std::vector<char> file_bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void write_bytes(const fs::path& p, const std::vector<char>& bytes) {
  std::ofstream out(p, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// ---- hand-made files: the direct reader's layouts and the header checks ----

// A picture whose every pixel differs from its neighbours, so a row or byte out of place shows.
Bitmap pattern(int w, int h) {
  return test::picture(w, h, [](int x, int y) {
    return 0xFF000000u | std::uint32_t((x * 7 + y * 13) & 0xFF) << 16 | std::uint32_t((x * 3) & 0xFF) << 8 |
           std::uint32_t((y * 5 + x) & 0xFF);
  });
}

void put(std::vector<char>& v, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) v[at + i] = static_cast<char>(value >> (8 * i));
}

// A bitmap file made here byte by byte, independently of the writer under test.
std::vector<char> hand_made_bmp(const Bitmap& b, int bits, bool top_down) {
  const std::size_t stride = (std::size_t(b.width()) * bits / 8 + 3) & ~std::size_t(3);
  std::vector<char> f(54 + stride * b.height(), 0);
  f[0] = 'B';
  f[1] = 'M';
  put(f, 2, static_cast<std::uint32_t>(f.size()), 4);
  put(f, 10, 54, 4);
  put(f, 14, 40, 4);
  put(f, 18, static_cast<std::uint32_t>(b.width()), 4);
  put(f, 22, static_cast<std::uint32_t>(top_down ? -b.height() : b.height()), 4);
  put(f, 26, 1, 2);
  put(f, 28, static_cast<std::uint32_t>(bits), 2);
  for (int y = 0; y < b.height(); ++y) {
    const std::size_t row = 54 + stride * std::size_t(top_down ? y : b.height() - 1 - y);
    for (int x = 0; x < b.width(); ++x) {
      const std::uint32_t p = b.at(x, y);
      put(f, row + std::size_t(x) * bits / 8, bits == 32 ? (p & 0xFFFFFFu) | 0x5A000000u : p, bits / 8);
    }
  }
  return f;
}

struct DirectLayout {
  const char* name;
  int width, height, bits;
  bool top_down;
};

// Widths 1..5 cover every row padding; the large ones are read on two threads.
const DirectLayout kDirectLayouts[] = {
    {"w1_24", 1, 3, 24, false},          {"w2_24", 2, 3, 24, false},
    {"w3_24_top_down", 3, 2, 24, true},  {"w5_24", 5, 4, 24, false},
    {"w3_32", 3, 4, 32, false},          {"w5_32_top_down", 5, 3, 32, true},
    {"large_24", 1201, 1001, 24, false}, {"large_24_top_down", 1203, 1000, 24, true},
    {"large_32", 1100, 1001, 32, false},
};

void PrintTo(const DirectLayout& row, std::ostream* os) {
  *os << row.name;
}

class DirectBitmapLayout : public ::testing::TestWithParam<DirectLayout> {
 protected:
  test::TempDir dir;
};

TEST_P(DirectBitmapLayout, ReadsEveryPixelInPlace) {
  const DirectLayout& row = GetParam();
  const Bitmap b = pattern(row.width, row.height);
  write_bytes(dir.file("f.bmp"), hand_made_bmp(b, row.bits, row.top_down));
  const Bitmap read = read_bitmap_file(dir.file("f.bmp"));
  ASSERT_EQ(read.width(), row.width);
  ASSERT_EQ(read.height(), row.height);
  EXPECT_TRUE(std::ranges::equal(read.pixels(), b.pixels()));
}

INSTANTIATE_TEST_SUITE_P(HandMade, DirectBitmapLayout, ::testing::ValuesIn(kDirectLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

class BitmapFileTest : public ::testing::Test {
 protected:
  test::TempDir dir;
};

TEST_F(BitmapFileTest, MissingFilesAndFoldersAreCode53) {
  EXPECT_EQ(trapped([&] { read_bitmap_file(dir.file("none.bmp")); }), errc::kFileNotFound);
  EXPECT_EQ(trapped([&] { read_bitmap_file(dir.file("none/x.bmp")); }), errc::kFileNotFound);
  EXPECT_EQ(trapped([&] { read_bitmap_file(dir.path().string()); }), errc::kFileNotFound);
}

TEST_F(BitmapFileTest, CutOffAndOverclaimingFilesAreRefusedWith481) {
  std::vector<char> f = hand_made_bmp(pattern(10, 10), 24, false);
  f.resize(f.size() - 40);  // a row and more of pixels missing
  write_bytes(dir.file("cut.bmp"), f);
  EXPECT_EQ(trapped([&] { read_bitmap_file(dir.file("cut.bmp")); }), errc::kInvalidPicture);

  std::vector<char> big = hand_made_bmp(pattern(4, 4), 24, false);
  put(big, 18, 40000, 4);  // claims 40000 × 30000 in a file of a few bytes
  put(big, 22, 30000, 4);
  write_bytes(dir.file("big.bmp"), big);
  EXPECT_EQ(trapped([&] { read_bitmap_file(dir.file("big.bmp")); }), errc::kInvalidPicture);

  write_bytes(dir.file("empty.bmp"), {});
  EXPECT_EQ(trapped([&] { read_bitmap_file(dir.file("empty.bmp")); }), errc::kInvalidPicture);
  write_bytes(dir.file("text.bmp"), {'B', 'M', ' ', 'n', 'o'});
  EXPECT_EQ(trapped([&] { read_bitmap_file(dir.file("text.bmp")); }), errc::kInvalidPicture);
}

// Pixels kept by the converter stand in for the file only while it is the file written: here they
// differ from the file on purpose, to show which of the two a read gives.
TEST_F(BitmapFileTest, KeptPixelsAreTakenOnlyWhileTheFileIsUnchanged) {
  const std::string path = dir.file("work.bmp");
  const auto kept = [&](std::uint32_t colour) {
    ConvertedPicture c{Bitmap::create(5, 3), std::nullopt, {}, {}, {}};
    std::ranges::fill(c.pixels.pixels(), colour);
    const UniqueFd fd(::open(path.c_str(), O_RDONLY));
    c.written = file_identity(fd.get());
    return c;
  };
  write_bytes(path, hand_made_bmp(pattern(5, 3), 24, false));
  EXPECT_EQ(read_bitmap_file(path, kept(0xFF123456u)).at(0, 0), 0xFF123456u);

  ConvertedPicture stale = kept(0xFF123456u);
  const timespec later[2] = {{0, UTIME_OMIT}, {stale.written->modified_s + 1, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), later, 0), 0);  // touched, same bytes
  EXPECT_TRUE(std::ranges::equal(read_bitmap_file(path, std::move(stale)).pixels(), pattern(5, 3).pixels()));

  stale = kept(0xFF123456u);
  write_bitmap_file(pattern(5, 3), path);  // replaced by another file of the same size
  EXPECT_TRUE(std::ranges::equal(read_bitmap_file(path, std::move(stale)).pixels(), pattern(5, 3).pixels()));
}

TEST_F(BitmapFileTest, ALastRowWithoutItsPaddingStillReads) {
  const Bitmap b = pattern(5, 3);
  std::vector<char> f = hand_made_bmp(b, 24, false);
  f.resize(f.size() - 1);  // 5 pixels take 15 bytes; the row's 16th is padding
  write_bytes(dir.file("f.bmp"), f);
  EXPECT_TRUE(std::ranges::equal(read_bitmap_file(dir.file("f.bmp")).pixels(), b.pixels()));
}

// An 8-bit picture above Qt's reader's 2^28-pixel limit, written sparse: a three-colour table, a
// pixel of colour 1 at the start of the first file row (the bottom), an index past the table at the
// end of the last (the top); every other byte is index 0.
TEST_F(BitmapFileTest, AnEightBitPictureOfAnySizeThatFitsInMemoryLoads) {
  constexpr int kSide = 16385;
  constexpr std::size_t kStride = (kSide + 3) & ~3, kPixels = 54 + 3 * 4;
  std::vector<char> head(kPixels, 0);
  head[0] = 'B';
  head[1] = 'M';
  put(head, 10, kPixels, 4);
  put(head, 14, 40, 4);
  put(head, 18, kSide, 4);
  put(head, 22, kSide, 4);
  put(head, 26, 1, 2);
  put(head, 28, 8, 2);
  put(head, 46, 3, 4);  // colours used
  put(head, 54, 0x102030, 4);
  put(head, 58, 0xA0B0C0, 4);
  put(head, 62, 0xFFFFFF, 4);
  write_bytes(dir.file("big8.bmp"), head);
  {
    std::fstream f(dir.file("big8.bmp"), std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(kPixels);
    f.put(1);
    f.seekp(std::streamoff(kPixels + kStride * (kSide - 1) + kSide - 1));
    f.put(char(200));
  }
  fs::resize_file(dir.file("big8.bmp"), kPixels + kStride * kSide);
  const Bitmap b = read_bitmap_file(dir.file("big8.bmp"));
  ASSERT_EQ(b.width(), kSide);
  ASSERT_EQ(b.height(), kSide);
  EXPECT_EQ(b.at(0, kSide - 1), 0xFFA0B0C0u);
  EXPECT_EQ(b.at(kSide - 1, 0), 0xFF000000u);  // past the table: black, as Qt gives it
  EXPECT_EQ(b.at(1, kSide - 1), 0xFF102030u);
  EXPECT_EQ(b.at(kSide / 2, kSide / 2), 0xFF102030u);
}

// ---- writing ----

TEST_F(BitmapFileTest, RoundTripIsExactAndTheFileIsAPlainBottomUp24BitBitmap) {
  // The last size is written a strip while the next is made, its last strip a short one, and it is
  // sent to disk as it is written since it replaces a file.
  for (const auto& [w, h] : {std::pair{1, 7}, {2, 7}, {3, 7}, {4, 7}, {5, 7}, {333, 7}, {1001, 5003}}) {
    const Bitmap b = pattern(w, h);
    const std::string path = dir.file("rt" + std::to_string(w) + ".bmp");
    if (h > 7) write_bitmap_file(pattern(2, 2), path);
    write_bitmap_file(b, path);
    EXPECT_TRUE(std::ranges::equal(read_bitmap_file(path).pixels(), b.pixels())) << w;
    const std::vector<char> f = file_bytes(path);
    const std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
    ASSERT_EQ(f.size(), 54 + stride * h) << w;
    EXPECT_EQ(f[28], 24);  // bits a pixel
    EXPECT_EQ(static_cast<unsigned char>(f[22]) | (static_cast<unsigned char>(f[23]) << 8),
              h);  // positive height: bottom-up
    EXPECT_EQ(static_cast<unsigned char>(f[54]),
              b.at(0, h - 1) & 0xFF);  // first stored row is the bottom one
    EXPECT_EQ(worst_channel_difference(b, QImage(QString::fromStdString(path))), 0) << w;  // Qt agrees
  }
}

TEST_F(BitmapFileTest, AnExistingFileIsReplacedWholeAndNoTemporaryFileStays) {
  const std::string path = dir.file("out.bmp");
  write_bitmap_file(pattern(50, 40), path);
  chmod(path.c_str(), 0640);
  write_bitmap_file(pattern(3, 2), path);
  EXPECT_EQ(read_bitmap_file(path).width(), 3);
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replaced file's mode is kept
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST_F(BitmapFileTest, AnEmptyPictureIsNotWritten) {
  EXPECT_EQ(trapped([&] { write_bitmap_file(Bitmap::create(0, 0), dir.file("e.bmp")); }), errc::kPathAccess);
  EXPECT_FALSE(fs::exists(dir.file("e.bmp")));
}

TEST_F(BitmapFileTest, AMissingFolderIsCode75) {
  EXPECT_EQ(trapped([&] { write_bitmap_file(pattern(2, 2), dir.file("no/such/out.bmp")); }),
            errc::kPathAccess);
}

TEST_F(BitmapFileTest, AReadOnlyFolderIsCode75AndTheOldFileStaysAsItWas) {
  const std::string path = dir.file("out.bmp");
  write_bitmap_file(pattern(4, 4), path);
  const std::vector<char> before = file_bytes(path);
  chmod(dir.path().c_str(), 0555);
  if (access(dir.path().c_str(), W_OK) == 0) {
    chmod(dir.path().c_str(), 0755);
    GTEST_SKIP() << "this user can write into read-only folders";
  }
  const int code = trapped([&] { write_bitmap_file(pattern(9, 9), path); });
  chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(code, errc::kPathAccess);
  EXPECT_EQ(file_bytes(path), before);
}

// A write that fails half-way (here: the file size limit, as a full disk would) leaves the old file
// whole and no temporary file behind. This works for root too.
TEST_F(BitmapFileTest, AWriteThatFailsHalfWayLeavesTheOldFileWhole) {
  const std::string path = dir.file("out.bmp");
  write_bitmap_file(pattern(4, 4), path);
  const std::vector<char> before = file_bytes(path);
  struct rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 100000;
  setrlimit(RLIMIT_FSIZE, &small);
  const int code = trapped([&] { write_bitmap_file(pattern(1000, 2000), path); });
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, old_handler);
  EXPECT_EQ(code, errc::kPathAccess);
  EXPECT_EQ(file_bytes(path), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// A painter that fails part-way through a large picture ends the write with its own error.
TEST_F(BitmapFileTest, APaintingThatFailsHalfWayEndsTheWriteWithItsError) {
  const std::string path = dir.file("out.bmp");
  int strips = 0;
  const auto paint = [&](Bitmap& strip, std::int64_t) {
    if (++strips == 40) throw RuntimeError{errc::kOutOfMemory};
    std::ranges::fill(strip.pixels(), 0xFF00FF00u);
  };
  EXPECT_EQ(trapped([&] { write_bitmap_file(1000, 4000, paint, path); }), errc::kOutOfMemory);
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 0);
}

}  // namespace
}  // namespace vimbrel
