#include "platform/runtime/qt/qt_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <algorithm>

#include "platform/pixels/runtime_error.h"
#include "platform/runtime/qt/qt_busy_cursor.h"
#include "platform/runtime/qt/qt_file_dialog.h"
#include "platform/runtime/qt/qt_message_box.h"
#include "platform/runtime/qt/qt_runtime.h"
#include "platform/runtime/qt/qt_runtime_impl.h"
#include "platform/runtime/qt/qt_translation.h"

namespace vimbrel {
namespace {

// Splits at `sep` where it is not inside parentheses.
QStringList split_outside_parens(const QString& s, QChar sep) {
  QStringList parts;
  QString cur;
  int depth = 0;
  for (const QChar c : s) {
    if (c == '(') ++depth;
    if (c == ')' && depth > 0) --depth;
    if (c == sep && depth == 0) {
      parts << cur;
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts << cur;
  return parts;
}

// "*.BMP;*.bmp" or "*.BMP *.JPG" -> the patterns, each in both cases; "*.*" becomes "*".
QStringList patterns_of(const QString& text) {
  QStringList out;
  for (const QString& p : text.split(QRegularExpression("[;, ]+"), Qt::SkipEmptyParts)) {
    if (p == "*.*" || p == "*") {
      out << "*";
      continue;
    }
    for (const QString& v : {p, p.toLower(), p.toUpper()}) {
      if (!out.contains(v)) out << v;
    }
  }
  out.removeDuplicates();
  return out;
}

QString name_filter(QString description, const QString& patterns) {
  const QStringList ps = patterns_of(patterns);
  if (ps.isEmpty()) return {};
  // The description's own "(...)" would be read by Qt as the patterns: ours replace it.
  description.remove(QRegularExpression("\\s*\\([^()]*\\)\\s*$"));
  description = translated(description.trimmed().toStdString());
  const QString list = "(" + ps.join(' ') + ")";
  return description.isEmpty() ? list : description + " " + list;
}

}  // namespace

QStringList qt_name_filters(std::string_view filter) {
  const QString f = qstr(filter).trimmed();
  QStringList out;
  if (f.contains('|')) {
    const QStringList parts = f.split('|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) out << name_filter(parts[i], parts[i + 1]);
  } else {
    static const QRegularExpression kParens("\\(([^()]*)\\)\\s*$");
    for (const QString& item : split_outside_parens(f, ';')) {
      const QRegularExpressionMatch m = kParens.match(item);
      out << (m.hasMatch() ? name_filter(item, m.captured(1)) : name_filter({}, item));
    }
  }
  out.removeAll(QString());
  return out;
}

SaveStart save_start(std::string_view default_text) {
  const QString t = qstr(default_text);
  if (t.isEmpty()) return {QDir::currentPath(), {}};
  if (QFileInfo(t).isDir()) return {t, {}};
  // Where a full path starts after a folder: "//" on POSIX, a drive such as "C:\" on Windows.
  qsizetype cut = -1;
  const qsizetype slashes = t.lastIndexOf("//");
  if (slashes > 0) cut = slashes + 1;
  static const QRegularExpression kDrive("[A-Za-z]:[\\\\/]");
  for (auto it = kDrive.globalMatch(t, 1); it.hasNext();) cut = std::max(cut, it.next().capturedStart());
  const QString folder = cut > 0 ? t.left(cut) : QString();
  const QFileInfo path(cut > 0 ? t.mid(cut) : t);
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) return {QDir::cleanPath(folder), path.fileName()};
  if (path.dir().exists()) return {path.dir().path(), path.fileName()};
  return {QDir::currentPath(), path.fileName()};
}

// The Qt backend's own texts name the program's context (kTextContext) literally, for lupdate.
QString untrapped_message(int code, std::string_view procedure) {
  QString cause;
  switch (code) {
    case errc::kIllegalCall:
      cause = QCoreApplication::translate("vimbrel", "不正な呼び出しです。");
      break;
    case errc::kOutOfMemory:
      cause = QCoreApplication::translate("vimbrel", "メモリが不足しています。");
      break;
    case errc::kBadFileName:
      cause = QCoreApplication::translate("vimbrel", "ファイル名が正しくありません。");
      break;
    case errc::kFileNotFound:
      cause = QCoreApplication::translate("vimbrel", "ファイルが見つかりません。");
      break;
    case errc::kBadWildcard:
      cause = QCoreApplication::translate("vimbrel", "ファイル名にワイルドカードは使えません。");
      break;
    case errc::kReadPastEnd:
      cause = QCoreApplication::translate("vimbrel", "ファイルの終わりを越えて読もうとしました。");
      break;
    case errc::kPathAccess:
      cause = QCoreApplication::translate("vimbrel", "ファイルまたはフォルダにアクセスできません。");
      break;
    case errc::kInvalidPicture:
      cause = QCoreApplication::translate("vimbrel", "画像ファイルを読めません。");
      break;
    default:
      break;
  }
  return QCoreApplication::translate("vimbrel",
                                     "実行時エラー %1 が %2 で起きました。\n%3\nプログラムを終了します。")
      .arg(code)
      .arg(qstr(procedure), cause);
}

// ---- The runtime's dialogs

QWidget* QtRuntime::dialog_parent(Window owner) const {
  if (owner) {
    QWidget* form = widget(form_of(owner));
    if (form->isVisible()) return form;
  }
  QWidget* main = widget(main_form());
  if (main->isVisible()) return main;
  return QApplication::activeWindow();
}

namespace {

// Runs a dialog modally. A press still held (on a scroll bar arrow, say) is ended first, since the
// dialog takes every later input; and while the dialog is open no event procedure starts.
int run_modal(QDialog& dialog, int& modal, PressTracker& presses) {
  presses.release();
  const QuietScope open(modal);
  const NormalCursor pointer;  // the dialog waits for the user, the command does not run
  dialog.setWindowModality(Qt::ApplicationModal);
  return dialog.exec();
}

std::string chosen_file(const QFileDialog& dialog, int result) {
  const QStringList files = dialog.selectedFiles();
  if (result != QDialog::Accepted || files.isEmpty() || files.front().isEmpty())
    return std::string(kCancelled);
  return files.front().toStdString();
}

}  // namespace

void QtRuntime::MESSAGEBOX(Window owner, std::string_view caption, std::string_view text, int, int) {
  QMessageBox box(QMessageBox::NoIcon, vimbrel::translated(caption), vimbrel::translated(text),
                  QMessageBox::Ok, dialog_parent(owner));
  fit_caption(box);
  run_modal(box, d_->modal, d_->presses);
  raise_companions();
}

void QtRuntime::raise_companions() {
  // A box over the main window brings the main window up with it (a drop's hint, say); the
  // controller the user goes on with must not stay buried under it.
  for (const auto& [id, at] : d_->placed) {
    QWidget* form = widget(Window{id});
    if (form->isVisible()) form->raise();
  }
}

bool QtRuntime::ASKBOX(Window owner, std::string_view caption, std::string_view text) {
  QMessageBox box(QMessageBox::Question, vimbrel::translated(caption), vimbrel::translated(text),
                  QMessageBox::Yes | QMessageBox::No, dialog_parent(owner));
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  fit_caption(box);
  run_modal(box, d_->modal, d_->presses);
  return box.clickedButton() == box.button(QMessageBox::Yes);
}

std::string QtRuntime::WINOPENDLG(Window owner, std::string_view title, std::string_view start_dir,
                                  std::string_view filter, int) {
  if (auto dropped = take_drop_answer()) return *std::move(dropped);  // answered by a dropped file
  FileDialog dialog(dialog_parent(owner), vimbrel::translated(title), d_->file_icons,
                    d_->translations.locale());
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(qt_name_filters(filter));
  dialog.start_in(qstr(start_dir));
  const int result = run_modal(dialog, d_->modal, d_->presses);
  return chosen_file(dialog, result);
}

std::string QtRuntime::WINSAVEDLG(Window owner, std::string_view title, std::string_view default_text,
                                  std::string_view filter, int) {
  const SaveStart start = save_start(default_text);
  FileDialog dialog(dialog_parent(owner), vimbrel::translated(title), d_->file_icons,
                    d_->translations.locale());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(qt_name_filters(filter));
  // The chosen type's extension is the extension the file gets, whatever is typed: the dialog
  // proposes that name and asks about replacing that file.
  dialog.start_in(start.folder);
  if (!start.file.isEmpty()) dialog.selectFile(start.file);
  dialog.write_extension_of_type();
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog] { dialog.write_extension_of_type(); });
  const int result = run_modal(dialog, d_->modal, d_->presses);
  return chosen_file(dialog, result);
}

void QtRuntime::report_untrapped(int code, std::string_view procedure) {
  QMessageBox box(QMessageBox::Critical, QCoreApplication::translate("vimbrel", "エラー"),
                  untrapped_message(code, procedure), QMessageBox::Ok, dialog_parent(Window{}));
  fit_caption(box);
  run_modal(box, d_->modal, d_->presses);
}

}  // namespace vimbrel
