// Files dragged from outside onto a form or button: the drag is accepted only where the runtime's
// drop rule would click something or has a hint to give (the cursor shows a refusal otherwise), and
// the drop is handed on.
#pragma once

#include <QObject>
#include <functional>
#include <span>
#include <vector>

#include "platform/runtime/file_drop.h"

class QMimeData;
class QWidget;

namespace vimbrel {

// The dragged items: local files and folders by path, anything else as an unusable item.
std::vector<DroppedItem> dropped_items(const QMimeData* data);

// Watches one widget's drag-and-drop events; owned by that widget.
class DropRelay : public QObject {
 public:
  using Accepts = std::function<bool(std::span<const DroppedItem>)>;
  using Deliver = std::function<void(std::vector<DroppedItem>)>;
  DropRelay(QWidget& widget, Accepts accepts, Deliver deliver);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Accepts accepts_;
  Deliver deliver_;
};

}  // namespace vimbrel
