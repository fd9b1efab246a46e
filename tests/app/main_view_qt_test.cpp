// The main view on the real windows (offscreen): the whole program started on the Qt backend, a
// join larger than the main window made through the dialogs, then looked at through the bars.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <fstream>
#include <string>

#include "app/forms_layout.h"
#include "app/startup.h"
#include "platform/bitmap_file.h"
#include "platform/qt/qt_runtime.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

std::uint32_t pattern(int x, int y, std::uint32_t tag) {
  return 0xFF000000u | tag | static_cast<std::uint32_t>(((x & 0x3FF) << 10) | (y & 0x3FF));
}

class MainViewOnScreen : public ::testing::Test {
 protected:
  MainViewOnScreen() : rt(form_layouts()), s(rt) {
    std::ofstream(dir.file("KANKYO.TXT")) << "VIMBREL,1\nWORK," << dir.path().string() << "/\n";
    wire_program(s);
    start_up(s, dir.path());
  }

  QWidget* widget(Window w) const { return rt.widget(w); }
  void click(Window button) { static_cast<QAbstractButton*>(widget(button))->click(); }

  std::string picture(const std::string& name, int w, int h, std::uint32_t tag) {
    Bitmap b = Bitmap::create(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) b.at(x, y) = pattern(x, y, tag);
    const std::string path = dir.file(name);
    write_bitmap_file(b, path);
    return path;
  }

  // Presses a load button and answers its open dialog with `path`.
  void load(Window button, const std::string& path) {
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        poll.stop();
        dialog->selectFile(QString::fromStdString(path));
        static_cast<QDialog*>(dialog)->accept();
      }
    });
    poll.start(0);
    click(button);
  }

  // What PICTURE1 shows on the screen is the canvas from the view point, pixel for pixel.
  ::testing::AssertionResult shows_canvas() {
    const QImage shot = widget(s.c.PICTURE1)->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    if (shot.width() != s.doc.view_width || shot.height() != s.doc.view_height)
      return ::testing::AssertionFailure() << "picture is " << shot.width() << " x " << shot.height();
    const Bitmap& canvas = *rt.picture(s.doc.canvas_bitmap);
    const int vx = static_cast<int>(s.doc.view_x), vy = static_cast<int>(s.doc.view_y);
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x)
        if (shot.pixel(x, y) != canvas.at(vx + x, vy + y))
          return ::testing::AssertionFailure() << "differs at (" << x << ", " << y << ")";
    return ::testing::AssertionSuccess();
  }

  test::TempDir dir;
  QtRuntime rt;
  Session s;
};

TEST_F(MainViewOnScreen, LargeJoinShowsBarsThatMoveTheViewOnePixelPerPixel) {
  click(s.c.BUTTON[52]);
  click(s.c.BUTTON[2]);
  load(s.c.BUTTON[53], picture("a.bmp", 1500, 1100, 0x100000));
  load(s.c.BUTTON[54], picture("b.bmp", 900, 1300, 0x200000));
  ASSERT_EQ(s.doc.canvas_width, 2450.0f);
  ASSERT_EQ(s.doc.canvas_height, 1350.0f);
  const QSize client = widget(s.c.MAINFORM)->size();
  ASSERT_LT(client.width(), 2450);
  ASSERT_LT(client.height(), 1350);

  auto* hbar = static_cast<QScrollBar*>(widget(s.c.HSCROLL1));
  auto* vbar = static_cast<QScrollBar*>(widget(s.c.VSCROLL1));
  QWidget* corner = widget(s.c.BUTTON[1]);
  EXPECT_TRUE(hbar->isVisible());
  EXPECT_TRUE(vbar->isVisible());
  EXPECT_TRUE(corner->isVisible());
  EXPECT_EQ(widget(s.c.PICTURE1)->geometry(), QRect(0, 0, s.doc.view_width, s.doc.view_height));
  EXPECT_EQ(hbar->geometry(), QRect(0, s.doc.view_height, s.doc.view_width, 16));
  EXPECT_EQ(vbar->geometry(), QRect(s.doc.view_width, 0, 16, s.doc.view_height));
  EXPECT_EQ(corner->geometry(), QRect(s.doc.view_width, s.doc.view_height, 16, 16));
  EXPECT_EQ(hbar->maximum(), 2450 - s.doc.view_width);
  EXPECT_TRUE(shows_canvas());

  hbar->setValue(1000);
  vbar->setValue(200);
  EXPECT_EQ(s.doc.view_x, 1000.0f);
  EXPECT_EQ(s.doc.view_y, 200.0f);
  EXPECT_TRUE(shows_canvas());

  click(s.c.BUTTON[1]);  // the far corner
  EXPECT_EQ(hbar->value(), hbar->maximum());
  EXPECT_EQ(vbar->value(), vbar->maximum());
  EXPECT_TRUE(shows_canvas());
  EXPECT_FALSE(rt.ended());
}

}  // namespace
}  // namespace vimbrel
