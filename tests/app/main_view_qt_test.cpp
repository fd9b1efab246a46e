// The main view on the real windows (offscreen): the whole program started on the Qt backend, a
// join larger than the main window made through the dialogs, then looked at through the bars.
#include <gtest/gtest.h>

#include <QImage>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QWidget>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/program_on_screen.h"

namespace vimbrel {
namespace {

std::uint32_t pattern(int x, int y, std::uint32_t tag) {
  return 0xFF000000u | tag | static_cast<std::uint32_t>(((x & 0x3FF) << 10) | (y & 0x3FF));
}

class MainViewOnScreen : public test::ProgramOnScreen {
 protected:
  std::string picture(const std::string& name, int w, int h, std::uint32_t tag) {
    return write_picture(name, w, h, [tag](int x, int y) { return pattern(x, y, tag); });
  }

  // What PICTURE1 shows on the screen is the canvas from the view point, pixel for pixel.
  ::testing::AssertionResult shows_canvas() {
    const QImage shot = widget(s.c.PICTURE1)->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    if (shot.width() != s.doc.view.view_width || shot.height() != s.doc.view.view_height)
      return ::testing::AssertionFailure() << "picture is " << shot.width() << " x " << shot.height();
    const Bitmap& canvas = *rt.picture(s.doc.canvas_bitmap);
    const int vx = static_cast<int>(std::lround(s.doc.view.view_x)),
              vy = static_cast<int>(std::lround(s.doc.view.view_y));
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x)
        if (shot.pixel(x, y) != canvas.at(vx + x, vy + y))
          return ::testing::AssertionFailure() << "differs at (" << x << ", " << y << ")";
    return ::testing::AssertionSuccess();
  }
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
  EXPECT_EQ(widget(s.c.PICTURE1)->geometry(), QRect(0, 0, s.doc.view.view_width, s.doc.view.view_height));
  EXPECT_EQ(hbar->geometry(), QRect(0, s.doc.view.view_height, s.doc.view.view_width, 16));
  EXPECT_EQ(vbar->geometry(), QRect(s.doc.view.view_width, 0, 16, s.doc.view.view_height));
  EXPECT_EQ(corner->geometry(), QRect(s.doc.view.view_width, s.doc.view.view_height, 16, 16));
  EXPECT_EQ(hbar->maximum(), 2450 - s.doc.view.view_width);
  EXPECT_TRUE(shows_canvas());

  hbar->setValue(1000);
  vbar->setValue(200);
  EXPECT_EQ(s.doc.view.view_x, 1000.0f);
  EXPECT_EQ(s.doc.view.view_y, 200.0f);
  EXPECT_TRUE(shows_canvas());

  click(s.c.BUTTON[1]);  // the far corner
  EXPECT_EQ(hbar->value(), hbar->maximum());
  EXPECT_EQ(vbar->value(), vbar->maximum());
  EXPECT_TRUE(shows_canvas());
  EXPECT_FALSE(rt.ended());
}

// Restored, resized, maximized: after each the picture, the bars and the corner button fill the
// client area the window has, to the last pixel and no further.
TEST_F(MainViewOnScreen, TheViewFollowsTheWindowThroughRestoreResizeAndMaximize) {
  click(s.c.BUTTON[52]);
  click(s.c.BUTTON[2]);
  load(s.c.BUTTON[53], picture("a.bmp", 1500, 1100, 0x100000));
  load(s.c.BUTTON[54], picture("b.bmp", 900, 1300, 0x200000));
  QWidget* window = widget(s.c.MAINFORM);
  QWidget* main = &rt.client(s.c.MAINFORM);  // under the menu bar
  QWidget* corner = widget(s.c.BUTTON[1]);
  const auto step = [&](const char* what, const std::function<void()>& act) {
    SCOPED_TRACE(what);
    act();
    const bool settled = QTest::qWaitFor([&] {
      return s.doc.view.client_width == main->width() && s.doc.view.client_height == main->height();
    });
    ASSERT_TRUE(settled) << main->width() << " x " << main->height();
    ASSERT_TRUE(corner->isVisible());
    EXPECT_EQ(corner->geometry().bottomRight(), QPoint(main->width() - 1, main->height() - 1));
    EXPECT_EQ(widget(s.c.HSCROLL1)->geometry().bottom(), main->height() - 1);
    EXPECT_EQ(widget(s.c.VSCROLL1)->geometry().right(), main->width() - 1);
    EXPECT_TRUE(shows_canvas());
  };
  step("restore", [&] { window->showNormal(); });
  step("resize", [&] { window->resize(700, 500); });
  step("maximize", [&] { window->showMaximized(); });
  EXPECT_FALSE(rt.ended());
}

// A left-button drag across PICTURE1 by dx pixels, as the window system sends it.
void drag(QWidget* picture, int dx) {
  const QPointF from = picture->mapToGlobal(QPointF(picture->width() / 2.0, 10));
  const QPointF to = from + QPointF(dx, 0);
  const auto send = [picture](QEvent::Type type, QPointF at, Qt::MouseButtons held) {
    QMouseEvent e(type, picture->mapFromGlobal(at), at, Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(picture, &e);
  };
  send(QEvent::MouseButtonPress, from, Qt::LeftButton);
  send(QEvent::MouseMove, to, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, to, Qt::NoButton);
}

// On a canvas too wide for one pixel per unit, a bar arrow after a pan moves on from where the pan
// left the view, by at most one unit, the way the arrow points.
TEST_F(MainViewOnScreen, AnArrowAfterAPanOnAScaledBarMovesOnFromTheView) {
  click(s.c.BUTTON[52]);
  click(s.c.BUTTON[2]);
  load(s.c.BUTTON[53], picture("a.bmp", 45000, 60, 0x100000));
  load(s.c.BUTTON[54], picture("b.bmp", 60, 60, 0x200000));
  auto* hbar = static_cast<QScrollBar*>(widget(s.c.HSCROLL1));
  ASSERT_TRUE(hbar->isVisible());
  ASSERT_EQ(hbar->maximum(), 10000);
  const float unit = s.doc.view.scroll_unit_x;
  ASSERT_GT(unit, 4.0f);
  ASSERT_NE(unit, std::round(unit));
  hbar->setValue(5000);

  struct Step {
    int drag;
    QAbstractSlider::SliderAction arrow;
  };
  for (const Step step :
       {Step{-300, QAbstractSlider::SliderSingleStepAdd}, Step{250, QAbstractSlider::SliderSingleStepSub}}) {
    drag(widget(s.c.PICTURE1), step.drag);
    const float panned = s.doc.view.view_x;
    EXPECT_TRUE(shows_canvas());
    hbar->triggerAction(step.arrow);
    const float moved =
        (s.doc.view.view_x - panned) * (step.arrow == QAbstractSlider::SliderSingleStepAdd ? 1 : -1);
    EXPECT_GT(moved, 0.0f) << "from " << panned << " to " << s.doc.view.view_x;
    EXPECT_LE(moved, unit * 1.5f) << "from " << panned << " to " << s.doc.view.view_x;
    EXPECT_TRUE(shows_canvas());
  }
}

// The save proposes the A picture's name as it is written (a.BMP) and asks before replacing that
// file; the file it asked about is the one written.
TEST_F(MainViewOnScreen, TheSaveAsksAboutTheFileItWrites) {
  click(s.c.BUTTON[52]);
  click(s.c.BUTTON[2]);
  load(s.c.BUTTON[53], picture("a.bmp", 40, 30, 0x100000));
  load(s.c.BUTTON[54], picture("b.bmp", 20, 30, 0x200000));
  const std::string target = dir.file("a.BMP");
  std::ofstream(target) << "old";
  for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
    QString proposed, question;
    // Two timers: the question opens inside the dialog's own handler, where its timer does not fire.
    QTimer box_poll, dialog_poll;
    QObject::connect(&box_poll, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        question = box->text();
        box->button(answer)->click();
      }
    });
    QObject::connect(&dialog_poll, &QTimer::timeout, [&] {
      if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        dialog_poll.stop();
        proposed = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        static_cast<QDialog*>(dialog)->accept();
        if (dialog->isVisible()) static_cast<QDialog*>(dialog)->reject();  // kept the old file
      }
    });
    box_poll.start(0);
    dialog_poll.start(0);
    click(s.c.BUTTON[60]);
    EXPECT_EQ(proposed, "a.BMP");
    EXPECT_TRUE(question.startsWith("a.BMP")) << question.toStdString();
    if (answer == QMessageBox::No) {
      EXPECT_EQ(std::filesystem::file_size(target), 3u);
    }
  }
  const Bitmap saved = read_bitmap_file(target);  // replaced by the joined picture only when allowed
  EXPECT_EQ(saved.width(), 60);
  EXPECT_FALSE(rt.ended());
}

}  // namespace
}  // namespace vimbrel
