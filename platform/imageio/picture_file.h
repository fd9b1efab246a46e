// The saved picture's file type, chosen by its name: PNG, JPEG, or a 24-bit Windows bitmap.
#pragma once

#include <cstdint>
#include <string>

#include "platform/imageio/bitmap_file.h"
#include "platform/imageio/jpeg_file.h"
#include "platform/pixels/bitmap.h"

namespace vimbrel {

enum class PictureType { kBmp, kPng, kJpeg };

// ".png" in any case is PNG, ".jpg" and ".jpeg" JPEG, any other name a bitmap.
PictureType picture_type_of(const std::string& path);

// Writes the file of that type, beside the target and then renamed over it (see write_bitmap_file).
void write_picture_file(const Bitmap& bitmap, const std::string& path,
                        int jpeg_quality = kDefaultJpegQuality);
void write_picture_file(std::int64_t width, std::int64_t height, const StripPainter& paint,
                        const std::string& path, int jpeg_quality = kDefaultJpegQuality);

}  // namespace vimbrel
