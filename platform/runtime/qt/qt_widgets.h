// The widgets the Qt backend builds forms from. They only paint and forward input; every rule
// about what an event means lives in QtRuntime.
#pragma once

#include <QPoint>
#include <QProxyStyle>
#include <QPushButton>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/pixels/bitmap.h"
#include "platform/runtime/form_layout.h"

class QMenuBar;
class QMouseEvent;
class QWheelEvent;

namespace vimbrel {

// Turns mouse presses and moves into MOUSEDOWN / MOUSEMOVE with the button code (1 left, 2 right,
// 3 both). Points are in the widget's pixels as they were when the button went down: a window that
// the program moves during a drag keeps one frame of reference, so the distances between points
// stay those the pointer travelled.
class MouseRelay {
 public:
  using Sink = std::function<void(std::string_view event, std::int16_t button, QPointF point)>;
  void set_sink(Sink sink) { sink_ = std::move(sink); }
  void press(const QWidget& w, const QMouseEvent& e);
  void move(const QMouseEvent& e);
  void release(const QMouseEvent& e);
  static std::int16_t button_code(Qt::MouseButtons buttons);

 private:
  Sink sink_;
  QPoint origin_;  // the widget's global top-left corner at the press
  bool dragging_ = false;
};

// Paints a bitmap the runtime keeps (a picture control's or a pop-up form's surface), wrapped
// without copying.
using SurfaceSource = std::function<const Bitmap&()>;
void paint_surface(QWidget& w, const SurfaceSource& source);

// A picture control. Its surface may have more pixels than the widget (a scaled screen): each is
// drawn on one pixel of the screen.
class PictureWidget : public QWidget {
 public:
  PictureWidget(QWidget* parent, SurfaceSource source);
  MouseRelay& mouse() { return mouse_; }
  // Turns of the wheel: the turn (120 a notch), the keys held (kCtrlKey, ...) and the point.
  std::function<void(int delta, std::int16_t shift, QPointF point)> on_wheel;
  // Until the program first places or sizes it, the picture stands at its laid-out place with
  // nothing to show: it shows the form's background there rather than an empty white box.
  void set_laid_out() {
    if (!laid_out_) update();
    laid_out_ = true;
  }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  SurfaceSource source_;
  MouseRelay mouse_;
  bool laid_out_ = false;
};

// A form's top-level window. Close requests go to `allow_close`, a dialog's Escape to `on_cancel`; a pop-up
// form paints its surface and reports the mouse like a picture control.
class FormWindow : public QWidget {
 public:
  explicit FormWindow(const FormLayout& layout);
  FormStyle style() const { return style_; }
  // Where the controls are laid out: the window itself, or the area under its menu bar once it has one.
  QWidget& client() { return client_ != nullptr ? *client_ : *this; }
  // The window's menu bar, made (with the client area under it) on first use, before any control.
  QMenuBar& menu_bar();
  int menu_bar_height() const;
  // Lays the menu bar and the client area out over the window as it is now (also before it is shown,
  // when Qt holds its resize events back).
  void fit_client();
  void set_surface(SurfaceSource source) { source_ = std::move(source); }
  MouseRelay& mouse() { return mouse_; }
  std::function<bool()> allow_close = [] { return false; };
  // The button that Return presses wherever the focus is on the form (none: Return does nothing).
  void set_default_button(QPushButton* button) { default_button_ = button; }
  std::function<void()> on_resize = [] {};
  std::function<void()> on_cancel = [] {};  // a dialog form's Escape key

 protected:
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  QPushButton* default_button_ = nullptr;
  FormStyle style_;
  SurfaceSource source_;
  MouseRelay mouse_;
  QMenuBar* bar_ = nullptr;
  QWidget* client_ = nullptr;
};

// A push button; a bordered one draws a dark frame around the usual button.
// A push button of the forms: shows the keyboard focus, and Return presses it as Space does.
class FormButton : public QPushButton {
 public:
  FormButton(QWidget* parent, bool bordered) : QPushButton(parent), bordered_(bordered) {}

 protected:
  void paintEvent(QPaintEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  bool bordered_;
};

// Radio buttons and check boxes with the indicator and gap of the forms' own look (13 and 3
// pixels), so that captions laid out for them fit.
class FormControlStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
};

// The installed face that stands in for a face named by a form ("ＭＳ Ｐゴシック" -> "IPAPGothic").
QString substitute_face(std::string_view face);
// Font face and pixel size of a control as its layout gives them.
void apply_font(QWidget& w, std::string_view face, float size);
void set_pixel_size(QWidget& w, float size);
// Text colour and background: white, silver (192/192/192) for scroll bars.
void apply_colours(QWidget& w, const ControlLayout& c);

}  // namespace vimbrel
