// Qt's image reader used under this program's own checks: the caller has checked the size against
// the file and against memory, and only then lifts Qt's allocation limit to what it allowed.
#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>

#include "platform/pixels/bitmap.h"

namespace vimbrel {

// While it lives, Qt's allocation limit is raised (never lowered) so that a picture of `bytes` can be
// read; the limit it found is restored when it goes, so no other reader runs without one.
class QtAllocationAllowance {
 public:
  explicit QtAllocationAllowance(std::uint64_t bytes);
  ~QtAllocationAllowance();
  QtAllocationAllowance(const QtAllocationAllowance&) = delete;
  QtAllocationAllowance& operator=(const QtAllocationAllowance&) = delete;

 private:
  int previous_;
};

// Decodes `data` with Qt's reader, with `format` ("bmp") or, when null, the format the content
// shows. A null image when Qt cannot read it.
QImage read_qt_image(const QByteArray& data, const char* format);

// The picture as Bitmap pixels (alpha dropped: every pixel opaque). RuntimeError 7 when the
// pixels cannot be allocated.
Bitmap bitmap_from_qimage(const QImage& image);

}  // namespace vimbrel
