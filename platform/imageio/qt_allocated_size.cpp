#include "platform/imageio/qt_allocated_size.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/imageio/piece_reader.h"
#include "platform/system/file_io.h"

namespace vimbrel {

namespace {

std::uint64_t le16(const std::uint8_t* p) {
  return p[0] | std::uint64_t{p[1]} << 8;
}
std::uint64_t le32(const std::uint8_t* p) {
  return le16(p) | le16(p + 2) << 16;
}
std::uint64_t be32(const std::uint8_t* p) {
  return std::uint64_t{p[0]} << 24 | std::uint64_t{p[1]} << 16 | std::uint64_t{p[2]} << 8 | p[3];
}

// Qt's GIF reader makes its picture the logical screen's size, unless that is absurdly larger than
// the first frame (ten times, and over 163840), when it takes the frame's extent from the origin.
// Either way the picture covers the first frame's extent and, when believed, the screen.
PictureSize gif_size(int fd, std::uint64_t size) {
  std::array<std::uint8_t, 13> head{};
  if (size < head.size() || !read_at(fd, head.data(), head.size(), 0)) return {};
  const PictureSize screen{le16(&head[6]), le16(&head[8])};
  PieceReader in(fd, size);
  in.skip(head.size() + (head[10] & 0x80 ? 3u << ((head[10] & 7) + 1) : 0));
  int block = in.next();
  for (; block == 0x21; block = in.next()) {  // extensions before the frame
    in.next();                                // its label
    for (int n = in.next(); n > 0; n = in.next()) in.skip(static_cast<std::uint64_t>(n));
  }
  if (block != 0x2C) return screen;      // no frame: Qt's reader makes no picture
  std::array<std::uint64_t, 8> frame{};  // left, top, width, height as pairs of bytes
  for (auto& b : frame) {
    const int v = in.next();
    if (v == PieceReader::kEnd) return screen;
    b = static_cast<std::uint64_t>(v);
  }
  const std::uint64_t left = frame[0] | frame[1] << 8, top = frame[2] | frame[3] << 8;
  const std::uint64_t w = frame[4] | frame[5] << 8, h = frame[6] | frame[7] << 8;
  const bool wide_believed = screen.width > 0 && screen.width / 10 <= std::max<std::uint64_t>(w, 16384);
  const bool high_believed = screen.height > 0 && screen.height / 10 <= std::max<std::uint64_t>(h, 16384);
  return {std::max(wide_believed ? screen.width : 0, left + w),
          std::max(high_believed ? screen.height : 0, top + h)};
}

// One ICO entry's picture: an embedded PNG's header size; a bitmap is the entry's size (0 for 256),
// which Qt's reader never lets exceed 256 × 256.
PictureSize ico_entry_size(int fd, std::uint64_t size, const std::uint8_t* entry) {
  const PictureSize listed{entry[0] ? entry[0] : 256u, entry[1] ? entry[1] : 256u};
  static constexpr std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::array<std::uint8_t, 24> image{};  // the PNG signature and its IHDR chunk's sizes
  const std::uint64_t offset = le32(entry + 12);
  if (offset + image.size() > size || !read_at(fd, image.data(), image.size(), offset)) return listed;
  if (std::memcmp(image.data(), kPng, sizeof kPng) != 0) return listed;
  return {be32(&image[16]), be32(&image[20])};
}

PictureSize ico_size(int fd, std::uint64_t size) {
  std::array<std::uint8_t, 6> head{};
  if (size < head.size() || !read_at(fd, head.data(), head.size(), 0)) return {};
  const std::uint64_t count = std::min(le16(&head[4]), (size - head.size()) / 16);
  PictureSize largest;
  for (std::uint64_t i = 0; i < count; ++i) {
    std::array<std::uint8_t, 16> entry{};
    if (!read_at(fd, entry.data(), entry.size(), head.size() + i * entry.size())) break;
    const PictureSize s = ico_entry_size(fd, size, entry.data());
    if (s.pixels() > largest.pixels()) largest = s;
  }
  return largest;
}

}  // namespace

PictureSize qt_allocated_size(int fd, std::uint64_t size, std::string_view format, PictureSize reported) {
  PictureSize own;
  if (format == "gif") own = gif_size(fd, size);
  if (format == "ico" || format == "cur") own = ico_size(fd, size);
  return own.pixels() > reported.pixels() ? own : reported;
}

}  // namespace vimbrel
