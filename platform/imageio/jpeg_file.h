// Writing JPEG files through libjpeg-turbo, a row at a time, with its default 4:2:0 sampling.
#pragma once

#include <cstdint>
#include <string>

#include "platform/imageio/qt_codecs.h"

namespace vimbrel {

inline constexpr int kDefaultJpegQuality = 92;
inline constexpr std::int64_t kMaxJpegSide = 65535;

// Writes a JPEG file of rows from `row` (top-down, R, G, B) at `quality` (1 to 100), beside `path`
// and then renamed over it. Throws RuntimeError 75 when the picture is larger than JPEG allows
// (65535 pixels a side; nothing is written then) or the file cannot be written.
void write_jpeg(std::int64_t width, std::int64_t height, const RgbRowSource& row, const std::string& path,
                int quality);

}  // namespace vimbrel
