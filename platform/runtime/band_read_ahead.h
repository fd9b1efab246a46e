// The bands of one picture left in its file, read on a thread of their own a few strips ahead of
// the save that paints from them: the decoders of both pictures then run at once, and neither waits
// for the other at every strip.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/imageio/picture_source.h"
#include "platform/runtime/source_band.h"

namespace vimbrel {

class BandReadAhead {
 public:
  // The rows [first, last) that strip `strip` reads (first >= last: none); they lie in the picture,
  // and each strip's rows follow the last ones read.
  using RowsOf = std::function<std::pair<std::int64_t, std::int64_t>(std::int64_t strip)>;

  // Starts reading the bands of strips [0, strips), as pixels or as B, G, R bytes. Throws
  // std::system_error without a thread.
  BandReadAhead(PictureSource& file, RowsOf rows_of, std::int64_t strips, bool bgr);
  // Stops reading and waits for the thread.
  ~BandReadAhead();
  BandReadAhead(const BandReadAhead&) = delete;
  BandReadAhead& operator=(const BandReadAhead&) = delete;

  // The band of `strip`; empty when the strip reads none. Strips are asked for in order; a strip's
  // band stays valid until the next one is asked for. Throws what reading it threw.
  SourceBand band(std::int64_t strip);

 private:
  static constexpr std::int64_t kAhead = 3;  // bands held at most: the one taken and those read after it
  struct Slot {
    BandBuffers buffers;
    SourceBand band;
  };
  void read_all();

  PictureSource& file_;
  RowsOf rows_of_;
  std::int64_t strips_;
  bool bgr_;
  std::vector<Slot> ring_;
  std::mutex m_;
  std::condition_variable changed_;
  std::int64_t read_ = 0;   // strips read
  std::int64_t taken_ = 0;  // strips whose band the reader may overwrite
  bool stop_ = false;
  std::exception_ptr failed_;
  std::int64_t failed_at_ = -1;
  std::jthread thread_;
};

}  // namespace vimbrel
