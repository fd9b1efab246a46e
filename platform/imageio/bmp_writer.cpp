#include "platform/imageio/bmp_writer.h"

#include <algorithm>

#include "platform/imageio/bmp_format.h"
#include "platform/imageio/file_io.h"
#include "platform/pixels/runtime_error.h"

namespace vimbrel {

std::size_t bmp24_strip_rows(std::int64_t width) {
  return std::max<std::size_t>(1, kBmpStripBytes / bmp24_stride(width));
}

std::unique_ptr<std::uint8_t[]> allocate_zeroed(std::size_t bytes) {
  return memory_guarded([&] { return std::make_unique<std::uint8_t[]>(bytes); });
}

bool write_bmp24(int fd, std::int64_t width, std::int64_t height, const Bmp24RowSource& row) {
  const auto header = make_bmp24_header(width, height);
  if (!write_all(fd, header.data(), header.size())) return false;
  const std::size_t stride = bmp24_stride(width);
  const std::size_t strip_rows = bmp24_strip_rows(width);
  const auto strip = allocate_zeroed(stride * strip_rows);
  // The file holds the bottom row first: walk the picture upwards, a strip at a time.
  for (std::int64_t y = height; y > 0;) {
    const auto n = static_cast<std::int64_t>(std::min<std::size_t>(strip_rows, static_cast<std::size_t>(y)));
    for (std::int64_t k = 0; k < n; ++k) row(y - 1 - k, strip.get() + static_cast<std::size_t>(k) * stride);
    if (!write_all(fd, strip.get(), static_cast<std::size_t>(n) * stride)) return false;
    y -= n;
  }
  return true;
}

std::uint64_t bmp24_row_offset(std::int64_t width, std::int64_t height, std::int64_t y) {
  return kBmp24HeaderSize + static_cast<std::uint64_t>(height - 1 - y) * bmp24_stride(width);
}

}  // namespace vimbrel
