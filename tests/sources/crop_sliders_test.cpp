#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

#include "tests/support/program_fixture.h"

namespace vimbrel {
namespace {

struct Crop {
  int left, right_off, top, bottom_off;
  friend bool operator==(const Crop&, const Crop&) = default;
};

void PrintTo(const Crop& c, std::ostream* os) {
  *os << "{" << c.left << ", " << c.right_off << ", " << c.top << ", " << c.bottom_off << "}";
}

class CropSliders : public test::ProgramTest {
 protected:
  // A and B read through the load buttons; B is then the controlled image.
  void join(int aw, int ah, int bw, int bh, int side = 1) {
    new_join(side);
    a_path = write_plain("a.bmp", aw, ah, 0x2040C0);
    b_path = write_plain("b.bmp", bw, bh, 0xC04020);
    load_a(a_path);
    load_b(b_path);
  }
  static Crop crop_of(const ImageSlot& img) {
    return {img.src_left, img.src_right_off, img.src_top, img.src_bottom_off};
  }
  Crop bars() {
    return {rt.GETSCROLLPOS(s.c.HSCROLL2), rt.GETSCROLLPOS(s.c.HSCROLL3), rt.GETSCROLLPOS(s.c.VSCROLL2),
            rt.GETSCROLLPOS(s.c.VSCROLL3)};
  }
  void crop(int left, int right_off, int top, int bottom_off) {
    ASSERT_TRUE(rt.scroll_to("HSCROLL2", left));
    ASSERT_TRUE(rt.scroll_to("HSCROLL3", right_off));
    ASSERT_TRUE(rt.scroll_to("VSCROLL2", top));
    ASSERT_TRUE(rt.scroll_to("VSCROLL3", bottom_off));
  }
  // What must hold after every slider event: a drawn part of at least one pixel whose size
  // matches the crop, crops inside the slider bounds, and the bars showing the controlled image.
  void expect_sound(const char* what) {
    SCOPED_TRACE(what);
    for (const ImageSlot* img : {&s.doc.a, &s.doc.b}) {
      EXPECT_EQ(img->src_width, img->width + img->src_right_off - img->src_left);
      EXPECT_EQ(img->src_height, img->height + img->src_bottom_off - img->src_top);
      EXPECT_GE(img->src_width, 1);
      EXPECT_GE(img->src_height, 1);
      EXPECT_GE(img->src_left, 0);
      EXPECT_LE(img->src_left, img->src_left_max);
      EXPECT_LE(img->src_right_off, 0);
      EXPECT_GE(img->src_right_off, img->src_right_min);
      EXPECT_GE(img->src_top, 0);
      EXPECT_LE(img->src_top, img->src_top_max);
      EXPECT_LE(img->src_bottom_off, 0);
      EXPECT_GE(img->src_bottom_off, img->src_bottom_min);
    }
    const ImageSlot& controlled = rt.GETCHECK(s.c.RADIO5) != 0 ? s.doc.a : s.doc.b;
    EXPECT_EQ(bars(), crop_of(controlled));
    EXPECT_EQ(rt.scroll_range(s.c.HSCROLL2), (std::pair<int, int>{0, controlled.src_left_max}));
    EXPECT_EQ(rt.scroll_range(s.c.VSCROLL3), (std::pair<int, int>{controlled.src_bottom_min, 0}));
  }

  std::string a_path, b_path;
};

TEST_F(CropSliders, AnySequenceOfMovesLeavesAtLeastOnePixelOfEachImage) {
  // Small images overlap their crops at once; the 1500-pixel side cannot overlap with one bar.
  join(7, 5, 1500, 3);
  std::mt19937 random(20240611);
  const std::array<const char*, 4> names = {"HSCROLL2", "HSCROLL3", "VSCROLL2", "VSCROLL3"};
  const std::array<Window, 4> bar_windows = {s.c.HSCROLL2, s.c.HSCROLL3, s.c.VSCROLL2, s.c.VSCROLL3};
  for (int step = 0; step < 3000; ++step) {
    const int pick = std::uniform_int_distribution<int>(0, 9)(random);
    if (pick == 8) {
      ASSERT_TRUE(rt.click("RADIO5"));
    } else if (pick == 9) {
      ASSERT_TRUE(rt.click("RADIO6"));
    } else {
      const std::size_t bar = static_cast<std::size_t>(pick % 4);
      const auto [lo, hi] = rt.scroll_range(bar_windows[bar]);
      const int pos = std::uniform_int_distribution<int>(lo - 2, hi + 2)(random);
      ASSERT_TRUE(rt.scroll_to(names[bar], pos));
    }
    expect_sound(("step " + std::to_string(step)).c_str());
    if (HasFailure()) break;
  }
}

struct MoveRow {
  const char* name;
  int first_bar, first_pos;  // 0 HSCROLL2, 1 HSCROLL3, 2 VSCROLL2, 3 VSCROLL3
  int second_bar, second_pos;
  Crop expected;
};

TEST_F(CropSliders, TheOppositeEdgeGivesWaySoThatOneColumnOrRowRemains) {
  const std::array<const char*, 4> names = {"HSCROLL2", "HSCROLL3", "VSCROLL2", "VSCROLL3"};
  const MoveRow rows[] = {
      {"left-at-max-alone", 1, 0, 0, 99, {99, 0, 0, 0}},
      {"left-at-max-after-right", 1, -5, 0, 99, {99, 0, 0, 0}},
      {"left-meets-right", 1, -60, 0, 50, {50, -49, 0, 0}},
      {"right-meets-left", 0, 70, 1, -40, {59, -40, 0, 0}},
      {"right-at-min-alone", 0, 0, 1, -99, {0, -99, 0, 0}},
      {"left-just-fits", 1, -60, 0, 39, {39, -60, 0, 0}},
      {"top-meets-bottom", 3, -70, 2, 30, {0, 0, 30, -49}},
      {"bottom-meets-top", 2, 75, 3, -10, {0, 0, 69, -10}},
  };
  join(100, 80, 100, 80);
  for (const MoveRow& r : rows) {
    SCOPED_TRACE(r.name);
    crop(0, 0, 0, 0);
    ASSERT_TRUE(rt.scroll_to(names[static_cast<std::size_t>(r.first_bar)], r.first_pos));
    ASSERT_TRUE(rt.scroll_to(names[static_cast<std::size_t>(r.second_bar)], r.second_pos));
    EXPECT_EQ(crop_of(s.doc.b), r.expected);
    EXPECT_EQ(bars(), r.expected);
    EXPECT_EQ(s.doc.b.src_width, 100 + r.expected.right_off - r.expected.left);
    EXPECT_EQ(s.doc.b.src_height, 80 + r.expected.bottom_off - r.expected.top);
  }
  EXPECT_EQ(crop_of(s.doc.a), (Crop{0, 0, 0, 0}));  // B was controlled throughout
}

TEST_F(CropSliders, AOnePixelWideImageCannotBeCroppedAcross) {
  join(40, 30, 1, 20);
  EXPECT_EQ(rt.scroll_range(s.c.HSCROLL2), (std::pair{0, 0}));
  EXPECT_EQ(rt.scroll_range(s.c.HSCROLL3), (std::pair{0, 0}));
  crop(5, -5, 3, -4);
  EXPECT_EQ(crop_of(s.doc.b), (Crop{0, 0, 3, -4}));
  EXPECT_EQ(s.doc.b.src_width, 1);
  EXPECT_EQ(s.doc.b.src_height, 13);
}

TEST_F(CropSliders, AnImage1500PixelsWideLosesAtMost1000ColumnsOnEachSide) {
  join(1500, 10, 20, 10);
  ASSERT_TRUE(rt.click("RADIO5"));
  EXPECT_EQ(rt.scroll_range(s.c.HSCROLL2), (std::pair{0, 1000}));
  EXPECT_EQ(rt.scroll_range(s.c.HSCROLL3), (std::pair{-1000, 0}));
  ASSERT_TRUE(rt.scroll_to("HSCROLL2", 1400));
  EXPECT_EQ(s.doc.a.src_left, 1000);
  EXPECT_EQ(s.doc.a.src_width, 500);
  ASSERT_TRUE(rt.scroll_to("HSCROLL3", -1400));  // 1000 + 1000 >= 1500: the left crop gives way
  EXPECT_EQ(crop_of(s.doc.a), (Crop{499, -1000, 0, 0}));
  EXPECT_EQ(s.doc.a.src_width, 1);
}

TEST_F(CropSliders, SwitchingImagesShowsEachOnesBoundsAndCropWithoutRedrawing) {
  join(50, 40, 30, 20);
  crop(3, -4, 5, -6);  // B
  ASSERT_TRUE(rt.click("RADIO5"));
  crop(10, -11, 12, -13);  // A
  // A background change that only a redraw would show.
  s.doc.effect_index = 1;
  const std::uint32_t corner = canvas().at(0, 0);

  ASSERT_TRUE(rt.click("RADIO6"));
  EXPECT_EQ(bars(), (Crop{3, -4, 5, -6}));
  EXPECT_EQ(rt.scroll_range(s.c.HSCROLL2), (std::pair{0, 29}));
  EXPECT_EQ(rt.scroll_range(s.c.VSCROLL3), (std::pair{-19, 0}));
  ASSERT_TRUE(rt.click("RADIO5"));
  EXPECT_EQ(bars(), (Crop{10, -11, 12, -13}));
  EXPECT_EQ(rt.scroll_range(s.c.HSCROLL3), (std::pair{-49, 0}));
  EXPECT_EQ(canvas().at(0, 0), corner);
}

TEST_F(CropSliders, TheSlidersOfAnImageDroppedForWantOfMemoryChangeNothing) {
  new_join(1);
  load_a(write_plain("a.bmp", 40, 30, 0x2040C0));
  rt.fail_next_create_bitmap();
  load_b(write_plain("b.bmp", 60, 50, 0xC04020));  // no canvas for both: B is dropped
  ASSERT_EQ(s.doc.b.width, 0);
  ASSERT_EQ(rt.GETCHECK(s.c.RADIO6), 1);
  crop(30, -30, 20, -20);
  EXPECT_EQ(crop_of(s.doc.b), (Crop{0, 0, 0, 0}));
  EXPECT_TRUE(rt.untrapped().empty());
  // A is still croppable once handed the sliders.
  ASSERT_TRUE(rt.click("RADIO5"));
  crop(39, -5, 0, 0);
  EXPECT_EQ(crop_of(s.doc.a), (Crop{34, -5, 0, 0}));
  EXPECT_EQ(s.doc.a.src_width, 1);
}

struct FitRow {
  const char* name;
  int side;
  bool fit_b;  // the reloaded image is B instead of A
  Crop before;
  int new_width, new_height;
  Crop after;
};

TEST_F(CropSliders, AReloadFitsTheCropWithTheSidesPrecedence) {
  const FitRow rows[] = {
      // B right of A: the right crop is kept and the left one reduced.
      {"right-keeps-right", 1, false, {60, -30, 0, 0}, 50, 80, {19, -30, 0, 0}},
      {"right-limits-right-first", 1, false, {10, -70, 0, 0}, 50, 80, {0, -49, 0, 0}},
      // Elsewhere the left crop is kept.
      {"left-keeps-left", 3, false, {60, -30, 0, 0}, 50, 80, {49, 0, 0, 0}},
      {"above-keeps-left", 4, false, {20, -40, 0, 0}, 50, 80, {20, -29, 0, 0}},
      // B below A: the bottom crop is kept; elsewhere the top one.
      {"below-keeps-bottom", 2, false, {0, 0, 50, -20}, 100, 40, {0, 0, 19, -20}},
      {"below-keeps-left", 2, false, {60, -30, 0, 0}, 50, 80, {49, 0, 0, 0}},
      {"right-keeps-top", 1, false, {0, 0, 50, -20}, 100, 40, {0, 0, 39, 0}},
      // The side decides, not the image: B follows the same rules.
      {"b-right-keeps-right", 1, true, {60, -30, 0, 0}, 50, 80, {19, -30, 0, 0}},
      {"b-below-keeps-bottom", 2, true, {0, 0, 50, -20}, 100, 40, {0, 0, 19, -20}},
      {"still-fits", 1, false, {20, -20, 10, -10}, 50, 30, {20, -20, 10, -10}},
      {"grown", 3, false, {60, -30, 10, -5}, 200, 90, {60, -30, 10, -5}},
  };
  for (const FitRow& r : rows) {
    SCOPED_TRACE(r.name);
    join(100, 80, 100, 80, r.side);
    ASSERT_TRUE(rt.click(r.fit_b ? "RADIO6" : "RADIO5"));
    crop(r.before.left, r.before.right_off, r.before.top, r.before.bottom_off);
    // The other image is the controlled one when the reload comes; the reader hands the sliders over.
    ASSERT_TRUE(rt.click(r.fit_b ? "RADIO5" : "RADIO6"));
    write_plain(r.fit_b ? "b.bmp" : "a.bmp", r.new_width, r.new_height, 0x808080);
    ASSERT_TRUE(rt.click(r.fit_b ? "BUTTON56" : "BUTTON55"));

    const ImageSlot& img = r.fit_b ? s.doc.b : s.doc.a;
    EXPECT_EQ(img.width, r.new_width);
    EXPECT_EQ(crop_of(img), r.after);
    EXPECT_EQ(bars(), r.after);
    EXPECT_EQ(rt.GETCHECK(r.fit_b ? s.c.RADIO6 : s.c.RADIO5), 1);
    expect_sound(r.name);
  }
  EXPECT_TRUE(rt.messages().empty());
}

}  // namespace
}  // namespace vimbrel
