// The uncompressed 1-, 4- and 8-bit layouts read directly, at any size that fits in memory: their
// colour table, and their rows looked up in it. The results equal Qt's reader's, which keeps reading
// the rarer headers of these layouts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/imageio/bmp_format.h"

namespace vimbrel {

struct BmpPalette {
  int bits = 8;
  // 0xFFRRGGBB for every index a pixel can hold; an index past the file's table gives what Qt's
  // reader gives for it (black, or white for the second colour of a 1-bit picture with one).
  std::array<std::uint32_t, 256> colours{};
};

// The colour table when the direct reader takes the layout: uncompressed 1, 4 or 8 bits a pixel, an
// OS/2 version 1 or a Windows version 3, 4 or 5 header, a table of at most 256 colours that lies
// wholly before the pixels. Nothing for any other layout. Throws RuntimeError 481 when the table
// cannot be read.
std::optional<BmpPalette> read_direct_palette(int fd, std::span<const std::uint8_t> head, const BmpLayout& l);

// One file row of `count` indexes, most significant bits first, as pixels.
void indexed_to_pixels(const BmpPalette& palette, const std::uint8_t* src, std::uint32_t* dst,
                       std::size_t count);

}  // namespace vimbrel
