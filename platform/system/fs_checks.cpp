#include "platform/system/fs_checks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/pixels/runtime_error.h"
#include "platform/system/file_io.h"

namespace vimbrel {

std::string replaceable_target(const std::string& path) {
  struct stat entry {};
  if (::lstat(path.c_str(), &entry) != 0) return path;  // a new file (or a folder that fails later)
  std::string target = path;
  if (S_ISLNK(entry.st_mode)) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved || ::stat(resolved.get(), &entry) != 0) throw RuntimeError{errc::kPathAccess};
    target = resolved.get();
  }
  // Mode bits as well as access(): a privileged user passes access() even for a read-only file.
  const bool read_only = (entry.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  if (!S_ISREG(entry.st_mode) || read_only || ::access(target.c_str(), W_OK) != 0) {
    throw RuntimeError{errc::kPathAccess};
  }
  return target;
}

std::string unreadable_cause(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == EACCES ? "permission denied" : "not found";
  if (S_ISDIR(st.st_mode)) return "a folder";
  if (!S_ISREG(st.st_mode)) return "not a regular file";
  if (::access(path.c_str(), R_OK) != 0) return "permission denied";
  return {};
}

}  // namespace vimbrel
