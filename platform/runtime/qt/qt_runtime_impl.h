// What QtRuntime keeps beside the shared runtime state: its widgets and its event bookkeeping.
#pragma once

#include <QAction>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/runtime/qt/qt_file_dialog.h"
#include "platform/runtime/qt/qt_runtime.h"
#include "platform/runtime/qt/qt_translation.h"
#include "platform/runtime/qt/qt_widgets.h"

namespace vimbrel {

inline QString qstr(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Remembers the widget that holds a mouse press, so that a modal dialog can end the press first.
class PressTracker : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Sends the held widget the release it would otherwise never get (the dialog takes the input),
  // so that nothing keeps repeating, a scroll bar's arrow say.
  void release();

 private:
  QPointer<QWidget> held_;
};

struct QtRuntime::Impl {
  Translations translations;  // the windows' language, Qt's own texts (dialog buttons, questions) with it
  PressTracker presses;
  PlainFileIcons file_icons;                       // outlives every file dialog
  FormControlStyle indicator_style;                // outlives the forms that use it
  std::vector<std::unique_ptr<FormWindow>> forms;  // own the windows; controls are their children
  std::unordered_map<int, QWidget*> widgets;       // every form and control by window id
  std::unordered_map<int, QAction*> actions;       // the menu items by window id (they have no widget)
  std::unordered_set<int> destroyed;               // forms closed for good
  std::unordered_map<int, QPoint> placed;          // where the rules last put each placed form
  std::uint64_t procedures_run = 0;
  int quiet = 0;                // > 0 while the runtime itself changes or waits on windows
  int modal = 0;                // > 0 while a dialog or message box of the runtime is open
  bool resize_pending = false;  // the main window was resized while a procedure ran
  bool closing = false;         // the runtime is being torn down
};

// While one lives, the runtime's own waits and changes raise no events.
class QuietScope {
 public:
  explicit QuietScope(int& counter) : counter_(counter) { ++counter_; }
  ~QuietScope() { --counter_; }
  QuietScope(const QuietScope&) = delete;
  QuietScope& operator=(const QuietScope&) = delete;

 private:
  int& counter_;
};

// Processes window-system events (user input held back) until `done` holds or `timeout_ms` has
// passed; returns `done()`. Blocks on the event queue, never spins.
bool wait_until(const std::function<bool()>& done, int timeout_ms);

}  // namespace vimbrel
