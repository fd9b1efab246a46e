#include "platform/runtime/qt/qt_runtime.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>
#include <map>
#include <optional>

#include "platform/pixels/runtime_error.h"
#include "platform/runtime/qt/qt_busy_cursor.h"
#include "platform/runtime/qt/qt_fitted_controls.h"
#include "platform/runtime/qt/qt_group_box.h"
#include "platform/runtime/qt/qt_runtime_impl.h"

namespace vimbrel {
namespace {

QPoint on_screen(QPoint pos, QSize size) {
  const QScreen* screen = QGuiApplication::screenAt(pos);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return pos;
  const QRect avail = screen->availableGeometry();
  const int x = std::max(avail.left(), std::min(pos.x(), avail.right() + 1 - size.width()));
  const int y = std::max(avail.top(), std::min(pos.y(), avail.bottom() + 1 - size.height()));
  return {x, y};
}

QWidget* make_widget(const ControlLayout& c, QWidget& form, std::map<int, QButtonGroup*>& groups,
                     SurfaceSource surface) {
  const QString caption = translated(c.caption);
  switch (c.kind) {
    case ControlKind::Label: {
      auto* w = new QLabel(caption, &form);
      w->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      return w;
    }
    case ControlKind::Edit: {
      return new FormEdit(caption, &form, c.digits_only, c.max_length);
    }
    case ControlKind::Button: {
      auto* w = new FormButton(&form, c.bordered);
      w->setText(caption);
      w->setAutoDefault(false);
      return w;
    }
    case ControlKind::Radio: {
      auto* w = new QRadioButton(caption, &form);
      // Radio buttons exclude each other only within their own group, not across the form.
      w->setAutoExclusive(false);
      if (c.radio_group != 0) {
        QButtonGroup*& g = groups[c.radio_group];
        if (g == nullptr) g = new QButtonGroup(&form);
        g->addButton(w);
      }
      w->setChecked(c.checked);
      return w;
    }
    case ControlKind::Check: {
      auto* w = new QCheckBox(caption, &form);
      w->setChecked(c.checked);
      return w;
    }
    case ControlKind::List: {
      auto* w = new FormList(&form);
      w->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      w->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      w->setSelectionMode(QAbstractItemView::SingleSelection);
      return w;
    }
    case ControlKind::Group:
      return new FormGroupBox(caption, &form);
    case ControlKind::HScroll:
    case ControlKind::VScroll: {
      auto* w = new QScrollBar(c.kind == ControlKind::HScroll ? Qt::Horizontal : Qt::Vertical, &form);
      w->setRange(std::min(c.scroll_min, c.scroll_max), std::max(c.scroll_min, c.scroll_max));
      w->setSingleStep(c.small_step);
      w->setPageStep(c.large_step);
      return w;
    }
    case ControlKind::Picture:
      return new PictureWidget(&form, std::move(surface));
    case ControlKind::MenuItem:  // an action of the menu bar, not a widget
      break;
  }
  return new QWidget(&form);
}

}  // namespace

// ---- Mouse presses held while a dialog opens

bool PressTracker::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    held_ = qobject_cast<QWidget*>(watched);
  } else if (event->type() == QEvent::MouseButtonRelease &&
             static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
    held_.clear();
  }
  return false;
}

void PressTracker::release() {
  QPointer<QWidget> w = held_;
  held_.clear();
  if (w.isNull()) return;
  const QPointF local = w->mapFromGlobal(QCursor::pos());
  for (const Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
    if (w.isNull()) return;
    QMouseEvent up(QEvent::MouseButtonRelease, local, QPointF(QCursor::pos()), b, Qt::NoButton,
                   Qt::NoModifier);
    QCoreApplication::sendEvent(w, &up);
  }
}

// ---- Construction

QtRuntime::QtRuntime(std::vector<FormLayout> layouts)
    : FormRuntime(std::move(layouts)), d_(std::make_unique<Impl>()) {
  create_main_form();
}

QtRuntime::~QtRuntime() {
  d_->closing = true;
  d_->forms.clear();
}

void QtRuntime::build_form(Window form, const FormLayout& layout, std::span<const Window> controls) {
  d_->forms.push_back(std::make_unique<FormWindow>(layout));
  FormWindow& f = *d_->forms.back();
  d_->widgets[form.id] = &f;
  f.installEventFilter(&d_->presses);
  const QSize size(layout.width, layout.height);
  if (layout.style == FormStyle::Main) {
    f.resize(size);
  } else {
    f.setFixedSize(size);
  }
  f.move(on_screen(QPoint(layout.x, layout.y), size));

  std::map<int, QButtonGroup*> groups;
  std::vector<QWidget*> boxes;
  // The menu bar goes above the client area: the form grows by its height, the client keeps its size.
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (layout.controls[i].kind == ControlKind::MenuItem) add_menu_item(controls[i], f, layout.controls[i]);
  }
  if (f.menu_bar_height() > 0) f.resize(size + QSize(0, f.menu_bar_height()));
  f.fit_client();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ControlLayout& c = layout.controls[i];
    const Window w = controls[i];
    if (c.kind == ControlKind::MenuItem) continue;
    QWidget* widget = make_widget(c, f.client(), groups, [this, w]() -> const Bitmap& { return surface(w); });
    widget->setGeometry(c.x, c.y, c.width, c.height);
    apply_colours(*widget, c);
    apply_font(*widget, c.font_face, c.font_size);
    show_translated(*widget, c.caption);  // now that its size and face are known
    widget->setVisible(c.visible);
    widget->installEventFilter(&d_->presses);
    if (c.kind == ControlKind::Radio || c.kind == ControlKind::Check) widget->setStyle(&d_->indicator_style);
    d_->widgets[w.id] = widget;
    if (c.kind == ControlKind::Group) boxes.push_back(widget);
    connect_control(w, *widget, c);
    if (c.kind == ControlKind::Button) accept_drops(w, *widget);
    if (c.default_button) f.set_default_button(static_cast<QPushButton*>(widget));
  }
  // A group box only frames the controls laid over it; it must not cover them.
  for (QWidget* b : boxes) b->lower();
  connect_form(form, f);
  accept_drops(form, f);
}

void QtRuntime::add_menu_item(Window w, FormWindow& form, const ControlLayout& c) {
  QAction* action = nullptr;
  if (c.menu.empty()) {
    // A key alone, for this window: no menu shows it.
    action = new QAction(vimbrel::translated(c.caption), &form);
    form.addAction(action);
  } else {
    QMenuBar& bar = form.menu_bar();
    QMenu* menu = nullptr;
    for (QAction* a : bar.actions()) {
      if (a->menu() != nullptr && a->text() == vimbrel::translated(c.menu)) menu = a->menu();
    }
    if (menu == nullptr) menu = bar.addMenu(vimbrel::translated(c.menu));
    action = menu->addAction(vimbrel::translated(c.caption));
    // A menu's Ctrl keys work from the program's other windows too (the controller, say); a plain key
    // stays with its window, so that it never takes a letter typed elsewhere.
    if (qstr(c.shortcut).contains("Ctrl+")) action->setShortcutContext(Qt::ApplicationShortcut);
  }
  if (!c.shortcut.empty())
    action->setShortcuts(QKeySequence::listFromString(qstr(c.shortcut), QKeySequence::PortableText));
  action->setCheckable(c.checkable);
  action->setChecked(c.checked);
  action->setVisible(c.visible);
  const Window owner = form_of(w);
  QObject::connect(action, &QAction::triggered, action, [this, w, owner] { deliver(w, "ON", {owner}); });
  d_->actions[w.id] = action;
}

QAction* QtRuntime::menu_action(Window w) const {
  const auto it = d_->actions.find(w.id);
  return it == d_->actions.end() ? nullptr : it->second;
}

void QtRuntime::connect_control(Window w, QWidget& widget, const ControlLayout& c) {
  const Window owner = form_of(w);
  switch (c.kind) {
    case ControlKind::Button:
    case ControlKind::Radio:
    case ControlKind::Check:
      // `clicked` comes only from the user (mouse or keyboard), never from setChecked().
      QObject::connect(static_cast<QAbstractButton*>(&widget), &QAbstractButton::clicked, &widget,
                       [this, w, owner] { deliver(w, "ON", {owner}); });
      break;
    case ControlKind::HScroll:
    case ControlKind::VScroll:
      // The program's own changes are made with signals blocked, so every change seen here is the user's.
      QObject::connect(static_cast<QScrollBar*>(&widget), &QScrollBar::valueChanged, &widget,
                       [this, w, owner] { deliver(w, "CHANGE", {owner}); });
      break;
    case ControlKind::List:
      QObject::connect(static_cast<QListWidget*>(&widget), &QListWidget::itemSelectionChanged, &widget,
                       [this, w, owner] {
                         if (GETCURSEL(w) >= 0) deliver(w, "CHANGE", {owner});
                       });
      break;
    case ControlKind::Picture:
      static_cast<PictureWidget&>(widget).mouse().set_sink(
          [this, w, owner](std::string_view event, std::int16_t button, QPointF p) {
            deliver(w, event, {owner, button, 0, static_cast<float>(p.x()), static_cast<float>(p.y())});
          });
      static_cast<PictureWidget&>(widget).on_wheel = [this, w, owner](int delta, std::int16_t shift,
                                                                      QPointF p) {
        EventArgs e{owner, 0, shift, static_cast<float>(p.x()), static_cast<float>(p.y())};
        e.wheel = delta;
        deliver(w, "WHEEL", e);
      };
      break;
    default:
      break;
  }
}

void QtRuntime::connect_form(Window form, FormWindow& window) {
  switch (window.style()) {
    case FormStyle::Main:
      window.allow_close = [this, form] {
        if (d_->closing || ended()) return true;
        if (busy() || d_->quiet > 0 || d_->modal > 0) return false;  // what runs now ends first
        deliver(form, "END", {form});
        end_program(0);
        return true;
      };
      window.on_resize = [this, form, &window] {
        if (d_->closing || d_->quiet > 0 || !window.isVisible() || d_->destroyed.contains(form.id)) return;
        if (busy() || d_->modal > 0) {
          d_->resize_pending = true;  // laid out once the running procedure has ended
          return;
        }
        deliver(form, "RESIZE", {form});
      };
      break;
    case FormStyle::Popup:
      window.allow_close = [this] { return d_->closing; };
      window.set_surface([this, form]() -> const Bitmap& { return surface(form); });
      window.mouse().set_sink([this, form](std::string_view event, std::int16_t button, QPointF p) {
        deliver(form, event, {form, button, 0, static_cast<float>(p.x()), static_cast<float>(p.y())});
      });
      break;
    case FormStyle::Dialog:
      // The close box and Escape ask the form's procedure, which hides the form if it agrees.
      window.on_cancel = [this, form] { deliver(form, "CANCEL", {form}); };
      window.allow_close = [this, form] {
        if (d_->closing) return true;
        if (!busy()) deliver(form, "CANCEL", {form});
        return false;
      };
      break;
    case FormStyle::FixedCaption:
      // No close box, and the window manager's close request is refused as well.
      window.allow_close = [this] { return d_->closing; };
      break;
  }
}

void QtRuntime::deliver(Window w, std::string_view event, const EventArgs& args) {
  if (d_->quiet > 0 || d_->modal > 0 || d_->closing) return;
  // A button's command may load, save or build a canvas: the pointer says so while it runs.
  std::optional<BusyCursor> busy;
  if (event == "ON" && kind_of(w) == ControlKind::Button) busy.emplace();
  if (dispatch(w, event, args)) ++d_->procedures_run;
}

QWidget* QtRuntime::widget(Window w) const {
  const auto it = d_->widgets.find(w.id);
  if (it == d_->widgets.end()) throw RuntimeError{errc::kIllegalCall};
  return it->second;
}

FormWindow& QtRuntime::form_window(Window form) const {
  auto* f = dynamic_cast<FormWindow*>(widget(form));
  if (f == nullptr) throw RuntimeError{errc::kIllegalCall};
  return *f;
}

QWidget& QtRuntime::control(Window w, ControlKind kind) const {
  if (kind_of(w) != kind) throw RuntimeError{errc::kIllegalCall};
  return *widget(w);
}

QWidget& QtRuntime::client(Window form) const {
  return form_window(form).client();
}

std::pair<int, int> QtRuntime::client_size(Window w) {
  const QWidget* target = kind_of(w) ? widget(w) : &client(w);
  return {target->width(), target->height()};
}

float QtRuntime::device_ratio(Window w) {
  return static_cast<float>(widget(w)->devicePixelRatioF());
}

std::string QtRuntime::translated(std::string_view source) const {
  return vimbrel::translated(source).toStdString();
}

void QtRuntime::surface_changed(Window w) {
  widget(w)->update();
}

}  // namespace vimbrel
