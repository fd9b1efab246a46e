#include "platform/pixels/bitmap.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>

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

namespace {

// Pictures from this size on are given huge pages where the system offers them (on request): one
// fault then brings in 2 MiB instead of 4 KiB, which makes a fresh picture about twice as quick to fill
// and to give back.
constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;
constexpr std::size_t kHugePagePictureBytes = 4 * kHugePageBytes;

std::uint32_t* allocate_pixels(std::size_t count) {
  const std::size_t bytes = std::max<std::size_t>(count, 1) * sizeof(std::uint32_t);
  if (bytes < kHugePagePictureBytes) return static_cast<std::uint32_t*>(std::malloc(bytes));
  const std::size_t whole = (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
  void* p = std::aligned_alloc(kHugePageBytes, whole);
  if (p != nullptr) static_cast<void>(::madvise(p, whole, MADV_HUGEPAGE));  // advice only
  return static_cast<std::uint32_t*>(p);
}

}  // namespace

void Bitmap::Release::operator()(std::uint32_t* p) const {
  std::free(p);  // NOLINT(cppcoreguidelines-no-malloc): pairs with allocate_pixels()
}

void Bitmap::allocate() {
  if (allocated()) return;
  pixels_.reset(allocate_pixels(pixel_count()));
  if (!pixels_) throw RuntimeError{errc::kOutOfMemory};
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
