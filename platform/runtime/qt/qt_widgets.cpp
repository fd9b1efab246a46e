#include "platform/runtime/qt/qt_widgets.h"

#include <QCloseEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "platform/pixels/runtime_error.h"
#include "platform/runtime/handles.h"
#include "platform/runtime/qt/qt_translation.h"

namespace vimbrel {

// ---- Mouse

std::int16_t MouseRelay::button_code(Qt::MouseButtons buttons) {
  std::int16_t code = 0;
  if (buttons & Qt::LeftButton) code |= kLeftButton;
  if (buttons & Qt::RightButton) code |= kRightButton;
  return code;
}

void MouseRelay::press(const QWidget& w, const QMouseEvent& e) {
  if (!dragging_) {
    origin_ = w.mapToGlobal(QPoint(0, 0));
    dragging_ = true;
  }
  if (sink_) sink_("MOUSEDOWN", button_code(e.buttons()), e.globalPosition() - QPointF(origin_));
}

void MouseRelay::move(const QMouseEvent& e) {
  if (!sink_) return;
  const QPointF point = dragging_ ? e.globalPosition() - QPointF(origin_) : e.position();
  sink_("MOUSEMOVE", button_code(e.buttons()), point);
}

void MouseRelay::release(const QMouseEvent& e) {
  if (e.buttons() == Qt::NoButton) dragging_ = false;
}

// ---- Painting a surface

void paint_surface(QWidget& w, const SurfaceSource& source) {
  if (!source) return;
  const Bitmap* b = nullptr;
  try {
    b = &source();  // re-made at the widget's size when that changed
  } catch (const RuntimeError&) {
    // No surface of that size can be had. A paint has no procedure to report to, and an exception
    // must not cross Qt's event handling: the widget shows white.
  }
  QPainter p(&w);
  if (b == nullptr) {
    p.fillRect(w.rect(), Qt::white);
    return;
  }
  if (b->empty()) return;
  // The bitmap's 0xFFRRGGBB pixels are exactly Format_RGB32; the image only borrows them. A surface
  // larger than the widget has a pixel for each pixel of a scaled screen and is drawn one to one.
  QImage image(reinterpret_cast<const uchar*>(b->row(0)), b->width(), b->height(),
               static_cast<qsizetype>(b->width()) * 4, QImage::Format_RGB32);
  if (w.width() > 0 && b->width() != w.width()) {
    image.setDevicePixelRatio(static_cast<double>(b->width()) / w.width());
  }
  p.drawImage(0, 0, image);
}

PictureWidget::PictureWidget(QWidget* parent, SurfaceSource source)
    : QWidget(parent), source_(std::move(source)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

void PictureWidget::paintEvent(QPaintEvent*) {
  if (!laid_out_) {
    const QWidget* form = parentWidget() != nullptr ? parentWidget() : this;
    QPainter(this).fillRect(rect(), form->palette().color(QPalette::Window));
    return;
  }
  paint_surface(*this, source_);
}
void PictureWidget::mousePressEvent(QMouseEvent* e) {
  mouse_.press(*this, *e);
}
void PictureWidget::mouseMoveEvent(QMouseEvent* e) {
  mouse_.move(*e);
}
void PictureWidget::mouseReleaseEvent(QMouseEvent* e) {
  mouse_.release(*e);
}
void PictureWidget::wheelEvent(QWheelEvent* e) {
  std::int16_t shift = 0;
  if (e->modifiers() & Qt::ShiftModifier) shift |= kShiftKey;
  if (e->modifiers() & Qt::ControlModifier) shift |= kCtrlKey;
  const int delta = e->angleDelta().y() != 0 ? e->angleDelta().y() : e->angleDelta().x();
  if (on_wheel && delta != 0) {
    on_wheel(delta, shift, e->position());
    e->accept();
  } else {
    e->ignore();
  }
}

// ---- Forms

namespace {

Qt::WindowFlags flags_for(FormStyle style) {
  switch (style) {
    case FormStyle::FixedCaption:
      // A caption bar and nothing else on it: no close, minimize or maximize box.
      return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    case FormStyle::Popup:
      return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
    case FormStyle::Dialog:
      return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    case FormStyle::Main:
      break;
  }
  return Qt::Window;
}

}  // namespace

FormWindow::FormWindow(const FormLayout& layout)
    : QWidget(nullptr, flags_for(layout.style)), style_(layout.style) {
  setWindowTitle(translated(layout.caption));
  if (style_ == FormStyle::Popup) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
  }
}

void FormWindow::closeEvent(QCloseEvent* e) {
  if (allow_close()) {
    e->accept();
  } else {
    e->ignore();
  }
}

QMenuBar& FormWindow::menu_bar() {
  if (bar_ == nullptr) {
    bar_ = new QMenuBar(this);
    client_ = new QWidget(this);
  }
  return *bar_;
}

int FormWindow::menu_bar_height() const {
  return bar_ != nullptr ? bar_->sizeHint().height() : 0;
}

void FormWindow::fit_client() {
  if (bar_ == nullptr) return;
  const int h = menu_bar_height();
  bar_->setGeometry(0, 0, width(), h);
  client_->setGeometry(0, h, width(), std::max(height() - h, 0));
}

void FormWindow::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  fit_client();
  on_resize();
}

void FormWindow::paintEvent(QPaintEvent* e) {
  if (style_ == FormStyle::Popup) {
    paint_surface(*this, source_);
  } else {
    QWidget::paintEvent(e);
  }
}

void FormWindow::mousePressEvent(QMouseEvent* e) {
  if (style_ == FormStyle::Popup) mouse_.press(*this, *e);
}

void FormWindow::mouseMoveEvent(QMouseEvent* e) {
  if (style_ == FormStyle::Popup) mouse_.move(*e);
}

void FormWindow::mouseReleaseEvent(QMouseEvent* e) {
  if (style_ == FormStyle::Popup) mouse_.release(*e);
}

void FormButton::paintEvent(QPaintEvent* e) {
  QPushButton::paintEvent(e);
  QPainter p(this);
  if (bordered_) {
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  if (hasFocus()) {  // the style's own focus frame is lost on the forms' small buttons
    p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    p.drawRect(rect().adjusted(2, 2, -3, -3));
  }
}

void FormButton::keyPressEvent(QKeyEvent* e) {
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && e->modifiers() == Qt::NoModifier) {
    animateClick();
    return;
  }
  QPushButton::keyPressEvent(e);
}

void FormWindow::keyPressEvent(QKeyEvent* e) {
  if (style_ == FormStyle::Dialog && e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
    on_cancel();
    return;
  }
  const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
  if (enter && default_button_ != nullptr && default_button_->isEnabled() && default_button_->isVisible()) {
    default_button_->animateClick();
    return;
  }
  QWidget::keyPressEvent(e);
}

// ---- Look

int FormControlStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                  const QWidget* widget) const {
  switch (metric) {
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
      return 13;
    case PM_RadioButtonLabelSpacing:
    case PM_CheckBoxLabelSpacing:
      return 3;
    default:
      return QProxyStyle::pixelMetric(metric, option, widget);
  }
}

QString substitute_face(std::string_view face) {
  static constexpr std::array<std::pair<std::string_view, const char*>, 4> kFaces{{
      {"ＭＳ Ｐゴシック", "IPAPGothic"},
      {"ＭＳ ゴシック", "IPAGothic"},
      {"ＭＳ Ｐ明朝", "IPAPMincho"},
      {"ＭＳ 明朝", "IPAMincho"},
  }};
  for (const auto& [windows, installed] : kFaces) {
    if (windows == face) return QString::fromLatin1(installed);
  }
  return QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size()));
}

void set_pixel_size(QWidget& w, float size) {
  QFont f = w.font();
  // The forms' sizes are the heights the controls were drawn for, so they are taken as pixels.
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
  w.setFont(f);
}

void apply_font(QWidget& w, std::string_view face, float size) {
  if (face.empty()) return;
  QFont f(substitute_face(face));
  f.setStyleHint(face.find("明朝") != std::string_view::npos ? QFont::Serif : QFont::SansSerif);
  w.setFont(f);
  if (size > 0) set_pixel_size(w, size);
}

void apply_colours(QWidget& w, const ControlLayout& c) {
  const bool bar = c.kind == ControlKind::HScroll || c.kind == ControlKind::VScroll;
  const QColor background = bar ? QColor(192, 192, 192) : QColor(Qt::white);
  const QColor text(c.text_colour.r, c.text_colour.g, c.text_colour.b);
  QPalette p = w.palette();
  for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
    p.setColor(QPalette::Active, role, background);
    p.setColor(QPalette::Inactive, role, background);
  }
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    p.setColor(QPalette::Active, role, text);
    p.setColor(QPalette::Inactive, role, text);
  }
  w.setPalette(p);
  w.setAutoFillBackground(c.kind != ControlKind::Picture);
}

}  // namespace vimbrel
