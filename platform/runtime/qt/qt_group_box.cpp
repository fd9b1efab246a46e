#include "platform/runtime/qt/qt_group_box.h"

#include <QFontMetrics>
#include <QPainter>

namespace vimbrel {

int FormGroupBox::frame_top() const {
  return QFontMetrics(font()).height() / 2;
}

void FormGroupBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
  // An etched line: dark, with a light line beside it.
  const QRect frame = rect().adjusted(0, frame_top(), -2, -2);
  p.setPen(palette().color(group, QPalette::Light));
  p.drawRect(frame.translated(1, 1));
  p.setPen(palette().color(group, QPalette::Mid));
  p.drawRect(frame);
  if (title().isEmpty()) return;
  const QFontMetrics fm(font());
  const QRect caption(8, 0, fm.horizontalAdvance(title()) + 4, fm.height());
  p.fillRect(caption, palette().color(group, QPalette::Window));
  p.setPen(palette().color(group, QPalette::WindowText));
  p.drawText(caption, Qt::AlignCenter, title());
}

}  // namespace vimbrel
