#include "platform/runtime/qt/qt_drop.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "platform/runtime/qt/qt_runtime.h"
#include "platform/runtime/qt/qt_runtime_impl.h"

namespace vimbrel {
namespace {

// The file is only read: a drop is taken as a copy, never as a move that could make the file
// manager delete its source.
bool take_as_copy(QDropEvent& e) {
  if (!(e.possibleActions() & Qt::CopyAction)) return false;
  e.setDropAction(Qt::CopyAction);
  e.accept();
  return true;
}

}  // namespace

std::vector<DroppedItem> dropped_items(const QMimeData* data) {
  std::vector<DroppedItem> items;
  if (data == nullptr || !data->hasUrls()) return items;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) {
      items.push_back({});
      continue;
    }
    const QString path = url.toLocalFile();
    items.push_back({path.toStdString(), QFileInfo(path).isFile()});
  }
  return items;
}

DropRelay::DropRelay(QWidget& widget, Accepts accepts, Deliver deliver)
    : QObject(&widget), accepts_(std::move(accepts)), deliver_(std::move(deliver)) {
  widget.setAcceptDrops(true);
  widget.installEventFilter(this);
}

bool DropRelay::eventFilter(QObject*, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
  auto& e = *static_cast<QDropEvent*>(event);
  std::vector<DroppedItem> items = dropped_items(e.mimeData());
  if (!accepts_(items) || !take_as_copy(e)) {
    e.ignore();
    return true;
  }
  // The drop's procedure runs once the window system's drop has been answered: it may show message
  // boxes, and the file manager should not wait on them.
  if (type == QEvent::Drop)
    QTimer::singleShot(0, this, [this, items = std::move(items)] { deliver_(items); });
  return true;
}

// ---- The runtime's side

void QtRuntime::accept_drops(Window w, QWidget& widget) {
  new DropRelay(
      widget,
      [this, w](std::span<const DroppedItem> items) {
        // A drop the rule refuses is still taken where it has a word for the user (what to do first).
        return d_->quiet == 0 && d_->modal == 0 && !d_->closing &&
               (drop_click(w, items) || !drop_hint(w, items).empty());
      },
      [this, w](const std::vector<DroppedItem>& items) {
        if (d_->quiet > 0 || d_->modal > 0 || d_->closing) return;
        if (drop(w, items)) ++d_->procedures_run;
      });
}

bool QtRuntime::usable(Window w) const {
  if (const QAction* a = menu_action(w))
    return !busy() && !ended() && a->isVisible() && a->isEnabled() && widget(form_of(w))->isVisible();
  const QWidget* target = widget(w);
  return !busy() && !ended() && target->isVisible() && target->isEnabled();
}

}  // namespace vimbrel
