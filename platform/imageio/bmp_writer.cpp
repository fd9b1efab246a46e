#include "platform/imageio/bmp_writer.h"

#include <fcntl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <semaphore>
#include <system_error>
#include <thread>

#include "platform/imageio/bmp_format.h"
#include "platform/pixels/runtime_error.h"
#include "platform/system/file_io.h"

namespace vimbrel {

namespace {

// From this many strips on, the rows of one strip are made while the one before is written: on two
// cores the making (painting, converting) and the writing (copying into the page cache) overlap.
constexpr std::int64_t kOverlappedStrips = 4;
// Written bytes are sent to disk in pieces of this size, when asked to be. Small pieces leave less
// for the disk to write when the replaced file's blocks are freed, which waits behind those writes.
constexpr std::uint64_t kSendBytes = std::uint64_t{2} << 20;

// Makes the strips of a file's rows from the top of the picture down, so that what paints them reads
// its sources in order; each strip is written at its place in the bottom-up file.
struct StripMaker {
  std::int64_t height;
  std::size_t stride, strip_rows;
  const Bmp24RowSource& row;

  std::int64_t strips() const {
    return (height + static_cast<std::int64_t>(strip_rows) - 1) / static_cast<std::int64_t>(strip_rows);
  }
  std::int64_t top_of(std::int64_t i) const { return i * static_cast<std::int64_t>(strip_rows); }
  std::int64_t rows_of(std::int64_t i) const {
    return std::min<std::int64_t>(static_cast<std::int64_t>(strip_rows), height - top_of(i));
  }
  std::size_t bytes_of(std::int64_t i) const { return static_cast<std::size_t>(rows_of(i)) * stride; }
  // The file offset where strip i starts: its lowest row comes first in the file.
  std::uint64_t start_of(std::int64_t i) const {
    return kBmp24HeaderSize + static_cast<std::uint64_t>(height - top_of(i) - rows_of(i)) * stride;
  }
  void make(std::int64_t i, std::uint8_t* bgr) const {
    const std::int64_t n = rows_of(i);
    for (std::int64_t k = 0; k < n; ++k)
      row(top_of(i) + k, bgr + static_cast<std::size_t>(n - 1 - k) * stride);
  }
  bool write(int fd, std::int64_t i, const std::uint8_t* bgr) const {
    return write_at(fd, bgr, bytes_of(i), start_of(i));
  }
};

bool write_in_turn(int fd, const StripMaker& m) {
  const auto strip = allocate_zeroed(m.stride * m.strip_rows);
  for (std::int64_t i = 0; i < m.strips(); ++i) {
    m.make(i, strip.get());
    if (!m.write(fd, i, strip.get())) return false;
  }
  return true;
}

// Two strip buffers: this thread makes strips (the row source runs only here) while a second thread
// writes the one made before. Nothing is written out of order, and a failure on either side stops both.
// Sending written pages to disk, which can wait for the device, is left to this thread: the writer is
// the busier of the two.
class OverlappedWriter {
 public:
  OverlappedWriter(int fd, const StripMaker& m, bool send_as_written)
      : fd_(fd), m_(m), send_as_written_(send_as_written) {
    for (auto& b : buffers_) b = allocate_zeroed(m.stride * m.strip_rows);
  }

  bool run() {
    std::jthread writer;
    try {
      writer = std::jthread([this] { write_strips(); });
    } catch (const std::system_error&) {
      return write_in_turn(fd_, m_);
    }
    const StopWriterOnExit stop{*this};
    for (std::int64_t i = 0; i < m_.strips(); ++i) {
      free_[i % 2].acquire();  // strip i - 2 is written
      if (write_failed_) return false;
      if (send_as_written_ && i >= 2) send_down_to(m_.start_of(i - 2));
      m_.make(i, buffers_[i % 2].get());
      made_[i % 2].release();
    }
    writer.join();
    return !write_failed_;
  }

 private:
  // However making ends (a throw included), the writer is told to stop rather than left waiting.
  struct StopWriterOnExit {
    OverlappedWriter& w;
    ~StopWriterOnExit() {
      w.stopped_ = true;
      for (auto& s : w.made_) s.release();
    }
  };

  void write_strips() {
    for (std::int64_t i = 0; i < m_.strips(); ++i) {
      made_[i % 2].acquire();
      if (stopped_) return;
      if (!m_.write(fd_, i, buffers_[i % 2].get())) {
        write_failed_ = true;
        for (auto& s : free_) s.release();
        return;
      }
      free_[i % 2].release();
    }
  }

  // Only a request: the disk writes go on in the background, and a failure shows when the file is
  // closed. What is left unsent at the end goes with the rename. The file fills from its end.
  void send_down_to(std::uint64_t start) {
    if (sent_ == 0) sent_ = m_.start_of(0) + m_.bytes_of(0);
    if (sent_ - start < kSendBytes) return;
    static_cast<void>(::sync_file_range(fd_, static_cast<off_t>(start), static_cast<off_t>(sent_ - start),
                                        SYNC_FILE_RANGE_WRITE));
    sent_ = start;
  }

  int fd_;
  const StripMaker m_;
  bool send_as_written_;
  std::uint64_t sent_ = 0;  // file offset from which on everything was sent; 0 before the first
  std::array<std::unique_ptr<std::uint8_t[]>, 2> buffers_;
  // Counting, not binary: stopping releases a semaphore that may already be free.
  using Semaphore = std::counting_semaphore<2>;
  std::array<Semaphore, 2> free_{Semaphore{1}, Semaphore{1}};
  std::array<Semaphore, 2> made_{Semaphore{0}, Semaphore{0}};
  std::atomic<bool> write_failed_{false}, stopped_{false};
};

}  // namespace

std::size_t bmp24_strip_rows(std::int64_t width) {
  return std::max<std::size_t>(1, kBmpStripBytes / bmp24_stride(width));
}

std::unique_ptr<std::uint8_t[]> allocate_zeroed(std::size_t bytes) {
  return memory_guarded([&] { return std::make_unique<std::uint8_t[]>(bytes); });
}

bool write_bmp24(int fd, std::int64_t width, std::int64_t height, const Bmp24RowSource& row,
                 bool send_as_written) {
  const auto header = make_bmp24_header(width, height);
  if (!write_at(fd, header.data(), header.size(), 0)) return false;
  // The rows are written at their offsets; the file then ends where its last row does.
  const StripMaker whole{height, bmp24_stride(width), bmp24_strip_rows(width), row};
  if (whole.strips() < kOverlappedStrips) return write_in_turn(fd, whole);
  // Two buffers of half a strip each hold no more than one strip did.
  StripMaker halves = whole;
  halves.strip_rows = std::max<std::size_t>(1, whole.strip_rows / 2);
  return OverlappedWriter(fd, halves, send_as_written).run();
}

std::uint64_t bmp24_row_offset(std::int64_t width, std::int64_t height, std::int64_t y) {
  return kBmp24HeaderSize + static_cast<std::uint64_t>(height - 1 - y) * bmp24_stride(width);
}

}  // namespace vimbrel
