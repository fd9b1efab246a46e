#include "platform/runtime/qt/qt_message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace vimbrel {
namespace {

// Room in a title bar besides the caption: the window menu and close buttons and the margins.
constexpr int kTitleBarExtras = 120;

}  // namespace

int caption_width(const QMessageBox& box) {
  // The title bar is drawn in the window system's face, often bold; the application's stands in for it.
  QFont face = QApplication::font();
  face.setBold(true);
  return QFontMetrics(face).horizontalAdvance(box.windowTitle()) + kTitleBarExtras;
}

void fit_caption(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  // QMessageBox fixes its own size from its layout's minimum, so the width goes into the layout.
  grid->addItem(new QSpacerItem(caption_width(box), 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace vimbrel
