#include "platform/runtime/qt/qt_fitted_controls.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>

namespace vimbrel {
namespace {

constexpr int kSmallestTextPx = 8;
// QLineEdit keeps this much room between its frame and its text on each side.
constexpr int kEditTextInset = 2;

class RowDelegate : public QStyledItemDelegate {
 public:
  explicit RowDelegate(const FormList& list)
      : QStyledItemDelegate(const_cast<FormList*>(&list)), list_(list) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    if (list_.row_height() > 0) s.setHeight(list_.row_height());
    return s;
  }

 private:
  const FormList& list_;
};

}  // namespace

// ---- The list

FormList::FormList(QWidget* parent) : QListWidget(parent) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  setSpacing(0);
  setUniformItemSizes(true);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setItemDelegate(new RowDelegate(*this));
  fit_rows();
}

void FormList::changeEvent(QEvent* e) {
  QListWidget::changeEvent(e);
  if (e->type() == QEvent::FontChange) fit_rows();
}

void FormList::resizeEvent(QResizeEvent* e) {
  QListWidget::resizeEvent(e);
  fit_rows();
}

void FormList::fit_rows() {
  const int room = std::max(height() - 2 * frameWidth(), 1);
  const int rows = std::max(room / std::max(fontMetrics().height(), 1), 1);
  const int row = room / rows;
  if (row == row_height_) return;
  row_height_ = row;
  doItemsLayout();  // the rows take their new height
}

// ---- The edit field

FormEdit::FormEdit(const QString& text, QWidget* parent, bool digits_only, int max_length)
    : QLineEdit(text, parent), digits_only_(digits_only) {
  // The style's frame and margins would take a quarter of a 32-pixel field.
  setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid #7a7a7a; padding: 0px; }"));
  if (digits_only) setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this));
  if (max_length > 0) setMaxLength(max_length);
  laid_px_ = font().pixelSize();
  connect(this, &QLineEdit::textChanged, this, [this] { fit_text(); });
  connect(this, &QLineEdit::inputRejected, this, [this] { tell_refusal(); });
}

void FormEdit::changeEvent(QEvent* e) {
  QLineEdit::changeEvent(e);
  if (e->type() != QEvent::FontChange || fitting_) return;
  laid_px_ = font().pixelSize();  // the form's own size, set from outside
  fit_text();
}

void FormEdit::resizeEvent(QResizeEvent* e) {
  QLineEdit::resizeEvent(e);
  fit_text();
}

void FormEdit::fit_text() {
  if (laid_px_ <= 0) return;
  const QMargins m = textMargins();
  const int room = contentsRect().width() - m.left() - m.right() - 2 * kEditTextInset - 1;  // 1: the cursor
  QFont f = font();
  int px = laid_px_;
  for (; px > kSmallestTextPx; --px) {
    f.setPixelSize(px);
    if (QFontMetrics(f).horizontalAdvance(text()) <= room) break;
  }
  f.setPixelSize(px);
  if (f.pixelSize() == font().pixelSize()) return;
  fitting_ = true;
  setFont(f);
  fitting_ = false;
}

void FormEdit::tell_refusal() {
  const bool full = maxLength() > 0 && text().size() >= maxLength() && selectedText().isEmpty();
  const QString why =
      full ? QCoreApplication::translate("vimbrel", "%1桁までです").arg(maxLength())
           : (digits_only_ ? QCoreApplication::translate("vimbrel", "数字だけを入力できます") : QString());
  if (why.isEmpty()) return;
  QToolTip::showText(mapToGlobal(QPoint(0, height())), why, this);
}

}  // namespace vimbrel
