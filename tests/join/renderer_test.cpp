#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "app/menus.h"
#include "join/renderer.h"
#include "platform/bitmap_file.h"
#include "platform/raster.h"
#include "tests/support/program_fixture.h"

namespace vimbrel {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;
constexpr std::uint32_t kA = 0xFF3C5A96u, kB = 0xFFA5C30Fu;

// The join document set up directly: images as plain-coloured bitmaps, a canvas sized by the rule
// of the new-canvas command, the side and the stacking order in their radio buttons. The commands
// are enabled as after a B load, so the effect list and the radio buttons can be used.
class Renderer : public test::ProgramTest {
 protected:
  Renderer() { MENU_ALLSET(s, s.c.FORM3); }

  void image(ImageSlot& slot, int w, int h, const std::function<std::uint32_t(int, int)>& colour) {
    if (!slot.bitmap) rt.BITMAPOBJECT(slot.bitmap);
    rt.CREATEBITMAP(slot.bitmap, w, h);
    Bitmap& p = *rt.picture(slot.bitmap);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) p.at(x, y) = colour(x, y);
    slot.width = static_cast<float>(w), slot.height = static_cast<float>(h);
    slot.src_width = slot.width, slot.src_height = slot.height;
    slot.x = -1, slot.y = -1;
  }
  void plain(ImageSlot& slot, int w, int h, std::uint32_t c) {
    image(slot, w, h, [c](int, int) { return c; });
  }

  void canvas_size(int w, int h) {
    rt.CREATEBITMAP(s.doc.canvas_bitmap, w, h);
    s.doc.canvas_width = static_cast<float>(w), s.doc.canvas_height = static_cast<float>(h);
  }

  void side(int n) {
    const Window radios[] = {s.c.RADIO1, s.c.RADIO2, s.c.RADIO3, s.c.RADIO4};
    for (int i = 1; i <= 4; ++i) rt.SETCHECK(radios[i - 1], i == n ? 1 : 0);
  }

  void a_on_top(bool on) {
    rt.SETCHECK(s.c.RADIO7, on ? 1 : 0);
    rt.SETCHECK(s.c.RADIO8, on ? 0 : 1);
  }

  void render() { LOAD_SCG(s, s.c.FORM3); }
  std::uint32_t px(int x, int y) { return canvas().at(x, y); }

  // The worked example: A 100 x 80, B 60 x 120, margins 50.
  void example(int n) {
    plain(s.doc.a, 100, 80, kA);
    plain(s.doc.b, 60, 120, kB);
    side(n);
    const bool across = n == 1 || n == 3;
    canvas_size(across ? 210 : 150, across ? 170 : 250);
  }
};

TEST_F(Renderer, PlacesTheWorkedExampleAndWritesTheUndoCopies) {
  example(1);
  render();
  const JoinDocument& d = s.doc;
  EXPECT_EQ(d.a.x, 25.0f);
  EXPECT_EQ(d.a.y, 25.0f);
  EXPECT_EQ(d.b.x, 125.0f);
  EXPECT_EQ(d.b.y, 25.0f);
  EXPECT_EQ(d.a.undo_x, 25.0f);
  EXPECT_EQ(d.a.undo_y, 25.0f);
  EXPECT_EQ(d.b.undo_x, 125.0f);
  EXPECT_EQ(d.b.undo_y, 25.0f);
  EXPECT_EQ(d.b.draw_x, 125.0f);
  EXPECT_EQ(px(24, 24), kWhite);
  EXPECT_EQ(px(25, 25), kA);
  EXPECT_EQ(px(124, 104), kA);
  EXPECT_EQ(px(124, 105), kWhite);  // under A: background
  EXPECT_EQ(px(125, 144), kB);
  EXPECT_EQ(px(184, 145), kWhite);
  EXPECT_EQ(px(185, 25), kWhite);
  // Shown: the canvas fits the main window, so PICTURE1 is the canvas.
  EXPECT_EQ(rt.surface(s.c.PICTURE1).at(125, 25), kB);
  EXPECT_TRUE(rt.topmost(s.c.FORM3));
}

struct SideRow {
  int side;
  float ax, ay, bx, by;
};

class RendererSide : public Renderer, public ::testing::WithParamInterface<SideRow> {};

TEST_P(RendererSide, PutsThePairFlushHalfAMarginIn) {
  const SideRow& r = GetParam();
  example(r.side);
  render();
  EXPECT_EQ(s.doc.a.x, r.ax);
  EXPECT_EQ(s.doc.a.y, r.ay);
  EXPECT_EQ(s.doc.b.x, r.bx);
  EXPECT_EQ(s.doc.b.y, r.by);
}

INSTANTIATE_TEST_SUITE_P(Sides, RendererSide,
                         ::testing::Values(SideRow{1, 25, 25, 125, 25}, SideRow{2, 25, 25, 25, 105},
                                           SideRow{3, 85, 25, 25, 25}, SideRow{4, 25, 145, 25, 25}));

TEST_F(Renderer, OddMarginsDropTheRemainder) {
  example(1);
  s.doc.margin_x = 51, s.doc.margin_y = 53;
  render();
  EXPECT_EQ(s.doc.a.x, 25.0f);
  EXPECT_EQ(s.doc.a.y, 26.0f);
  EXPECT_EQ(s.doc.b.x, 125.0f);
}

TEST_F(Renderer, ImagePlacedFromTheOtherUsesItsFittedPosition) {
  // Right: A moved right, B reset. B lands on A's right edge, past the canvas, and is pulled back;
  // its undo copy keeps the placed value, the fit does not touch it.
  example(1);
  render();
  s.doc.a.x = 110, s.doc.a.y = 10;
  s.doc.b.x = -1, s.doc.b.y = -1;
  render();
  EXPECT_EQ(s.doc.a.x, 110.0f);
  EXPECT_EQ(s.doc.b.x, 150.0f);
  EXPECT_EQ(s.doc.b.undo_x, 210.0f);
  EXPECT_EQ(s.doc.b.y, 25.0f);

  // Left: B first, moved past the edge and fitted; A then placed from B's fitted position.
  example(3);
  s.doc.b.x = 200, s.doc.b.y = 0;
  render();
  EXPECT_EQ(s.doc.b.x, 150.0f);
  EXPECT_EQ(s.doc.a.undo_x, 210.0f);
  EXPECT_EQ(s.doc.a.x, 110.0f);

  // Above: A below B's fitted bottom edge.
  example(4);
  s.doc.b.y = 200;
  s.doc.b.x = 0;
  render();
  EXPECT_EQ(s.doc.b.y, 130.0f);
  EXPECT_EQ(s.doc.a.undo_y, 250.0f);
  EXPECT_EQ(s.doc.a.y, 170.0f);
}

TEST_F(Renderer, ResettingOnlyAWithBRightOfItLeavesBWhereItIs) {
  example(1);
  render();
  s.doc.b.x = 130, s.doc.b.y = 40;
  s.doc.a.x = -1, s.doc.a.y = -1;
  render();
  EXPECT_EQ(s.doc.a.x, 25.0f);
  EXPECT_EQ(s.doc.a.y, 25.0f);
  EXPECT_EQ(s.doc.b.x, 130.0f);
  EXPECT_EQ(s.doc.b.y, 40.0f);
}

TEST_F(Renderer, FitUsesTheFullSizeEvenWhenCropped) {
  example(1);
  render();
  s.doc.a.src_right_off = -50, s.doc.a.src_width = 50;  // drawn part 50 wide
  s.doc.a.src_bottom_off = -60, s.doc.a.src_height = 20;
  s.doc.a.x = 150, s.doc.a.y = 120;
  render();
  EXPECT_EQ(s.doc.a.x, 110.0f);
  EXPECT_EQ(s.doc.a.y, 90.0f);
}

TEST_F(Renderer, DrawsOnlyTheDrawnPartWhereItLands) {
  example(1);
  image(s.doc.a, 100, 80, [](int x, int y) { return 0xFF000000u | (x << 8) | y; });
  s.doc.a.src_left = 10, s.doc.a.src_top = 5;
  s.doc.a.src_width = 80, s.doc.a.src_height = 70;  // right and bottom cut by 10 and 5
  render();
  EXPECT_EQ(s.doc.a.draw_x, 35.0f);
  EXPECT_EQ(s.doc.a.draw_y, 30.0f);
  EXPECT_EQ(px(34, 40), kWhite);
  EXPECT_EQ(px(35, 30), 0xFF000000u | (10 << 8) | 5);
  EXPECT_EQ(px(114, 99), 0xFF000000u | (89 << 8) | 74);
  EXPECT_EQ(px(115, 99), kWhite);
  EXPECT_EQ(px(114, 100), kWhite);
}

// Every effect with both stacking orders, on one pixel of each kind: A over background, B over
// background, the overlap, and bare background.
struct EffectRow {
  int effect;
  std::uint32_t background;
  std::function<std::uint32_t(std::uint32_t lower, std::uint32_t upper)> over;
};

class RendererEffect : public Renderer, public ::testing::WithParamInterface<EffectRow> {};

TEST_P(RendererEffect, CombinesTheUpperImageOnly) {
  const EffectRow& r = GetParam();
  for (const bool a_top : {true, false}) {
    example(1);
    s.doc.a.x = 10, s.doc.a.y = 10;
    s.doc.b.x = 80, s.doc.b.y = 30;  // overlap x 80..109, y 30..89
    a_on_top(a_top);
    ASSERT_TRUE(rt.select_row("LIST1", r.effect));
    EXPECT_EQ(s.doc.effect_index, r.effect);
    EXPECT_EQ(s.doc.a.x, 10.0f);  // a redraw, not a placement
    EXPECT_EQ(s.doc.b.x, 80.0f);
    const std::uint32_t lower = a_top ? kB : kA, upper = a_top ? kA : kB;
    SCOPED_TRACE(a_top ? "A on top" : "B on top");
    EXPECT_EQ(px(0, 0), r.background);
    EXPECT_EQ(px(100, 50), r.over(lower, upper) | kBlack);
    const std::uint32_t a_alone = px(20, 20), b_alone = px(120, 100);
    EXPECT_EQ(a_top ? a_alone : b_alone, r.over(r.background, upper) | kBlack);
    EXPECT_EQ(a_top ? b_alone : a_alone, lower);
    // Where the upper image lies over background it shows as itself.
    EXPECT_EQ(a_alone, kA);
    EXPECT_EQ(b_alone, kB);
    // The canvas draws in copy mode again afterwards.
    BitmapObject probe;
    rt.BITMAPOBJECT(probe);
    rt.CREATEBITMAP(probe, 1, 1);
    rt.BITBLT(s.doc.canvas_bitmap, 100, 50, 1, 1, probe, 0, 0);
    EXPECT_EQ(px(100, 50), kBlack);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Effects, RendererEffect,
    ::testing::Values(EffectRow{0, kWhite, [](std::uint32_t, std::uint32_t u) { return u; }},
                      EffectRow{1, kBlack, [](std::uint32_t, std::uint32_t u) { return u; }},
                      EffectRow{2, kWhite, [](std::uint32_t l, std::uint32_t u) { return l & u; }},
                      EffectRow{3, kWhite, [](std::uint32_t l, std::uint32_t u) { return u | ~l; }},
                      EffectRow{4, kBlack, [](std::uint32_t l, std::uint32_t u) { return l ^ u; }},
                      EffectRow{5, kBlack, [](std::uint32_t l, std::uint32_t u) { return l | u; }}));

TEST_F(Renderer, XorOfTwoIdenticalImagesBlackensTheOverlap) {
  example(1);
  image(s.doc.a, 60, 60, [](int x, int y) { return 0xFF000000u | (x * 4 << 16) | (y * 4); });
  image(s.doc.b, 60, 60, [](int x, int y) { return 0xFF000000u | (x * 4 << 16) | (y * 4); });
  s.doc.a.x = s.doc.b.x = 40;
  s.doc.a.y = s.doc.b.y = 30;
  ASSERT_TRUE(rt.select_row("LIST1", 4));
  for (int y = 30; y < 90; y += 7)
    for (int x = 40; x < 100; x += 7) EXPECT_EQ(px(x, y), kBlack);
  EXPECT_EQ(px(39, 30), kBlack);  // background, black for this effect
}

TEST_F(Renderer, StackingRadioButtonsRedrawAtOnce) {
  example(1);
  s.doc.a.x = 10, s.doc.a.y = 10;
  s.doc.b.x = 80, s.doc.b.y = 30;
  ASSERT_TRUE(rt.click("RADIO7"));
  EXPECT_EQ(px(100, 50), kA);
  ASSERT_TRUE(rt.click("RADIO8"));
  EXPECT_EQ(px(100, 50), kB);
  EXPECT_EQ(s.doc.a.x, 10.0f);
}

TEST_F(Renderer, OnlyANewlyLoadedIsDrawnAtMinusOne) {
  image(s.doc.a, 50, 40, [](int x, int y) { return 0xFF000000u | (x << 8) | y; });
  canvas_size(50, 40);
  render();
  EXPECT_EQ(s.doc.a.x, -1.0f);  // no placement with one image
  EXPECT_EQ(s.doc.a.draw_x, -1.0f);
  EXPECT_EQ(px(0, 0), 0xFF000000u | (1 << 8) | 1);
  EXPECT_EQ(px(48, 38), 0xFF000000u | (49 << 8) | 39);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(px(49, i), kWhite);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(px(i, 39), kWhite);
  EXPECT_EQ(s.doc.view_width, 50);  // shown
  EXPECT_EQ(rt.surface(s.c.PICTURE1).at(0, 0), px(0, 0));
}

TEST_F(Renderer, NoImageFillsTheBackgroundAndShowsNothing) {
  canvas_size(30, 20);
  s.doc.effect_index = 5;
  rt.SETTOPMOSTWINDOW(s.c.FORM3, 0);
  const float picture_width = rt.GETWIDTH(s.c.PICTURE1);
  render();
  for (const std::uint32_t p : canvas().pixels()) ASSERT_EQ(p, kBlack);
  EXPECT_EQ(s.doc.last_canvas_width, 0.0f);  // no layout ran
  EXPECT_EQ(rt.GETWIDTH(s.c.PICTURE1), picture_width);
  EXPECT_TRUE(rt.topmost(s.c.FORM3));
}

TEST_F(Renderer, AbsentImageIsNeverDrawnWhateverItsBitmapHolds) {
  example(1);
  render();
  s.doc.b.width = 0, s.doc.b.height = 0;  // B dropped; its bitmap still holds the picture
  render();
  for (int y = 0; y < 170; y += 5) EXPECT_NE(px(150, y), kB);
}

TEST_F(Renderer, EmptyCanvasObjectIsLeftAlone) {
  example(1);
  rt.DELETEOBJECT(s.doc.canvas_bitmap);
  render();
  EXPECT_EQ(rt.CHECKOBJECT(s.doc.canvas_bitmap), 0);
  EXPECT_TRUE(rt.untrapped().empty());
}

// Any region composed on its own gives the pixels the whole canvas has there; outside the canvas
// the plane goes on (background and images, unclipped by the canvas), as the save needs.
TEST_F(Renderer, ComposedRegionMatchesTheWholeCanvas) {
  std::mt19937 rng(7);
  auto random_image = [&](ImageSlot& slot, int w, int h) {
    image(slot, w, h, [&](int, int) { return 0xFF000000u | (rng() & 0xFFFFFFu); });
  };
  random_image(s.doc.a, 70, 50);
  random_image(s.doc.b, 40, 90);
  side(1);
  canvas_size(160, 140);
  for (int round = 0; round < 40; ++round) {
    s.doc.a.x = static_cast<float>(rng() % 90), s.doc.a.y = static_cast<float>(rng() % 90);
    s.doc.b.x = static_cast<float>(rng() % 120), s.doc.b.y = static_cast<float>(rng() % 50);
    s.doc.a.src_left = static_cast<std::int16_t>(rng() % 10);
    s.doc.a.src_width = 70.0f - s.doc.a.src_left - static_cast<float>(rng() % 10);
    s.doc.effect_index = static_cast<std::int16_t>(rng() % 6);
    a_on_top(rng() % 2 == 0);
    render();
    const std::int64_t w = 1 + rng() % 100, h = 1 + rng() % 100;
    const PixelRect region{static_cast<std::int64_t>(rng() % 120) - 20,
                           static_cast<std::int64_t>(rng() % 100) - 20, w, h};
    Bitmap part = Bitmap::create(w, h);
    compose(s, part, region);
    for (std::int64_t y = 0; y < h; ++y) {
      for (std::int64_t x = 0; x < w; ++x) {
        const std::int64_t cx = region.x + x, cy = region.y + y;
        if (cx < 0 || cy < 0 || cx >= 160 || cy >= 140) continue;
        ASSERT_EQ(part.at(static_cast<int>(x), static_cast<int>(y)),
                  px(static_cast<int>(cx), static_cast<int>(cy)))
            << "round " << round << " at " << cx << ", " << cy;
      }
    }
  }
}

TEST_F(Renderer, SaveOptionsCopyTheUpperImageAndDrawBothUnguarded) {
  example(1);
  s.doc.a.x = 10, s.doc.a.y = 10;
  s.doc.b.x = 80, s.doc.b.y = 30;
  ASSERT_TRUE(rt.select_row("LIST1", 4));
  Bitmap plainly = Bitmap::create(1, 1);
  compose(s, plainly, {100, 50, 1, 1}, {.apply_effect = false});
  EXPECT_EQ(plainly.at(0, 0), kB);
  s.doc.b.width = 0;
  Bitmap unguarded = Bitmap::create(1, 1);
  compose(s, unguarded, {100, 50, 1, 1}, {.apply_effect = true, .guard_absent = false});
  EXPECT_EQ(unguarded.at(0, 0), (kA ^ kB) | kBlack);
}

// The canvas drawn by the plain sequence of runtime operations from the document as it stands:
// filled box, the lower image copied, the effect's mode, the upper image, on a bitmap of its own.
class Reference {
 public:
  explicit Reference(Session& s) : s_(s) { s.rt.BITMAPOBJECT(obj_); }

  const Bitmap& draw() {
    FormRuntime& rt = s_.rt;
    const JoinDocument& d = s_.doc;
    rt.CREATEBITMAP(obj_, static_cast<std::int64_t>(d.canvas_width),
                    static_cast<std::int64_t>(d.canvas_height));
    rt.FILLBOX(obj_, 0, 0, d.canvas_width, d.canvas_height, background_colour(d.effect_index));
    auto put = [&](const ImageSlot& i) {
      rt.BITBLT(obj_, i.draw_x, i.draw_y, i.src_width, i.src_height, i.bitmap, i.src_left, i.src_top);
    };
    const bool a_top = rt.GETCHECK(s_.c.RADIO7) != 0;
    put(a_top ? d.b : d.a);
    rt.SETDRAWMODE(obj_, effect_mode(d.effect_index));
    put(a_top ? d.a : d.b);
    rt.SETDRAWMODE(obj_, 13);
    return *rt.picture(obj_);
  }

 private:
  Session& s_;
  BitmapObject obj_;
};

// A join made through the commands, on a main window small enough for both scroll bars.
class RendererJoin : public test::ProgramTest {
 protected:
  void join(int side = 1) {
    std::mt19937 rng(11);
    auto noise = [&rng](int, int) { return rng() & 0xFFFFFFu; };
    new_join(side);
    load_a(write_picture("a.bmp", 300, 200, noise));
    load_b(write_picture("b.bmp", 250, 260, noise));
    rt.resize_main_form(400, 300);
  }

  ::testing::AssertionResult view_matches(const Bitmap& want) {
    const Bitmap& view = rt.surface(s.c.PICTURE1);
    const int vx = static_cast<int>(std::lround(s.doc.view_x)),
              vy = static_cast<int>(std::lround(s.doc.view_y));
    for (int y = 0; y < view.height(); ++y) {
      for (int x = 0; x < view.width(); ++x) {
        const int cx = vx + x, cy = vy + y;
        if (cx >= want.width() || cy >= want.height()) continue;  // beyond the canvas
        if (view.at(x, y) != want.at(cx, cy))
          return ::testing::AssertionFailure()
                 << "view (" << x << ", " << y << ") = canvas (" << cx << ", " << cy << ")";
      }
    }
    return ::testing::AssertionSuccess();
  }

  static ::testing::AssertionResult same(const Bitmap& got, const Bitmap& want, int ox = 0, int oy = 0) {
    for (int y = 0; y < got.height(); ++y)
      for (int x = 0; x < got.width(); ++x)
        if (got.at(x, y) != want.at(x + ox, y + oy))
          return ::testing::AssertionFailure() << "differs at (" << x << ", " << y << ")";
    return ::testing::AssertionSuccess();
  }
};

TEST_F(RendererJoin, LoadingBothImagesShowsThePlacedPair) {
  new_join(1);
  load_a(write_plain("a.bmp", 100, 80, 0x3C5A96));
  load_b(write_plain("b.bmp", 60, 120, 0xA5C30F));
  EXPECT_EQ(s.doc.canvas_width, 210.0f);
  EXPECT_EQ(s.doc.a.x, 25.0f);
  EXPECT_EQ(s.doc.b.x, 125.0f);
  EXPECT_EQ(s.doc.b.y, 25.0f);
  Reference ref(s);
  EXPECT_TRUE(view_matches(ref.draw()));
  EXPECT_EQ(rt.surface(s.c.PICTURE1).at(125, 25), kB);
  EXPECT_TRUE(same(canvas(), ref.draw()));
}

// Random sequences of what a user does (drags, nudges, effects, stacking, crops, scrolling,
// panning, resizing, saving); after each step the view, and now and then the whole canvas, must
// be what the plain sequence of runtime operations draws.
TEST_F(RendererJoin, RandomSequencesShowWhatTheFullRedrawDraws) {
  for (int side = 1; side <= 4; ++side) {
    SCOPED_TRACE("side " + std::to_string(side));
    join(side);
    ASSERT_TRUE(rt.click("CHECK1"));  // the save applies the effect, as the screen does
    Reference ref(s);
    std::mt19937 rng(static_cast<unsigned>(side));
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    float mx = 100, my = 100;
    for (int step = 0; step < 80; ++step) {
      switch (pick(10)) {
        case 0:
        case 1:
          ASSERT_TRUE(rt.mouse("PICTURE1", "MOUSEDOWN", 2, mx, my));
          for (int k = 0; k < 3; ++k) {
            mx += static_cast<float>(pick(41) - 20), my += static_cast<float>(pick(41) - 20);
            ASSERT_TRUE(rt.mouse("PICTURE1", "MOUSEMOVE", 2, mx, my));
          }
          break;
        case 2:
          ASSERT_TRUE(rt.click("BUTTON" + std::to_string(4 + pick(48))));
          break;
        case 3:
          ASSERT_TRUE(rt.select_row("LIST1", pick(6)));
          break;
        case 4:
          ASSERT_TRUE(rt.click(pick(2) == 0 ? "RADIO7" : "RADIO8"));
          break;
        case 5:
          ASSERT_TRUE(rt.click(pick(2) == 0 ? "RADIO5" : "RADIO6"));
          break;
        case 6: {
          const char* bars[] = {"HSCROLL2", "HSCROLL3", "VSCROLL2", "VSCROLL3"};
          const Window bar = rt.find(bars[pick(4)]);
          const auto [lo, hi] = rt.scroll_range(bar);
          ASSERT_TRUE(rt.scroll_to(rt.name_of(bar), std::min(lo, hi) + pick(std::abs(hi - lo) + 1)));
          break;
        }
        case 7:
          if (rt.ISWINDOWVISIBLE(s.c.HSCROLL1)) {
            ASSERT_TRUE(rt.scroll_to("HSCROLL1", pick(s.doc.scroll_max_x + 1)));
          }
          if (rt.ISWINDOWVISIBLE(s.c.VSCROLL1)) {
            ASSERT_TRUE(rt.scroll_to("VSCROLL1", pick(s.doc.scroll_max_y + 1)));
          }
          break;
        case 8:
          ASSERT_TRUE(rt.mouse("PICTURE1", "MOUSEDOWN", 1, 50, 50));
          ASSERT_TRUE(rt.mouse("PICTURE1", "MOUSEMOVE", 1, static_cast<float>(pick(200)),
                               static_cast<float>(pick(200))));
          break;
        case 9:
          rt.resize_main_form(300 + pick(500), 200 + pick(400));
          break;
      }
      ASSERT_TRUE(rt.untrapped().empty());
      ASSERT_TRUE(view_matches(ref.draw())) << "step " << step;
      if (pick(5) == 0) {
        ASSERT_TRUE(same(canvas(), ref.draw())) << "step " << step;
      }
    }
    // The save writes the on-screen composite cut to the drawn parts.
    const JoinDocument& d = s.doc;
    const int left = static_cast<int>(std::min(d.a.draw_x, d.b.draw_x));
    const int top = static_cast<int>(std::min(d.a.draw_y, d.b.draw_y));
    const Bitmap& want = ref.draw();
    rt.push_dialog_answer(dir.file("out.bmp"));
    ASSERT_TRUE(rt.click("BUTTON60"));
    const Bitmap saved = read_bitmap_file(dir.file("out.BMP"));
    EXPECT_TRUE(same(saved, want, left, top));
    EXPECT_TRUE(view_matches(ref.draw()));
  }
}

TEST_F(Renderer, CanvasKeepsTheImagesAsTheyWereWhenItWasDrawn) {
  example(1);
  render();
  EXPECT_TRUE(rt.deferred(s.doc.canvas_bitmap));  // shown, but not yet composed in full
  // Changing A's pixels after the redraw must not reach the canvas drawn before it.
  Bitmap& a = *rt.picture(s.doc.a.bitmap);
  a.at(0, 0) = 0xFF010203u;
  EXPECT_EQ(px(25, 25), kA);
  render();
  EXPECT_EQ(px(25, 25), 0xFF010203u);
  // Nor does a drawing onto the canvas get lost under a later production of the composite.
  rt.FILLBOX(s.doc.canvas_bitmap, 0, 0, 3, 3, 12);
  EXPECT_EQ(px(1, 1), palette_colour(12));
  EXPECT_EQ(px(25, 25), 0xFF010203u);
}

}  // namespace
}  // namespace vimbrel
