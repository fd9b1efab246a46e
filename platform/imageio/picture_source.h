// A picture file read only when its pixels are needed: its size is known from its header, its rows
// are read in order a band at a time, so that a picture that is only ever read in order is never
// held whole. The formats whose rows can be read that way make one (see open_bitmap_source() and
// open_jpeg_source()); every other picture is read whole when it is loaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/pixels/bitmap.h"
#include "platform/pixels/runtime_error.h"

namespace vimbrel {

// Rows of B, G, R bytes, as a 24-bit bitmap file holds them: row y at data + y * stride (the stride is
// negative for rows kept bottom-up).
struct Bgr24Rows {
  const std::uint8_t* data = nullptr;
  std::ptrdiff_t stride = 0;
  const std::uint8_t* row(std::int64_t y) const { return data + static_cast<std::ptrdiff_t>(y) * stride; }
};

class PictureSource {
 public:
  virtual ~PictureSource() = default;
  virtual std::int64_t width() const = 0;
  virtual std::int64_t height() const = 0;
  // Whether reading rows means decoding them: worth a thread of its own, where a file of plain rows
  // is read faster than threads take turns.
  virtual bool decodes() const = 0;
  // Reads rows [first, first + band.height()) into `band`, which is width() wide. Rows before the
  // last ones read cost a new pass from the top. Throws RuntimeError (481 for data that turns out
  // broken or cut off, 7 for memory), so the picture is not the one a whole read would have given.
  virtual void read_rows(std::int64_t first, Bitmap& band) = 0;
  // The same rows as B, G, R bytes (what read_rows() gives, less the fourth byte), read into `buffer`,
  // which grows as needed and is kept by the caller for the next read; where they lie in it. For a
  // file that holds such rows, no pixel is converted.
  virtual Bgr24Rows read_bgr24_rows(std::int64_t first, std::int64_t count,
                                    std::vector<std::uint8_t>& buffer) = 0;
  // Whether read_bgr24_span() reads a row's pixels from the file as they lie there, as cheaply a
  // row as a band of rows: they are then read straight to where they go.
  virtual bool reads_spans() const { return false; }
  // Reads pixels [x, x + n) of row y as B, G, R bytes into `out`; for a source that reads_spans().
  virtual void read_bgr24_span(std::int64_t /*y*/, std::int64_t /*x*/, std::int64_t /*n*/,
                               std::uint8_t* /*out*/) {
    throw RuntimeError{errc::kIllegalCall, "rows read span by span from a file that decodes them"};
  }
  // The whole picture, exactly as reading the file at its load would have given it.
  virtual Bitmap whole() = 0;
};

}  // namespace vimbrel
