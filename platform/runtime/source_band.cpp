#include "platform/runtime/source_band.h"

namespace vimbrel {

SourceBand BandBuffers::read(PictureSource& file, std::int64_t first, std::int64_t count, bool bgr) {
  if (count <= 0) return {};
  if (bgr) return {nullptr, first, 0, file.read_bgr24_rows(first, count, bytes)};
  if (pixels.width() != file.width() || pixels.height() != count)
    pixels = Bitmap::create_uninitialised(file.width(), count);
  file.read_rows(first, pixels);
  return {&pixels, first, 0};
}

}  // namespace vimbrel
