// Writing PNG files (24-bit RGB, no alpha) with Qt's writer.
#pragma once

#include <cstdint>
#include <string>

#include "platform/imageio/bitmap_file.h"
#include "platform/pixels/bitmap.h"

namespace vimbrel {

// Writes a PNG file the way write_bitmap_file writes a bitmap file: beside the target, then renamed
// over it. Throws RuntimeError 75 when the file cannot be written (also for a picture without pixels),
// 7 when the picture cannot be held for the encoder.
void write_png_file(const Bitmap& bitmap, const std::string& path);
void write_png_file(std::int64_t width, std::int64_t height, const StripPainter& paint,
                    const std::string& path);

}  // namespace vimbrel
