// Writing 24-bit bottom-up bitmap files from top-down rows, asked for in that order, a strip at a time, so
// that no buffer of the whole picture is needed (and none of its pages has to be faulted in).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace vimbrel {

// Fills `bgr` with row y (top-down) as B, G, R bytes; the row's padding is already zero.
using Bmp24RowSource = std::function<void(std::int64_t y, std::uint8_t* bgr)>;

// Bytes of the strip buffers: large enough for few system calls, small enough to stay in cache.
inline constexpr std::size_t kBmpStripBytes = std::size_t{1} << 20;

// Rows a strip buffer holds for this width (at least one).
std::size_t bmp24_strip_rows(std::int64_t width);

// Writes the header and every row to `fd` at their offsets from the file's start, the rows asked for
// top row first (strips are written in that order, each at its place in the bottom-up file). False on a
// write error. Throws RuntimeError 7 when the strip buffer cannot be allocated.
// `send_as_written` starts the disk writes of a large file while it is being written, for a file that
// will replace another by rename: the filesystem would otherwise flush it whole inside the rename.
bool write_bmp24(int fd, std::int64_t width, std::int64_t height, const Bmp24RowSource& row,
                 bool send_as_written = false);

// File offset of row y (top-down) in a bottom-up 24-bit file of this size.
std::uint64_t bmp24_row_offset(std::int64_t width, std::int64_t height, std::int64_t y);

// Room for `bytes`, zeroed; RuntimeError 7 when it cannot be had.
std::unique_ptr<std::uint8_t[]> allocate_zeroed(std::size_t bytes);

}  // namespace vimbrel
