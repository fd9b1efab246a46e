// The clipboard on the real windows (offscreen, whose clipboard lives in the process): a picture
// pasted as A, then as B; the copy is the picture a save writes.
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
  static void offer(const QImage& image) { QGuiApplication::clipboard()->setImage(image); }
};

TEST_F(ClipboardOnScreen, PastesAsAThenAsBAndCopiesWhatASaveWrites) {
  click(s.c.BUTTON[52]);
  click(s.c.BUTTON[2]);
  QImage red(30, 20, QImage::Format_RGB32), blue(10, 40, QImage::Format_RGB32);
  red.fill(0xFFC00000u);
  blue.fill(0xFF0000C0u);
  offer(red);
  menu("MENUPASTE");
  EXPECT_EQ(s.doc.a.width, 30);
  EXPECT_EQ(s.doc.a.file_title, "クリップボード（Ａ）");
  offer(blue);
  menu("MENUPASTE");
  EXPECT_EQ(s.doc.b.height, 40);
  EXPECT_EQ(s.doc.b.file_title, "クリップボード（Ｂ）");
  click(s.c.BUTTON[55]);  // A's own file is still the red picture
  EXPECT_EQ(s.doc.a.width, 30);

  menu("MENUCOPY");
  const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(copied.width(), 40);
  ASSERT_EQ(copied.height(), 40);
  EXPECT_EQ(copied.pixel(0, 0), 0xFFC00000u);
  EXPECT_EQ(copied.pixel(35, 39), 0xFF0000C0u);
  EXPECT_EQ(copied.pixel(0, 39), 0xFFFFFFFFu);  // the background under A, as the save has it
  EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/png"));
}

TEST_F(ClipboardOnScreen, NothingToPasteIsSaidAndChangesNothing) {
  click(s.c.BUTTON[52]);
  click(s.c.BUTTON[2]);
  QGuiApplication::clipboard()->setText("just words");
  bool told = false;
  QTimer::singleShot(0, [&told] {
    if (QWidget* box = QApplication::activeModalWidget()) told = true, box->close();
  });
  menu("MENUPASTE");
  EXPECT_TRUE(told) << "a message says there is no picture";
  EXPECT_EQ(s.doc.a.width, 0);
}

}  // namespace
}  // namespace vimbrel
