// Plain POSIX file access for the bitmap files: an owned descriptor and whole-buffer reads and writes
// that survive short transfers and interrupted calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vimbrel {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& o) noexcept : fd_(o.release()) {}
  UniqueFd& operator=(UniqueFd&& o) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd();

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  int release();
  // Closes now and reports whether the close succeeded (a delayed write error shows here).
  bool close();

 private:
  int fd_ = -1;
};

// The file at `path` held open (a link itself, never what it names; no permission needed), so that
// when its name goes, freeing what it holds waits for this hold instead: give the hold to
// close_in_background. Invalid when nothing is there.
UniqueFd hold_file(const std::string& path);

// Closes `fd` on a thread of its own and returns at once: the last close of a deleted file frees its
// blocks, which can wait on the disk. The process still waits for it at exit.
void close_in_background(UniqueFd fd);

// Opens an existing regular file for reading and gives its size. Throws RuntimeError 53 when there
// is no such file (or it is a folder), 75 when it cannot be opened.
UniqueFd open_for_reading(const std::string& path, std::uint64_t& size);

// Creates `path` for writing only if nothing (not even a dangling link) is there; an invalid fd
// otherwise, with errno set.
UniqueFd create_exclusive(const std::string& path);

// What tells one file's contents from another's without reading them: a file replaced, rewritten or
// touched since has another identity.
struct FileIdentity {
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t modified_s = 0, modified_ns = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the open file; none when it cannot be read.
std::optional<FileIdentity> file_identity(int fd);

// Whole transfers; false on any error or a file that ends early.
bool read_at(int fd, void* buffer, std::size_t bytes, std::uint64_t offset);
bool write_at(int fd, const void* buffer, std::size_t bytes, std::uint64_t offset);
bool write_all(int fd, const void* buffer, std::size_t bytes);

// The first `size` bytes of the file (its whole content, for the size its fstat gave); nullopt when
// they cannot be read. RuntimeError 7 when they cannot be held in memory.
std::optional<std::vector<std::uint8_t>> read_whole(int fd, std::uint64_t size);

}  // namespace vimbrel
