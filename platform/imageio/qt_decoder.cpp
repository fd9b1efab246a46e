#include "platform/imageio/qt_decoder.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <limits>

#include "platform/pixels/runtime_error.h"

namespace vimbrel {

QtAllocationAllowance::QtAllocationAllowance(std::uint64_t bytes)
    : previous_(QImageReader::allocationLimit()) {
  constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
  const std::uint64_t wanted = bytes / kMiB + 1;
  if (previous_ == 0) return;  // already unlimited
  if (wanted > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) {
    QImageReader::setAllocationLimit(0);
  } else if (wanted > static_cast<std::uint64_t>(previous_)) {
    QImageReader::setAllocationLimit(static_cast<int>(wanted));
  }
}

QtAllocationAllowance::~QtAllocationAllowance() {
  QImageReader::setAllocationLimit(previous_);
}

QImage read_qt_image(const QByteArray& data, const char* format) {
  QByteArray shared = data;  // QBuffer wants a non-const array; this shares the bytes
  QBuffer buffer(&shared);
  if (!buffer.open(QIODevice::ReadOnly)) return {};
  QImageReader reader(&buffer, format ? QByteArray(format) : QByteArray());
  reader.setDecideFormatFromContent(format == nullptr);
  reader.setAutoTransform(false);
  return reader.read();
}

Bitmap bitmap_from_qimage(const QImage& image) {
  const bool direct = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
  const QImage rgb =
      direct ? image
             : image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (rgb.isNull()) throw RuntimeError{errc::kOutOfMemory};  // the conversion could not allocate
  Bitmap b = Bitmap::create_uninitialised(rgb.width(), rgb.height());
  for (int y = 0; y < b.height(); ++y) {
    const auto* src = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
    std::transform(src, src + b.width(), b.row(y), [](std::uint32_t p) { return p | 0xFF000000u; });
  }
  return b;
}

}  // namespace vimbrel
