// What the renderer draws: the drawn parts, the effects and stacking, absent images, any region alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>

#include "platform/pixels/raster.h"
#include "tests/join/renderer_fixture.h"

namespace vimbrel {
namespace {

using test::kA;
using test::kB;
using test::kBlack;
using test::kWhite;
using test::Renderer;

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
void PrintTo(const EffectRow& r, std::ostream* os) {
  *os << "effect " << r.effect << " on " << std::hex << r.background << std::dec;
}

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
                      EffectRow{5, kBlack, [](std::uint32_t l, std::uint32_t u) { return l | u; }}),
    [](const auto& info) { return "effect" + std::to_string(info.param.effect); });

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
  EXPECT_EQ(s.doc.view.view_width, 50);  // shown
  EXPECT_EQ(rt.surface(s.c.PICTURE1).at(0, 0), px(0, 0));
}

TEST_F(Renderer, NoImageFillsTheBackgroundAndShowsNothing) {
  canvas_size(30, 20);
  s.doc.effect_index = 5;
  rt.SETTOPMOSTWINDOW(s.c.FORM3, 0);
  const float picture_width = rt.GETWIDTH(s.c.PICTURE1);
  render();
  for (const std::uint32_t p : canvas().pixels()) ASSERT_EQ(p, kBlack);
  EXPECT_EQ(s.doc.view.last_canvas_width, 0.0f);  // no layout ran
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
    compose(s.rt, plan_composite(s), part, region);
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

TEST_F(Renderer, SaveWithoutTheEffectCopiesTheUpperImage) {
  example(1);
  s.doc.a.x = 10, s.doc.a.y = 10;
  s.doc.b.x = 80, s.doc.b.y = 30;
  ASSERT_TRUE(rt.select_row("LIST1", 4));
  Bitmap plainly = Bitmap::create(1, 1);
  compose(s.rt, plan_composite(s, {.apply_effect = false}), plainly, {100, 50, 1, 1});
  EXPECT_EQ(plainly.at(0, 0), kB);
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
