// The converter's work file (never written through a link, never over an old file) and the formats
// other than JPEG.
#include "platform/imageio/jpeg2bmp.h"

#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <vector>

#include "tests/platform/imageio/jpeg2bmp_fixture.h"

namespace vimbrel {
namespace {

using namespace test;  // the converter's fixture and its reference decoders

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

// Qt's readers report a GIF's first frame and an ICO's directory entry, but make the GIF's logical
// screen and the ICO's embedded PNG: those are the sizes bounded (and admitted against memory).
TEST_F(Jpeg2BmpTest, GifScreensAndIcoPicturesAreBoundedAtTheSizeQtMakes) {
  // A 1 × 1 frame on a 5600 × 5600 screen, with a global table of two colours.
  const Bytes gif = {'G', 'I', 'F', '8', '9',  'a',  0xE0, 0x15, 0xE0, 0x15, 0x80, 0,
                     0,   0,   0,   0,   0xFF, 0xFF, 0xFF, 0x2C, 0,    0,    0,    0,
                     1,   0,   1,   0,   0,    2,    2,    0x44, 0x01, 0,    0x3B};
  // A 16 × 16 directory entry for a PNG whose header says 5600 × 5600 (Qt wants 40 bytes or more).
  const Bytes ico = {0,   0,   1, 0, 1,    0,    16,  16,  0,    0,    1,    0,    32,  0, 45, 0,  0,   0,
                     22,  0,   0, 0, 0x89, 'P',  'N', 'G', '\r', '\n', 0x1A, '\n', 0,   0, 0,  13, 'I', 'H',
                     'D', 'R', 0, 0, 0x15, 0xE0, 0,   0,   0x15, 0xE0, 8,    6,    0,   0, 0,  0,  0,   0,
                     0,   0,   0, 0, 0,    'I',  'E', 'N', 'D',  0xAE, 0x42, 0x60, 0x82};
  const struct {
    const char* name;
    const Bytes& file;
    std::string claim;
  } rows[] = {{"g.gif", gif, "GIF header claims 5600 × 5600"},
              {"i.ico", ico, "ICO header claims 5600 × 5600"}};
  for (const auto& row : rows) {
    write_bytes(dir.file(row.name), row.file);
    EXPECT_EQ(JPEG2BMP(dir.file(row.name), work()).failure,
              row.claim + " pixels but the file holds " + std::to_string(row.file.size()) + " bytes");
    EXPECT_FALSE(fs::exists(work()));
  }
}

}  // namespace
}  // namespace vimbrel
