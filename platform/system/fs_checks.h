// Checks on the paths the user names, made before a file is opened or replaced.
#pragma once

#include <string>

namespace vimbrel {

// The file a save replaces for `path`: the path itself, or for a symbolic link the file it names, so
// that the link stays a link. Throws RuntimeError 75 when that file must be kept: its owner made it
// read-only (no write permission for anyone), this user may not write it, it is no regular file, or
// the link names nothing, or it is a link another user made in a sticky folder anyone may write.
std::string replaceable_target(const std::string& path);

// True when `folder` is a folder this user may make files in (it exists, is searchable and writable).
bool folder_writable(const std::string& folder);

// True when the file system holding the open file `fd` has (next to) no space left for this user, as
// after a write that failed for want of it.
bool no_space_left(int fd);

}  // namespace vimbrel
