#include "app/view_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace vimbrel {
namespace {

struct Row {
  std::string name;
  float canvas_w, canvas_h;
  int client_w, client_h;
  bool hbar, vbar;
  int x, y, view_w, view_h;
};

void PrintTo(const Row& r, std::ostream* os) {
  *os << r.name;
}

class ViewLayoutRows : public ::testing::TestWithParam<Row> {};

TEST_P(ViewLayoutRows, FollowsTheClientArea) {
  const Row& r = GetParam();
  const ViewLayout l = layout_view(r.canvas_w, r.canvas_h, r.client_w, r.client_h, 16);
  EXPECT_EQ(l.hbar, r.hbar);
  EXPECT_EQ(l.vbar, r.vbar);
  EXPECT_EQ(l.x, r.x);
  EXPECT_EQ(l.y, r.y);
  EXPECT_EQ(l.view_width, r.view_w);
  EXPECT_EQ(l.view_height, r.view_h);
  // Picture and bars never reach past the client area.
  if (r.client_w >= 16 && r.client_h >= 16) {
    EXPECT_LE(l.x + l.view_width + (l.vbar ? 16 : 0), r.client_w);
    EXPECT_LE(l.y + l.view_height + (l.hbar ? 16 : 0), r.client_h);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewLayoutRows,
    ::testing::Values(
        Row{"exact_fit_centred", 1600, 900, 1600, 1000, false, false, 0, 50, 1600, 900},
        Row{"odd_leftover_goes_right", 1593, 1000, 1600, 1000, false, false, 3, 0, 1593, 1000},
        Row{"tall_and_15_narrower_gets_both", 1585, 2000, 1600, 1000, true, true, 0, 0, 1584, 984},
        Row{"tall_and_16_narrower_gets_one", 1584, 2000, 1600, 1000, false, true, 0, 0, 1584, 1000},
        Row{"narrow_tall_centred_with_its_bar", 1501, 1200, 1600, 1000, false, true, 41, 0, 1501, 1000},
        Row{"wide_leaving_room_for_the_bar_gets_one", 2000, 984, 1600, 1000, true, false, 0, 0, 1600, 984},
        Row{"wide_without_room_for_the_bar_gets_both", 2000, 985, 1600, 1000, true, true, 0, 0, 1584, 984},
        Row{"empty_canvas_shrinks_to_the_centre", 0, 0, 1600, 1000, false, false, 800, 500, 0, 0},
        Row{"wide_low_bar_centred_with_it", 3000, 500, 1600, 1000, true, false, 0, 242, 1600, 500},
        Row{"maximized_client_after_restore", 3000, 3000, 1280, 997, true, true, 0, 0, 1264, 981},
        Row{"client_smaller_than_a_bar", 3000, 3000, 10, 10, true, true, 0, 0, 0, 0}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace vimbrel
