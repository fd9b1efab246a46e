#include "platform/runtime/qt/qt_busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace vimbrel {
namespace {

// The window system is told now: the command that follows does not return to the event loop,
// which would otherwise pass the change on only after it.
void show_now(Qt::CursorShape shape) {
  QGuiApplication::setOverrideCursor(QCursor(shape));
  QGuiApplication::sync();
}

void take_back() {
  QGuiApplication::restoreOverrideCursor();
  QGuiApplication::sync();
}

}  // namespace

BusyCursor::BusyCursor() {
  show_now(Qt::WaitCursor);
}
BusyCursor::~BusyCursor() {
  take_back();
}

NormalCursor::NormalCursor() : pushed_(QGuiApplication::overrideCursor() != nullptr) {
  if (pushed_) show_now(Qt::ArrowCursor);
}
NormalCursor::~NormalCursor() {
  if (pushed_) take_back();
}

}  // namespace vimbrel
