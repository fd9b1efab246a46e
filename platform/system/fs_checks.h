// Checks on the paths the user names, made before a file is opened or replaced.
#pragma once

#include <string>

namespace vimbrel {

// The file a save replaces for `path`: the path itself, or for a symbolic link the file it names, so
// that the link stays a link. Throws RuntimeError 75 when that file must be kept: its owner made it
// read-only (no write permission for anyone), this user may not write it, it is no regular file, or
// the link names nothing.
std::string replaceable_target(const std::string& path);

// Why a picture at `path` cannot be read, as far as the file system tells: "not found", "a folder",
// "not a regular file" (a FIFO or a device), "permission denied"; empty when it is a readable file.
std::string unreadable_cause(const std::string& path);

}  // namespace vimbrel
