#include "platform/system/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <system_error>
#include <thread>

#include "platform/pixels/runtime_error.h"
#include "platform/system/memory_admission.h"

namespace vimbrel {

UniqueFd& UniqueFd::operator=(UniqueFd&& o) noexcept {
  if (this != &o) {
    close();
    fd_ = o.release();
  }
  return *this;
}

UniqueFd::~UniqueFd() {
  close();
}

int UniqueFd::release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

bool UniqueFd::close() {
  if (fd_ < 0) return true;
  const int rc = ::close(release());
  return rc == 0 || errno == EINTR;
}

UniqueFd hold_file(const std::string& path) {
  return UniqueFd(::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
}

void close_in_background(UniqueFd fd) {
  try {
    std::thread([fd = std::move(fd)]() mutable { fd.close(); }).detach();
  } catch (const std::system_error&) {
    // No thread to be had: `fd` is closed here, as it would have been without one.
  }
}

namespace {

std::string open_failure(int error) {
  if (error == EACCES || error == EPERM) return "permission denied";
  if (error == ELOOP) return "a loop of symbolic links";
  return std::error_code(error, std::generic_category()).message();
}

std::string not_regular(const struct stat& st) {
  return S_ISDIR(st.st_mode) ? "a folder" : "not a regular file";
}

}  // namespace

UniqueFd open_for_reading(const std::string& path, std::uint64_t& size) {
  // A FIFO or a device is never opened (opening one can block or act on the device); the open is
  // non-blocking as well, and fstat confirms that what was opened is still a regular file.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR || path.empty())
      throw RuntimeError{errc::kFileNotFound, "not found"};
    throw RuntimeError{errc::kPathAccess, open_failure(errno)};
  }
  if (!S_ISREG(st.st_mode)) throw RuntimeError{errc::kFileNotFound, not_regular(st)};
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd) {
    if (errno == ENOENT || errno == ENOTDIR) throw RuntimeError{errc::kFileNotFound, "not found"};
    throw RuntimeError{errc::kPathAccess, open_failure(errno)};
  }
  if (::fstat(fd.get(), &st) != 0) throw RuntimeError{errc::kPathAccess, open_failure(errno)};
  if (!S_ISREG(st.st_mode)) throw RuntimeError{errc::kFileNotFound, not_regular(st)};
  size = static_cast<std::uint64_t>(st.st_size);
  return fd;
}

std::optional<FileIdentity> file_identity(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                      static_cast<std::uint64_t>(st.st_size), st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

UniqueFd create_exclusive(const std::string& path) {
  // O_EXCL with O_CREAT never follows a link planted at the path; O_NOFOLLOW says so twice.
  return UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
}

namespace {

// Repeats a positioned read or write until `bytes` have moved; false on an error or an early end.
template <typename Byte, typename Io>
bool transfer_at(Byte* p, std::size_t bytes, std::uint64_t offset, Io io) {
  while (bytes > 0) {
    const ssize_t n = io(p, bytes, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    bytes -= static_cast<std::size_t>(n);
    offset += static_cast<std::uint64_t>(n);
  }
  return true;
}

}  // namespace

bool read_at(int fd, void* buffer, std::size_t bytes, std::uint64_t offset) {
  return transfer_at(static_cast<char*>(buffer), bytes, offset,
                     [fd](char* p, std::size_t n, off_t at) { return ::pread(fd, p, n, at); });
}

bool write_at(int fd, const void* buffer, std::size_t bytes, std::uint64_t offset) {
  return transfer_at(static_cast<const char*>(buffer), bytes, offset,
                     [fd](const char* p, std::size_t n, off_t at) { return ::pwrite(fd, p, n, at); });
}

bool write_all(int fd, const void* buffer, std::size_t bytes) {
  const auto* p = static_cast<const char*>(buffer);
  while (bytes > 0) {
    const ssize_t n = ::write(fd, p, bytes);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    bytes -= static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<std::vector<std::uint8_t>> read_whole(int fd, std::uint64_t size) {
  if (size > SIZE_MAX) throw RuntimeError{errc::kOutOfMemory};
  admit_memory(size);
  auto data = memory_guarded([&] { return std::vector<std::uint8_t>(static_cast<std::size_t>(size)); });
  if (!read_at(fd, data.data(), data.size(), 0)) return std::nullopt;
  return data;
}

}  // namespace vimbrel
