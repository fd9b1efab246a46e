// The alignment search on real cases with known offsets: pairs cut from the corpus' photographs at
// overlaps from 10 % to 90 %, on every side, one brightened, some re-encoded as JPEG at quality 75;
// two screenshots of a scrolled text page. And the cases it must refuse.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "join/alignment.h"
#include "join/twins.h"
#include "platform/imageio/bitmap_file.h"
#include "tests/support/pictures.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

// ---- The sources the pairs are cut from.

enum class Source { Testorig, Bird, TextPage, Checkerboard, Grey };

Bitmap read_ppm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int w = 0, h = 0, max = 0;
  in >> magic >> w >> h >> max;
  in.get();
  if (magic != "P6" || max != 255) throw std::runtime_error("not an 8-bit PPM: " + path);
  Bitmap b = Bitmap::create(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      unsigned char rgb[3];
      in.read(reinterpret_cast<char*>(rgb), 3);
      b.at(x, y) = 0xFF000000u | (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
    }
  }
  return b;
}

// A page of text as a browser shows it, 640 pixels wide, rendered by Qt.
Bitmap text_page() {
  QImage page(640, 1400, QImage::Format_RGB32);
  page.fill(Qt::white);
  QPainter p(&page);
  QFont font("IPAGothic");
  font.setPixelSize(14);
  p.setFont(font);
  p.setPen(Qt::black);
  const QString words[] = {"picture", "join", "overlap",  "the",    "a",          "scan",
                           "of",      "page", "two",      "halves", "screenshot", "scrolled",
                           "between", "them", "panorama", "map",    "tile",       "slide"};
  unsigned seed = 7;
  for (int line = 0; line < 64; ++line) {
    QString text;
    const int words_on_line = line % 9 == 8 ? 4 : 11;  // the last line of a paragraph is short
    for (int w = 0; w < words_on_line; ++w) {
      seed = seed * 1103515245u + 12345u;
      text += words[(seed >> 16) % 18] + " ";
    }
    p.drawText(24, 30 + line * 21 + (line / 9) * 12, text);
  }
  p.end();
  Bitmap b = Bitmap::create(page.width(), page.height());
  for (int y = 0; y < page.height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(page.constScanLine(y));
    std::copy(row, row + page.width(), b.row(y));
  }
  return b;
}

Bitmap source(Source s) {
  switch (s) {
    case Source::Testorig:
      return read_ppm((test::corpus_dir() / "jpeg/turbo/testorig.ppm").string());
    case Source::Bird:
      return read_bitmap_file((test::corpus_dir() / "jpeg/turbo/shira_bird8.bmp").string());
    case Source::TextPage:
      return text_page();
    case Source::Checkerboard:  // squares of 16: shifted by 32 it is itself again
      return test::picture(400, 300,
                           [](int x, int y) { return ((x / 16 + y / 16) % 2) ? 0xFFFFFFFFu : 0xFF000000u; });
    case Source::Grey:
      return test::picture(200, 150, [](int, int) { return 0xFF808080u; });
  }
  return {};
}

// ---- What a case does to its pieces.

Bitmap cut(const Bitmap& from, PixelRect r) {
  Bitmap b = Bitmap::create(r.w, r.h);
  for (int y = 0; y < r.h; ++y) std::copy_n(from.row(static_cast<int>(r.y) + y) + r.x, r.w, b.row(y));
  return b;
}

void brighten(Bitmap& b, double factor) {
  for (std::uint32_t& p : b.pixels()) {
    std::uint32_t out = 0xFF000000u;
    for (int shift : {16, 8, 0}) {
      const double c = std::min(255.0, std::round(((p >> shift) & 0xFF) * factor));
      out |= static_cast<std::uint32_t>(c) << shift;
    }
    p = out;
  }
}

// Encoded as JPEG at `quality` (4:2:0) and decoded again.
Bitmap through_jpeg(const Bitmap& b, int quality) {
  tjhandle enc = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const auto* px = reinterpret_cast<const unsigned char*>(b.pixels().data());
  if (tjCompress2(enc, px, b.width(), 0, b.height(), TJPF_BGRX, &jpeg, &size, TJSAMP_420, quality, 0) != 0)
    throw std::runtime_error("JPEG encoding failed");
  tjDestroy(enc);
  Bitmap out = Bitmap::create(b.width(), b.height());
  tjhandle dec = tjInitDecompress();
  const int rc = tjDecompress2(dec, jpeg, size, reinterpret_cast<unsigned char*>(out.pixels().data()),
                               b.width(), 0, b.height(), TJPF_BGRX, 0);
  tjDestroy(dec);
  tjFree(jpeg);
  if (rc != 0) throw std::runtime_error("JPEG decoding failed");
  for (std::uint32_t& p : out.pixels()) p |= 0xFF000000u;
  return out;
}

// ---- The table.

enum Change { kAsCut = 0, kBrighterB = 1, kJpeg75 = 2 };

struct Case {
  const char* name;
  Source from;
  // Where A and B are cut from the source; B's offset from A is the difference of the corners.
  PixelRect a, b;
  int change = kAsCut;
  bool refused = false;
  // B from another source (the unrelated pair)
  std::optional<Source> b_from = std::nullopt;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

// Testorig is 227 × 149, the bird 192 × 144, the text page 640 × 1400. Overlap percentages are of
// the piece's width (or height) along the join; the other axis is shifted a few pixels.
const Case kCases[] = {
    {"testorig_right_10pc", Source::Testorig, {0, 0, 122, 145}, {108, 4, 119, 145}},
    {"testorig_right_50pc", Source::Testorig, {0, 3, 151, 146}, {76, 0, 151, 146}},
    {"testorig_right_90pc", Source::Testorig, {0, 0, 207, 140}, {20, 9, 207, 140}},
    {"testorig_left_30pc", Source::Testorig, {94, 0, 133, 142}, {0, 7, 134, 142}},
    {"testorig_below_20pc", Source::Testorig, {0, 0, 220, 83}, {5, 67, 220, 82}},
    {"testorig_above_70pc", Source::Testorig, {2, 35, 225, 114}, {0, 0, 225, 114}},
    {"bird_right_27pc", Source::Bird, {0, 0, 111, 140}, {81, 4, 111, 140}},
    {"bird_left_60pc", Source::Bird, {55, 2, 137, 142}, {0, 0, 137, 142}},
    {"bird_below_33pc", Source::Bird, {0, 0, 186, 86}, {6, 58, 186, 86}},
    {"bird_above_13pc", Source::Bird, {3, 67, 189, 77}, {0, 0, 189, 77}},
    {"bird_right_brighter_b", Source::Bird, {0, 0, 120, 144}, {72, 0, 120, 144}, kBrighterB},
    {"testorig_right_35pc_jpeg75", Source::Testorig, {0, 0, 137, 149}, {88, 0, 139, 149}, kJpeg75},
    {"bird_below_25pc_jpeg75", Source::Bird, {0, 0, 192, 82}, {0, 62, 190, 82}, kJpeg75},
    {"bird_left_50pc_brighter_jpeg75",
     Source::Bird,
     {64, 0, 128, 140},
     {0, 4, 128, 140},
     kBrighterB | kJpeg75},
    {"text_page_scrolled_230", Source::TextPage, {0, 0, 640, 480}, {0, 230, 640, 480}},
    {"text_page_scrolled_back_405", Source::TextPage, {0, 405, 640, 480}, {0, 0, 640, 480}},
    // Refused: nothing shared, nothing to match, or a match every period.
    {"unrelated_photos", Source::Testorig, {0, 0, 180, 140}, {0, 0, 180, 140}, kAsCut, true, Source::Bird},
    {"flat_grey", Source::Grey, {0, 0, 120, 150}, {60, 0, 120, 150}, kAsCut, true},
    {"checkerboard_shifted_by_its_period",
     Source::Checkerboard,
     {0, 0, 240, 300},
     {32, 0, 240, 300},
     kAsCut,
     true},
};

class Alignment_ : public ::testing::TestWithParam<Case> {};

TEST_P(Alignment_, FindsTheOffsetToThePixelOrRefuses) {
  const Case& c = GetParam();
  const Bitmap src = source(c.from);
  Bitmap a = cut(src, c.a);
  Bitmap b = cut(c.b_from ? source(*c.b_from) : source(c.from), c.b);
  if (c.change & kBrighterB) brighten(b, 1.2);
  if (c.change & kJpeg75) a = through_jpeg(a, 75), b = through_jpeg(b, 75);

  AlignmentRequest q;
  q.fixed = &a, q.fixed_part = {0, 0, a.width(), a.height()};
  q.moving = &b, q.moving_part = {0, 0, b.width(), b.height()};
  q.range = {-b.width(), a.width(), -b.height(), a.height()};  // anywhere
  const Alignment found = find_alignment(q);
  RecordProperty("score", std::to_string(found.score));
  std::cout << c.name << ": offset (" << found.offset.u << ", " << found.offset.v << ") score " << found.score
            << " runner-up " << found.runner_up << (found.found ? "" : " refused: " + found.reason) << "\n";
  if (c.refused) {
    EXPECT_FALSE(found.found);
    EXPECT_FALSE(found.reason.empty());
  } else {
    ASSERT_TRUE(found.found) << found.reason;
    EXPECT_EQ(found.offset.u, c.b.x - c.a.x);
    EXPECT_EQ(found.offset.v, c.b.y - c.a.y);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Alignment_, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace vimbrel
