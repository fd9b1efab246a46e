// The 表示 menu on the headless backend, driven by its keys as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "app/view_scale.h"
#include "tests/support/program_fixture.h"

namespace vimbrel {
namespace {

class ViewZoom : public test::ProgramTest {
 protected:
  ViewZoom() {
    new_join();
    load_a(write_plain("a.bmp", 4000, 3000, 0x3C5A96));
    load_b(write_plain("b.bmp", 4000, 3000, 0xA5C30F));
    rt.resize_main_form(1600, 1000);
  }
  bool checked(const char* item) { return rt.GETCHECK(rt.find(item)) != 0; }
};

TEST_F(ViewZoom, FitShowsTheWholeJoinAndActualSizeGivesBackTheTitleByteForByte) {
  const std::string title = caption(s.c.MAINFORM);
  ASSERT_TRUE(checked("VIEW_ACTUAL"));
  ASSERT_TRUE(rt.press_key("MAINFORM", "F"));
  EXPECT_TRUE(checked("VIEW_FIT"));
  EXPECT_FALSE(checked("VIEW_ACTUAL"));
  EXPECT_LT(s.doc.view.scale, 1.0);
  EXPECT_FALSE(rt.ISWINDOWVISIBLE(s.c.HSCROLL1));  // the whole canvas, no bar
  EXPECT_FALSE(rt.ISWINDOWVISIBLE(s.c.VSCROLL1));
  EXPECT_EQ(caption(s.c.MAINFORM), title + "　〔" + scale_text(s.doc.view.scale) + "〕");
  // A's plain colour, averaged, is still A's colour; the margin is white.
  const Bitmap& view = rt.surface(s.c.PICTURE1);
  EXPECT_EQ(view.width(), s.doc.view.view_width);
  EXPECT_EQ(view.at(view.width() / 4, view.height() / 2), 0xFF3C5A96u);
  EXPECT_EQ(view.at(view.width() * 3 / 4, view.height() / 2), 0xFFA5C30Fu);
  EXPECT_EQ(view.at(0, 0), 0xFFFFFFFFu);

  rt.resize_main_form(1000, 800);  // the fit follows the window
  EXPECT_LE(s.doc.view.view_width, s.doc.view.client_width);
  EXPECT_FALSE(rt.ISWINDOWVISIBLE(s.c.HSCROLL1));

  ASSERT_TRUE(rt.press_key("MAINFORM", "Ctrl+0"));
  EXPECT_EQ(caption(s.c.MAINFORM), title);
  EXPECT_TRUE(checked("VIEW_ACTUAL"));
  EXPECT_FALSE(checked("VIEW_FIT"));
  EXPECT_TRUE(rt.ISWINDOWVISIBLE(s.c.HSCROLL1));
}

TEST_F(ViewZoom, StepsInAndOutStopAtTheEnds) {
  ASSERT_TRUE(rt.press_key("MAINFORM", "Ctrl++"));
  EXPECT_EQ(s.doc.view.scale, 2.0);
  ASSERT_TRUE(rt.press_key("MAINFORM", "Ctrl+="));
  EXPECT_EQ(s.doc.view.scale, 3.0);
  while (rt.press_key("MAINFORM", "Ctrl++")) {
  }
  EXPECT_EQ(s.doc.view.scale, 8.0);
  EXPECT_FALSE(rt.enabled(rt.find("VIEW_ZOOMIN")));
  while (rt.press_key("MAINFORM", "Ctrl+-")) {
  }
  EXPECT_EQ(s.doc.view.scale, 1.0 / 16);
  EXPECT_TRUE(rt.enabled(rt.find("VIEW_ZOOMIN")));
  EXPECT_FALSE(rt.press_key("MAINFORM", "Ctrl+Q"));  // no item has it
}

// At half size and below every canvas pixel a view pixel covers is averaged: a one-pixel
// checkerboard is an even grey at each step, where a few samples a pixel would show stripes.
TEST_F(ViewZoom, EveryStepOutAveragesAOnePixelCheckerboardToGrey) {
  load_a(write_picture("checks.bmp", 4000, 3000,
                       [](int x, int y) { return (x + y) % 2 != 0 ? 0xFFFFFFu : 0u; }));
  int steps = 0;
  while (rt.press_key("MAINFORM", "Ctrl+-")) {
    const Bitmap& view = rt.surface(s.c.PICTURE1);
    const double scale = s.doc.view.scale;
    if (scale > 0.5) continue;
    ++steps;
    // A's interior, away from its edges and the margins.
    const int x0 = static_cast<int>(100 * scale) + 2,
              x1 = std::min(static_cast<int>(3900 * scale) - 2, view.width());
    const int y0 = static_cast<int>(100 * scale) + 2,
              y1 = std::min(static_cast<int>(2900 * scale) - 2, view.height());
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        const std::uint32_t green = (view.at(x, y) >> 8) & 0xFF;
        ASSERT_TRUE(green >= 0x7C && green <= 0x83) << "at " << scale << ": (" << x << ", " << y << ")";
      }
    ASSERT_LT(x0 + 10, x1);  // the interior checked is more than a sliver
  }
  EXPECT_GE(steps, 3);  // 1/2 down to 1/16 at least in part
}

}  // namespace
}  // namespace vimbrel
