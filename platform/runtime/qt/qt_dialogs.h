// The texts the Qt backend's dialogs are built from: file filters, the save dialog's start, and
// the report of an untrapped run-time error.
#pragma once

#include <QString>
#include <QStringList>
#include <string_view>

namespace vimbrel {

// A file filter in the program's style as a list of Qt name filters. Both styles are read:
// "description|pattern|description|pattern" and "(*.BMP);(*.JPG);(*.*)". Patterns match upper and
// lower case alike, and "*.*" matches every file, as users expect on any system.
QStringList qt_name_filters(std::string_view filter);

// Where the save dialog starts, from its default text: a folder directly followed by a full
// path ("/out/" + "/pics/a.bmp"), a folder, or a path.
struct SaveStart {
  QString folder;
  QString file;
};
SaveStart save_start(std::string_view default_text);

// The message shown when a procedure ends with an error no trap caught.
QString untrapped_message(int code, std::string_view procedure);

}  // namespace vimbrel
