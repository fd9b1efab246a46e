#include "platform/imageio/piece_reader.h"

#include <algorithm>
#include <cstring>

#include "platform/system/file_io.h"

namespace vimbrel {

namespace {
constexpr std::size_t kPieceBytes = std::size_t{64} << 10;
}  // namespace

PieceReader::PieceReader(int fd, std::uint64_t size) : fd_(fd), size_(size), piece_(kPieceBytes) {}

int PieceReader::next() {
  if (at_ == end_ && !fill()) return kEnd;
  return piece_[at_++];
}

void PieceReader::skip(std::uint64_t n) {
  const std::size_t buffered = end_ - at_;
  if (n <= buffered) {
    at_ += static_cast<std::size_t>(n);
    return;
  }
  offset_ += n - buffered;
  at_ = end_ = 0;
}

bool PieceReader::to_next_ff(std::uint64_t& passed) {
  for (;;) {
    if (at_ == end_ && !fill()) return false;
    const auto* start = piece_.data() + at_;
    const auto* ff = static_cast<const std::uint8_t*>(std::memchr(start, 0xFF, end_ - at_));
    const std::size_t n = ff ? static_cast<std::size_t>(ff - start) : end_ - at_;
    passed += n;
    at_ += n;
    if (ff) return true;
  }
}

bool PieceReader::fill() {
  if (offset_ >= size_) return false;
  const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(piece_.size(), size_ - offset_));
  if (!read_at(fd_, piece_.data(), want, offset_)) return false;
  offset_ += want;
  at_ = 0;
  end_ = want;
  return true;
}

}  // namespace vimbrel
