#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "app/menus.h"
#include "join/renderer.h"
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

}  // namespace
}  // namespace vimbrel
