// The cut-out window on the real windows (offscreen): the whole program started on the Qt backend,
// an A image read through the open dialog, then dragged over with each button.
#include <gtest/gtest.h>

#include <QImage>
#include <QMouseEvent>
#include <QWidget>
#include <cstdint>
#include <string>

#include "tests/support/program_on_screen.h"

namespace vimbrel {
namespace {

std::uint32_t pattern(int x, int y) {
  return 0xFF000000u | static_cast<std::uint32_t>((x << 12) | y);
}

class CutoutOnScreen : public test::ProgramOnScreen {
 protected:
  // "新規作成", "設　定　の　保　存", then "Ａ画像ロード" answered with a picture of w × h.
  void read_a(int w, int h) {
    const std::string path = write_picture("a.bmp", w, h, pattern);
    click(s.c.BUTTON[52]);
    click(s.c.BUTTON[2]);
    load(s.c.BUTTON[53], path);
  }

  // The user's mouse over the cut-out window, at a point on the screen, with `held` down after it.
  void mouse(QEvent::Type type, QPointF global, Qt::MouseButton button, Qt::MouseButtons held) {
    QWidget* form = widget(s.c.FORM4);
    QMouseEvent e(type, form->mapFromGlobal(global), global, button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(form, &e);
  }
  QPointF at(float x, float y) const { return widget(s.c.FORM4)->mapToGlobal(QPointF(x, y)); }

  // What the window shows is A from (vx, vy).
  void expect_shows(int vx, int vy) {
    const QImage shot = widget(s.c.FORM4)->grab().toImage();
    ASSERT_EQ(shot.size(), widget(s.c.FORM4)->size());
    for (const QPoint p : {QPoint(0, 0), QPoint(shot.width() - 1, shot.height() - 1), QPoint(17, 9)}) {
      EXPECT_EQ(shot.pixel(p), pattern(p.x() + vx, p.y() + vy)) << p.x() << "," << p.y();
    }
  }
};

TEST_F(CutoutOnScreen, TheRightButtonSlidesTheLeftMovesAndBothResize) {
  read_a(400, 300);
  ASSERT_EQ(s.doc.a.width, 400);
  click(s.c.BUTTON[61]);
  QWidget* form = widget(s.c.FORM4);
  ASSERT_TRUE(form->isVisible());
  EXPECT_EQ(form->size(), QSize(300, 300));
  expect_shows(0, 0);

  // Right button: the image follows the pointer inside the window.
  const QPointF grip = at(150, 150);
  mouse(QEvent::MouseButtonPress, grip, Qt::RightButton, Qt::RightButton);
  mouse(QEvent::MouseMove, grip + QPointF(-20, 0), Qt::NoButton, Qt::RightButton);
  mouse(QEvent::MouseMove, grip + QPointF(-45, 0), Qt::NoButton, Qt::RightButton);
  mouse(QEvent::MouseButtonRelease, grip + QPointF(-45, 0), Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(s.doc.a.cutout_x, 45);
  expect_shows(45, 0);

  // Left button: the window follows the pointer over the screen, the view stays.
  const QPoint place = form->pos();
  const QPointF grab = at(10, 10);
  mouse(QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
  for (int i = 1; i <= 4; ++i) {
    mouse(QEvent::MouseMove, grab + QPointF(7 * i, 3 * i), Qt::NoButton, Qt::LeftButton);
  }
  mouse(QEvent::MouseButtonRelease, grab + QPointF(28, 12), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(form->pos(), place + QPoint(28, 12));
  expect_shows(45, 0);

  // Both buttons: the window's size follows, no smaller than 10 and no larger than the image.
  const QPointF corner = at(200, 200);
  mouse(QEvent::MouseButtonPress, corner, Qt::LeftButton, Qt::LeftButton);
  mouse(QEvent::MouseButtonPress, corner, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
  mouse(QEvent::MouseMove, corner + QPointF(-60, -90), Qt::NoButton, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(form->size(), QSize(240, 210));
  expect_shows(45, 0);
  mouse(QEvent::MouseMove, corner + QPointF(-400, -400), Qt::NoButton, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(form->size(), QSize(10, 10));
  mouse(QEvent::MouseMove, corner + QPointF(500, 500), Qt::NoButton, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(form->size(), QSize(400, 300));
  expect_shows(0, 0);
  mouse(QEvent::MouseButtonRelease, corner, Qt::LeftButton, Qt::RightButton);
  mouse(QEvent::MouseButtonRelease, corner, Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(form->pos(), place + QPoint(28, 12));  // resizing did not move it

  // The same command hides it again.
  click(s.c.BUTTON[61]);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(rt.ended());
}

}  // namespace
}  // namespace vimbrel
