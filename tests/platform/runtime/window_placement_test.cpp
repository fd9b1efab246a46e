// Where the controller and the cut-out window open on a 1600 × 1000 work area, one row a case.
#include "platform/runtime/window_placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace vimbrel {
namespace {

constexpr ScreenRect kScreen{0, 0, 1600, 1000};
constexpr ScreenRect kMaximized{0, 0, 1600, 1000};
constexpr ScreenRect kView{0, 50, 1600, 950};  // below the title and menu bars
constexpr ScreenRect kController{464, 144, 312, 630};
constexpr ScreenRect kControllerPlaced{1288, 50, 312, 630};

struct Row {
  const char* name;
  bool companion;  // the controller's rule, else the cut-out's
  ScreenRect screen, main, window;
  std::vector<ScreenRect> keep_clear, work;
  ScreenPoint expected;
};

void PrintTo(const Row& r, std::ostream* os) {
  *os << r.name;
}

const Row kRows[] = {
    {"no_main_window_right_edge_at_laid_top", true, kScreen, {}, kController, {}, {}, {1288, 144}},
    {"room_right_of_main_goes_beside", true, kScreen, {0, 0, 800, 600}, kController, {}, {}, {800, 0}},
    {"room_only_left_of_main", true, kScreen, {900, 100, 700, 600}, kController, {}, {}, {588, 100}},
    {"maximized_nothing_shown_top_right", true, kScreen, kMaximized, kController, {}, {}, {1288, 50}},
    {"maximized_picture_top_right_goes_top_left",
     true,
     kScreen,
     kMaximized,
     kController,
     {},
     {{1000, 100, 500, 400}},
     {0, 50}},
    {"maximized_only_bottom_right_free",
     true,
     kScreen,
     kMaximized,
     kController,
     {},
     {{0, 50, 900, 950}, {1000, 50, 600, 300}},
     {1288, 370}},
    {"taller_than_screen_top_shows", true, kScreen, {}, {0, 144, 312, 2000}, {}, {}, {1288, 0}},
    {"cutout_clear_of_controller_and_its_picture",
     false,
     kScreen,
     {},
     {154, 203, 300, 300},
     {kControllerPlaced},
     {{200, 200, 640, 480}},
     {154, 680}},
    {"cutout_over_controller_buttons_moves_left_of_it",
     false,
     kScreen,
     {},
     {1300, 60, 300, 300},
     {kControllerPlaced},
     {},
     {988, 60}},
    {"cutout_stays_when_nothing_is_clear",
     false,
     {0, 0, 400, 400},
     {},
     {10, 10, 100, 100},
     {{0, 0, 400, 400}},
     {},
     {10, 10}},
    {"cutout_off_screen_comes_back", false, kScreen, {}, {1500, 900, 300, 300}, {}, {}, {1300, 700}},
};

class WindowPlacement : public ::testing::TestWithParam<Row> {};

TEST_P(WindowPlacement, PutsTheWindowWhereItHidesLeast) {
  const Row& r = GetParam();
  const ScreenPoint p = r.companion ? place_companion(r.screen, r.main, kView, r.window, r.work)
                                    : place_clear(r.screen, r.window, r.keep_clear, r.work);
  EXPECT_EQ(p.x, r.expected.x);
  EXPECT_EQ(p.y, r.expected.y);
}

INSTANTIATE_TEST_SUITE_P(Rows, WindowPlacement, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vimbrel
