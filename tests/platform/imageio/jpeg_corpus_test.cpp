// The converter against every file of the corpus's jpeg folder, and against the test images'
// reference decodes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "tests/platform/imageio/jpeg2bmp_fixture.h"
#include "tests/platform/imageio/picture_checks.h"

namespace vimbrel {
namespace {

using namespace test;  // the converter's fixture and its reference decoders

// A binary PPM (P6, maxval 255) as pixels.
std::vector<std::uint32_t> read_ppm(const fs::path& p, int& w, int& h) {
  std::ifstream in(p, std::ios::binary);
  std::string magic;
  int maxval = 0;
  in >> magic >> w >> h >> maxval;
  in.get();
  std::vector<std::uint32_t> px(std::size_t(w) * h);
  for (auto& q : px) {
    unsigned char rgb[3];
    in.read(reinterpret_cast<char*>(rgb), 3);
    q = 0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2];
  }
  return in ? px : std::vector<std::uint32_t>{};
}

// ---- every file of the corpus's jpeg folder ----

enum class Outcome { kConverts, kFails, kEither };
enum class Check {
  kNone,
  kTurbo,       // exactly libjpeg-turbo's default decode
  kSameAs,      // exactly the conversion of `other`
  kQt,          // exactly what Qt reads from `other` (or the file itself)
  kLayout,      // the synthetic picture's sample points, within `tolerance`
  kGreyLayout,  // the grey version's sample points
};

struct CorpusFile {
  const char* file;
  Outcome outcome;
  Check check;
  int width, height;
  int tolerance;
  const char* other;
};

void PrintTo(const CorpusFile& row, std::ostream* os) {
  *os << row.file;
}

const CorpusFile kCorpusFiles[] = {
    {"made/baseline_420.jpg", Outcome::kConverts, Check::kTurbo, 161, 97, 0, nullptr},
    {"made/baseline_422.jpg", Outcome::kConverts, Check::kTurbo, 161, 97, 0, nullptr},
    {"made/baseline_444.jpg", Outcome::kConverts, Check::kTurbo, 161, 97, 0, nullptr},
    {"made/gray.jpg", Outcome::kConverts, Check::kTurbo, 161, 97, 0, nullptr},
    {"made/progressive_420.jpg", Outcome::kConverts, Check::kSameAs, 161, 97, 0, "made/baseline_420.jpg"},
    {"made/restart_every_mcu.jpg", Outcome::kConverts, Check::kSameAs, 161, 97, 0, "made/baseline_420.jpg"},
    {"made/arithmetic_420.jpg", Outcome::kConverts, Check::kSameAs, 161, 97, 0, "made/baseline_420.jpg"},
    {"made/sof1_16bit_quant.jpg", Outcome::kConverts, Check::kTurbo, 161, 97, 0, nullptr},
    {"made/one_by_one.jpg", Outcome::kConverts, Check::kTurbo, 1, 1, 0, nullptr},
    {"made/strip_65500x1.jpg", Outcome::kConverts, Check::kTurbo, 65500, 1, 0, nullptr},
    {"made/exif_orientation6.jpg", Outcome::kConverts, Check::kNone, 97, 161, 0, nullptr},
    {"made/cmyk_ycck.jpg", Outcome::kConverts, Check::kLayout, 161, 97, 24, nullptr},
    {"made/cmyk_adobe0.jpg", Outcome::kConverts, Check::kLayout, 161, 97, 24, nullptr},
    {"made/truncated_half.jpg", Outcome::kEither, Check::kTurbo, 161, 97, 0, nullptr},
    {"made/truncated_in_header.jpg", Outcome::kFails, Check::kNone, 0, 0, 0, nullptr},
    {"made/empty.jpg", Outcome::kFails, Check::kNone, 0, 0, 0, nullptr},
    {"made/text.jpg", Outcome::kFails, Check::kNone, 0, 0, 0, nullptr},
    {"made/arithmetic_huge_claim.jpg", Outcome::kFails, Check::kNone, 0, 0, 0, nullptr},
    {"made/arithmetic_data_runs_out.jpg", Outcome::kFails, Check::kNone, 0, 0, 0, nullptr},
    {"made/png_named.jpg", Outcome::kConverts, Check::kQt, 161, 97, 0, "made/source_161x97.bmp"},
    {"made/bmp_named.jpg", Outcome::kConverts, Check::kQt, 161, 97, 0, "made/source_161x97.bmp"},
    {"made/source_161x97.bmp", Outcome::kConverts, Check::kQt, 161, 97, 0, nullptr},
    {"turbo/testorig.jpg", Outcome::kConverts, Check::kTurbo, 227, 149, 0, nullptr},
    {"turbo/testimgint.jpg", Outcome::kConverts, Check::kTurbo, 227, 149, 0, nullptr},
    {"turbo/testimgari.jpg", Outcome::kConverts, Check::kSameAs, 227, 149, 0, "turbo/testimgint.jpg"},
    {"turbo/monkey12.jpg", Outcome::kFails, Check::kNone, 0, 0, 0, nullptr},
    {"turbo/testorig.png", Outcome::kConverts, Check::kQt, 227, 149, 0, nullptr},
    {"turbo/testorig.ppm", Outcome::kConverts, Check::kQt, 227, 149, 0, nullptr},
    {"turbo/monkey16.pgm", Outcome::kEither, Check::kNone, 149, 227, 0, nullptr},
    {"turbo/monkey16.png", Outcome::kEither, Check::kNone, 149, 227, 0, nullptr},
    {"turbo/vgl_5674_0098.png", Outcome::kConverts, Check::kQt, 120, 96, 0, nullptr},
    {"turbo/shira_bird8.bmp", Outcome::kConverts, Check::kQt, 192, 144, 0, nullptr},
    {"turbo/vgl_6434_0018a.bmp", Outcome::kConverts, Check::kQt, 119, 96, 0, nullptr},
    {"turbo/vgl_6548_0026a.bmp", Outcome::kConverts, Check::kQt, 128, 95, 0, nullptr},
    {"turbo/LICENSE.txt", Outcome::kFails, Check::kNone, 0, 0, 0, nullptr},
};

class CorpusConversion : public Jpeg2BmpTest, public ::testing::WithParamInterface<CorpusFile> {
 protected:
  void check_layout(const Bitmap& b, int tolerance, bool grey) {
    struct Sample {
      int x, y;
      std::uint32_t colour, grey;
    };
    const Sample samples[] = {
        {40, 30, 0xFF0000, 54}, {110, 30, 0x00FF00, 182}, {40, 66, 0x0000FF, 18},  {120, 66, 0xFFFFFF, 255},
        {9, 9, 0x000000, 0},    {0, 91, 0x000000, 0},     {80, 91, 0x808080, 128}, {160, 91, 0xFFFFFF, 255},
    };
    for (const Sample& s : samples) {
      const std::uint32_t want = grey ? s.grey * 0x010101u : s.colour;
      EXPECT_TRUE(near(b.at(s.x, s.y), want, tolerance))
          << s.x << "," << s.y << " " << std::hex << b.at(s.x, s.y);
    }
  }
};

TEST_P(CorpusConversion, ConvertsToTheRightPixelsOrFailsCleanly) {
  const CorpusFile& row = GetParam();
  const std::optional<Bitmap> b = convert(corpus(row.file));
  if (row.outcome == Outcome::kFails) {
    EXPECT_FALSE(b.has_value());
    return;
  }
  if (!b) {
    EXPECT_EQ(row.outcome, Outcome::kEither) << "did not convert";
    return;
  }
  ASSERT_EQ(b->width(), row.width);
  ASSERT_EQ(b->height(), row.height);
  int w = 0, h = 0;
  switch (row.check) {
    case Check::kTurbo:
      EXPECT_EQ(pixels_of(*b), turbo_decode(file_bytes(corpus(row.file)), w, h));
      break;
    case Check::kSameAs: {
      const std::optional<Bitmap> other = convert(corpus(row.other));
      ASSERT_TRUE(other.has_value());
      EXPECT_EQ(pixels_of(*b), pixels_of(*other));
      break;
    }
    case Check::kQt:
      EXPECT_EQ(pixels_of(*b), qt_pixels(corpus(row.other ? row.other : row.file)));
      break;
    case Check::kLayout:
    case Check::kGreyLayout:
      check_layout(*b, row.tolerance, row.check == Check::kGreyLayout);
      break;
    case Check::kNone:
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusConversion, ::testing::ValuesIn(kCorpusFiles),
                         [](const auto& info) { return row_name(info.param.file); });

TEST(CorpusConversionTable, CoversEveryFileOfTheJpegFolder) {
  std::set<std::string> listed;
  for (const CorpusFile& row : kCorpusFiles) listed.insert(row.file);
  for (const char* folder : {"made", "turbo"}) {
    for (const auto& entry : fs::directory_iterator(corpus(folder))) {
      EXPECT_TRUE(listed.contains(std::string(folder) + "/" + entry.path().filename().string()))
          << entry.path();
    }
  }
}

TEST_F(Jpeg2BmpTest, SyntheticPicturesKeepTheirColours) {
  struct Row {
    const char* file;
    int tolerance;
    bool grey;
  };
  for (const Row& row : {Row{"made/baseline_420.jpg", 16, false}, Row{"made/baseline_444.jpg", 16, false},
                         Row{"made/gray.jpg", 8, true}, Row{"made/sof1_16bit_quant.jpg", 48, false}}) {
    SCOPED_TRACE(row.file);
    const std::optional<Bitmap> b = convert(corpus(row.file));
    ASSERT_TRUE(b.has_value());
    EXPECT_TRUE(near(b->at(40, 30), row.grey ? 0x363636 : 0xFF0000, row.tolerance));
    EXPECT_TRUE(near(b->at(120, 66), 0xFFFFFF, row.tolerance));
    EXPECT_TRUE(near(b->at(80, 91), 0x808080, row.tolerance));
  }
  const std::optional<Bitmap> one = convert(corpus("made/one_by_one.jpg"));
  ASSERT_TRUE(one.has_value());
  EXPECT_TRUE(near(one->at(0, 0), 0xFE0000, 8));
  const std::optional<Bitmap> strip = convert(corpus("made/strip_65500x1.jpg"));
  ASSERT_TRUE(strip.has_value());
  EXPECT_TRUE(near(strip->at(100, 0), 0xFF0000, 16));
  EXPECT_TRUE(near(strip->at(65000, 0), 0x0000FF, 16));
}

TEST_F(Jpeg2BmpTest, TheExifOrientationOfTheCorpusFileIsApplied) {
  const std::optional<Bitmap> b = convert(corpus("made/exif_orientation6.jpg"));
  ASSERT_TRUE(b.has_value());
  // Turned a quarter clockwise: the stored picture's top-left red area lies at the top right.
  EXPECT_TRUE(near(b->at(96 - 30, 40), 0xFF0000, 16));
  EXPECT_TRUE(near(b->at(96 - 30, 110), 0x00FF00, 16));
  EXPECT_TRUE(near(b->at(96 - 66, 40), 0x0000FF, 16));
}

TEST_F(Jpeg2BmpTest, DecodesLikeTheTestImagesReferenceAndLikeDjpeg) {
  int w = 0, h = 0;
  const std::vector<std::uint32_t> ppm = read_ppm(corpus("turbo/testorig.ppm"), w, h);
  ASSERT_EQ(ppm.size(), 227u * 149u);
  struct Row {
    const char* file;
    double mean;
    int max;
  };
  for (const Row& row : {Row{"turbo/testorig.jpg", 2.5, 48}, Row{"turbo/testimgint.jpg", 0.6, 17}}) {
    const std::optional<Bitmap> b = convert(corpus(row.file));
    ASSERT_TRUE(b.has_value());
    double sum = 0;
    int worst = 0;
    for (std::size_t i = 0; i < ppm.size(); ++i) {
      for (int shift : {0, 8, 16}) {
        const int d = std::abs(channel(b->pixels()[i], shift) - channel(ppm[i], shift));
        sum += d;
        worst = std::max(worst, d);
      }
    }
    EXPECT_LE(sum / (3.0 * ppm.size()), row.mean) << row.file;
    EXPECT_LE(worst, row.max) << row.file;
  }
  if (access("/usr/bin/djpeg", X_OK) != 0) GTEST_SKIP() << "djpeg is not installed";
  for (const char* file :
       {"turbo/testorig.jpg", "made/progressive_420.jpg", "made/gray.jpg", "made/baseline_422.jpg"}) {
    const std::string out = dir.file("djpeg.ppm");
    const std::string cmd = "/usr/bin/djpeg -rgb -outfile '" + out + "' '" + corpus(file).string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const std::optional<Bitmap> b = convert(corpus(file));
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(pixels_of(*b), read_ppm(out, w, h)) << file;
  }
}

}  // namespace
}  // namespace vimbrel
