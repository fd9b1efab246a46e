#include "platform/runtime/qt/qt_file_dialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <algorithm>

#include "platform/runtime/path_builtins.h"

namespace vimbrel {

// ---- Icons and types without reading a byte

PlainFileIcons::PlainFileIcons() {
  setOptions(DontUseCustomDirectoryIcons);  // a folder's own icon would be read from inside it
  const QStyle* style = QApplication::style();
  folder_ = style->standardIcon(QStyle::SP_DirIcon);
  file_ = style->standardIcon(QStyle::SP_FileIcon);
  drive_ = style->standardIcon(QStyle::SP_DriveHDIcon);
  computer_ = style->standardIcon(QStyle::SP_ComputerIcon);
}

QIcon PlainFileIcons::icon(IconType type) const {
  switch (type) {
    case Computer:
    case Desktop:
    case Network:
      return computer_;
    case Drive:
      return drive_;
    case Folder:
      return folder_;
    case Trashcan:
    case File:
      break;
  }
  return file_;
}

QIcon PlainFileIcons::icon(const QFileInfo& info) const {
  if (info.isRoot()) return drive_;
  return info.isDir() ? folder_ : file_;
}

QString PlainFileIcons::type(const QFileInfo& info) const {
  if (info.isRoot()) return QCoreApplication::translate("vimbrel", "ドライブ");
  if (info.isDir()) return QCoreApplication::translate("vimbrel", "フォルダー");
  // FIFOs, devices and sockets: stat() tells them apart from regular files without opening them.
  if (!info.isFile()) return QCoreApplication::translate("vimbrel", "特殊ファイル");
  const QString suffix = info.suffix();
  return suffix.isEmpty() ? QCoreApplication::translate("vimbrel", "ファイル")
                          : QCoreApplication::translate("vimbrel", "%1 ファイル").arg(suffix.toUpper());
}

// ---- The dialog

namespace {

// The size the dialog opens at (within its screen's work area): room for the four columns.
constexpr QSize kDialogSize(900, 560);

// Dates of the detail view as the windows' locale writes them (Japanese: "2026/12/10 9:05"), whatever
// the system's locale.
class LocalDates : public QStyledItemDelegate {
 public:
  LocalDates(QObject* parent, const QLocale& locale) : QStyledItemDelegate(parent), locale_(locale) {}
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    const auto* model = qobject_cast<const QFileSystemModel*>(index.model());
    if (model != nullptr && index.column() == 3)
      option->text = locale_.toString(model->lastModified(index), QLocale::ShortFormat);
  }

 private:
  QLocale locale_;
};

// Widths for the size, type and date columns from the texts they show at their widest; the name
// takes the rest.
void fit_columns(QTreeView& view, const QLocale& locale) {
  QHeaderView* header = view.header();
  const QFontMetrics fm = view.fontMetrics();
  const int pad = 3 * fm.horizontalAdvance(QLatin1Char(' ')) + 8;
  const auto text = [](const char* source) { return QCoreApplication::translate("vimbrel", source); };
  const int widths[] = {
      fm.horizontalAdvance(locale.formattedDataSize(999'900'000)),
      std::max({fm.horizontalAdvance(text("%1 ファイル").arg(QStringLiteral("JPEG"))),
                fm.horizontalAdvance(text("特殊ファイル")), fm.horizontalAdvance(text("フォルダー"))}),
      fm.horizontalAdvance(
          locale.toString(QDateTime(QDate(2026, 12, 30), QTime(23, 59)), QLocale::ShortFormat)),
  };
  header->setStretchLastSection(false);
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int column = 1; column <= 3; ++column) {
    header->setSectionResizeMode(column, QHeaderView::Interactive);
    header->resizeSection(column, std::max(widths[column - 1] + pad, header->sectionSizeHint(column)));
  }
}

}  // namespace

FileDialog::FileDialog(QWidget* parent, const QString& title, PlainFileIcons& icons, const QLocale& locale)
    // Made in the root folder: left to itself Qt would begin listing the folder of the last dialog
    // (/proc, say) with its own icon provider before ours is set.
    : QFileDialog(parent, title, QDir::rootPath()) {
  setOption(DontUseNativeDialog);
  setOption(DontUseCustomDirectoryIcons);
  setOption(DontConfirmOverwrite);  // asked in accept(), about the file that is really written
  setIconProvider(&icons);
  // Special files are listed (QDir::System), only never opened.
  setFilter(filter() | QDir::System);
  setLocale(locale);
  if (auto* view = findChild<QTreeView*>(QStringLiteral("treeView"))) {
    view->setItemDelegate(new LocalDates(view, locale));
    fit_columns(*view, locale);
  }
  QSize size = kDialogSize;
  const QScreen* screen = parent != nullptr ? parent->screen() : QApplication::primaryScreen();
  if (screen != nullptr) size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
  resize(size);
}

void FileDialog::start_in(const QString& folder) {
  setDirectory(!folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::currentPath());
}

QString FileDialog::written_path() const {
  const QStringList files = selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return {};
  const QString written =
      written_extension_.isEmpty() ? files.front() : with_extension(files.front(), written_extension_);
  return QString::fromStdString(file_under_any_extension_case(written.toStdString()));
}

void FileDialog::accept() {
  const QString target = written_path();
  const QFileInfo info(target);
  const bool replaces = acceptMode() == AcceptSave && !target.isEmpty() && info.exists() && !info.isDir() &&
                        !QFileInfo(selectedFiles().front()).isDir();
  if (replaces) {
    // Qt's own question, so that it comes in the user's language with the rest of the dialog.
    const QString question =
        QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
            .arg(info.fileName());
    if (QMessageBox::warning(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No) != QMessageBox::Yes) {
      return;  // the dialog stays open for another name
    }
  }
  QFileDialog::accept();
}

// ---- Names

QString with_extension(const QString& path, const QString& extension) {
  return QString::fromStdString(with_extension(path.toStdString(), extension.toStdString()));
}

QString filter_extension(const QString& name_filter) {
  static const QRegularExpression kPattern("\\(\\*(\\.[^*?\\[\\] ()]+)[ )]");
  const QRegularExpressionMatch m = kPattern.match(name_filter);
  return m.hasMatch() ? m.captured(1) : QString();
}

void FileDialog::write_extension_of_type() {
  const QString extension = filter_extension(selectedNameFilter());
  const QString typed = selectedFiles().value(0);
  written_extension_ = extension;
  // The proposed name follows the chosen type.
  if (!extension.isEmpty() && !typed.isEmpty() && !QFileInfo(typed).isDir()) {
    selectFile(QFileInfo(with_extension(typed, extension)).fileName());
  }
}

}  // namespace vimbrel
