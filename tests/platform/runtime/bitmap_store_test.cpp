#include <gtest/gtest.h>

#include <limits>

#include "platform/imageio/bitmap_file.h"
#include "platform/pixels/runtime_error.h"
#include "platform/runtime/headless/headless_runtime.h"
#include "tests/support/mini_layout.h"
#include "tests/support/pictures.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_runtime.h"

namespace vimbrel {
namespace {

class BitmapObjectTest : public ::testing::Test {
 protected:
  BitmapObjectTest() : rt(test::mini_layout()) {
    rt.BITMAPOBJECT(src);
    rt.BITMAPOBJECT(dst);
  }
  test::TestRuntime rt;
  BitmapObject src, dst;
};

TEST_F(BitmapObjectTest, CreationAcceptsZeroSizeAndRefusesWhatCannotBeAllocated) {
  EXPECT_EQ(rt.CHECKOBJECT(src), 0);
  rt.CREATEBITMAP(src, 0, 0);
  EXPECT_NE(rt.CHECKOBJECT(src), 0);
  EXPECT_EQ(rt.GETBITMAPWIDTH(src), 0.0f);

  constexpr std::int64_t big = std::numeric_limits<int>::max();
  EXPECT_EQ(trapped([&] { rt.CREATEBITMAP(src, big, big); }), 7);  // would overflow
  EXPECT_EQ(trapped([&] { rt.CREATEBITMAP(src, 1'000'000, 1'000'000); }), 7);
  EXPECT_EQ(trapped([&] { rt.CREATEBITMAP(src, -1, 5); }), 7);
  EXPECT_EQ(rt.CHECKOBJECT(src), 0);  // a failed creation leaves the object empty

  rt.CREATEBITMAP(src, 3, 2);
  rt.fail_next_create_bitmap();
  EXPECT_EQ(trapped([&] { rt.CREATEBITMAP(dst, 3, 2); }), 7);
  rt.CREATEBITMAP(dst, 3, 2);  // the hook fails one creation only
  EXPECT_EQ(rt.GETBITMAPHEIGHT(dst), 2.0f);
  rt.DELETEOBJECT(dst);
  EXPECT_EQ(rt.CHECKOBJECT(dst), 0);
}

TEST_F(BitmapObjectTest, BitBltRoundsFloatCoordinatesAndUsesTheTargetsDrawMode) {
  rt.CREATEBITMAP(src, 2, 2);
  rt.CREATEBITMAP(dst, 6, 6);
  rt.FILLBOX(src, 0, 0, 1, 1, 15);
  rt.FILLBOX(dst, 0, 0, 5, 5, 12);
  // 1.5 rounds to 2, 0.49 to 0: the 2 × 2 white block lands at (2, 0).
  rt.BITBLT(dst, 1.5f, 0.49f, 2.4f, 2.0f, src, 0.2f, -0.2f);
  const Bitmap& d = *rt.picture(dst);
  EXPECT_EQ(d.at(2, 0), 0xFFFFFFFFu);
  EXPECT_EQ(d.at(3, 1), 0xFFFFFFFFu);
  EXPECT_EQ(d.at(1, 0), 0xFFFF0000u);
  EXPECT_EQ(d.at(4, 0), 0xFFFF0000u);

  rt.SETDRAWMODE(dst, 7);  // XOR: white over red gives cyan
  rt.BITBLT(dst, 0, 4, 2, 2, src, 0, 0);
  EXPECT_EQ(d.at(0, 4), 0xFF00FFFFu);
  rt.CREATEBITMAP(dst, 6, 6);  // a new bitmap draws in copy mode again
  rt.BITBLT(dst, 0, 0, 2, 2, src, 0, 0);
  EXPECT_EQ(rt.picture(dst)->at(0, 0), 0xFFFFFFFFu);
}

TEST_F(BitmapObjectTest, BitBltIntoAPictureControlShowsOnItsSurface) {
  rt.CREATEBITMAP(src, 100, 100);
  rt.FILLBOX(src, 0, 0, 99, 99, 10);
  const Window pic = rt.GETDLGITEM(Window{}, "PICTURE1");
  rt.BITBLT(pic, 30, 20, 100, 100, src, 0, 0);
  const Bitmap& s = rt.surface(pic);
  ASSERT_EQ(s.width(), 40);
  ASSERT_EQ(s.height(), 30);
  EXPECT_EQ(s.at(29, 19), 0xFFFFFFFFu);  // untouched background
  EXPECT_EQ(s.at(30, 20), 0xFF00FF00u);
  EXPECT_EQ(s.at(39, 29), 0xFF00FF00u);
  rt.CLEARPICTURE(pic);
  EXPECT_EQ(rt.surface(pic).at(39, 29), 0xFFFFFFFFu);
}

TEST_F(BitmapObjectTest, ASavedFileReadsBackPixelForPixel) {
  test::TempDir dir;
  rt.CREATEBITMAP(src, 7, 3);  // odd width: rows are padded in the file
  Bitmap& p = *rt.picture(src);
  test::paint(
      p, [](int x, int y) { return 0xFF000000u | static_cast<std::uint32_t>(x * 0x231F07 + y * 0x0A0B0C); });
  rt.SAVEFILE(src, dir.file("out.bmp"));
  rt.LOADBITMAPFILE(dst, dir.file("out.bmp"));
  ASSERT_EQ(rt.GETBITMAPWIDTH(dst), 7.0f);
  ASSERT_EQ(rt.GETBITMAPHEIGHT(dst), 3.0f);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(rt.picture(dst)->at(x, y), p.at(x, y));
  EXPECT_EQ(trapped([&] { rt.LOADBITMAPFILE(dst, dir.file("missing.bmp")); }), 53);
  EXPECT_EQ(rt.CHECKOBJECT(dst), 0);
}

TEST_F(BitmapObjectTest, NewAndDeferredPicturesAreWrittenAsTheyWouldBeDrawn) {
  test::TempDir dir;
  rt.CREATEBITMAP(src, 5, 3);
  rt.SAVEFILE(src, dir.file("new.bmp"));
  const Bitmap black = read_bitmap_file(dir.file("new.bmp"));
  ASSERT_EQ(black.width(), 5);
  for (const std::uint32_t p : black.pixels()) EXPECT_EQ(p, 0xFF000000u);

  // A tall picture, painted strip by strip as it is written: rows must land in order, the last strip short.
  const auto colour = [](std::int64_t x, std::int64_t y) {
    return 0xFF000000u | static_cast<std::uint32_t>(y * 977 + x * 13);
  };
  rt.CREATEBITMAP(dst, 7, 130);
  rt.DEFER(dst, {},
           [&](Bitmap& out, std::int64_t at_x, std::int64_t at_y, PixelRect r, std::span<const Bitmap* const>,
               int) {
             for (std::int64_t y = 0; y < r.h; ++y)
               for (std::int64_t x = 0; x < r.w; ++x)
                 out.at(static_cast<int>(at_x + x), static_cast<int>(at_y + y)) = colour(r.x + x, r.y + y);
           });
  rt.SAVEFILE(dst, dir.file("deferred.bmp"));
  EXPECT_TRUE(rt.deferred(dst));  // writing did not have to make the whole picture
  const Bitmap written = read_bitmap_file(dir.file("deferred.bmp"));
  const Bitmap& drawn = *rt.picture(dst);
  ASSERT_EQ(written.height(), 130);
  for (int y = 0; y < 130; ++y)
    for (int x = 0; x < 7; ++x) {
      ASSERT_EQ(written.at(x, y), colour(x, y)) << x << "," << y;
      ASSERT_EQ(drawn.at(x, y), colour(x, y)) << x << "," << y;
    }
}

// A drawing that fails part-way (here its source cannot be produced) leaves both pictures to be drawn
// in full the next time they are read, never half made.
TEST_F(BitmapObjectTest, ADeferredDrawingThatFailsIsDrawnAgainWhenNextRead) {
  rt.CREATEBITMAP(src, 4, 2);
  rt.CREATEBITMAP(dst, 4, 2);
  int failures = 1;
  rt.DEFER(src, {},
           [&](Bitmap& out, std::int64_t at_x, std::int64_t at_y, PixelRect r, std::span<const Bitmap* const>,
               int) {
             if (failures-- > 0) throw RuntimeError{errc::kOutOfMemory};
             fill_rect(out, {at_x, at_y, r.w, r.h}, 0xFF112233u);
           });
  rt.DEFER(
      dst, {src},
      [](Bitmap& out, std::int64_t at_x, std::int64_t at_y, PixelRect r, std::span<const Bitmap* const> in,
         int) { blit(out, at_x, at_y, r.w, r.h, *in[0], r.x, r.y, kDrawModeCopy); });
  EXPECT_EQ(trapped([&] { rt.picture(dst); }), errc::kOutOfMemory);
  EXPECT_TRUE(rt.deferred(src));
  EXPECT_TRUE(rt.deferred(dst));
  EXPECT_EQ(rt.picture(dst)->at(3, 1), 0xFF112233u);
  EXPECT_EQ(rt.picture(src)->at(0, 0), 0xFF112233u);
}

// A picture made anew forgets what its old drawing read: changing that no longer makes the new one.
TEST_F(BitmapObjectTest, ARecreatedPictureNoLongerWaitsOnTheSourcesOfItsOldDrawing) {
  rt.CREATEBITMAP(src, 2, 2);
  rt.CREATEBITMAP(dst, 2, 2);
  rt.DEFER(
      dst, {src},
      [](Bitmap& out, std::int64_t at_x, std::int64_t at_y, PixelRect r, std::span<const Bitmap* const> in,
         int) { blit(out, at_x, at_y, r.w, r.h, *in[0], r.x, r.y, kDrawModeCopy); });
  rt.CREATEBITMAP(dst, 3, 3);
  rt.FILLBOX(src, 0, 0, 1, 1, 15);
  EXPECT_TRUE(rt.deferred(dst));  // still black, and still not made
  EXPECT_EQ(rt.picture(dst)->at(2, 2), 0xFF000000u);
}

// Replacing or deleting a source does not make its readers now (a reload beside a huge pending canvas
// would cost the whole canvas): they keep the pixels the source had.
TEST_F(BitmapObjectTest, ReadersOfAReplacedOrDeletedSourceStayPendingWithItsOldPixels) {
  test::TempDir dir;
  rt.CREATEBITMAP(src, 2, 2);
  rt.FILLBOX(src, 0, 0, 1, 1, 15);
  rt.SAVEFILE(src, dir.file("white.bmp"));
  for (const bool reload : {true, false}) {
    rt.CREATEBITMAP(src, 2, 2);  // black
    rt.CREATEBITMAP(dst, 2, 2);
    rt.DEFER(
        dst, {src},
        [](Bitmap& out, std::int64_t at_x, std::int64_t at_y, PixelRect r, std::span<const Bitmap* const> in,
           int) { blit(out, at_x, at_y, r.w, r.h, *in[0], r.x, r.y, kDrawModeCopy); });
    if (reload) {
      rt.LOADBITMAPFILE(src, dir.file("white.bmp"));
      EXPECT_EQ(rt.picture(src)->at(1, 1), 0xFFFFFFFFu);
    } else {
      rt.DELETEOBJECT(src);
    }
    EXPECT_TRUE(rt.deferred(dst)) << reload;
    EXPECT_EQ(rt.picture(dst)->at(1, 1), 0xFF000000u) << reload;
  }
}

}  // namespace
}  // namespace vimbrel
