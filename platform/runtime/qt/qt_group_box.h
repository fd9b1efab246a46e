// A group box in the forms' own look: the frame line runs through the middle of the caption, so
// that controls laid out just below the caption, as the forms place them, stay clear of it.
#pragma once

#include <QGroupBox>

namespace vimbrel {

class FormGroupBox : public QGroupBox {
 public:
  FormGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}
  // The frame's top edge, in the box's pixels: half the caption's height.
  int frame_top() const;

 protected:
  void paintEvent(QPaintEvent*) override;
};

}  // namespace vimbrel
