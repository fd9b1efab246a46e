#include "platform/imageio/bmp_palette.h"

#include "platform/pixels/runtime_error.h"
#include "platform/system/file_io.h"

namespace vimbrel {

namespace {

constexpr std::uint32_t kOpaqueBlack = 0xFF000000u, kOpaqueWhite = 0xFFFFFFFFu;

std::uint32_t u32(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Header sizes whose colour table sits right after the header, where every reader looks for it.
// A version 5 header whose reserved field is set is left to Qt, which refuses it.
bool plain_table_header(std::span<const std::uint8_t> head, std::uint32_t info_size) {
  constexpr std::size_t kV5Reserved = kBmpFileHeaderSize + 120;
  if (info_size == 124) return head.size() >= kV5Reserved + 4 && u32(head, kV5Reserved) == 0;
  return info_size == 12 || info_size == 40 || info_size == 108;
}

}  // namespace

std::optional<BmpPalette> read_direct_palette(int fd, std::span<const std::uint8_t> head,
                                              const BmpLayout& l) {
  constexpr std::uint32_t kRgb = 0;
  if ((l.bits != 1 && l.bits != 4 && l.bits != 8) || l.compression != kRgb || !l.plain_planes) return {};
  if (!plain_table_header(head, l.info_size)) return {};
  constexpr std::size_t kColoursUsed = kBmpFileHeaderSize + 32;
  const std::uint32_t used = l.info_size == 12 ? 0 : u32(head, kColoursUsed);
  const std::uint32_t count = used != 0 ? used : 1u << l.bits;
  const std::uint64_t entry = l.info_size == 12 ? 3 : 4;  // B, G, R (and an unused byte)
  const std::uint64_t table = kBmpFileHeaderSize + l.info_size;
  if (count > 256 || table + count * entry > l.pixel_offset) return {};

  std::array<std::uint8_t, 256 * 4> bytes{};
  if (!read_at(fd, bytes.data(), count * entry, table))
    throw RuntimeError{errc::kInvalidPicture, "the BMP colour table could not be read"};
  BmpPalette p;
  p.bits = l.bits;
  p.colours.fill(kOpaqueBlack);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t* c = &bytes[i * entry];
    p.colours[i] = kOpaqueBlack | std::uint32_t{c[2]} << 16 | std::uint32_t{c[1]} << 8 | c[0];
  }
  if (l.bits == 1 && count == 1) p.colours[1] = kOpaqueWhite;
  return p;
}

void indexed_to_pixels(const BmpPalette& palette, const std::uint8_t* src, std::uint32_t* dst,
                       std::size_t count) {
  const auto& colour = palette.colours;
  switch (palette.bits) {
    case 8:
      for (std::size_t i = 0; i < count; ++i) dst[i] = colour[src[i]];
      break;
    case 4:
      for (std::size_t i = 0; i < count; ++i) dst[i] = colour[(src[i / 2] >> (i % 2 ? 0 : 4)) & 0x0F];
      break;
    default:
      for (std::size_t i = 0; i < count; ++i) dst[i] = colour[(src[i / 8] >> (7 - i % 8)) & 1];
      break;
  }
}

}  // namespace vimbrel
