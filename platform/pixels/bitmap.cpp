#include "platform/pixels/bitmap.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <limits>

#include "platform/pixels/runtime_error.h"

namespace vimbrel {

bool fits_in_memory(std::uint64_t bytes) {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page_size = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || page_size <= 0) return bytes <= (std::uint64_t{1} << 32);
  return bytes <= static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page_size);
}

Bitmap Bitmap::unallocated(std::int64_t width, std::int64_t height) {
  constexpr std::int64_t kMaxSide = std::numeric_limits<int>::max();
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)
    throw RuntimeError{errc::kOutOfMemory};
  const auto count = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  if (count > std::numeric_limits<std::size_t>::max() / 4 || !fits_in_memory(count * 4)) {
    throw RuntimeError{errc::kOutOfMemory};
  }
  Bitmap b;
  b.width_ = static_cast<int>(width);
  b.height_ = static_cast<int>(height);
  return b;
}

void Bitmap::allocate() {
  if (allocated()) return;
  pixels_ = memory_guarded([&] { return std::make_unique_for_overwrite<std::uint32_t[]>(pixel_count()); });
}

void Bitmap::prepare_rows(int first, int count) {
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto from = reinterpret_cast<std::uintptr_t>(row(first));
  const auto to = reinterpret_cast<std::uintptr_t>(row(first + count));
  const std::uintptr_t start = (from + page - 1) / page * page, end = to / page * page;
  if (end > start)
    static_cast<void>(::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE));
}

Bitmap Bitmap::create_uninitialised(std::int64_t width, std::int64_t height) {
  Bitmap b = unallocated(width, height);
  b.allocate();
  return b;
}

Bitmap Bitmap::create(std::int64_t width, std::int64_t height) {
  Bitmap b = create_uninitialised(width, height);
  std::ranges::fill(b.pixels(), 0xFF000000u);
  return b;
}

}  // namespace vimbrel
