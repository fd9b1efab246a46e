// The system clipboard: pictures copied in other programs (image data or picture files), and the
// joined picture offered to them as PNG and BMP.
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include "platform/runtime/qt/qt_runtime.h"

namespace vimbrel {
namespace {

QByteArray encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

}  // namespace

std::string QtRuntime::CLIPBOARDPICTURE(const std::string& path) {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr) return {};
  // A copied file (a file manager's copy) is taken as it is, like a file dropped on the program.
  if (data->hasUrls() && !data->urls().isEmpty() && data->urls().front().isLocalFile()) {
    return data->urls().front().toLocalFile().toStdString();
  }
  if (!data->hasImage()) return {};
  const QImage image = qvariant_cast<QImage>(data->imageData());
  if (image.isNull() || !image.save(QString::fromStdString(path), "PNG")) return {};
  return path;
}

void QtRuntime::SETCLIPBOARDPICTURE(const Bitmap& picture) {
  // 0xFFRRGGBB rows are Qt's RGB32; the copy outlives the bitmap.
  const QImage image = QImage(reinterpret_cast<const uchar*>(picture.pixels().data()),
                              static_cast<int>(picture.width()), static_cast<int>(picture.height()),
                              static_cast<qsizetype>(picture.width()) * 4, QImage::Format_RGB32)
                           .copy();
  auto* data = new QMimeData;  // the clipboard takes it
  data->setImageData(image);
  data->setData("image/png", encoded(image, "PNG"));
  data->setData("image/bmp", encoded(image, "BMP"));
  QGuiApplication::clipboard()->setMimeData(data);
}

}  // namespace vimbrel
