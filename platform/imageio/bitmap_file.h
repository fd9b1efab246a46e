// Windows bitmap files: reading every layout the reader knows, writing 24-bit files.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/imageio/bmp_writer.h"
#include "platform/imageio/converted_picture.h"
#include "platform/imageio/picture_source.h"
#include "platform/pixels/bitmap.h"

namespace vimbrel {

// Reads a bitmap file. Throws RuntimeError: 53 missing, 75 when it cannot be opened (no permission),
// 481 unreadable or refused, 7 when its pixels cannot be allocated. The header's size is checked
// against the file and memory first. The pixels of `converted` are taken instead of the file's while
// the file is still the one the converter wrote.
Bitmap read_bitmap_file(const std::string& path, ConvertedPicture converted = {});

// The bitmap file as a picture read when needed, for the plain uncompressed 24- and 32-bit layouts
// (bottom-up or top-down); null for every other layout, which read_bitmap_file() reads. Throws what
// read_bitmap_file() throws for a missing file or a refused header.
std::shared_ptr<PictureSource> open_bitmap_source(const std::string& path);

// Writes a 24-bit bitmap file. An existing file is replaced only by a complete new one (written
// beside it, then renamed over it); a link is written through to the file it names; a file made
// read-only is kept and refused with 75. Throws RuntimeError 75 when the file cannot be written (also for
// a picture without pixels), 7 when no buffer can be had.
void write_bitmap_file(const Bitmap& bitmap, const std::string& path);

// Paints the rows [first_row, first_row + strip.height()) of a picture into `strip`.
using StripPainter = std::function<void(Bitmap& strip, std::int64_t first_row)>;
inline constexpr std::int64_t kPaintedStripRows = 64;

// The same for a width × height picture that is painted a strip of rows at a time as it is written,
// so that the whole picture never has to be held in memory.
void write_bitmap_file(std::int64_t width, std::int64_t height, const StripPainter& paint,
                       const std::string& path);
// The same from rows of B, G, R bytes, made top-down as they are written: the bytes of the file.
void write_bitmap_file(std::int64_t width, std::int64_t height, const Bmp24RowSource& row,
                       const std::string& path);

}  // namespace vimbrel
