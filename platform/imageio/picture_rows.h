// Pictures as the encoders take them: top-down rows of R, G, B bytes.
#pragma once

#include <cstdint>

#include "platform/imageio/bitmap_file.h"
#include "platform/imageio/qt_codecs.h"
#include "platform/pixels/bitmap.h"

namespace vimbrel {

void to_rgb(const std::uint32_t* pixels, std::uint8_t* rgb, std::int64_t width);

// The rows of `bitmap`.
RgbRowSource rows_of(const Bitmap& bitmap);

// The rows of a width × height picture painted a strip at a time as they are asked for, top-down:
// each strip is painted once, when its first row is asked for.
RgbRowSource top_down_rows(std::int64_t width, std::int64_t height, const StripPainter& paint);

}  // namespace vimbrel
