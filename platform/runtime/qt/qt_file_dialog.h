// The runtime's file dialogs: Qt's own widgets, never the desktop's, that show files by name and
// kind alone. Nothing in them opens a file to show it, so a folder holding FIFOs, devices or
// /proc entries that block on reading is listed like any other.
#pragma once

#include <QAbstractFileIconProvider>
#include <QFileDialog>
#include <QIcon>
#include <QLocale>
#include <QString>

namespace vimbrel {

// Icons and type texts from the file's name and kind only (folder, file, special file); unlike
// Qt's default provider it never sniffs the contents for a MIME type. Thread-safe once made: the
// dialog's model asks it from its own thread.
class PlainFileIcons : public QAbstractFileIconProvider {
 public:
  PlainFileIcons();
  QIcon icon(IconType type) const override;
  QIcon icon(const QFileInfo& info) const override;
  QString type(const QFileInfo& info) const override;

 private:
  QIcon folder_, file_, drive_, computer_;
};

// A file dialog over PlainFileIcons that lists special files too. In a save, the chosen type's
// extension (".BMP" for "(*.BMP)") is the extension the file gets whatever is typed: the file the
// program will write is the chosen name with its extension replaced, and that is the file the dialog
// asks about replacing (or the file of that name under another case of its extension, which the save
// replaces). A type of no single extension ("(*)") leaves the name as typed.
class FileDialog : public QFileDialog {
 public:
  // `locale`: the windows' language, in which the dialog writes sizes and dates.
  FileDialog(QWidget* parent, const QString& title, PlainFileIcons& icons, const QLocale& locale);
  // Takes the extension of the type now selected, and gives the typed name that extension.
  void write_extension_of_type();
  // Lists `folder`, or the current folder when `folder` is empty or names no folder.
  void start_in(const QString& folder);
  // The chosen path as it will be written; empty when nothing was chosen.
  QString written_path() const;

 protected:
  void accept() override;

 private:
  QString written_extension_;
};

// `path` with everything from the last dot of its file name replaced by `extension` ("a.jpg" ->
// "a.BMP"); a file name without a dot gets the extension appended. Folder names are left alone.
QString with_extension(const QString& path, const QString& extension);
// The first extension a filter's patterns name ("PNG (*.PNG *.png)" -> ".PNG"), or empty.
QString filter_extension(const QString& name_filter);

}  // namespace vimbrel
