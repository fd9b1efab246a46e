// The clipboard on the real windows (offscreen, whose clipboard lives in the process): the copy is
// the picture a save writes.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "tests/support/program_on_screen.h"

namespace vimbrel {
namespace {

class ClipboardOnScreen : public test::ProgramOnScreen {
 protected:
  void menu(const char* item) { rt.menu_action(rt.GETDLGITEM(s.c.MAINFORM, item))->trigger(); }
};

TEST_F(ClipboardOnScreen, CopiesWhatASaveWrites) {
  click(s.c.BUTTON[52]);
  click(s.c.BUTTON[2]);
  load(s.c.BUTTON[53], write_picture("a.bmp", 30, 20, [](int, int) { return 0xFFC00000u; }));
  load(s.c.BUTTON[54], write_picture("b.bmp", 10, 40, [](int, int) { return 0xFF0000C0u; }));
  menu("MENUCOPY");
  const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(copied.width(), 40);
  ASSERT_EQ(copied.height(), 40);
  EXPECT_EQ(copied.pixel(0, 0), 0xFFC00000u);
  EXPECT_EQ(copied.pixel(35, 39), 0xFF0000C0u);
  EXPECT_EQ(copied.pixel(0, 39), 0xFFFFFFFFu);  // the background under A, as the save has it
  EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/png"));
}

}  // namespace
}  // namespace vimbrel
