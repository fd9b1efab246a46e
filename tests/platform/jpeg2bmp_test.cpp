#include "platform/jpeg2bmp.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/bitmap_file.h"
#include "platform/runtime_error.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

fs::path corpus(const std::string& rel) {
  return test::corpus_dir() / "jpeg" / rel;
}

Bytes file_bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void write_bytes(const fs::path& p, const Bytes& b) {
  std::ofstream(p, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

std::string row_name(std::string name) {
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

// ---- reference decoders, independent of the converter ----

// libjpeg-turbo's default decode through its TurboJPEG API, as pixels 0xFFRRGGBB.
std::vector<std::uint32_t> turbo_decode(const Bytes& jpeg, int& w, int& h) {
  tjhandle t = tjInitDecompress();
  int sub = 0, cs = 0;
  std::vector<std::uint32_t> px;
  if (tjDecompressHeader3(t, jpeg.data(), jpeg.size(), &w, &h, &sub, &cs) == 0) {
    px.resize(std::size_t(w) * h);
    // A warning (a cut-off file, say) still gives the decoded picture, as djpeg does.
    if (tjDecompress2(t, jpeg.data(), jpeg.size(), reinterpret_cast<unsigned char*>(px.data()), w, w * 4, h,
                      TJPF_BGRX, 0) != 0 &&
        tjGetErrorCode(t) != TJERR_WARNING) {
      px.clear();
    }
  }
  tjDestroy(t);
  for (auto& p : px) p |= 0xFF000000u;
  return px;
}

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

std::vector<std::uint32_t> pixels_of(const Bitmap& b) {
  return {b.pixels().begin(), b.pixels().end()};
}

std::vector<std::uint32_t> qt_pixels(const fs::path& p) {
  const QImage img = QImage(QString::fromStdString(p.string())).convertToFormat(QImage::Format_RGB32);
  std::vector<std::uint32_t> px;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) px.push_back(img.pixel(x, y) | 0xFF000000u);
  }
  return px;
}

int channel(std::uint32_t p, int shift) {
  return int(p >> shift) & 0xFF;
}

bool near(std::uint32_t p, std::uint32_t want, int tolerance) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(channel(p, shift) - channel(want, shift)) > tolerance) return false;
  }
  return true;
}

// ---- the fixture: a work folder and the conversion as the loader runs it ----

class Jpeg2BmpTest : public ::testing::Test {
 protected:
  std::string work() const { return dir.file("DAMMY.BMP"); }

  // Converts and reads back the work file; nothing when the conversion left no work file (a
  // clean failure), which is checked to be so.
  std::optional<Bitmap> convert(const fs::path& source) {
    try {
      JPEG2BMP(source.string(), work());
    } catch (const RuntimeError& e) {
      EXPECT_TRUE(e.code == errc::kOutOfMemory || e.code == errc::kPathAccess) << e.code;
      EXPECT_FALSE(fs::exists(work()));
      return std::nullopt;
    }
    if (!fs::exists(work())) return std::nullopt;
    Bitmap b = read_bitmap_file(work());
    fs::remove(work());
    return b;
  }

  test::TempDir dir;
};

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

// ---- JPEG files made here with TurboJPEG's compressor ----

// Compresses w × h pixels given as 0xRRGGBB by `colour(x, y)`.
template <typename F>
Bytes make_jpeg(int w, int h, F colour, int subsampling, int quality = 95, int flags = 0) {
  std::vector<unsigned char> rgb(std::size_t(w) * h * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint32_t c = colour(x, y);
      unsigned char* p = &rgb[(std::size_t(y) * w + x) * 3];
      p[0] = c >> 16;
      p[1] = c >> 8;
      p[2] = c;
    }
  }
  tjhandle t = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  EXPECT_EQ(tjCompress2(t, rgb.data(), w, 0, h, TJPF_RGB, &out, &size, subsampling, quality, flags), 0);
  Bytes jpeg(out, out + size);
  tjFree(out);
  tjDestroy(t);
  return jpeg;
}

std::uint32_t noise(int x, int y) {
  const std::uint32_t v = std::uint32_t(x) * 2654435761u ^ std::uint32_t(y) * 40503u;
  return ((v >> 8) ^ (std::uint32_t(x + y) << 10) ^ (std::uint32_t(y) << 3)) & 0xFFFFFF;
}

// An APP1 Exif segment holding only the Orientation tag, in either byte order, right after SOI.
Bytes with_exif_orientation(const Bytes& jpeg, int orientation, bool big_endian) {
  const auto u16 = [&](std::uint16_t v) {
    return big_endian ? Bytes{static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)}
                      : Bytes{static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
  };
  const auto u32 = [&](std::uint32_t v) {
    Bytes hi = u16(static_cast<std::uint16_t>(v >> 16)), lo = u16(static_cast<std::uint16_t>(v));
    if (!big_endian) std::swap(hi, lo);
    hi.insert(hi.end(), lo.begin(), lo.end());
    return hi;
  };
  Bytes tiff = big_endian ? Bytes{'M', 'M'} : Bytes{'I', 'I'};
  for (const Bytes& part : {u16(42), u32(8), u16(1), u16(0x0112), u16(3), u32(1),
                            u16(std::uint16_t(orientation)), u16(0), u32(0)}) {
    tiff.insert(tiff.end(), part.begin(), part.end());
  }
  Bytes payload = {'E', 'x', 'i', 'f', 0, 0};
  payload.insert(payload.end(), tiff.begin(), tiff.end());
  const std::size_t length = payload.size() + 2;
  Bytes out = {
      0xFF, 0xD8, 0xFF, 0xE1, static_cast<unsigned char>(length >> 8), static_cast<unsigned char>(length)};
  out.insert(out.end(), payload.begin(), payload.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

// The stored test picture: 32 × 16 in four quadrants, red, green / blue, white.
std::uint32_t quadrants(int x, int y) {
  return y < 8 ? (x < 16 ? kRed : kGreen) : (x < 16 ? kBlue : kWhite);
}

struct Orientation {
  int value;
  bool big_endian;
  std::uint32_t top_left, top_right, bottom_left, bottom_right;
};

void PrintTo(const Orientation& row, std::ostream* os) {
  *os << row.value << (row.big_endian ? " MM" : " II");
}

const Orientation kOrientations[] = {
    {1, false, kRed, kGreen, kBlue, kWhite}, {2, false, kGreen, kRed, kWhite, kBlue},
    {3, false, kWhite, kBlue, kGreen, kRed}, {4, false, kBlue, kWhite, kRed, kGreen},
    {5, false, kRed, kBlue, kGreen, kWhite}, {6, false, kBlue, kRed, kWhite, kGreen},
    {7, false, kWhite, kGreen, kBlue, kRed}, {8, false, kGreen, kWhite, kRed, kBlue},
    {6, true, kBlue, kRed, kWhite, kGreen},  {8, true, kGreen, kWhite, kRed, kBlue},
};

class ExifOrientation : public Jpeg2BmpTest, public ::testing::WithParamInterface<Orientation> {};

TEST_P(ExifOrientation, TurnsAndMirrorsThePictureUpright) {
  const Orientation& row = GetParam();
  const Bytes jpeg = make_jpeg(32, 16, quadrants, TJSAMP_444, 100);
  write_bytes(dir.file("o.jpg"), with_exif_orientation(jpeg, row.value, row.big_endian));
  const std::optional<Bitmap> b = convert(dir.file("o.jpg"));
  ASSERT_TRUE(b.has_value());
  const bool swapped = row.value >= 5;
  ASSERT_EQ(b->width(), swapped ? 16 : 32);
  ASSERT_EQ(b->height(), swapped ? 32 : 16);
  const int r = b->width() - 2, l = 1, t = 1, btm = b->height() - 2;
  EXPECT_TRUE(near(b->at(l, t), row.top_left, 12));
  EXPECT_TRUE(near(b->at(r, t), row.top_right, 12));
  EXPECT_TRUE(near(b->at(l, btm), row.bottom_left, 12));
  EXPECT_TRUE(near(b->at(r, btm), row.bottom_right, 12));
}

INSTANTIATE_TEST_SUITE_P(Orientations, ExifOrientation, ::testing::ValuesIn(kOrientations),
                         [](const auto& info) {
                           return "orientation" + std::to_string(info.param.value) +
                                  (info.param.big_endian ? "_MM" : "_II");
                         });

struct Layout {
  const char* name;
  int width, height, subsampling, flags;
};

void PrintTo(const Layout& row, std::ostream* os) {
  *os << row.name;
}

// Large enough for many strips, odd sizes for partial blocks and row padding.
const Layout kLayouts[] = {
    {"s420", 1001, 703, TJSAMP_420, 0},
    {"s422", 999, 600, TJSAMP_422, 0},
    {"s444", 803, 701, TJSAMP_444, 0},
    {"grey", 1002, 555, TJSAMP_GRAY, 0},
    {"progressive", 1001, 701, TJSAMP_420, TJFLAG_PROGRESSIVE},
    {"s440", 641, 479, TJSAMP_440, 0},
};

class StreamedDecode : public Jpeg2BmpTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(StreamedDecode, EqualsTheWholePictureDecode) {
  const Layout& row = GetParam();
  const Bytes jpeg = make_jpeg(row.width, row.height, noise, row.subsampling, 90, row.flags);
  write_bytes(dir.file("n.jpg"), jpeg);
  const std::optional<Bitmap> b = convert(dir.file("n.jpg"));
  ASSERT_TRUE(b.has_value());
  int w = 0, h = 0;
  EXPECT_EQ(pixels_of(*b), turbo_decode(jpeg, w, h));
}

INSTANTIATE_TEST_SUITE_P(Layouts, StreamedDecode, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Jpeg2BmpTest, NeverWritesThroughALinkPlantedAtTheWorkPath) {
  const std::string victim = dir.file("victim.txt");
  write_bytes(victim, {'k', 'e', 'e', 'p'});
  fs::create_symlink(victim, work());
  EXPECT_THROW(JPEG2BMP(corpus("made/baseline_420.jpg").string(), work()), RuntimeError);
  EXPECT_TRUE(fs::is_symlink(work()));
  EXPECT_EQ(file_bytes(victim), (Bytes{'k', 'e', 'e', 'p'}));
  fs::remove(work());
  fs::create_symlink(dir.file("nowhere"), work());  // a dangling link is refused as well
  EXPECT_THROW(JPEG2BMP(corpus("made/baseline_420.jpg").string(), work()), RuntimeError);
  EXPECT_FALSE(fs::exists(dir.file("nowhere")));
}

TEST_F(Jpeg2BmpTest, AnExistingWorkFileOrAMissingFolderIsCode75AndNothingIsWritten) {
  write_bytes(work(), {'o', 'l', 'd'});
  try {
    JPEG2BMP(corpus("made/baseline_420.jpg").string(), work());
    ADD_FAILURE() << "wrote over an existing work file";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code, errc::kPathAccess);
  }
  EXPECT_EQ(file_bytes(work()), (Bytes{'o', 'l', 'd'}));
  EXPECT_THROW(JPEG2BMP(corpus("made/baseline_420.jpg").string(), dir.file("no/DAMMY.BMP")), RuntimeError);
}

TEST_F(Jpeg2BmpTest, AMissingSourceWritesNothing) {
  JPEG2BMP(dir.file("none.jpg"), work());
  EXPECT_FALSE(fs::exists(work()));
}

TEST_F(Jpeg2BmpTest, APngIsConvertedPixelForPixel) {
  QImage png(37, 21, QImage::Format_RGB32);
  for (int y = 0; y < png.height(); ++y) {
    for (int x = 0; x < png.width(); ++x) png.setPixel(x, y, 0xFF000000u | noise(x, y));
  }
  ASSERT_TRUE(png.save(QString::fromStdString(dir.file("p.png")), "PNG"));
  const std::optional<Bitmap> b = convert(dir.file("p.png"));
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(pixels_of(*b), qt_pixels(dir.file("p.png")));
}

TEST_F(Jpeg2BmpTest, AGifIsConverted) {
  // 3 × 2: red, green, blue over white, black, grey (made with ppmtogif).
  const Bytes gif = {0x47, 0x49, 0x46, 0x38, 0x37, 0x61, 0x03, 0x00, 0x02, 0x00, 0xa2, 0x00, 0x00, 0x00,
                     0x00, 0x00, 0xff, 0x00, 0x00, 0x80, 0x80, 0x80, 0xff, 0xff, 0xff, 0x00, 0xff, 0x00,
                     0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00,
                     0x03, 0x00, 0x02, 0x00, 0x00, 0x03, 0x04, 0x18, 0x54, 0x03, 0x92, 0x00, 0x3b};
  write_bytes(dir.file("g.gif"), gif);
  const std::optional<Bitmap> b = convert(dir.file("g.gif"));
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(pixels_of(*b), (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu,
                                                       0xFF000000u, 0xFF808080u}));
}

// Byte offset of the last SOS marker of a JPEG.
std::size_t last_scan(const Bytes& jpeg) {
  std::size_t at = 0;
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) at = i;
  }
  return at;
}

// A progressive file whose last scan is repeated: past the scan limit it is refused, below it the
// decoder reads it (so the limit is what refuses it).
TEST_F(Jpeg2BmpTest, AProgressiveFileWithAbsurdlyManyScansIsRefused) {
  const Bytes jpeg = make_jpeg(64, 48, noise, TJSAMP_420, 90, TJFLAG_PROGRESSIVE);
  const std::size_t scan = last_scan(jpeg);
  const Bytes last(jpeg.begin() + std::ptrdiff_t(scan), jpeg.end() - 2);  // up to the EOI marker
  for (int repeats : {20, 600}) {
    Bytes hostile(jpeg.begin(), jpeg.end() - 2);
    for (int i = 0; i < repeats; ++i) hostile.insert(hostile.end(), last.begin(), last.end());
    hostile.insert(hostile.end(), {0xFF, 0xD9});
    write_bytes(dir.file("scans.jpg"), hostile);
    EXPECT_EQ(convert(dir.file("scans.jpg")).has_value(), repeats < 500) << repeats;
  }
}

// The frame header's size fields patched to 65500 × 65500 in a file of a few hundred bytes.
Bytes claiming_huge_size(Bytes jpeg, unsigned char sof) {
  for (std::size_t i = 0; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
      jpeg[i + 1] = sof;
      jpeg[i + 5] = jpeg[i + 7] = 0xFF;
      jpeg[i + 6] = jpeg[i + 8] = 0xDC;
      break;
    }
  }
  return jpeg;
}

TEST_F(Jpeg2BmpTest, HugeClaimsAreRefusedBeforeAnythingIsAllocated) {
  const Bytes progressive = make_jpeg(16, 16, noise, TJSAMP_420, 90, TJFLAG_PROGRESSIVE);
  // Huffman coding cannot describe 4 gigapixels in a few hundred bytes: refused, nothing written.
  write_bytes(dir.file("huffman.jpg"), claiming_huge_size(progressive, 0xC2));
  JPEG2BMP(dir.file("huffman.jpg"), work());
  EXPECT_FALSE(fs::exists(work()));
  // Arithmetic coding could, in principle: memory refuses it (16 GiB of pixels plus coefficients).
  write_bytes(dir.file("arith.jpg"), claiming_huge_size(progressive, 0xCA));
  try {
    JPEG2BMP(dir.file("arith.jpg"), work());
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code, errc::kOutOfMemory);
  }
  EXPECT_FALSE(fs::exists(work()));
}

}  // namespace
}  // namespace vimbrel
