// An in-memory picture: 32 bits a pixel, 0xFFRRGGBB, rows contiguous and unpadded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace vimbrel {

class Bitmap {
 public:
  Bitmap() = default;
  // Throws RuntimeError{7} when the pixels cannot be allocated (also for sizes that would overflow).
  // The new pixels are black.
  static Bitmap create(std::int64_t width, std::int64_t height);
  // As create(), but the pixels are left as they come from the allocator.
  static Bitmap create_uninitialised(std::int64_t width, std::int64_t height);
  // A picture whose size is checked as create() checks it but whose pixels are not allocated until
  // allocate(): fresh pages cost time to touch, and many pictures are painted later or never read.
  static Bitmap unallocated(std::int64_t width, std::int64_t height);
  bool allocated() const { return pixels_ != nullptr || pixel_count() == 0; }
  // Gives an unallocated picture its pixels, as they come from the allocator; RuntimeError 7 if it can't.
  void allocate();
  // Brings in the memory of rows [first, first + count) with one system call, ahead of writing them,
  // instead of a page fault for each page. Only advice: nothing happens where the system declines.
  void prepare_rows(int first, int count);

  Bitmap(Bitmap&&) noexcept = default;
  Bitmap& operator=(Bitmap&&) noexcept = default;
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  std::size_t pixel_count() const { return static_cast<std::size_t>(width_) * height_; }
  bool empty() const { return width_ == 0 || height_ == 0; }

  std::uint32_t* row(int y) { return pixels_.get() + static_cast<std::size_t>(y) * width_; }
  const std::uint32_t* row(int y) const { return pixels_.get() + static_cast<std::size_t>(y) * width_; }
  std::uint32_t& at(int x, int y) { return row(y)[x]; }
  std::uint32_t at(int x, int y) const { return row(y)[x]; }
  std::span<std::uint32_t> pixels() { return {pixels_.get(), pixel_count()}; }
  std::span<const std::uint32_t> pixels() const { return {pixels_.get(), pixel_count()}; }

 private:
  std::unique_ptr<std::uint32_t[]> pixels_;
  int width_ = 0;
  int height_ = 0;
};

// True when `bytes` more can plausibly be held in memory; checked before any large allocation.
bool fits_in_memory(std::uint64_t bytes);

}  // namespace vimbrel
