#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "join/renderer.h"
#include "tests/support/pictures.h"
#include "tests/support/program_fixture.h"

namespace vimbrel {
namespace {

struct Rect {
  int x, y, w, h;
  friend bool operator==(const Rect&, const Rect&) = default;
};

std::ostream& operator<<(std::ostream& o, const Rect& r) {
  return o << "(" << r.x << ", " << r.y << ") " << r.w << " x " << r.h;
}

// The main window with frames of 4 pixels and a 30-pixel title: a 1608 x 1034 window has a 1600 x 1000
// client area. The canvas is set up directly with a pattern that tells every pixel apart.
class MainView : public test::ProgramTest {
 protected:
  MainView() {
    rt.set_system_metric(SM_CYFRAME, 4);
    rt.set_system_metric(SM_CYSIZE, 26);
  }

  static std::uint32_t pattern(int x, int y) {
    return 0xFF000000u | (static_cast<std::uint32_t>(x) << 12) | y;
  }

  void make_canvas(int w, int h) {
    rt.CREATEBITMAP(s.doc.canvas_bitmap, w, h);
    test::paint(*rt.picture(s.doc.canvas_bitmap), pattern);
    s.doc.canvas_width = static_cast<float>(w);
    s.doc.canvas_height = static_cast<float>(h);
  }

  // The user sizes the window so that its client area is cw x ch.
  void client(int cw, int ch) { rt.resize_main_form(cw + 8, ch + 34); }

  Rect rect(Window w) {
    return {static_cast<int>(rt.GETLEFT(w)), static_cast<int>(rt.GETTOP(w)), static_cast<int>(rt.GETWIDTH(w)),
            static_cast<int>(rt.GETHEIGHT(w))};
  }
  bool shown(Window w) { return rt.ISWINDOWVISIBLE(w) != 0; }

  // Whether PICTURE1 shows the canvas one to one from (vx, vy), over the part inside the canvas.
  ::testing::AssertionResult shows_canvas_from(int vx, int vy) {
    const Bitmap& view = rt.surface(s.c.PICTURE1);
    if (view.width() != s.doc.view.view_width || view.height() != s.doc.view.view_height)
      return ::testing::AssertionFailure() << "view is " << view.width() << " x " << view.height();
    const Bitmap& c = canvas();
    for (int y = 0; y < view.height() && vy + y < c.height(); ++y)
      for (int x = 0; x < view.width() && vx + x < c.width(); ++x)
        if (view.at(x, y) != c.at(vx + x, vy + y))
          return ::testing::AssertionFailure() << "differs at view (" << x << ", " << y << ")";
    return ::testing::AssertionSuccess();
  }
};

// The layout rule itself is view_layout_test's table; this is one row of it through the procedure,
// down to the bars' and the corner button's rectangles.
TEST_F(MainView, PlacesThePictureAndTheBarsAsTheLayoutRuleSays) {
  make_canvas(1585, 1200);
  client(1600, 1000);
  EXPECT_EQ(s.doc.view.client_width, 1600);
  EXPECT_EQ(s.doc.view.client_height, 1000);
  EXPECT_EQ(rect(s.c.PICTURE1), (Rect{0, 0, 1584, 984}));
  EXPECT_EQ(s.doc.view.view_width, 1584);
  EXPECT_EQ(s.doc.view.view_height, 984);
  ASSERT_TRUE(shown(s.c.HSCROLL1) && shown(s.c.VSCROLL1) && shown(s.c.BUTTON[1]));
  EXPECT_EQ(rect(s.c.HSCROLL1), (Rect{0, 984, 1584, 16}));
  EXPECT_EQ(rect(s.c.VSCROLL1), (Rect{1584, 0, 16, 984}));
  EXPECT_EQ(rect(s.c.BUTTON[1]), (Rect{1584, 984, 16, 16}));
  EXPECT_EQ(caption(s.c.BUTTON[1]), "┛");
  EXPECT_EQ(s.doc.view.corner_state, 1);
  EXPECT_TRUE(shows_canvas_from(0, 0));
}

struct RangeRow {
  int canvas_w;
  int max, large;
  float unit;
};
void PrintTo(const RangeRow& r, std::ostream* os) {
  *os << "canvas " << r.canvas_w << " wide: max " << r.max << ", large " << r.large << ", unit " << r.unit;
}

class MainViewRange : public MainView, public ::testing::WithParamInterface<RangeRow> {};

// A low canvas wider than the client area: only the horizontal bar, view 1600 wide.
TEST_P(MainViewRange, ScrollRangeUnitAndLargeStep) {
  const RangeRow& r = GetParam();
  make_canvas(r.canvas_w, 20);
  client(1600, 1000);
  EXPECT_EQ(s.doc.view.over_x, static_cast<float>(r.canvas_w - 1600));
  EXPECT_EQ(rt.scroll_range(s.c.HSCROLL1), (std::pair{0, r.max}));
  EXPECT_EQ(rt.scroll_steps(s.c.HSCROLL1), (std::pair{1, r.large}));
  EXPECT_FLOAT_EQ(s.doc.view.scroll_unit_x, r.unit);
}

INSTANTIATE_TEST_SUITE_P(Ranges, MainViewRange,
                         ::testing::Values(RangeRow{1601, 1, 1, 1}, RangeRow{1610, 10, 1, 1},
                                           RangeRow{1611, 11, 1, 1}, RangeRow{1625, 25, 2, 1},
                                           RangeRow{1600 + 32767, 32767, 3276, 1},
                                           RangeRow{1600 + 32768, 10000, 1000, 3.2768f}),
                         [](const auto& info) {
                           return "canvas" + std::to_string(info.param.canvas_w) + "wide";
                         });

TEST_F(MainView, ScaledScrollingReachesTheRightEndOfTheCanvas) {
  make_canvas(1600 + 32768, 20);
  client(1600, 1000);
  ASSERT_TRUE(rt.scroll_to("HSCROLL1", 10000));
  EXPECT_EQ(s.doc.view.scroll_pos_x, 10000);
  EXPECT_NEAR(s.doc.view.view_x, 32768.0f, 0.01f);
  EXPECT_TRUE(shows_canvas_from(32768, 0));
  EXPECT_EQ(rt.surface(s.c.PICTURE1).at(1599, 0), pattern(1600 + 32767, 0));

  ASSERT_TRUE(rt.scroll_to("HSCROLL1", 5000));
  EXPECT_TRUE(shows_canvas_from(16384, 0));
}

TEST_F(MainView, BarsMoveTheViewOverTheCanvas) {
  make_canvas(3000, 2000);
  client(1600, 1000);
  ASSERT_TRUE(rt.scroll_to("HSCROLL1", 700));
  ASSERT_TRUE(rt.scroll_to("VSCROLL1", 333));
  EXPECT_EQ(s.doc.view.view_x, 700.0f);
  EXPECT_EQ(s.doc.view.view_y, 333.0f);
  EXPECT_TRUE(shows_canvas_from(700, 333));
  // The far end: max = canvas - view.
  ASSERT_TRUE(rt.scroll_to("HSCROLL1", 99999));
  EXPECT_EQ(s.doc.view.scroll_pos_x, 3000 - 1584);
  EXPECT_TRUE(shows_canvas_from(3000 - 1584, 333));
  EXPECT_EQ(rt.surface(s.c.PICTURE1).at(1583, 983), pattern(2999, 333 + 983));
}

TEST_F(MainView, CornerButtonJumpsToTheFarCornerThenBack) {
  make_canvas(3000, 2000);
  client(1600, 1000);
  ASSERT_TRUE(rt.scroll_to("VSCROLL1", 40));
  ASSERT_TRUE(rt.click("BUTTON1"));
  EXPECT_EQ(caption(s.c.BUTTON[1]), "┏");
  EXPECT_EQ(s.doc.view.corner_state, 0);
  EXPECT_EQ(rt.GETSCROLLPOS(s.c.HSCROLL1), 1416);
  EXPECT_EQ(rt.GETSCROLLPOS(s.c.VSCROLL1), 1016);
  EXPECT_TRUE(shows_canvas_from(1416, 1016));

  ASSERT_TRUE(rt.click("BUTTON1"));
  EXPECT_EQ(caption(s.c.BUTTON[1]), "┛");
  EXPECT_EQ(rt.GETSCROLLPOS(s.c.HSCROLL1), 0);
  EXPECT_EQ(rt.GETSCROLLPOS(s.c.VSCROLL1), 0);
  EXPECT_TRUE(shows_canvas_from(0, 0));
}

TEST_F(MainView, LayoutResetsThePositionsOfHiddenBarsAndKeepsTheOthers) {
  make_canvas(3000, 2000);
  client(1600, 1000);
  ASSERT_TRUE(rt.scroll_to("HSCROLL1", 1416));
  ASSERT_TRUE(rt.scroll_to("VSCROLL1", 500));
  // Taller window: the vertical bar goes, its position with it; the horizontal one stays.
  client(1600, 2100);
  EXPECT_FALSE(shown(s.c.VSCROLL1));
  EXPECT_FALSE(shown(s.c.BUTTON[1]));
  EXPECT_EQ(s.doc.view.scroll_pos_y, 0);
  EXPECT_EQ(s.doc.view.scroll_pos_x, 1416);
  EXPECT_EQ(rect(s.c.PICTURE1), (Rect{0, (2100 - 2000 - 16) / 2, 1600, 2000}));
  // The kept position is past the new maximum of 1400: the last 16 columns lie beyond the canvas.
  EXPECT_TRUE(shows_canvas_from(1416, 0));
  EXPECT_EQ(rt.surface(s.c.PICTURE1).at(1584, 0), 0xFFFFFFFFu);
}

TEST_F(MainView, KeptPositionPastTheNewMaximumShowsBlankBeyondTheCanvas) {
  make_canvas(3000, 2000);
  client(1600, 1000);
  ASSERT_TRUE(rt.scroll_to("HSCROLL1", 1416));
  client(2000, 1000);  // both bars stay; the maximum drops to 3000 - 1984 = 1016
  EXPECT_EQ(s.doc.view.scroll_pos_x, 1416);
  EXPECT_EQ(rt.GETSCROLLPOS(s.c.HSCROLL1), 1016);
  const Bitmap& view = rt.surface(s.c.PICTURE1);
  ASSERT_EQ(view.width(), 1984);
  EXPECT_EQ(view.at(1583, 10), pattern(2999, 10));
  EXPECT_EQ(view.at(1584, 10), 0xFFFFFFFFu);  // past the canvas: blank, not an old picture
  EXPECT_EQ(view.at(1983, 983), 0xFFFFFFFFu);
  // Touching the bar reads its position back.
  ASSERT_TRUE(rt.scroll_to("HSCROLL1", rt.GETSCROLLPOS(s.c.HSCROLL1)));
  EXPECT_TRUE(shows_canvas_from(1016, 0));
}

TEST_F(MainView, UnchangedSizesSkipTheLayoutButStillCopy) {
  make_canvas(3000, 2000);
  client(1600, 1000);
  rt.MOVEWINDOW(s.c.PICTURE1, 7, 7);
  rt.SHOWWINDOW(s.c.BUTTON[1], 0);
  Bitmap& c = *rt.picture(s.doc.canvas_bitmap);
  c.at(0, 0) = 0xFF123456u;
  client(1600, 1000);  // same window, same canvas
  EXPECT_EQ(rect(s.c.PICTURE1).x, 7);
  EXPECT_FALSE(shown(s.c.BUTTON[1]));
  EXPECT_EQ(rt.surface(s.c.PICTURE1).at(0, 0), 0xFF123456u);
}

TEST_F(MainView, ClientSmallerThanABarGivesAnEmptyView) {
  make_canvas(3000, 2000);
  for (const auto& [w, h] : {std::pair{10, 10}, std::pair{0, 0}, std::pair{-8, -34}, std::pair{100, 5}}) {
    client(w, h);
    EXPECT_EQ(s.doc.view.view_width, std::max(0, w - 16));  // both bars, whatever is left
    EXPECT_GE(s.doc.view.view_width, 0);
    EXPECT_GE(s.doc.view.view_height, 0);
    EXPECT_GE(rt.GETWIDTH(s.c.PICTURE1), 0.0f);
    EXPECT_GE(rt.GETHEIGHT(s.c.PICTURE1), 0.0f);
    EXPECT_TRUE(rt.untrapped().empty());
  }
  client(1600, 1000);
  EXPECT_TRUE(shows_canvas_from(0, 0));
}

TEST_F(MainView, NoCanvasPictureMeansNoCopy) {
  make_canvas(3000, 2000);
  client(1600, 1000);
  rt.DELETEOBJECT(s.doc.canvas_bitmap);
  EXPECT_TRUE(rt.scroll_to("HSCROLL1", 10));
  EXPECT_EQ(s.doc.view.view_x, 0.0f);  // CG_UP_SUB did nothing
  EXPECT_TRUE(rt.untrapped().empty());
}

}  // namespace
}  // namespace vimbrel
