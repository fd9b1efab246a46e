// Pictures left in their files give the rows of a whole read, as pixels or as bytes, whatever the
// order the rows are asked for in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/imageio/bmp_format.h"
#include "platform/imageio/jpeg_source.h"
#include "tests/platform/imageio/picture_checks.h"
#include "tests/support/picture_files.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

const char* const kFiles[] = {"DIR:up.bmp",           "DIR:down.bmp",
                              "bmpsuite/g/rgb32.bmp", "jpeg/made/baseline_420.jpg",
                              "jpeg/made/gray.jpg",   "jpeg/made/cmyk_adobe0.jpg"};

class PictureSources : public ::testing::TestWithParam<const char*> {
 protected:
  PictureSources() {
    write_bitmap_file(test::pattern(61, 47, 1), dir.file("up.bmp"));
    test::write_top_down(test::pattern(58, 45, 2), dir.file("down.bmp"));
  }
  std::shared_ptr<PictureSource> open() {
    const std::string n = GetParam();
    const std::string path =
        n.starts_with("DIR:") ? dir.file(n.substr(4)) : (test::corpus_dir() / n).string();
    return n.ends_with(".jpg") ? open_jpeg_source(path) : open_bitmap_source(path);
  }
  test::TempDir dir;
};

// Row y of `whole` as B, G, R bytes.
std::vector<std::uint8_t> bytes_of_row(const Bitmap& whole, int y) {
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(whole.width()) * 3);
  pixels_to_bgr24(whole.row(y), bgr.data(), static_cast<std::size_t>(whole.width()));
  return bgr;
}

TEST_P(PictureSources, GiveTheRowsOfAWholeReadInEitherFormAndAnyOrder) {
  const std::shared_ptr<PictureSource> source = open();
  ASSERT_NE(source, nullptr);
  const Bitmap whole = source->whole();
  const int w = whole.width(), h = whole.height(), third = h / 3;
  const auto expect_pixels = [&](int first, int count, const char* step) {
    Bitmap band = Bitmap::create(w, count);
    source->read_rows(first, band);
    for (int k = 0; k < count; ++k)
      ASSERT_TRUE(std::equal(band.row(k), band.row(k) + w, whole.row(first + k)))
          << step << ", row " << first + k;
  };
  const auto expect_bytes = [&](int first, int count, const char* step) {
    std::vector<std::uint8_t> buffer;
    const Bgr24Rows rows = source->read_bgr24_rows(first, count, buffer);
    for (int k = 0; k < count; ++k) {
      const std::vector<std::uint8_t> want = bytes_of_row(whole, first + k);
      ASSERT_TRUE(std::equal(want.begin(), want.end(), rows.row(k))) << step << ", row " << first + k;
    }
  };
  // Each form goes on from where the other stopped, and from the top again.
  expect_pixels(0, third, "pixels first");
  expect_bytes(third, third, "bytes going on");
  expect_bytes(0, third, "bytes from the top");
  expect_pixels(third, h - third, "pixels going on");
  if (source->reads_spans()) {
    std::vector<std::uint8_t> span(static_cast<std::size_t>(w - 3) * 3);
    source->read_bgr24_span(h / 2, 2, w - 3, span.data());
    const std::vector<std::uint8_t> row = bytes_of_row(whole, h / 2);
    EXPECT_TRUE(std::equal(span.begin(), span.end(), row.begin() + 6));
  }
}

INSTANTIATE_TEST_SUITE_P(Files, PictureSources, ::testing::ValuesIn(kFiles),
                         [](const auto& info) { return test::row_name(info.param); });

}  // namespace
}  // namespace vimbrel
