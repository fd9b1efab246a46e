#include "platform/imageio/picture_file.h"

#include <algorithm>
#include <cctype>

#include "platform/imageio/picture_rows.h"
#include "platform/imageio/png_file.h"
#include "platform/pixels/runtime_error.h"

namespace vimbrel {

PictureType picture_type_of(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return PictureType::kBmp;
  std::string ext = path.substr(dot);
  std::ranges::transform(ext, ext.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == ".png") return PictureType::kPng;
  if (ext == ".jpg" || ext == ".jpeg") return PictureType::kJpeg;
  return PictureType::kBmp;
}

void write_picture_file(const Bitmap& bitmap, const std::string& path, int jpeg_quality) {
  switch (picture_type_of(path)) {
    case PictureType::kPng:
      return write_png_file(bitmap, path);
    case PictureType::kJpeg:
      return write_jpeg(bitmap.width(), bitmap.height(), rows_of(bitmap), path, jpeg_quality);
    case PictureType::kBmp:
      return write_bitmap_file(bitmap, path);
  }
}

void write_picture_file(std::int64_t width, std::int64_t height, const StripPainter& paint,
                        const std::string& path, int jpeg_quality) {
  switch (picture_type_of(path)) {
    case PictureType::kPng:
      return write_png_file(width, height, paint, path);
    case PictureType::kJpeg:
      if (width <= 0 || height <= 0) throw RuntimeError{errc::kPathAccess};
      return write_jpeg(width, height, top_down_rows(width, height, paint), path, jpeg_quality);
    case PictureType::kBmp:
      return write_bitmap_file(width, height, paint, path);
  }
}

}  // namespace vimbrel
