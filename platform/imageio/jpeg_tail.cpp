#include "platform/imageio/jpeg_tail.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/pixels/runtime_error.h"
#include "platform/system/file_io.h"

namespace vimbrel {

std::string picture_warning(const std::string& path) {
  std::uint64_t size = 0;
  try {
    const UniqueFd fd = open_for_reading(path, size);
    std::array<std::uint8_t, 3> head{};
    if (size < 4 || !read_at(fd.get(), head.data(), head.size(), 0)) return {};
    if (head != std::array<std::uint8_t, 3>{0xFF, 0xD8, 0xFF}) return {};
    // Writers may pad a file after its end marker; padding is zeros or a run of 0xFF.
    std::array<std::uint8_t, 4096> tail{};
    const std::uint64_t n = std::min<std::uint64_t>(size, tail.size());
    if (!read_at(fd.get(), tail.data(), n, size - n)) return {};
    std::size_t end = n;
    while (end > 2 && (tail[end - 1] == 0x00 || (tail[end - 1] == 0xFF && tail[end - 2] == 0xFF))) --end;
    if (tail[end - 2] == 0xFF && tail[end - 1] == 0xD9) return {};
  } catch (const RuntimeError&) {
    return {};
  }
  return "the JPEG data ends before its end marker (a cut-off file?); it was loaded as far as it goes";
}

}  // namespace vimbrel
