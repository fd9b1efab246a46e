#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/program_fixture.h"

namespace vimbrel {
namespace {

// Every pixel of a test picture tells where it came from.
std::uint32_t pattern(int x, int y) {
  return static_cast<std::uint32_t>((x << 12) | y);
}

class Cutout : public test::ProgramTest {
 protected:
  void SetUp() override { new_join(1); }
  void read_a(int w, int h) { load_a(write_picture("a.bmp", w, h, pattern)); }
  void read_b(int w, int h) {
    load_b(write_picture("b.bmp", w, h, [](int x, int y) { return ~pattern(x, y); }));
  }

  // The window's size in the model and on screen, and what it shows: the image from (vx, vy).
  void expect_window(float w, float h, float vx, float vy, bool b = false) {
    EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM4), 1);
    EXPECT_EQ(s.doc.cutout.cutout_width, w);
    EXPECT_EQ(s.doc.cutout.cutout_height, h);
    EXPECT_EQ(rt.GETWIDTH(s.c.FORM4), w);
    EXPECT_EQ(rt.GETHEIGHT(s.c.FORM4), h);
    const ImageSlot& img = b ? s.doc.b : s.doc.a;
    EXPECT_EQ(img.cutout_x, vx);
    EXPECT_EQ(img.cutout_y, vy);
    const Bitmap& shown = rt.surface(s.c.FORM4);
    ASSERT_EQ(shown.width(), static_cast<int>(w));
    ASSERT_EQ(shown.height(), static_cast<int>(h));
    int wrong = 0;
    for (int y = 0; y < shown.height(); ++y) {
      for (int x = 0; x < shown.width(); ++x) {
        std::uint32_t want = pattern(x + static_cast<int>(vx), y + static_cast<int>(vy));
        if (b) want = ~want;
        wrong += shown.at(x, y) != (0xFF000000u | (want & 0xFFFFFFu)) ? 1 : 0;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
  void drag(std::int16_t button, float x0, float y0, float x1, float y1) {
    ASSERT_TRUE(rt.mouse("FORM4", "MOUSEDOWN", button, x0, y0));
    ASSERT_TRUE(rt.mouse("FORM4", "MOUSEMOVE", button, x1, y1));
  }
  void move(std::int16_t button, float x, float y) {
    ASSERT_TRUE(rt.mouse("FORM4", "MOUSEMOVE", button, x, y));
  }
};

TEST_F(Cutout, ASmallImageShrinksTheWindowAndIsShownWhole) {
  read_a(200, 150);
  ASSERT_TRUE(rt.click("BUTTON61"));
  EXPECT_EQ(s.doc.cutout.cutout_source, stored(Twin::A));
  EXPECT_TRUE(rt.topmost(s.c.FORM4));
  expect_window(200, 150, 0, 0);
}

TEST_F(Cutout, SlidingTheImageFollowsThePointerAndStopsAtTheEdges) {
  read_a(400, 300);
  ASSERT_TRUE(rt.click("BUTTON61"));
  expect_window(300, 300, 0, 0);
  drag(kRightButton, 150, 150, 110, 140);  // left by 40; up by 10 but there is nothing below
  expect_window(300, 300, 40, 0);
  move(kRightButton, 0, 0);
  expect_window(300, 300, 100, 0);  // the right edge
  move(kRightButton, 290, 0);
  expect_window(300, 300, 0, 0);  // the left edge
}

TEST_F(Cutout, ResizingStopsAtTenPixelsAndAtTheImagesSize) {
  read_a(400, 300);
  ASSERT_TRUE(rt.click("BUTTON61"));
  drag(kRightButton, 100, 100, 50, 100);  // view at (50, 0)
  drag(kBothButtons, 100, 100, 50, 20);
  expect_window(250, 220, 50, 0);
  move(kBothButtons, -500, -500);
  expect_window(10, 10, 50, 0);
  move(kBothButtons, 1000, 1000);  // beyond the image: taken back to its size, the view pulled in
  expect_window(400, 300, 0, 0);
}

TEST_F(Cutout, AnImageBelowTenPixelsGivesTheWindowItsOwnSize) {
  read_a(6, 4);
  ASSERT_TRUE(rt.click("BUTTON61"));
  expect_window(6, 4, 0, 0);
  drag(kBothButtons, 3, 3, 1, 0);
  expect_window(6, 4, 0, 0);
}

TEST_F(Cutout, TheWindowFollowsALeftButtonDragOverTheScreen) {
  read_a(400, 300);
  ASSERT_TRUE(rt.click("BUTTON61"));
  const float left = rt.GETLEFT(s.c.FORM4), top = rt.GETTOP(s.c.FORM4);
  // A drag is reported in the frame the window had when the button went down.
  const float grab_x = 20, grab_y = 30;
  ASSERT_TRUE(rt.mouse("FORM4", "MOUSEDOWN", kLeftButton, grab_x, grab_y));
  const int steps[][2] = {{5, 2}, {15, 7}, {40, -20}, {-30, 60}};
  for (const auto& [sx, sy] : steps) {
    move(kLeftButton, grab_x + sx, grab_y + sy);
    EXPECT_EQ(rt.GETLEFT(s.c.FORM4), left + sx);
    EXPECT_EQ(rt.GETTOP(s.c.FORM4), top + sy);
  }
  expect_window(300, 300, 0, 0);  // the view did not change
}

TEST_F(Cutout, SwitchingBetweenAAndBKeepsEachViewAndTheSmallerSize) {
  read_a(400, 300);
  read_b(120, 90);
  ASSERT_TRUE(rt.click("BUTTON61"));
  drag(kRightButton, 100, 100, 40, 80);
  expect_window(300, 300, 60, 0);

  ASSERT_TRUE(rt.click("BUTTON62"));  // switches without hiding
  EXPECT_EQ(s.doc.cutout.cutout_source, stored(Twin::B));
  expect_window(120, 90, 0, 0, true);
  drag(kRightButton, 50, 50, 40, 45);
  expect_window(120, 90, 0, 0, true);  // B is as small as the window

  ASSERT_TRUE(rt.click("BUTTON61"));  // A again: the window stays at B's size, A's view is kept
  EXPECT_EQ(s.doc.cutout.cutout_source, stored(Twin::A));
  expect_window(120, 90, 60, 0);

  ASSERT_TRUE(rt.click("BUTTON61"));  // the same command hides it
  EXPECT_EQ(s.doc.cutout.cutout_source, kNeither);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM4), 0);
}

TEST_F(Cutout, AfterBIsReadTheOpenWindowSlidesB) {
  read_a(400, 300);
  ASSERT_TRUE(rt.click("BUTTON61"));
  read_b(250, 200);
  EXPECT_EQ(s.doc.cutout.cutout_source, kNeither);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM4), 1);
  drag(kRightButton, 100, 100, 90, 100);
  expect_window(250, 200, 0, 0, true);
  ASSERT_TRUE(rt.click("BUTTON62"));  // B's command shows B rather than hiding
  EXPECT_EQ(s.doc.cutout.cutout_source, stored(Twin::B));
  expect_window(250, 200, 0, 0, true);
}

TEST_F(Cutout, ADroppedBLeavesTheOpenWindowAsItIs) {
  read_a(400, 300);
  ASSERT_TRUE(rt.click("BUTTON61"));
  rt.fail_next_create_bitmap();
  read_b(250, 200);  // no canvas for both: B is dropped, and the window no longer names an image
  ASSERT_EQ(s.doc.b.width, 0);
  ASSERT_EQ(s.doc.cutout.cutout_source, kNeither);
  drag(kRightButton, 100, 100, 50, 50);
  drag(kBothButtons, 100, 100, 90, 90);
  EXPECT_EQ(rt.GETWIDTH(s.c.FORM4), 290);
  EXPECT_EQ(rt.GETHEIGHT(s.c.FORM4), 290);
  ASSERT_TRUE(rt.click("BUTTON61"));  // A's command still shows A, at the size the user left
  expect_window(290, 290, 0, 0);
}

TEST_F(Cutout, WithNoAImageTheCommandDoesNothing) {
  rt.fail_next_create_bitmap();
  read_a(40, 30);  // no canvas can be made for it, so A is dropped again
  ASSERT_EQ(s.doc.a.width, 0);
  ASSERT_TRUE(rt.click("BUTTON61"));
  EXPECT_EQ(s.doc.cutout.cutout_source, kNeither);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM4), 0);
}

TEST_F(Cutout, ANewCanvasClosesTheWindowAndBringsBackItsFullSize) {
  read_a(400, 300);
  ASSERT_TRUE(rt.click("BUTTON61"));
  drag(kBothButtons, 100, 100, 0, 10);
  drag(kRightButton, 50, 50, 20, 50);
  expect_window(200, 210, 30, 0);
  new_join(1);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM4), 0);
  read_a(500, 400);
  ASSERT_TRUE(rt.click("BUTTON61"));
  expect_window(300, 300, 0, 0);
}

}  // namespace
}  // namespace vimbrel
