// A picture file read only when its pixels are needed: its size is known from its header, its rows
// are read in order a band at a time, so that a picture that is only ever read in order is never
// held whole. The formats whose rows can be read that way make one (see open_bitmap_source() and
// open_jpeg_source()); every other picture is read whole when it is loaded.
#pragma once

#include <cstdint>

#include "platform/pixels/bitmap.h"

namespace vimbrel {

class PictureSource {
 public:
  virtual ~PictureSource() = default;
  virtual std::int64_t width() const = 0;
  virtual std::int64_t height() const = 0;
  // Bytes held while rows are read (decoder state and buffers), besides the bands themselves.
  virtual std::uint64_t held_bytes() const = 0;
  // Reads rows [first, first + band.height()) into `band`, which is width() wide. Rows before the
  // last ones read cost a new pass from the top. Throws RuntimeError (481 for data that turns out
  // broken or cut off, 7 for memory), so the picture is not the one a whole read would have given.
  virtual void read_rows(std::int64_t first, Bitmap& band) = 0;
  // The whole picture, exactly as reading the file at its load would have given it.
  virtual Bitmap whole() = 0;
};

}  // namespace vimbrel
