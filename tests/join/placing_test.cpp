// The 編集 menu's commands on the headless program: each moves the controlled picture as one move
// that UNDO takes back, through its menu item or its key.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "join/placing.h"
#include "tests/support/program_fixture.h"

namespace vimbrel {
namespace {

// Grain with no repeat, seeded: equal seeds give the same scene.
std::uint32_t grain(int x, int y, std::uint32_t seed) {
  std::uint32_t v = (x + 1) * 73856093u ^ (y + 1) * 19349663u ^ seed * 83492791u;
  v ^= v >> 13, v *= 0x5bd1e995u, v ^= v >> 15;
  return v & 0xFFFFFFu;
}

class Placing : public test::ProgramTest {
 protected:
  // A is 60 × 80 of a scene, B 50 × 70 cut from (`bx`, `by`) of the same scene (or another one).
  void join(int bx, int by, std::uint32_t b_seed = 1) {
    new_join(1, "50", "100");
    load_a(write_picture("a.bmp", 60, 80, [](int x, int y) { return grain(x, y, 1); }));
    load_b(write_picture("b.bmp", 50, 70, [=](int x, int y) { return grain(bx + x, by + y, b_seed); }));
  }
  std::pair<float, float> b_offset() const { return {s.doc.b.x - s.doc.a.x, s.doc.b.y - s.doc.a.y}; }
};

TEST_F(Placing, TheAlignKeyMovesBOntoTheOverlapAndUndoTakesItBack) {
  join(38, 5);
  const float x = s.doc.b.x, y = s.doc.b.y;
  ASSERT_TRUE(rt.press_key("MAINFORM", "Ctrl+Shift+A"));
  EXPECT_EQ(b_offset(), std::make_pair(38.0f, 5.0f));
  EXPECT_TRUE(rt.messages().empty());
  ASSERT_TRUE(rt.click("BUTTON3"));
  EXPECT_EQ(s.doc.b.x, x);
  EXPECT_EQ(s.doc.b.y, y);
}

TEST_F(Placing, NoMatchSaysSoAndMovesNothing) {
  join(0, 0, 2);
  const float x = s.doc.b.x, y = s.doc.b.y;
  ASSERT_TRUE(rt.click("MENUALIGN"));
  ASSERT_EQ(rt.messages().size(), 1u);
  EXPECT_EQ(rt.messages()[0].caption, kAlignCaption);
  EXPECT_EQ(rt.messages()[0].text, kNoMatchText);
  EXPECT_EQ(s.doc.b.x, x);
  EXPECT_EQ(s.doc.b.y, y);
}

TEST_F(Placing, StartCentreAndEndAreEachOneMoveAlongTheJoinSide) {
  join(0, 0);
  // B (70 high) right of A (80 high): top, ⌊(80 − 70) / 2⌋ = 5 below, 10 below.
  for (const auto& [item, dy] : {std::pair{"MENUEND", 10.0f}, {"MENUSTART", 0.0f}, {"MENUCENTRE", 5.0f}}) {
    SCOPED_TRACE(item);
    const float before = s.doc.b.y;
    ASSERT_TRUE(rt.click(item));
    EXPECT_EQ(s.doc.b.y - s.doc.a.y, dy);
    ASSERT_TRUE(rt.click("BUTTON3"));
    EXPECT_EQ(s.doc.b.y, before);
    ASSERT_TRUE(rt.click(item));
  }
}

TEST_F(Placing, TheCommandsWaitForAJoin) {
  new_join();
  for (const char* item : {"MENUALIGN", "MENUSTART", "MENUCENTRE", "MENUEND"})
    EXPECT_FALSE(rt.click(item)) << item;
  EXPECT_FALSE(rt.press_key("MAINFORM", "Ctrl+Shift+A"));
}

}  // namespace
}  // namespace vimbrel
