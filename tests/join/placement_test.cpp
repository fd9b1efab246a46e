// Where the renderer places unplaced images for each side, and how it fits them into the canvas.
#include <gtest/gtest.h>

#include "tests/join/renderer_fixture.h"

namespace vimbrel {
namespace {

using test::kA;
using test::kB;
using test::kBlack;
using test::kWhite;
using test::Renderer;

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
void PrintTo(const SideRow& r, std::ostream* os) {
  *os << "side " << static_cast<int>(r.side) << ": A at (" << r.ax << ", " << r.ay << "), B at (" << r.bx
      << ", " << r.by << ")";
}

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
                                           SideRow{3, 85, 25, 25, 25}, SideRow{4, 25, 145, 25, 25}),
                         [](const auto& info) {
                           return "side" + std::to_string(static_cast<int>(info.param.side));
                         });

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

}  // namespace
}  // namespace vimbrel
