#include "platform/bitmap_file.h"

#include <QImage>
#include <QImageReader>
#include <QString>

#include <filesystem>

#include "platform/runtime_error.h"

namespace vimbrel {

Bitmap read_bitmap_file(const std::string& path) {
  if (!std::filesystem::is_regular_file(path)) throw RuntimeError{errc::kFileNotFound};
  QImageReader reader(QString::fromStdString(path), "bmp");
  QImage img = reader.read();
  if (img.isNull()) throw RuntimeError{errc::kInvalidPicture};
  img = img.convertToFormat(QImage::Format_RGB32);
  Bitmap b = Bitmap::create_uninitialised(img.width(), img.height());
  for (int y = 0; y < img.height(); ++y) {
    const auto* src = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
    std::copy(src, src + img.width(), b.row(y));
  }
  return b;
}

void write_bitmap_file(const Bitmap& bitmap, const std::string& path) {
  QImage img(reinterpret_cast<const uchar*>(bitmap.pixels().data()), bitmap.width(), bitmap.height(),
             bitmap.width() * 4, QImage::Format_RGB32);
  if (!img.convertToFormat(QImage::Format_RGB888).save(QString::fromStdString(path), "BMP")) {
    throw RuntimeError{errc::kPathAccess};
  }
}

}  // namespace vimbrel
