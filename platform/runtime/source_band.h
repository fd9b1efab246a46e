// What a drawing painted a band of rows at a time reads of each of its sources.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/imageio/picture_source.h"
#include "platform/pixels/bitmap.h"

namespace vimbrel {

// The pixels of a source from (first_col, first_row) on: all of a picture held whole, from (0, 0), or
// a band of rows read from its file. A drawing painted as B, G, R bytes may get a band's rows as
// such bytes (`bgr`) instead, or the file its rows are read from span by span as they are painted
// (`spans`, from (0, 0)). None is set when it reads none.
struct SourceBand {
  const Bitmap* pixels = nullptr;
  std::int64_t first_row = 0, first_col = 0;
  Bgr24Rows bgr{};
  PictureSource* spans = nullptr;
  bool empty() const { return pixels == nullptr && bgr.data == nullptr && spans == nullptr; }
};

// The buffers rows are read into, kept from band to band.
struct BandBuffers {
  Bitmap pixels;
  std::vector<std::uint8_t> bytes;
  // Rows [first, first + count) of `file`, into these buffers: as pixels, or as B, G, R bytes.
  SourceBand read(PictureSource& file, std::int64_t first, std::int64_t count, bool bgr);
};

}  // namespace vimbrel
