#include "platform/system/fs_checks.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/pixels/runtime_error.h"
#include "platform/system/file_io.h"

namespace vimbrel {

std::string replaceable_target(const std::string& path) {
  struct stat entry {};
  if (::lstat(path.c_str(), &entry) != 0) return path;  // a new file (or a folder that fails later)
  std::string target = path;
  if (S_ISLNK(entry.st_mode)) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved || ::stat(resolved.get(), &entry) != 0) {
      throw RuntimeError{errc::kPathAccess, "a symbolic link that names nothing"};
    }
    target = resolved.get();
  }
  // Mode bits as well as access(): a privileged user passes access() even for a read-only file.
  const bool read_only = (entry.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  if (!S_ISREG(entry.st_mode)) throw RuntimeError{errc::kPathAccess, target + " is no regular file"};
  if (read_only) throw RuntimeError{errc::kPathAccess, target + " is read-only and is kept"};
  if (::access(target.c_str(), W_OK) != 0) throw RuntimeError{errc::kPathAccess, "permission denied"};
  return target;
}

bool no_space_left(int fd) {
  struct statvfs fs {};
  if (::fstatvfs(fd, &fs) != 0) return false;
  // Less than a strip of the writers: the write that failed could not have gone on.
  return std::uint64_t{fs.f_bavail} * fs.f_frsize < (std::uint64_t{1} << 20);
}

}  // namespace vimbrel
