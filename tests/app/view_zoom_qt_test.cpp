// The view scale on the real windows (offscreen): drags at 25 % and 400 % and a zoom about the pointer.
#include <gtest/gtest.h>

#include <QAction>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>
#include <string>

#include "tests/support/program_on_screen.h"

namespace vimbrel {
namespace {

class ViewZoomOnScreen : public test::ProgramOnScreen {
 protected:
  void SetUp() override {
    click(s.c.BUTTON[52]);
    click(s.c.BUTTON[2]);
    load(s.c.BUTTON[53],
         write_picture("a.bmp", 1500, 1100, [](int x, int y) { return 0xFF000000u | (x << 11) | y; }));
    load(s.c.BUTTON[54],
         write_picture("b.bmp", 900, 1300, [](int x, int y) { return 0xFF800000u | (x << 11) | y; }));
    ASSERT_EQ(s.doc.canvas_width, 2450.0f);
  }
  // Chooses a command of the main window's menu bar by its caption.
  void choose(const char* caption) {
    for (QAction* a : widget(s.c.MAINFORM)->findChildren<QAction*>()) {
      if (a->text().startsWith(QString::fromUtf8(caption))) return a->trigger();
    }
    FAIL() << caption;
  }
  void right_drag(QPointF from, const std::vector<QPointF>& steps) {
    QWidget* p = widget(s.c.PICTURE1);
    const auto send = [p](QEvent::Type type, QPointF at, Qt::MouseButtons held) {
      QMouseEvent e(type, at, p->mapToGlobal(at), Qt::RightButton, held, Qt::NoModifier);
      QCoreApplication::sendEvent(p, &e);
    };
    send(QEvent::MouseButtonPress, from, Qt::RightButton);
    for (const QPointF at : steps) send(QEvent::MouseMove, at, Qt::RightButton);
    send(QEvent::MouseButtonRelease, steps.back(), Qt::NoButton);
  }
};

TEST_F(ViewZoomOnScreen, ARightDragMovesByThePointerOverTheScaleAndCarriesTheRest) {
  for (int i = 0; i < 4; ++i) choose("縮小");  // 2/3, 1/2, 1/3, 1/4
  ASSERT_EQ(s.doc.view.scale, 0.25);
  const float b_x = s.doc.b.x;
  right_drag({100, 100}, {{95, 100}, {90, 100}});  // 10 pixels left: 40 canvas pixels
  EXPECT_EQ(s.doc.b.x, b_x - 40);

  choose("実寸");
  for (int i = 0; i < 3; ++i) choose("拡大");  // 2, 3, 4
  ASSERT_EQ(s.doc.view.scale, 4.0);
  const float b_x4 = s.doc.b.x;
  std::vector<QPointF> slow;  // eight steps of one pixel: a quarter of a canvas pixel each
  for (int i = 1; i <= 8; ++i) slow.push_back({100.0 - i, 100});
  right_drag({100, 100}, slow);
  EXPECT_EQ(s.doc.b.x, b_x4 - 2);
  EXPECT_TRUE(QString::fromStdString(rt.GETWINDOWTEXT(s.c.MAINFORM)).endsWith("　〔400%〕"));
}

TEST_F(ViewZoomOnScreen, CtrlWheelZoomsAboutThePointer) {
  static_cast<QScrollBar*>(widget(s.c.HSCROLL1))->setValue(500);
  static_cast<QScrollBar*>(widget(s.c.VSCROLL1))->setValue(100);
  QWidget* p = widget(s.c.PICTURE1);
  const QPoint at(300, 200);
  const QPoint client_at = p->geometry().topLeft() + at;
  const double cx = s.doc.view.view_x + at.x(), cy = s.doc.view.view_y + at.y();
  QWheelEvent e(at, p->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(p, &e);
  ASSERT_EQ(s.doc.view.scale, 2.0);
  const QPointF now = client_at - p->geometry().topLeft();  // the pointer over the view as it is now
  EXPECT_NEAR(s.doc.view.view_x + now.x() / 2, cx, 1.0);
  EXPECT_NEAR(s.doc.view.view_y + now.y() / 2, cy, 1.0);
  // What the view shows there is that canvas pixel, a sharp 2 x 2 block.
  const QImage shot = p->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const Bitmap& canvas = *rt.picture(s.doc.canvas_bitmap);
  const int px = static_cast<int>(now.x()), py = static_cast<int>(now.y());
  const std::uint32_t want = canvas.at(static_cast<int>(std::floor(s.doc.view.view_x + (px + 0.5) / 2)),
                                       static_cast<int>(std::floor(s.doc.view.view_y + (py + 0.5) / 2)));
  EXPECT_EQ(shot.pixel(px, py), want);
  const int bx = px & ~1, by = py & ~1;
  EXPECT_EQ(shot.pixel(bx, by), shot.pixel(bx + 1, by + 1));
  // Without Ctrl the wheel does not zoom.
  QWheelEvent plain(at, p->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(p, &plain);
  EXPECT_EQ(s.doc.view.scale, 2.0);
}

}  // namespace
}  // namespace vimbrel
