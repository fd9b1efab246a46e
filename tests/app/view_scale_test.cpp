#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/view_scale.h"

namespace vimbrel {
namespace {

// One row: the input of the rule, then what must come out of it.
struct Row {
  const char* name;
  float cw, ch;  // canvas
  int clw, clh;  // client area
  bool fit;
  double chosen;  // scale chosen
  double ratio;   // device pixels per client pixel
  std::int16_t px, py;
  // Out.
  double scale;
  bool hbar, vbar;
  int x, y, vw, vh;
  std::int16_t max_x, max_y;
  float origin_x, origin_y;
  int surface_w;
  bool plain;
};

void PrintTo(const Row& r, std::ostream* o) {
  *o << r.name;
}

class ViewScaleRule : public ::testing::TestWithParam<Row> {};

TEST_P(ViewScaleRule, ShowsWhatTheRowSays) {
  const Row& r = GetParam();
  ViewInput in;
  in.canvas_width = r.cw, in.canvas_height = r.ch;
  in.client_width = r.clw, in.client_height = r.clh;
  in.chosen = {r.fit, r.chosen};
  in.device_ratio = r.ratio;
  in.scroll_pos_x = r.px, in.scroll_pos_y = r.py;
  const ViewShown v = show_view(in);
  EXPECT_NEAR(v.scale, r.scale, 1e-6);
  EXPECT_NEAR(v.zoom, r.scale / r.ratio, 1e-6);
  EXPECT_EQ(v.layout.hbar, r.hbar);
  EXPECT_EQ(v.layout.vbar, r.vbar);
  EXPECT_EQ(v.layout.x, r.x);
  EXPECT_EQ(v.layout.y, r.y);
  EXPECT_EQ(v.layout.view_width, r.vw);
  EXPECT_EQ(v.layout.view_height, r.vh);
  EXPECT_EQ(v.x.max, r.max_x);
  EXPECT_EQ(v.y.max, r.max_y);
  EXPECT_FLOAT_EQ(v.x.origin, r.origin_x);
  EXPECT_FLOAT_EQ(v.y.origin, r.origin_y);
  EXPECT_EQ(v.x.surface, r.surface_w);
  EXPECT_EQ(v.plain, r.plain);
  // The part shown never reaches past the canvas at the end of the range.
  EXPECT_NEAR(v.x.over + v.x.extent, r.cw, 1e-2);
  // At 100 % on a plain screen the layout is exactly layout_view()'s.
  if (r.plain) {
    const ViewLayout l = layout_view(r.cw, r.ch, r.clw, r.clh, 16);
    EXPECT_EQ(l.view_width, v.layout.view_width);
    EXPECT_EQ(l.x, v.layout.x);
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, ViewScaleRule, ::testing::Values(
    //   name                      canvas        client     fit    sc     ratio pos       scale  bars         x    y    view       max          origin       surf plain
    Row{"actual-size-both-bars",   2450, 1350,   1000, 700, false, 1,     1,   100, 50,   1,     true, true,  0,   0,   984, 684,  1466, 666,   100, 50,     984, true},
    Row{"actual-size-fits",        300, 200,     1000, 700, false, 1,     1,   7, 7,      1,     false, false, 350, 250, 300, 200,  0, 0,       0, 0,        300, true},
    Row{"fit-small-canvas-is-100", 300, 200,     1000, 700, true,  1,     1,   0, 0,      1,     false, false, 350, 250, 300, 200,  0, 0,       0, 0,        300, true},
    Row{"fit-wide-join",           8000, 3000,   1584, 900, true,  1,     1,   40, 40,    0.198, false, false, 0,   153, 1584, 594, 0, 0,       0, 0,        1584, false},
    Row{"quarter-scrolls-in-canvas-pixels", 8000, 3000, 1000, 700, false, 0.25, 1, 1000, 30, 0.25, true, true, 0, 0, 984, 684, 4064, 264,   1000, 30,    984, false},
    Row{"quarter-one-bar",         8000, 2000,   1000, 700, false, 0.25,  1,   0, 9,      0.25,  true, false, 0,   92,  1000, 500, 4000, 0,     0, 0,        1000, false},
    Row{"four-hundred",            8000, 3000,   1000, 700, false, 4,     1,   2000, 10,  4,     true, true,  0,   0,   984, 684,  7754, 2829,  2000, 10,    984, false},
    Row{"eight-hundred-scaled-bar",45000, 300,   1000, 700, false, 8,     1,   5000, 0,   8,     true, true,  0,   0,   984, 684,  10000, 215,  22438.5f, 0, 984, false},
    Row{"ratio-2-actual-size",     8000, 3000,   800, 500,  false, 1,     2,   100, 0,    1,     true, true,  0,   0,   784, 484,  6432, 2032,  100, 0,      1568, false},
    Row{"ratio-2-fit",             8000, 3000,   800, 500,  true,  1,     2,   0, 0,      0.2,   false, false, 0,   100, 800, 300,  0, 0,       0, 0,        1600, false},
    Row{"no-canvas-fit",           0, 0,         800, 500,  true,  1,     1,   0, 0,      1,     false, false, 400, 250, 0, 0,      0, 0,       0, 0,        0, true}));
// clang-format on

TEST(ViewScaleSteps, GoThroughTheStepsAndStopAtTheEnds) {
  struct Step {
    double from, in, out;
  };
  for (const Step s :
       {Step{1, 2, 2.0 / 3}, Step{0.198, 0.25, 1.0 / 6}, Step{8, 8, 6}, Step{1.0 / 16, 1.0 / 12, 1.0 / 16},
        Step{0.01, 1.0 / 16, 0.01}, Step{2.0 / 3, 1, 0.5}}) {
    EXPECT_DOUBLE_EQ(step_in(s.from), s.in) << s.from;
    EXPECT_DOUBLE_EQ(step_out(s.from), s.out) << s.from;
  }
  EXPECT_EQ(scale_text(0.25), "25%");
  EXPECT_EQ(scale_text(1.0 / 16), "6.3%");
  EXPECT_EQ(scale_text(2.0 / 3), "67%");
  EXPECT_EQ(scale_text(0.199), "20%");
  EXPECT_EQ(scale_text(8), "800%");
}

// The scroll position that keeps a canvas point under a client point, held in the range.
TEST(ViewScaleAnchor, PutsTheCanvasPointAtTheClientPoint) {
  ViewInput in;
  in.canvas_width = 8000, in.canvas_height = 3000, in.client_width = 1000, in.client_height = 700;
  in.chosen = {false, 4};
  const ViewShown v = show_view(in);
  EXPECT_EQ(scroll_for_point(v, true, 4000, 400), 4000 - 100);  // 400 client px are 100 canvas px
  EXPECT_EQ(scroll_for_point(v, true, 10, 400), 0);             // held at the left end
  EXPECT_EQ(scroll_for_point(v, true, 7999, 0), v.x.max);       // and at the right end
  in.chosen = {true, 1};
  EXPECT_EQ(scroll_for_point(show_view(in), true, 4000, 400), 0);  // a fit does not scroll
}

}  // namespace
}  // namespace vimbrel
