// The path built-ins of the program: an existence test, deleting a file, splitting a path into its
// parts, and the current directory. Paths are UTF-8; the backslash separates, and on this host "/" does as
// well.
#pragma once

#include <string>
#include <string_view>

namespace vimbrel {

// True when an entry of that name exists and is not a folder (a link counts by what it points to;
// a dangling link is an entry too). RuntimeError 55 for a name with "*" or "?".
bool FILE_EXISTS(std::string_view name);

// Deletes the file (or empty folder) `name`; nothing when there is none. RuntimeError 75 when it
// cannot be deleted. The name is gone on return; freeing a large file's cached pages and blocks,
// which can take milliseconds, goes on on another thread.
void KILL(const std::string& name);

// Splits `path` into drive ("C:" or "\\server\share"), directory (up to and including the last
// separator), name and extension (from the last "." of the file name, dot included). The four
// parts joined give back the path.
void SPLIT_PATH(std::string_view path, std::string& drive, std::string& dir, std::string& name,
                std::string& ext);

// `path` with its extension (as SPLIT_PATH finds it) replaced by `extension`: the name a save writes
// for the name the user chose, and the name its dialog asks about.
std::string with_extension(std::string_view path, std::string_view extension);

// The file a save of `path` replaces: `path` itself, or when nothing is there a file of the same name
// whose extension differs only in case ("low.bmp" for "low.BMP"), since on the system these names
// come from the two are one file. `path` again when there is neither.
std::string file_under_any_extension_case(const std::string& path);

// Whether files can be made beside `file_path`: its folder exists, and this user may write and
// search it. The work file's folder is checked so before a conversion needs it.
bool FOLDER_WRITABLE_FOR(std::string_view file_path);

// With an empty argument the process's current directory; with a drive ("C:") that drive's, which on
// this host is the same. Any other argument raises RuntimeError 5. Empty when the current
// directory cannot be had (it was removed, say).
std::string CURRENT_DIR(std::string_view drive);

}  // namespace vimbrel
