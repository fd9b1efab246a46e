// JPEG files made here with TurboJPEG's compressor: EXIF orientations, strip-wise decoding of every
// layout, and the limits on hostile files.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/imageio/qt_codecs.h"
#include "platform/system/file_io.h"
#include "tests/platform/imageio/jpeg2bmp_fixture.h"

namespace vimbrel {
namespace {

using namespace test;  // the converter's fixture and its reference decoders

// An APP1 Exif segment holding only the Orientation tag, in either byte order, after SOI and
// `padding` APP2 segments of 60 000 bytes each.
Bytes with_exif_orientation(const Bytes& jpeg, int orientation, bool big_endian, int padding = 0) {
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
  Bytes out = {0xFF, 0xD8};
  for (int i = 0; i < padding; ++i) {
    const Bytes segment = {0xFF, 0xE2, 60000 >> 8, 60000 & 0xFF};
    out.insert(out.end(), segment.begin(), segment.end());
    out.resize(out.size() + 60000 - 2, 'x');
  }
  const Bytes marker = {0xFF, 0xE1, static_cast<unsigned char>(length >> 8),
                        static_cast<unsigned char>(length)};
  out.insert(out.end(), marker.begin(), marker.end());
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
  int padding = 0;  // segments before the Exif one, which then lies far into the file
};

void PrintTo(const Orientation& row, std::ostream* os) {
  *os << row.value << (row.big_endian ? " MM" : " II") << " after " << row.padding;
}

const Orientation kOrientations[] = {
    {1, false, kRed, kGreen, kBlue, kWhite},   {2, false, kGreen, kRed, kWhite, kBlue},
    {3, false, kWhite, kBlue, kGreen, kRed},   {4, false, kBlue, kWhite, kRed, kGreen},
    {5, false, kRed, kBlue, kGreen, kWhite},   {6, false, kBlue, kRed, kWhite, kGreen},
    {7, false, kWhite, kGreen, kBlue, kRed},   {8, false, kGreen, kWhite, kRed, kBlue},
    {6, true, kBlue, kRed, kWhite, kGreen},    {8, true, kGreen, kWhite, kRed, kBlue},
    {8, true, kGreen, kWhite, kRed, kBlue, 3},
};

class ExifOrientation : public Jpeg2BmpTest, public ::testing::WithParamInterface<Orientation> {};

TEST_P(ExifOrientation, TurnsAndMirrorsThePictureUpright) {
  const Orientation& row = GetParam();
  const Bytes jpeg = make_jpeg(32, 16, quadrants, TJSAMP_444, 100);
  write_bytes(dir.file("o.jpg"), with_exif_orientation(jpeg, row.value, row.big_endian, row.padding));
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
                                  (info.param.big_endian ? "_MM" : "_II") +
                                  (info.param.padding > 0 ? "_far_into_the_file" : "");
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

// Byte offset of the last SOS marker of a JPEG.
std::size_t last_scan(const Bytes& jpeg) {
  std::size_t at = 0;
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) at = i;
  }
  return at;
}

// The file with its last scan repeated `repeats` times (a refinement scan, which libjpeg tolerates).
Bytes with_last_scan_repeated(const Bytes& jpeg, int repeats) {
  const std::size_t scan = last_scan(jpeg);
  const Bytes last(jpeg.begin() + std::ptrdiff_t(scan), jpeg.end() - 2);  // up to the EOI marker
  Bytes out(jpeg.begin(), jpeg.end() - 2);
  for (int i = 0; i < repeats; ++i) out.insert(out.end(), last.begin(), last.end());
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

// On a small picture past the scan limit it is refused, below it the decoder reads it (so the limit
// is what refuses it). On a large one the scans' work is bounded by its blocks: its encoder's scans
// cover each block about 5 times; 30 more of its luma scans stay within the bound of 32, 60 do not.
TEST_F(Jpeg2BmpTest, ProgressiveFilesWithAbsurdlyManyScansAreRefused) {
  const Bytes small = make_jpeg(64, 48, noise, TJSAMP_420, 90, TJFLAG_PROGRESSIVE);
  const auto squares = [](int x, int y) { return (x / 64 + y / 64) % 2 ? 0x336699u : 0xCC9966u; };
  const Bytes large = make_jpeg(2048, 2048, squares, TJSAMP_420, 90, TJFLAG_PROGRESSIVE);
  const struct {
    const Bytes& jpeg;
    int repeats;
    bool read;
  } rows[] = {
      {small, 20, true}, {small, 600, false}, {large, 0, true}, {large, 30, true}, {large, 60, false}};
  for (const auto& row : rows) {
    write_bytes(dir.file("scans.jpg"), with_last_scan_repeated(row.jpeg, row.repeats));
    const std::optional<Bitmap> b = convert(dir.file("scans.jpg"));
    EXPECT_EQ(b.has_value(), row.read) << row.jpeg.size() << " bytes, " << row.repeats;
    if (b && row.repeats == 0) {
      int w = 0, h = 0;
      EXPECT_EQ(pixels_of(*b), turbo_decode(row.jpeg, w, h));
    }
  }
}

// Qt's reader takes a file whose start marker is followed by a stray byte (libjpeg skips it), and
// would decode its every scan: such a file meets the decoder's bounds all the same.
TEST_F(Jpeg2BmpTest, AStrayByteAfterTheStartMarkerDoesNotGetAroundTheScanLimit) {
  const Bytes small = make_jpeg(64, 48, noise, TJSAMP_420, 90, TJFLAG_PROGRESSIVE);
  const auto with_stray_byte = [](Bytes jpeg) {
    jpeg.insert(jpeg.begin() + 2, 0x00);
    return jpeg;
  };
  write_bytes(dir.file("stray.jpg"), with_stray_byte(with_last_scan_repeated(small, 600)));
  EXPECT_EQ(JPEG2BMP(dir.file("stray.jpg"), work()).failure, "a progressive JPEG of more than 500 scans");
  EXPECT_FALSE(fs::exists(work()));
  std::uint64_t size = 0;
  const UniqueFd fd = open_for_reading(dir.file("stray.jpg"), size);
  try {
    linked_qt_codecs().read_other(fd.get(), size);
    ADD_FAILURE() << "Qt's reader decoded a JPEG";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code, errc::kInvalidPicture);
  }
  // An ordinary picture with the stray byte is the decoder's (the fixture checks it kept the pixels).
  write_bytes(dir.file("stray.jpg"), with_stray_byte(small));
  const std::optional<Bitmap> b = convert(dir.file("stray.jpg"));
  ASSERT_TRUE(b.has_value());
  int w = 0, h = 0;
  EXPECT_EQ(pixels_of(*b), turbo_decode(small, w, h));
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

// The frame header's size fields (the first SOFn, any coding) patched to `w` × `h`.
Bytes claiming(Bytes jpeg, int w, int h) {
  for (std::size_t i = 0; i + 9 < jpeg.size(); ++i) {
    const unsigned char m = jpeg[i + 1];
    if (jpeg[i] == 0xFF && m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) {
      jpeg[i + 5] = static_cast<unsigned char>(h >> 8);
      jpeg[i + 6] = static_cast<unsigned char>(h);
      jpeg[i + 7] = static_cast<unsigned char>(w >> 8);
      jpeg[i + 8] = static_cast<unsigned char>(w);
      break;
    }
  }
  return jpeg;
}

// The file after its start marker, behind a comment of `bytes` padding.
Bytes padded(const Bytes& jpeg, std::size_t bytes) {
  Bytes out = {0xFF,
               0xD8,
               0xFF,
               0xFE,
               static_cast<unsigned char>((bytes + 2) >> 8),
               static_cast<unsigned char>(bytes + 2)};
  out.resize(out.size() + bytes, ' ');
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

Bytes cut_to(Bytes jpeg, std::size_t bytes) {
  jpeg.resize(bytes);
  return jpeg;
}

// Claims are measured against the scans' coded data alone, and a cut-off file's at the Huffman rate:
// a few hundred bytes of scans in a padded file, or an arithmetic-coded file cut off after 2 KB, do
// not make a 4096 × 4096 picture of zeros. An ordinary cut-off photo still loads, with a warning.
TEST_F(Jpeg2BmpTest, ClaimsBeyondWhatTheCodedDataCoversAreRefusedBeforeDecoding) {
  const Bytes huffman = padded(claiming(make_jpeg(16, 16, noise, TJSAMP_420, 90), 4096, 4096), 20000);
  const Bytes arithmetic = file_bytes(corpus("turbo/testimgari.jpg"));
  const std::string claim = "JPEG header claims 4096 × 4096 pixels but its scans hold ";
  const std::string cut_off = " and stop before the end marker (a cut-off file)";
  const struct {
    const char* name;
    Bytes file;
    std::string failure_starts, failure_ends, warning;
  } rows[] = {
      {"padded Huffman", huffman, claim, " bytes of coded data", ""},
      {"padded Huffman cut off", cut_to(huffman, huffman.size() - 8), claim, cut_off, ""},
      {"arithmetic cut off", cut_to(claiming(arithmetic, 4096, 4096), 2048), claim, cut_off, ""},
      {"cut-off photo", file_bytes(corpus("made/truncated_half.jpg")), "", "",
       "the JPEG data ends before its end marker (a cut-off file?); it was loaded as far as it goes"},
  };
  for (const auto& row : rows) {
    write_bytes(dir.file("claim.jpg"), row.file);
    const ConvertedPicture got = JPEG2BMP(dir.file("claim.jpg"), work());
    EXPECT_EQ(got.failure.rfind(row.failure_starts, 0), 0u) << row.name << ": " << got.failure;
    EXPECT_TRUE(got.failure.ends_with(row.failure_ends)) << row.name << ": " << got.failure;
    EXPECT_EQ(got.failure.empty(), row.failure_starts.empty()) << row.name;
    EXPECT_EQ(got.warning, row.warning) << row.name;
    EXPECT_EQ(fs::exists(work()), got.failure.empty()) << row.name;
    fs::remove(work());
  }
}

}  // namespace
}  // namespace vimbrel
