// The keyboard on the real windows (offscreen): Return presses the focused button, and in the
// settings form its 設　定　の　保　存 from any field; the arrow keys move as the nudge buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "tests/support/program_on_screen.h"

namespace vimbrel {
namespace {

using KeysOnScreen = test::ProgramOnScreen;

TEST_F(KeysOnScreen, ReturnSavesTheSettingsFromAFieldAndPressesTheFocusedButton) {
  click(s.c.BUTTON[52]);
  ASSERT_TRUE(rt.ISWINDOWVISIBLE(s.c.FORM2));
  QTest::keyClick(widget(s.c.EDIT1), Qt::Key_Return);
  QTest::qWait(300);  // the press's animation
  EXPECT_FALSE(rt.ISWINDOWVISIBLE(s.c.FORM2));
  EXPECT_TRUE(rt.usable(s.c.BUTTON[53]));
  // Return on a focused push button presses it, as Space does.
  widget(s.c.BUTTON[52])->setFocus();
  QTest::keyClick(widget(s.c.BUTTON[52]), Qt::Key_Return);
  QTest::qWait(300);
  EXPECT_TRUE(rt.ISWINDOWVISIBLE(s.c.FORM2));
}

}  // namespace
}  // namespace vimbrel
