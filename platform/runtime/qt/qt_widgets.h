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

class QMouseEvent;

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

// A picture control.
class PictureWidget : public QWidget {
 public:
  PictureWidget(QWidget* parent, SurfaceSource source);
  MouseRelay& mouse() { return mouse_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  SurfaceSource source_;
  MouseRelay mouse_;
};

// A form's top-level window. Close requests go to `allow_close`, a dialog's Escape to `on_cancel`; a pop-up
// form paints its surface and reports the mouse like a picture control.
class FormWindow : public QWidget {
 public:
  explicit FormWindow(const FormLayout& layout);
  FormStyle style() const { return style_; }
  void set_surface(SurfaceSource source) { source_ = std::move(source); }
  MouseRelay& mouse() { return mouse_; }
  std::function<bool()> allow_close = [] { return false; };
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
  FormStyle style_;
  SurfaceSource source_;
  MouseRelay mouse_;
};

// A push button; a bordered one draws a dark frame around the usual button.
class FormButton : public QPushButton {
 public:
  FormButton(QWidget* parent, bool bordered) : QPushButton(parent), bordered_(bordered) {}

 protected:
  void paintEvent(QPaintEvent* e) override;

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
