#include "platform/imageio/qt_codecs.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <string>

#include "platform/imageio/bmp_writer.h"
#include "platform/imageio/picture_bounds.h"
#include "platform/imageio/qt_allocated_size.h"
#include "platform/imageio/qt_decoder.h"
#include "platform/pixels/runtime_error.h"
#include "platform/system/memory_admission.h"
#include "platform/system/write_file_beside.h"

namespace vimbrel {
namespace {

// A picture in another format that claims far more pixels than its bytes could describe (deflate
// and LZW stop near a thousand to one, for 1-bit pixels eight times that) is refused.
constexpr std::uint64_t kOtherPixelsPerByte = 8192;

Bitmap read_bitmap(std::span<const std::uint8_t> file, std::uint64_t pixels) {
  const auto data = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                            static_cast<qsizetype>(file.size()));
  const QtAllocationAllowance allowance(pixels * 4);
  const QImage image = read_qt_image(data, "bmp");
  if (image.isNull()) throw RuntimeError{errc::kInvalidPicture, "BMP data that Qt's reader refused"};
  return bitmap_from_qimage(image);
}

std::optional<Bitmap> read_other(int fd, std::uint64_t size) {
  QFile file;
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) return std::nullopt;
  QImageReader reader(&file);
  reader.setDecideFormatFromContent(true);
  reader.setAutoTransform(false);
  // Asked first: some readers no longer tell their format once they have read on.
  const std::string format = reader.format().toStdString();
  const std::string name = reader.format().toUpper().toStdString();
  // A JPEG is the bounded decoder's alone: Qt's would decode any number of scans.
  if (format == "jpeg") {
    throw RuntimeError{errc::kInvalidPicture,
                       "a JPEG that only Qt's reader would take (it has no bound on a JPEG's work)"};
  }
  const QSize reported = reader.size();
  if (!reported.isValid() || reported.isEmpty()) return std::nullopt;
  const PictureSize dimensions = qt_allocated_size(
      fd, size, format,
      {static_cast<std::uint64_t>(reported.width()), static_cast<std::uint64_t>(reported.height())});
  const std::uint64_t pixels = dimensions.pixels();
  if (pixels > size * kOtherPixelsPerByte + kSmallPicturePixels) {
    throw RuntimeError{errc::kInvalidPicture, name + " header claims " + std::to_string(dimensions.width) +
                                                  " × " + std::to_string(dimensions.height) +
                                                  " pixels but the file holds " + std::to_string(size) +
                                                  " bytes"};
  }
  // Qt's picture, its conversion, the Bitmap and the work file's strip.
  admit_memory(pixels * 12 + kBmpStripBytes);
  const QtAllocationAllowance allowance(pixels * 8);
  const QImage image = reader.read();
  if (image.isNull()) {
    throw RuntimeError{errc::kInvalidPicture,
                       name + " data that Qt's reader refused (" + reader.errorString().toStdString() + ")"};
  }
  return bitmap_from_qimage(image);
}

// The encoder takes a whole picture: it is held once, at three bytes a pixel.
void write_png(std::int64_t width, std::int64_t height, const RgbRowSource& row, const std::string& path) {
  if (width <= 0 || height <= 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
    throw RuntimeError{errc::kPathAccess};
  admit_memory(static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 3);
  QImage image = memory_guarded(
      [&] { return QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888); });
  if (image.isNull()) throw RuntimeError{errc::kOutOfMemory};
  for (std::int64_t y = 0; y < height; ++y) row(y, image.scanLine(static_cast<int>(y)));
  write_file_beside(path, [&](int fd, bool) {
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) return false;
    QImageWriter writer(&file, "png");
    return writer.write(image) && file.flush();
  });
}

}  // namespace

const QtCodecs& linked_qt_codecs() {
  static constexpr QtCodecs kCodecs{read_bitmap, read_other, write_png};
  return kCodecs;
}

}  // namespace vimbrel
