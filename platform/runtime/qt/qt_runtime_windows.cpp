// Window management of the Qt backend: placing and sizing forms and controls, maximizing,
// stacking, the window system's decoration sizes, and the event wait.
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "platform/pixels/rounding.h"
#include "platform/pixels/runtime_error.h"
#include "platform/runtime/qt/qt_runtime.h"
#include "platform/runtime/qt/qt_runtime_impl.h"

namespace vimbrel {
namespace {

constexpr int kWindowSystemTimeoutMs = 2000;

// How far the window system's frame reaches beyond the client area on each side.
QMargins frame_margins(const QWidget& w) {
  const QRect outer = w.frameGeometry();
  const QRect inner = w.geometry();
  return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
          outer.bottom() - inner.bottom()};
}

bool exposed(const QWidget& w) {
  return w.windowHandle() != nullptr && w.windowHandle()->isExposed();
}

}  // namespace

bool wait_until(const std::function<bool()>& done, int timeout_ms) {
  if (done()) return true;
  QTimer deadline;  // its expiry wakes the blocked wait below
  deadline.setSingleShot(true);
  deadline.start(std::max(timeout_ms, 0));
  while (!done() && deadline.isActive()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
  }
  return done();
}

// ---- Placing and sizing

void QtRuntime::MOVEWINDOW(Window w, float x, float y) {
  QWidget* target = widget(w);
  const QuietScope quiet(d_->quiet);
  target->move(to_pixel(x), to_pixel(y));  // a form's outer corner: QWidget::move places the frame
  if (auto* picture = dynamic_cast<PictureWidget*>(target)) picture->set_laid_out();
}

void QtRuntime::SETWINDOWSIZE(Window w, float width, float height) {
  QWidget* target = widget(w);
  const QSize size(std::max(to_pixel(width), 0), std::max(to_pixel(height), 0));
  const QuietScope quiet(d_->quiet);
  if (!kind_of(w) && form_window(w).style() != FormStyle::Main) {
    target->setFixedSize(size);
  } else if (!kind_of(w)) {
    target->resize(size + QSize(0, form_window(w).menu_bar_height()));  // the client keeps the size
    form_window(w).fit_client();
  } else {
    target->resize(size);
    if (auto* picture = dynamic_cast<PictureWidget*>(target)) picture->set_laid_out();
  }
}

float QtRuntime::GETWIDTH(Window w) {
  const QWidget* target = widget(w);
  return static_cast<float>(kind_of(w) ? target->width() : target->frameGeometry().width());
}

float QtRuntime::GETHEIGHT(Window w) {
  const QWidget* target = widget(w);
  return static_cast<float>(kind_of(w) ? target->height() : target->frameGeometry().height());
}

float QtRuntime::GETLEFT(Window w) {
  return static_cast<float>(widget(w)->x());
}
float QtRuntime::GETTOP(Window w) {
  return static_cast<float>(widget(w)->y());
}

// ---- Showing and stacking

int QtRuntime::ISWINDOWVISIBLE(Window w) {
  if (const QAction* a = menu_action(w)) return a->isVisible() && widget(form_of(w))->isVisible() ? 1 : 0;
  return widget(w)->isVisible() ? 1 : 0;
}

void QtRuntime::DESTROYWINDOW(Window form) {
  FormWindow& f = form_window(form);
  d_->destroyed.insert(form.id);
  const QuietScope quiet(d_->quiet);
  f.hide();
}

void QtRuntime::SETFOREGROUNDWINDOW(Window form) {
  FormWindow& f = form_window(form);
  if (!f.isVisible()) return;
  f.raise();
  f.activateWindow();
}

void QtRuntime::SETTOPMOSTWINDOW(Window form, int flag) {
  FormWindow& f = form_window(form);
  const bool on = flag != 0;
  Qt::WindowFlags flags = f.windowFlags();
  if (flags.testFlag(Qt::WindowStaysOnTopHint) == on) return;  // called after every redraw: no flicker
  flags.setFlag(Qt::WindowStaysOnTopHint, on);
  if (QWindow* handle = f.windowHandle()) {
    // Changed on the live window: QWidget::setWindowFlags would hide and show it again.
    f.overrideWindowFlags(flags);
    handle->setFlags(flags);
  } else {
    f.setWindowFlags(flags);
  }
}

void QtRuntime::MAXIMIZEWINDOW(Window form) {
  if (d_->destroyed.contains(form.id)) return;
  FormWindow& f = form_window(form);
  const QuietScope quiet(d_->quiet);
  f.showMaximized();
  wait_until([&f] { return exposed(f); }, kWindowSystemTimeoutMs);
  const QScreen* screen = f.screen() != nullptr ? f.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect avail = screen->availableGeometry();
  const auto filled = [&f, avail] {
    const QSize s = f.frameGeometry().size();
    return s.width() >= avail.width() && s.height() >= avail.height();
  };
  // A window without decoration has no window manager to maximize it: nothing to wait for.
  const QMargins frame = frame_margins(f);
  if (wait_until(filled, frame.isNull() ? 0 : kWindowSystemTimeoutMs)) return;
  const QRect target = avail.marginsRemoved(frame);
  f.setGeometry(target);
  wait_until([&f, target] { return f.geometry() == target; }, kWindowSystemTimeoutMs);
}

// ---- Decoration sizes

int QtRuntime::GetSystemMetrics(int index) {
  if (index != SM_CYSIZE && index != SM_CYFRAME && index != SM_CYBORDER) return 0;
  // Measured on the main window once it is shown; before that on a shown form with a caption bar,
  // which the window manager decorates alike.
  const FormWindow* reference = nullptr;
  for (const auto& f : d_->forms) {
    if (!f->isVisible() || f->style() == FormStyle::Popup) continue;
    if (reference == nullptr || f->style() == FormStyle::Main) reference = f.get();
  }
  QMargins m;
  if (reference != nullptr) {
    const QuietScope quiet(d_->quiet);
    wait_until([reference] { return exposed(*reference); }, kWindowSystemTimeoutMs);
    m = frame_margins(*reference);
  }
  const int frame = std::max({m.left(), m.right(), m.bottom(), 0});
  switch (index) {
    case SM_CYFRAME:
      return frame;
    case SM_CYSIZE:
      return m.top() - frame;  // so that the three add up to the top decoration
    default:
      return 0;  // SM_CYBORDER: the border is counted in the frame
  }
}

// ---- The event wait

void QtRuntime::post(std::function<void()> action) {
  QTimer::singleShot(0, QCoreApplication::instance(), std::move(action));
}

void QtRuntime::WAITEVENT(int) {
  const std::uint64_t before = d_->procedures_run;
  while (!ended() && d_->procedures_run == before) {
    if (d_->resize_pending && !busy() && d_->modal == 0) {
      d_->resize_pending = false;
      if (!d_->destroyed.contains(main_form().id)) deliver(main_form(), "RESIZE", {main_form()});
      continue;
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  if (ended()) throw ProgramEnded{exit_status()};
}

}  // namespace vimbrel
