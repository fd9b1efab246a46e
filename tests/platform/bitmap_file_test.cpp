#include "platform/bitmap_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/runtime_error.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

fs::path bmpsuite(const std::string& sub) {
  return test::corpus_dir() / "bmpsuite" / sub;
}

std::string row_name(std::string name) {
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

std::vector<char> file_bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void write_bytes(const fs::path& p, const std::vector<char>& bytes) {
  std::ofstream out(p, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The largest difference of any channel between the bitmap and a picture read by Qt.
int worst_channel_difference(const Bitmap& b, const QImage& reference) {
  const QImage ref = reference.convertToFormat(QImage::Format_RGB32);
  int worst = 0;
  for (int y = 0; y < b.height(); ++y) {
    for (int x = 0; x < b.width(); ++x) {
      const std::uint32_t p = b.at(x, y), q = ref.pixel(x, y);
      for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)));
      if ((p >> 24) != 0xFF) return 256;  // every pixel must be opaque
    }
  }
  return worst;
}

// ---- bmpsuite g/: every good file reads to its reference picture ----

struct GoodFile {
  const char* file;
  const char* reference;
  int tolerance;  // the 16-bit references scale channels, a reader may replicate bits
};

const GoodFile kGoodFiles[] = {
    {"pal1", "pal1", 0},
    {"pal1wb", "pal1", 0},
    {"pal1bg", "pal1bg", 0},
    {"pal4", "pal4", 0},
    {"pal4gs", "pal4gs", 0},
    {"pal4rle", "pal4", 0},
    {"pal8", "pal8", 0},
    {"pal8-0", "pal8", 0},
    {"pal8gs", "pal8gs", 0},
    {"pal8rle", "pal8", 0},
    {"pal8w126", "pal8w126", 0},
    {"pal8w125", "pal8w125", 0},
    {"pal8w124", "pal8w124", 0},
    {"pal8topdown", "pal8", 0},
    {"pal8nonsquare", "pal8nonsquare-e", 0},
    {"pal8os2", "pal8", 0},
    {"pal8v4", "pal8", 0},
    {"pal8v5", "pal8", 0},
    {"rgb16", "rgb16", 7},
    {"rgb16bfdef", "rgb16", 7},
    {"rgb16-565", "rgb16-565", 7},
    {"rgb16-565pal", "rgb16-565", 7},
    {"rgb24", "rgb24", 0},
    {"rgb24pal", "rgb24", 0},
    {"rgb32", "rgb24", 0},
    {"rgb32bfdef", "rgb24", 0},
    {"rgb32bf", "rgb24", 0},
};

void PrintTo(const GoodFile& row, std::ostream* os) {
  *os << row.file;
}

class GoodBitmapFile : public ::testing::TestWithParam<GoodFile> {};

TEST_P(GoodBitmapFile, ReadsToTheReferencePixels) {
  const GoodFile& row = GetParam();
  const Bitmap b = read_bitmap_file((bmpsuite("g") / (std::string(row.file) + ".bmp")).string());
  const QImage reference(
      QString::fromStdString((bmpsuite("reference") / (std::string(row.reference) + ".png")).string()));
  ASSERT_FALSE(reference.isNull());
  ASSERT_EQ(b.width(), reference.width());
  ASSERT_EQ(b.height(), reference.height());
  EXPECT_LE(worst_channel_difference(b, reference), row.tolerance);
}

INSTANTIATE_TEST_SUITE_P(BmpSuite, GoodBitmapFile, ::testing::ValuesIn(kGoodFiles),
                         [](const auto& info) { return row_name(info.param.file); });

TEST(GoodBitmapFileTable, CoversEveryFileOfTheGoodFolder) {
  std::set<std::string> listed;
  for (const GoodFile& row : kGoodFiles) listed.insert(std::string(row.file) + ".bmp");
  for (const auto& entry : fs::directory_iterator(bmpsuite("g"))) {
    EXPECT_TRUE(listed.contains(entry.path().filename().string())) << entry.path();
  }
}

// ---- bmpsuite b/ and q/: refused with a runtime error or read at the true size, never a crash ----

struct DubiousFile {
  const char* folder;
  const char* file;
  bool must_refuse;  // headers that claim sizes the file cannot hold
};

const DubiousFile kDubiousFiles[] = {
    {"b", "badbitcount", true},     {"b", "badbitssize", false},     {"b", "baddens1", false},
    {"b", "baddens2", false},       {"b", "badfilesize", false},     {"b", "badheadersize", false},
    {"b", "badpalettesize", false}, {"b", "badplanes", false},       {"b", "badrle4", false},
    {"b", "badrle4bis", false},     {"b", "badrle4ter", false},      {"b", "badrle", false},
    {"b", "badrlebis", false},      {"b", "badrleter", false},       {"b", "badwidth", true},
    {"b", "pal8badindex", false},   {"b", "reallybig", true},        {"b", "rgb16-880", false},
    {"b", "rletopdown", false},     {"b", "shortfile", true},        {"q", "pal1p1", false},
    {"q", "pal2", false},           {"q", "pal2color", false},       {"q", "pal4rletrns", false},
    {"q", "pal4rlecut", false},     {"q", "pal8rletrns", false},     {"q", "pal8rlecut", false},
    {"q", "pal8offs", false},       {"q", "pal8oversizepal", false}, {"q", "pal8os2-sz", false},
    {"q", "pal8os2-hs", false},     {"q", "pal8os2sp", false},       {"q", "pal8os2v2", false},
    {"q", "pal8os2v2-16", false},   {"q", "pal8os2v2-sz", false},    {"q", "pal8os2v2-40sz", false},
    {"q", "rgb24rle24", false},     {"q", "pal1huffmsb", false},     {"q", "rgb16faketrns", false},
    {"q", "rgb16-231", false},      {"q", "rgb16-3103", false},      {"q", "rgba16-4444", false},
    {"q", "rgba16-5551", false},    {"q", "rgba16-1924", false},     {"q", "rgb24largepal", false},
    {"q", "rgb24prof", false},      {"q", "rgb24prof2", false},      {"q", "rgb24lprof", false},
    {"q", "rgb24jpeg", false},      {"q", "rgb24png", false},        {"q", "rgb32h52", false},
    {"q", "rgb32-xbgr", false},     {"q", "rgb32fakealpha", false},  {"q", "rgb32-111110", false},
    {"q", "rgb32-7187", false},     {"q", "rgba32-1", false},        {"q", "rgba32-2", false},
    {"q", "rgba32-1010102", false}, {"q", "rgba32-81284", false},    {"q", "rgba32-61754", false},
    {"q", "rgba32abf", false},      {"q", "rgba32h56", false},       {"q", "rgba64", false},
};

void PrintTo(const DubiousFile& row, std::ostream* os) {
  *os << row.folder << "/" << row.file;
}

class DubiousBitmapFile : public ::testing::TestWithParam<DubiousFile> {};

TEST_P(DubiousBitmapFile, IsRefusedOrReadAtItsTrueSize) {
  const DubiousFile& row = GetParam();
  const std::string path = (bmpsuite(row.folder) / (std::string(row.file) + ".bmp")).string();
  try {
    const Bitmap b = read_bitmap_file(path);
    EXPECT_FALSE(row.must_refuse) << "read as " << b.width() << " x " << b.height();
    EXPECT_EQ(b.width(), 127);
    EXPECT_EQ(b.height(), 64);
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code, errc::kInvalidPicture);
  }
}

INSTANTIATE_TEST_SUITE_P(BmpSuite, DubiousBitmapFile, ::testing::ValuesIn(kDubiousFiles),
                         [](const auto& info) {
                           return row_name(std::string(info.param.folder) + "_" + info.param.file);
                         });

TEST(DubiousBitmapFileTable, CoversEveryFileOfTheBadAndQuestionableFolders) {
  std::set<std::string> listed;
  for (const DubiousFile& row : kDubiousFiles)
    listed.insert(std::string(row.folder) + "/" + row.file + ".bmp");
  for (const char* folder : {"b", "q"}) {
    for (const auto& entry : fs::directory_iterator(bmpsuite(folder))) {
      EXPECT_TRUE(listed.contains(std::string(folder) + "/" + entry.path().filename().string()))
          << entry.path();
    }
  }
}

TEST(BitmapArrayFile, FailsCleanlyOrReadsAsThePal8Picture) {
  try {
    const Bitmap b = read_bitmap_file((bmpsuite("x") / "ba-bm.bmp").string());
    EXPECT_EQ(worst_channel_difference(
                  b, QImage(QString::fromStdString((bmpsuite("reference") / "pal8.png").string()))),
              0);
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code, errc::kInvalidPicture);
  }
}

// ---- other bitmaps of the corpus ----

struct SizedFile {
  const char* path;  // below the corpus folder
  int width, height;
};

const SizedFile kSizedFiles[] = {
    {"jpeg/turbo/shira_bird8.bmp", 192, 144},
    {"jpeg/turbo/vgl_6434_0018a.bmp", 119, 96},
    {"jpeg/turbo/vgl_6548_0026a.bmp", 128, 95},
    {"jpeg/made/source_161x97.bmp", 161, 97},
};

void PrintTo(const SizedFile& row, std::ostream* os) {
  *os << row.path;
}

class SizedBitmapFile : public ::testing::TestWithParam<SizedFile> {};

TEST_P(SizedBitmapFile, LoadsAtItsSizeAndAgreesWithQt) {
  const std::string path = (test::corpus_dir() / GetParam().path).string();
  const Bitmap b = read_bitmap_file(path);
  EXPECT_EQ(b.width(), GetParam().width);
  EXPECT_EQ(b.height(), GetParam().height);
  EXPECT_EQ(worst_channel_difference(b, QImage(QString::fromStdString(path))), 0);
}

INSTANTIATE_TEST_SUITE_P(Corpus, SizedBitmapFile, ::testing::ValuesIn(kSizedFiles), [](const auto& info) {
  return row_name(fs::path(info.param.path).stem().string());
});

TEST(SyntheticSourceBitmap, MatchesItsDescribedLayoutExactly) {
  const Bitmap b = read_bitmap_file((test::corpus_dir() / "jpeg/made/source_161x97.bmp").string());
  EXPECT_EQ(b.at(40, 30), 0xFFFF0000u);   // red
  EXPECT_EQ(b.at(110, 30), 0xFF00FF00u);  // green
  EXPECT_EQ(b.at(40, 66), 0xFF0000FFu);   // blue
  EXPECT_EQ(b.at(120, 66), 0xFFFFFFFFu);  // white
  EXPECT_EQ(b.at(9, 9), 0xFF000000u);     // the black marker
  EXPECT_EQ(b.at(140, 4), 0xFF000000u);   // checkerboard: black where x + y is even
  EXPECT_EQ(b.at(141, 4), 0xFFFFFFFFu);
  EXPECT_EQ(b.at(0, 91), 0xFF000000u);  // the grey ramp
  EXPECT_EQ(b.at(80, 91), 0xFF808080u);
  EXPECT_EQ(b.at(160, 91), 0xFFFFFFFFu);
}

// ---- hand-made files: the direct reader's layouts and the header checks ----

// A picture whose every pixel differs from its neighbours, so a row or byte out of place shows.
Bitmap pattern(int w, int h) {
  Bitmap b = Bitmap::create(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      b.at(x, y) = 0xFF000000u | std::uint32_t((x * 7 + y * 13) & 0xFF) << 16 |
                   std::uint32_t((x * 3) & 0xFF) << 8 | std::uint32_t((y * 5 + x) & 0xFF);
  }
  return b;
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

TEST_F(BitmapFileTest, ALastRowWithoutItsPaddingStillReads) {
  const Bitmap b = pattern(5, 3);
  std::vector<char> f = hand_made_bmp(b, 24, false);
  f.resize(f.size() - 1);  // 5 pixels take 15 bytes; the row's 16th is padding
  write_bytes(dir.file("f.bmp"), f);
  EXPECT_TRUE(std::ranges::equal(read_bitmap_file(dir.file("f.bmp")).pixels(), b.pixels()));
}

// ---- writing ----

TEST_F(BitmapFileTest, RoundTripIsExactAndTheFileIsAPlainBottomUp24BitBitmap) {
  for (int w : {1, 2, 3, 4, 5, 333}) {
    const Bitmap b = pattern(w, 7);
    const std::string path = dir.file("rt" + std::to_string(w) + ".bmp");
    write_bitmap_file(b, path);
    EXPECT_TRUE(std::ranges::equal(read_bitmap_file(path).pixels(), b.pixels())) << w;
    const std::vector<char> f = file_bytes(path);
    const std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
    ASSERT_EQ(f.size(), 54 + stride * 7) << w;
    EXPECT_EQ(f[28], 24);                                             // bits a pixel
    EXPECT_EQ(f[22], 7);                                              // positive height: bottom-up
    EXPECT_EQ(static_cast<unsigned char>(f[54]), b.at(0, 6) & 0xFF);  // first stored row is the bottom one
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
  const int code = trapped([&] { write_bitmap_file(pattern(1000, 1000), path); });
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, old_handler);
  EXPECT_EQ(code, errc::kPathAccess);
  EXPECT_EQ(file_bytes(path), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace vimbrel
