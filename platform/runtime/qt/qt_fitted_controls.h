// Controls whose contents fit the small boxes the forms give them: a list that shows whole rows
// only, and an edit field whose text shrinks until it shows whole and that says why it refuses a key.
#pragma once

#include <QLineEdit>
#include <QListWidget>

namespace vimbrel {

// A list box with a one-pixel frame whose rows share its height evenly: as many whole rows as the
// font allows, none cut at the bottom edge, and scrolling a row at a time.
class FormList : public QListWidget {
 public:
  explicit FormList(QWidget* parent);
  int row_height() const { return row_height_; }

 protected:
  void changeEvent(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void fit_rows();
  int row_height_ = 0;
};

// An edit field with a one-pixel frame. Its text is drawn at the font size the form gives it, or
// smaller where that would not show it whole; a key it refuses (not a digit in a digits-only field,
// or past its length) is answered with a tip under the field.
class FormEdit : public QLineEdit {
 public:
  FormEdit(const QString& text, QWidget* parent, bool digits_only, int max_length);
  // The pixel size the form gives the text (the size before any shrinking).
  int laid_pixel_size() const { return laid_px_; }
  // Fits the text drawn to the field; called on every change, the program's too (made without signals).
  void fit_text();

 protected:
  void changeEvent(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void tell_refusal();
  bool digits_only_;
  int laid_px_ = 0;
  bool fitting_ = false;
};

}  // namespace vimbrel
