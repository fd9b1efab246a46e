// The bitmap reader against the conformance corpus: every good file reads to its reference picture,
// the dubious ones are refused or read at their true size, never a crash.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "platform/imageio/bitmap_file.h"
#include "platform/pixels/runtime_error.h"
#include "tests/platform/imageio/picture_checks.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;
using test::row_name;
using test::worst_channel_difference;

fs::path bmpsuite(const std::string& sub) {
  return test::corpus_dir() / "bmpsuite" / sub;
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

// ---- every uncompressed bitmap of the corpus: where Qt's reader and this one both give a picture, the same
// ----

// Compressed files are left out: Qt leaves the pixels that their codes skip unset.
bool uncompressed(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  unsigned char h[34] = {};
  in.read(reinterpret_cast<char*>(h), sizeof h);
  return in && (h[14] == 12 || (h[30] | h[31] | h[32] | h[33]) == 0);
}

TEST(CorpusBitmaps, ReadToQtsPixelsWhereverBothReadThem) {
  // A table that runs into the pixels: Qt reads them where the table ends, so the result depends on
  // how much of the file it is given.
  const std::set<std::string> ambiguous = {"pal8os2sp.bmp"};
  int compared = 0;
  for (const auto& entry : fs::recursive_directory_iterator(test::corpus_dir())) {
    const fs::path& path = entry.path();
    if (path.extension() != ".bmp" || !uncompressed(path) || ambiguous.contains(path.filename())) continue;
    const QImage qt(QString::fromStdString(path.string()));
    try {
      const Bitmap b = read_bitmap_file(path.string());
      if (qt.isNull()) continue;
      ASSERT_EQ(b.width(), qt.width()) << path;
      ASSERT_EQ(b.height(), qt.height()) << path;
      EXPECT_EQ(worst_channel_difference(b, qt), 0) << path;
      ++compared;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.code, errc::kInvalidPicture) << path;
    }
  }
  EXPECT_GT(compared, 40);
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

}  // namespace
}  // namespace vimbrel
