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

namespace {

// The kernel's rule for protected links: in a sticky folder that anyone may write (/tmp), a link is
// followed only when this user or the folder's owner made it. A save keeps the same rule, so that a
// link planted at the output's name never turns the rename onto a file the link names.
bool link_may_be_followed(const std::string& path, const struct stat& link) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  struct stat dir {};
  if (::stat(folder.c_str(), &dir) != 0) return false;
  const bool shared = (dir.st_mode & S_ISVTX) != 0 && (dir.st_mode & S_IWOTH) != 0;
  return !shared || link.st_uid == ::geteuid() || link.st_uid == dir.st_uid;
}

}  // namespace

std::string replaceable_target(const std::string& path) {
  struct stat entry {};
  if (::lstat(path.c_str(), &entry) != 0) return path;  // a new file (or a folder that fails later)
  std::string target = path;
  if (S_ISLNK(entry.st_mode)) {
    if (!link_may_be_followed(path, entry)) {
      throw RuntimeError{
          errc::kPathAccess,
          path + " is a symbolic link another user made in a shared folder; it is not written through"};
    }
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

bool folder_writable(const std::string& folder) {
  struct stat st {};
  const std::string name = folder.empty() ? std::string(".") : folder;
  return ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(name.c_str(), W_OK | X_OK) == 0;
}

}  // namespace vimbrel
