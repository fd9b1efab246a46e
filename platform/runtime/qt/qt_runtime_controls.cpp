// The program's operations on controls: texts, fonts, enabling, checks, list rows, scroll bars.
// Every value set here is set with the widget's signals blocked: only the user raises events.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

#include "platform/pixels/runtime_error.h"
#include "platform/runtime/qt/qt_fitted_controls.h"
#include "platform/runtime/qt/qt_runtime.h"
#include "platform/runtime/qt/qt_runtime_impl.h"

namespace vimbrel {

// ---- Texts, fonts, enabling

void QtRuntime::SETWINDOWTEXT(Window w, std::string_view text) {
  if (QAction* a = menu_action(w)) return a->setText(vimbrel::translated(text));
  QWidget* target = widget(w);
  const QSignalBlocker quiet(target);
  const QString t = vimbrel::translated(text);
  if (!kind_of(w)) {
    target->setWindowTitle(t);
  } else if (auto* edit = qobject_cast<QLineEdit*>(target)) {
    edit->setText(t);
    if (auto* fitted = dynamic_cast<FormEdit*>(edit)) fitted->fit_text();
  } else {
    show_translated(*target, text);
  }
}

std::string QtRuntime::GETWINDOWTEXT(Window w) {
  if (const QAction* a = menu_action(w)) return a->text().toStdString();
  const QWidget* target = widget(w);
  QString t;
  if (!kind_of(w)) {
    t = target->windowTitle();
  } else if (auto* label = qobject_cast<const QLabel*>(target)) {
    t = label->text();
  } else if (auto* button = qobject_cast<const QAbstractButton*>(target)) {
    t = button->text();
  } else if (auto* edit = qobject_cast<const QLineEdit*>(target)) {
    t = edit->text();
  } else if (auto* box = qobject_cast<const QGroupBox*>(target)) {
    t = box->title();
  }
  return t.toStdString();
}

void QtRuntime::SETFONTSIZE(Window w, float points) {
  set_pixel_size(*widget(w), points);
}

void QtRuntime::ENABLEWINDOW(Window w, int flag) {
  if (QAction* a = menu_action(w)) return a->setEnabled(flag != 0);
  widget(w)->setEnabled(flag != 0);
}

void QtRuntime::SHOWWINDOW(Window w, int flag) {
  if (d_->destroyed.contains(w.id)) return;
  if (QAction* a = menu_action(w)) return a->setVisible(flag != 0);
  QWidget* target = widget(w);
  const QuietScope quiet(d_->quiet);
  const FormLayout* layout = kind_of(w) ? nullptr : layout_of_form(name_of(w));
  if (flag != 0 && layout != nullptr && layout->placement == FormPlacement::Companion &&
      !d_->placed.contains(w.id)) {
    show_placed(w);
  } else {
    target->setVisible(flag != 0);
  }
  if (flag != 0 && !kind_of(w)) {
    // A form that is shown comes to the front; the cut-out window without taking the focus.
    target->raise();
    if (form_window(w).style() != FormStyle::Popup) target->activateWindow();
  }
}

// ---- Buttons and lists

int QtRuntime::GETCHECK(Window button) {
  if (const QAction* a = menu_action(button)) return a->isCheckable() && a->isChecked() ? 1 : 0;
  const auto* b = qobject_cast<const QAbstractButton*>(widget(button));
  return b != nullptr && b->isCheckable() && b->isChecked() ? 1 : 0;
}

void QtRuntime::SETCHECK(Window button, int check) {
  if (QAction* a = menu_action(button)) {
    const QSignalBlocker quiet(a);  // `triggered`, the only signal listened to, is the user's anyway
    if (a->isCheckable()) a->setChecked(check != 0);
    return;
  }
  auto* b = qobject_cast<QAbstractButton*>(widget(button));
  if (b == nullptr || !b->isCheckable()) return;
  const QSignalBlocker quiet(b);
  // Setting one button leaves the others of its group as they are, as the program expects;
  // an exclusive group would refuse to uncheck its checked button.
  QButtonGroup* g = b->group();
  if (g != nullptr) g->setExclusive(false);
  b->setChecked(check != 0);
  if (g != nullptr) g->setExclusive(true);
}

void QtRuntime::ADDSTRING(Window list, std::string_view text) {
  auto& l = static_cast<QListWidget&>(control(list, ControlKind::List));
  const QSignalBlocker quiet(&l);
  l.addItem(vimbrel::translated(text));
}

int QtRuntime::GETCURSEL(Window list) {
  const auto& l = static_cast<const QListWidget&>(control(list, ControlKind::List));
  const QList<QListWidgetItem*> chosen = l.selectedItems();
  return chosen.isEmpty() ? -1 : l.row(chosen.front());
}

void QtRuntime::SETCURSEL(Window list, int index) {
  auto& l = static_cast<QListWidget&>(control(list, ControlKind::List));
  const QSignalBlocker quiet(&l);
  const QSignalBlocker quiet_selection(l.selectionModel());
  if (index >= 0 && index < l.count()) {
    l.setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    l.scrollToItem(l.item(index));  // the chosen row is seen, not left below the list's edge
  } else {
    l.clearSelection();
    l.setCurrentRow(-1);
  }
  l.viewport()->update();
}

// ---- Scroll bars

namespace {

QScrollBar* scroll_bar(QWidget* w) {
  auto* bar = qobject_cast<QScrollBar*>(w);
  if (bar == nullptr) throw RuntimeError{errc::kIllegalCall};
  return bar;
}

}  // namespace

void QtRuntime::SETSCROLLRANGE(Window bar, int min, int max) {
  QScrollBar* b = scroll_bar(widget(bar));
  const QSignalBlocker quiet(b);
  b->setRange(std::min(min, max), std::max(min, max));
}

void QtRuntime::SETSCROLLPOS(Window bar, int pos) {
  QScrollBar* b = scroll_bar(widget(bar));
  const QSignalBlocker quiet(b);
  b->setValue(pos);  // held inside the range by the bar
}

int QtRuntime::GETSCROLLPOS(Window bar) {
  return scroll_bar(widget(bar))->value();
}

void QtRuntime::SETSCROLLSTEP(Window bar, int small, int large) {
  QScrollBar* b = scroll_bar(widget(bar));
  const QSignalBlocker quiet(b);
  b->setSingleStep(small);
  b->setPageStep(large);
}

}  // namespace vimbrel
