// Where the Qt backend puts the controller and the cut-out window: the screen's work area and the
// windows' outer rectangles handed to the placement rules, their answer applied.
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <vector>

#include "platform/runtime/qt/qt_runtime.h"
#include "platform/runtime/qt/qt_runtime_impl.h"
#include "platform/runtime/window_placement.h"

namespace vimbrel {
namespace {

constexpr int kFramingTimeoutMs = 2000;
// A companion placed again (a view command, a load) waits no longer for its window manager: where
// the manager snaps or ignores moves, every such command would otherwise stall.
constexpr int kReplacedTimeoutMs = 200;

ScreenRect rect_of(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}

}  // namespace

QPoint QtRuntime::placed_corner(Window form, std::span<const ScreenRect> work) {
  FormWindow& f = form_window(form);
  const QScreen* screen = f.screen() != nullptr ? f.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return f.pos();
  const ScreenRect avail = rect_of(screen->availableGeometry());
  FormWindow& main = form_window(main_form());
  const QPoint origin = main.client().mapToGlobal(QPoint(0, 0));
  std::vector<ScreenRect> shown;
  for (ScreenRect r : work) {
    r.x += origin.x(), r.y += origin.y();
    shown.push_back(r);
  }
  ScreenRect window = rect_of(f.frameGeometry());
  const FormLayout* layout = layout_of_form(name_of(form));
  if (layout != nullptr && layout->placement == FormPlacement::Companion) {
    if (!d_->placed.contains(form.id)) window.y = layout->y;
    const bool main_shown = main.isVisible() && !d_->destroyed.contains(main_form().id);
    const ScreenRect view = rect_of(QRect(origin, main.client().size()));
    const ScreenPoint p = place_companion(avail, main_shown ? rect_of(main.frameGeometry()) : ScreenRect{},
                                          view, window, shown);
    return {p.x, p.y};
  }
  std::vector<ScreenRect> keep_clear;  // the companions on the screen
  for (const auto& [id, at] : d_->placed) {
    const QWidget* other = widget(Window{id});
    if (other != &f && other->isVisible()) keep_clear.push_back(rect_of(other->frameGeometry()));
  }
  const ScreenPoint p = place_clear(avail, window, keep_clear, shown);
  return {p.x, p.y};
}

void QtRuntime::show_placed(Window form) {
  FormWindow& f = form_window(form);
  f.move(placed_corner(form, {}));
  f.show();
  // Placed once more when the window manager has framed it, so that the frame counts as well.
  wait_until([&f] { return f.windowHandle() != nullptr && f.windowHandle()->isExposed(); },
             kFramingTimeoutMs);
  const QPoint p = placed_corner(form, {});
  f.move(p);
  wait_until([&f, p] { return f.pos() == p; }, kFramingTimeoutMs);
  d_->placed[form.id] = f.pos();
}

void QtRuntime::PLACEFORM(Window form, std::span<const ScreenRect> work) {
  if (d_->destroyed.contains(form.id)) return;
  FormWindow& f = form_window(form);
  const QuietScope quiet(d_->quiet);
  const auto placed = d_->placed.find(form.id);
  const bool companion = placed != d_->placed.end();
  // A companion the user has moved keeps the user's place.
  if (companion && (!f.isVisible() || f.pos() != placed->second)) return;
  const QPoint p = placed_corner(form, work);
  f.move(p);
  if (!companion) return;
  wait_until([&f, p] { return f.pos() == p; }, kReplacedTimeoutMs);
  placed->second = f.pos();
}

}  // namespace vimbrel
