#include "platform/imageio/fs_checks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/imageio/file_io.h"
#include "platform/pixels/runtime_error.h"

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

std::string picture_warning(const std::string& path) {
  std::uint64_t size = 0;
  try {
    const UniqueFd fd = open_for_reading(path, size);
    std::array<std::uint8_t, 3> head{};
    if (size < 4 || !read_at(fd.get(), head.data(), head.size(), 0)) return {};
    if (head != std::array<std::uint8_t, 3>{0xFF, 0xD8, 0xFF}) return {};
    // Writers may pad a file after its end marker; padding is zeros or a run of 0xFF.
    std::array<std::uint8_t, 4096> tail{};
    const std::uint64_t n = std::min<std::uint64_t>(size, tail.size());
    if (!read_at(fd.get(), tail.data(), n, size - n)) return {};
    std::size_t end = n;
    while (end > 2 && (tail[end - 1] == 0x00 || (tail[end - 1] == 0xFF && tail[end - 2] == 0xFF))) --end;
    if (tail[end - 2] == 0xFF && tail[end - 1] == 0xD9) return {};
  } catch (const RuntimeError&) {
    return {};
  }
  return "the JPEG data ends before its end marker (a cut-off file?); it was loaded as far as it goes";
}

}  // namespace vimbrel
