// The Windows bitmap file layout: checking a header before anything is allocated, the 24-bit header
// this program writes, and the row conversions between file rows and Bitmap pixels.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vimbrel {

// The file header and the largest info header (version 5) that the check looks at.
inline constexpr std::size_t kBmpFileHeaderSize = 14;
inline constexpr std::size_t kBmpHeadBytes = kBmpFileHeaderSize + 124;

// What the headers of a bitmap file claim, once they passed check_bmp_header().
struct BmpLayout {
  std::int64_t width = 0;
  std::int64_t height = 0;  // always positive; `top_down` tells the row order
  bool top_down = false;
  int bits = 0;
  std::uint32_t compression = 0;
  std::uint32_t info_size = 0;
  std::uint64_t pixel_offset = 0;
  std::uint64_t row_stride = 0;  // uncompressed layouts only
  // Bytes from the start of the file that a reader needs at most (never more than the file holds).
  std::uint64_t bytes_needed = 0;
  bool plain_planes = false;

  std::uint64_t pixel_count() const { return static_cast<std::uint64_t>(width) * height; }
  // Plain uncompressed 24- or 32-bit rows with a Windows info header: read without Qt.
  bool direct() const;
};

// Checks the headers (`head` holds the first bytes of the file, up to kBmpHeadBytes) against the
// size of the file: a claimed size that the file's data cannot hold, a layout the format forbids or
// an unknown header is refused with RuntimeError 481. Memory is not checked here.
BmpLayout check_bmp_header(std::span<const std::uint8_t> head, std::uint64_t file_size);

// Bytes of one row of a 24-bit file: three a pixel, padded to a multiple of four.
inline std::size_t bmp24_stride(std::int64_t width) {
  return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
}
inline constexpr std::size_t kBmp24HeaderSize = 54;

// The 54-byte header of a bottom-up 24-bit BI_RGB file of width × height.
std::array<std::uint8_t, kBmp24HeaderSize> make_bmp24_header(std::int64_t width, std::int64_t height);

// Row conversions. Pixels are 0xFFRRGGBB; file rows are B, G, R (24-bit) or B, G, R, unused (32-bit).
void bgr24_to_pixels(const std::uint8_t* src, std::uint32_t* dst, std::size_t count);
void bgrx32_to_pixels(const std::uint8_t* src, std::uint32_t* dst, std::size_t count);
void pixels_to_bgr24(const std::uint32_t* src, std::uint8_t* dst, std::size_t count);

}  // namespace vimbrel
