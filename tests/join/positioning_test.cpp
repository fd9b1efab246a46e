#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/pixels/rounding.h"
#include "tests/support/program_fixture.h"

namespace vimbrel {
namespace {

constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;

class Positioning : public test::ProgramTest {
 protected:
  // A red 100 × 80 and a blue 60 × 120, B joined on the right; A lands at (margin_x / 2, margin_y / 2).
  void join(const std::string& margin_x = "50", const std::string& margin_y = "50") {
    new_join(1, margin_x, margin_y);
    load_a(write_plain("a.bmp", 100, 80, kRed));
    load_b(write_plain("b.bmp", 60, 120, kBlue));
  }
  void click(const std::string& control) { ASSERT_TRUE(rt.click(control)) << control; }
  void mouse(const char* event, std::int16_t button, float x, float y) {
    ASSERT_TRUE(rt.mouse("PICTURE1", event, button, x, y));
  }
  std::uint32_t canvas_rgb(int x, int y) { return canvas().at(x, y) & 0xFFFFFFu; }
  // Whether PICTURE1 shows the canvas with canvas point (vx, vy) at its top-left corner.
  bool view_shows(int vx, int vy) {
    const Bitmap& view = rt.surface(s.c.PICTURE1);
    if (view.empty()) return false;
    for (int y = 0; y < view.height(); y += 7)
      for (int x = 0; x < view.width(); x += 7)
        if (view.at(x, y) != canvas().at(vx + x, vy + y)) return false;
    return true;
  }
};

using Pos = std::pair<float, float>;
Pos pos(const ImageSlot& i) {
  return {i.x, i.y};
}
Pos undo(const ImageSlot& i) {
  return {i.undo_x, i.undo_y};
}

TEST_F(Positioning, EachStepButtonNudgesTheControlledImageAndUndoTakesItBack) {
  join("200", "200");  // B at (200, 100) with room for 50 pixels in every direction
  ASSERT_EQ(pos(s.doc.b), Pos(200, 100));
  // Per step: right, left, down, up, up-right, down-right, down-left, up-left.
  struct Row {
    int step;
    int buttons[8];
  };
  const Row rows[] = {{1, {4, 5, 6, 7, 28, 29, 30, 31}},      {2, {8, 9, 10, 11, 32, 33, 34, 35}},
                      {5, {12, 13, 14, 15, 36, 37, 38, 39}},  {10, {16, 17, 18, 19, 40, 41, 42, 43}},
                      {20, {20, 21, 22, 23, 44, 45, 46, 47}}, {50, {24, 25, 26, 27, 48, 49, 50, 51}}};
  const int dir[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}};
  for (const Row& r : rows) {
    for (int d = 0; d < 8; ++d) {
      const std::string button = "BUTTON" + std::to_string(r.buttons[d]);
      click(button);
      EXPECT_EQ(pos(s.doc.b), Pos(200 + r.step * dir[d][0], 100 + r.step * dir[d][1])) << button;
      EXPECT_EQ(undo(s.doc.b), Pos(200, 100)) << button;
      EXPECT_EQ(canvas_rgb(to_pixel(s.doc.b.x), to_pixel(s.doc.b.y)), kBlue) << button;
      click("BUTTON3");
      EXPECT_EQ(pos(s.doc.b), Pos(200, 100)) << button;
    }
  }
  EXPECT_EQ(pos(s.doc.a), Pos(100, 100));  // A never moved
}

TEST_F(Positioning, UpRightFiveOnBAtOneHundredOneHundred) {
  join("80", "200");  // B at (140, 100)
  click("BUTTON21");  // left 20, twice
  click("BUTTON21");
  ASSERT_EQ(pos(s.doc.b), Pos(100, 100));
  click("BUTTON36");
  EXPECT_EQ(pos(s.doc.b), Pos(105, 95));
}

TEST_F(Positioning, StepButtonsDoNothingWithOnlyOneImage) {
  // No canvas for B: it is dropped, while every command has become available.
  new_join();
  load_a(write_plain("a.bmp", 100, 80, kRed));
  rt.fail_next_create_bitmap();
  load_b(write_plain("b.bmp", 60, 120, kBlue));
  ASSERT_EQ(s.doc.b.width, 0);
  const std::vector<std::uint32_t> before(canvas().pixels().begin(), canvas().pixels().end());
  for (const char* button : {"RADIO5", "BUTTON4", "BUTTON51", "BUTTON57", "BUTTON59", "RADIO6", "BUTTON12"})
    click(button);
  EXPECT_EQ(pos(s.doc.a), Pos(-1, -1));
  EXPECT_EQ(undo(s.doc.a), Pos(0, 0));
  EXPECT_EQ(pos(s.doc.b), Pos(0, 0));
  EXPECT_EQ(undo(s.doc.b), Pos(0, 0));
  EXPECT_EQ(std::vector<std::uint32_t>(canvas().pixels().begin(), canvas().pixels().end()), before);
}

TEST_F(Positioning, MovesStopAtTheTopAndLeftAndUndoRestoresTheOldPlace) {
  join("40", "50");  // A at (20, 25)
  click("RADIO5");
  click("BUTTON25");  // left 50
  EXPECT_EQ(pos(s.doc.a), Pos(0, 25));
  EXPECT_EQ(canvas_rgb(0, 25), kRed);
  click("BUTTON3");
  EXPECT_EQ(pos(s.doc.a), Pos(20, 25));
  click("BUTTON3");  // a second UNDO leaves it there
  EXPECT_EQ(pos(s.doc.a), Pos(20, 25));
}

TEST_F(Positioning, EachImageHasItsOwnUndoSlot) {
  join();
  click("RADIO5");
  click("BUTTON4");  // A right 1
  click("RADIO6");
  click("BUTTON6");  // B down 1
  click("BUTTON6");
  click("BUTTON3");
  EXPECT_EQ(pos(s.doc.b), Pos(125, 26));
  EXPECT_EQ(pos(s.doc.a), Pos(26, 25));
}

TEST_F(Positioning, ResetsPutImagesBackAtTheirFirstPlaceAndFillTheUndoSlots) {
  join();
  click("RADIO5");
  click("BUTTON18");  // A down 10
  click("RADIO6");
  click("BUTTON16");  // B right 10
  click("BUTTON58");  // A reset: B stays
  EXPECT_EQ(pos(s.doc.a), Pos(25, 25));
  EXPECT_EQ(pos(s.doc.b), Pos(135, 25));
  click("RADIO5");
  click("BUTTON3");  // A's slot now holds the first placement
  EXPECT_EQ(pos(s.doc.a), Pos(25, 25));

  click("BUTTON26");  // A down 50
  click("BUTTON59");  // B goes back against A's right edge, at y = my2
  EXPECT_EQ(pos(s.doc.b), Pos(125, 25));
  EXPECT_EQ(undo(s.doc.b), Pos(125, 25));
  EXPECT_EQ(pos(s.doc.a), Pos(25, 75));
  click("BUTTON57");
  EXPECT_EQ(pos(s.doc.a), Pos(25, 25));
  EXPECT_EQ(pos(s.doc.b), Pos(125, 25));
}

TEST_F(Positioning, RightDragMovesTheImageWithThePointerAndUndoesAsOneStep) {
  join();                                          // canvas 210 × 170, B at (125, 25)
  mouse("MOUSEDOWN", kRightButton, 10.4f, 10.6f);  // taken as (10, 11)
  mouse("MOUSEMOVE", kRightButton, 20, 21);
  mouse("MOUSEMOVE", kRightButton, 15, 31);
  EXPECT_EQ(pos(s.doc.b), Pos(130, 45));
  EXPECT_EQ(undo(s.doc.b), Pos(125, 25));
  EXPECT_EQ(canvas_rgb(130, 45), kBlue);
  EXPECT_EQ(canvas_rgb(129, 45), 0xFFFFFFu);   // the white background shows where B was
  mouse("MOUSEMOVE", kBothButtons, 500, 500);  // both buttons: nothing
  mouse("MOUSEMOVE", kRightButton, 515, 531);  // far past the right and bottom edges
  EXPECT_EQ(pos(s.doc.b), Pos(150, 50));
  EXPECT_EQ(pos(s.doc.a), Pos(25, 25));
  click("BUTTON3");
  EXPECT_EQ(pos(s.doc.b), Pos(125, 25));
}

TEST_F(Positioning, RightDragDoesNothingBeforeTheImagesArePlaced) {
  new_join();
  load_a(write_plain("a.bmp", 100, 80, kRed));  // alone, and controlled: nothing is placed, b_x is -1
  mouse("MOUSEDOWN", kRightButton, 10, 10);
  mouse("MOUSEMOVE", kRightButton, 40, 40);
  EXPECT_EQ(pos(s.doc.a), Pos(-1, -1));
  EXPECT_EQ(undo(s.doc.a), Pos(0, 0));
  EXPECT_EQ(s.doc.mouse_last_x, 0);
}

class Panning : public Positioning {
 protected:
  // Two 1500 × 1200 pictures: the canvas (3050 × 1250) needs both scroll bars.
  void join_large() {
    new_join();
    load_a(write_picture("a.bmp", 1500, 1200, [](int x, int y) { return (x * 7 + y * 13) & 0xFFFFFF; }));
    load_b(write_picture("b.bmp", 1500, 1200, [](int x, int y) { return (x * 11 + y * 3) | 0x800000; }));
    ASSERT_EQ(rt.ISWINDOWVISIBLE(s.c.HSCROLL1), 1);
    ASSERT_EQ(rt.ISWINDOWVISIBLE(s.c.VSCROLL1), 1);
  }
};

TEST_F(Panning, LeftDragMovesTheViewAgainstThePointerWithinTheCanvas) {
  join_large();
  const JoinDocument& d = s.doc;
  mouse("MOUSEDOWN", kLeftButton, 500, 500);
  mouse("MOUSEMOVE", kLeftButton, 600, 450);  // right and up: the view cannot go left of 0, it goes down 50
  EXPECT_EQ(d.view.view_x, 0);
  EXPECT_EQ(d.view.view_y, 50);
  mouse("MOUSEMOVE", kLeftButton, 300, 450);
  EXPECT_EQ(d.view.view_x, 300);
  EXPECT_EQ(d.view.scroll_pos_x, 300);
  EXPECT_EQ(rt.GETSCROLLPOS(s.c.HSCROLL1), 300);
  EXPECT_EQ(rt.GETSCROLLPOS(s.c.VSCROLL1), 50);
  EXPECT_TRUE(view_shows(300, 50));

  mouse("MOUSEMOVE", kLeftButton, -20000, -20000);  // far to the left and up
  EXPECT_EQ(d.view.view_x, d.canvas_width - d.view.view_width);
  EXPECT_EQ(d.view.view_y, d.canvas_height - d.view.view_height);
  EXPECT_EQ(rt.GETSCROLLPOS(s.c.HSCROLL1), d.view.scroll_max_x);
  EXPECT_TRUE(view_shows(to_pixel(d.view.view_x), to_pixel(d.view.view_y)));
  mouse("MOUSEMOVE", kLeftButton, 20000, 20000);
  EXPECT_EQ(d.view.view_x, 0);
  EXPECT_EQ(d.view.view_y, 0);
  EXPECT_EQ(pos(d.a), Pos(25, 25));  // panning moves no image
}

TEST_F(Panning, WithoutScrollBarsTheViewStaysAndIsCopiedAgain) {
  join();
  ASSERT_EQ(rt.ISWINDOWVISIBLE(s.c.HSCROLL1), 0);
  mouse("MOUSEDOWN", kLeftButton, 5, 5);
  mouse("MOUSEMOVE", kLeftButton, 100, 90);
  EXPECT_EQ(s.doc.view.view_x, 0);
  EXPECT_EQ(s.doc.view.view_y, 0);
  EXPECT_TRUE(view_shows(0, 0));
  EXPECT_EQ(s.doc.mouse_last_x, 100);
}

}  // namespace
}  // namespace vimbrel
