// Files replaced only by complete ones: written beside their name, then renamed over it.
#pragma once

#include <functional>
#include <string>

namespace vimbrel {

// Writes a file through `write` (given the open descriptor and whether a file is being replaced; false
// on failure) beside `path` and renames it over `path` once complete, keeping a replaced file's mode. Throws
// RuntimeError 75 when the file cannot be made, written or put in place; nothing of a failed write is left
// behind.
void write_file_beside(const std::string& path, const std::function<bool(int fd, bool replaces)>& write);

}  // namespace vimbrel
