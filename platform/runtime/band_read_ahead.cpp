#include "platform/runtime/band_read_ahead.h"

namespace vimbrel {

BandReadAhead::BandReadAhead(PictureSource& file, RowsOf rows_of, std::int64_t strips, bool bgr)
    : file_(file), rows_of_(std::move(rows_of)), strips_(strips), bgr_(bgr), ring_(kAhead) {
  thread_ = std::jthread([this] { read_all(); });
}

BandReadAhead::~BandReadAhead() {
  {
    const std::lock_guard lock(m_);
    stop_ = true;
  }
  changed_.notify_all();
}

void BandReadAhead::read_all() {
  for (std::int64_t strip = 0; strip < strips_; ++strip) {
    {
      // The slot of `strip` is free once the band kAhead strips before it was given up.
      std::unique_lock lock(m_);
      changed_.wait(lock, [&] { return stop_ || strip - taken_ < kAhead; });
      if (stop_) return;
    }
    Slot& slot = ring_[static_cast<std::size_t>(strip % static_cast<std::int64_t>(ring_.size()))];
    try {
      const auto [first, last] = rows_of_(strip);
      slot.band = slot.buffers.read(file_, first, last - first, bgr_);
    } catch (...) {
      const std::lock_guard lock(m_);
      failed_ = std::current_exception();
      failed_at_ = strip;
      changed_.notify_all();
      return;
    }
    const std::lock_guard lock(m_);
    read_ = strip + 1;
    changed_.notify_all();
  }
}

SourceBand BandReadAhead::band(std::int64_t strip) {
  std::unique_lock lock(m_);
  // The band before this one is given up now.
  taken_ = strip;
  changed_.notify_all();
  changed_.wait(lock, [&] { return read_ > strip || failed_at_ >= 0; });
  if (read_ <= strip) std::rethrow_exception(failed_);
  return ring_[static_cast<std::size_t>(strip % static_cast<std::int64_t>(ring_.size()))].band;
}

}  // namespace vimbrel
