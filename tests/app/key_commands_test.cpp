// Keys and menu commands against the buttons they stand for, on the headless runtime.
#include "app/key_commands.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/program_fixture.h"

namespace vimbrel {
namespace {

struct KeyCase {
  const char* keys;
  const char* button;  // the button the key presses
};

void PrintTo(const KeyCase& c, std::ostream* os) {
  *os << c.keys;
}

class KeyCommands : public test::ProgramTest, public ::testing::WithParamInterface<KeyCase> {
 protected:
  void join() {
    new_join();
    load_a(write_plain("a.bmp", 40, 30, 0xFF0000));
    load_b(write_plain("b.bmp", 20, 50, 0x00FF00));
  }
  std::string places() {
    return std::to_string(s.doc.b.x) + "," + std::to_string(s.doc.b.y) + " undo " +
           std::to_string(s.doc.b.undo_x) + "," + std::to_string(s.doc.b.undo_y);
  }
};

// The key leaves the document as the button does, undo copy included.
TEST_P(KeyCommands, MovesAsItsButtonDoes) {
  join();
  const std::string start = places();
  ASSERT_TRUE(rt.press_key("MAINFORM", GetParam().keys));
  const std::string by_key = places();
  EXPECT_NE(by_key, start);
  ASSERT_TRUE(rt.press_key("MAINFORM", "Ctrl+Z"));
  ASSERT_TRUE(rt.click(GetParam().button));
  EXPECT_EQ(places(), by_key);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyCommands,
                         ::testing::Values(KeyCase{"Right", "BUTTON4"}, KeyCase{"Up", "BUTTON7"},
                                           KeyCase{"Shift+Left", "BUTTON17"},
                                           KeyCase{"Shift+Down", "BUTTON18"}),
                         [](const auto& info) {
                           std::string n = info.param.keys;
                           std::erase(n, '+');
                           return n;
                         });

TEST_F(KeyCommands, AKeyWhoseButtonIsDisabledDoesNothing) {
  for (const char* keys : {"Right", "Ctrl+Z", "Ctrl+S", "Ctrl+O"}) rt.press_key("MAINFORM", keys);
  EXPECT_TRUE(rt.last_dialog().empty()) << "no save or open dialog before 新規作成";
  EXPECT_FALSE(rt.usable(s.c.BUTTON[53]));
}

TEST_F(KeyCommands, OpenLoadsAUntilItIsInThenB) {
  new_join();
  rt.push_dialog_answer(write_plain("a.bmp", 40, 30, 0xFF0000));
  ASSERT_TRUE(rt.press_key("MAINFORM", "Ctrl+O"));
  ASSERT_FALSE(rt.last_dialog().empty());
  EXPECT_EQ(rt.last_dialog()[0], "Ａ画像にするファイルは？");
  rt.push_dialog_answer(write_plain("b.bmp", 20, 50, 0x00FF00));
  ASSERT_TRUE(rt.press_key("MAINFORM", "Ctrl+O"));
  EXPECT_EQ(rt.last_dialog()[0], "Ｂ画像にするファイルは？");
  EXPECT_EQ(s.doc.b.width, 20);
}

}  // namespace
}  // namespace vimbrel
