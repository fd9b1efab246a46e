#include "platform/runtime/qt/qt_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "platform/runtime/qt/qt_runtime_impl.h"

namespace vimbrel {
namespace {

constexpr int kFramingTimeoutMs = 2000;

}  // namespace

QPoint right_edge_corner(const QRect& avail, QSize outer, int laid_y) {
  const int x = std::max(avail.left(), avail.right() + 1 - outer.width());
  const int lowest = std::max(avail.top(), avail.bottom() + 1 - outer.height());
  return {x, std::clamp(laid_y, avail.top(), lowest)};
}

void show_at_right_edge(QWidget& form, int laid_y) {
  const QScreen* screen = form.screen() != nullptr ? form.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    form.show();
    return;
  }
  const QRect avail = screen->availableGeometry();
  form.move(right_edge_corner(avail, form.frameGeometry().size(), laid_y));
  form.show();
  wait_until([&form] { return form.windowHandle() != nullptr && form.windowHandle()->isExposed(); },
             kFramingTimeoutMs);
  form.move(right_edge_corner(avail, form.frameGeometry().size(), laid_y));
}

}  // namespace vimbrel
