#include "platform/imageio/jpeg_orientation.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <optional>
#include <span>
#include <vector>

#include "platform/pixels/runtime_error.h"
#include "platform/system/file_io.h"
#include "platform/system/memory_admission.h"

namespace vimbrel {

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kTypeShort = 3;
// A file's segments before its first scan are read this much at first, then twice as much each time.
constexpr std::size_t kFirstHeadBytes = std::size_t{64} << 10;

// Reads a TIFF structure (the Exif payload after "Exif\0\0") in either byte order, bounds-checked.
class TiffView {
 public:
  explicit TiffView(std::span<const std::uint8_t> b) : b_(b) {}
  bool valid_header() {
    if (b_.size() < 8) return false;
    if (b_[0] == 'I' && b_[1] == 'I') {
      little_ = true;
    } else if (b_[0] != 'M' || b_[1] != 'M') {
      return false;
    }
    return u16(2) == 42;
  }
  bool has(std::size_t at, std::size_t n) const { return at <= b_.size() && n <= b_.size() - at; }
  std::uint32_t u16(std::size_t at) const {
    return little_ ? b_[at] | (b_[at + 1] << 8) : (b_[at] << 8) | b_[at + 1];
  }
  std::uint32_t u32(std::size_t at) const {
    return little_ ? u16(at) | (u16(at + 2) << 16) : (u16(at) << 16) | u16(at + 2);
  }

 private:
  std::span<const std::uint8_t> b_;
  bool little_ = false;
};

int orientation_in_tiff(std::span<const std::uint8_t> tiff) {
  TiffView t(tiff);
  if (!t.valid_header()) return 1;
  const std::size_t ifd = t.u32(4);
  if (!t.has(ifd, 2)) return 1;
  const std::size_t entries = t.u16(ifd);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t e = ifd + 2 + 12 * i;
    if (!t.has(e, 12)) return 1;
    if (t.u16(e) != kOrientationTag) continue;
    if (t.u16(e + 2) != kTypeShort || t.u32(e + 4) < 1) return 1;
    const std::uint32_t v = t.u16(e + 8);
    return v >= 1 && v <= 8 ? static_cast<int>(v) : 1;
  }
  return 1;
}

// Walks the marker segments up to the first scan; the Exif segment lies among them. `jpeg` holds the
// first bytes of a file of `file_size`: nothing when the walk needs bytes beyond them.
std::optional<int> orientation_in_head(std::span<const std::uint8_t> jpeg, std::uint64_t file_size) {
  const auto past_head = [&](std::uint64_t end) { return end > jpeg.size() && end <= file_size; };
  if (past_head(4)) return std::nullopt;
  if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return 1;
  std::size_t at = 2;
  for (;;) {
    if (past_head(at + 4)) return std::nullopt;
    if (at + 4 > jpeg.size()) break;
    if (jpeg[at] != 0xFF) return 1;
    const std::uint8_t marker = jpeg[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) return 1;  // start of scan, end of image
    const std::size_t length = (jpeg[at + 2] << 8) | jpeg[at + 3];
    if (length >= 2 && past_head(at + 2 + length)) return std::nullopt;
    if (length < 2 || at + 2 + length > jpeg.size()) return 1;
    const auto payload = jpeg.subspan(at + 4, length - 2);
    constexpr std::uint8_t kExif[] = {'E', 'x', 'i', 'f', 0, 0};
    if (marker == 0xE1 && payload.size() >= sizeof kExif &&
        std::equal(std::begin(kExif), std::end(kExif), payload.begin())) {
      return orientation_in_tiff(payload.subspan(sizeof kExif));
    }
    at += 2 + length;
  }
  return 1;
}

}  // namespace

int exif_orientation(int fd, std::uint64_t size) {
  std::vector<std::uint8_t> head;
  for (std::size_t want = kFirstHeadBytes;; want *= 2) {
    const std::size_t had = head.size();
    const auto bigger = static_cast<std::size_t>(std::min<std::uint64_t>(want, size));
    admit_memory(bigger);  // a file of nothing but segments before its scan is held whole
    memory_guarded([&] { head.resize(bigger); });
    if (!read_at(fd, head.data() + had, head.size() - had, had)) return 1;
    if (const std::optional<int> found = orientation_in_head(head, size)) return *found;
  }
}

StoredPixel stored_pixel(int orientation, std::int64_t x, std::int64_t y, std::int64_t width,
                         std::int64_t height) {
  switch (orientation) {
    case 2:  // mirrored left to right
      return {width - 1 - x, y};
    case 3:  // turned half round
      return {width - 1 - x, height - 1 - y};
    case 4:  // mirrored top to bottom
      return {x, height - 1 - y};
    case 5:  // transposed
      return {y, x};
    case 6:  // to be turned a quarter clockwise
      return {y, height - 1 - x};
    case 7:  // transversed
      return {width - 1 - y, height - 1 - x};
    case 8:  // to be turned a quarter anticlockwise
      return {width - 1 - y, x};
    default:
      return {x, y};
  }
}

}  // namespace vimbrel
