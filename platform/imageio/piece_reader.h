// A file read forward a piece at a time, for walks over a file's segments that must never hold the
// whole file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vimbrel {

class PieceReader {
 public:
  static constexpr int kEnd = -1;  // no more bytes

  // Reads the first `size` bytes of the open file `fd`, which must outlive the reader.
  PieceReader(int fd, std::uint64_t size);

  // The next byte, or kEnd.
  int next();
  // Skips `n` bytes; those not yet read are never read.
  void skip(std::uint64_t n);
  // Moves on to the next 0xFF byte (left unread), adding the bytes passed to `passed`; false when
  // the file ends first.
  bool to_next_ff(std::uint64_t& passed);

 private:
  bool fill();

  int fd_;
  std::uint64_t size_, offset_ = 0;
  std::vector<std::uint8_t> piece_;
  std::size_t at_ = 0, end_ = 0;
};

}  // namespace vimbrel
