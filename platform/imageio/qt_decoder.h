// Qt's image reader used under this program's own checks: the caller has checked the size against
// the file and against memory, and only then lifts Qt's allocation limit to what it allowed.
#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>

#include "platform/pixels/bitmap.h"

namespace vimbrel {

// Raises Qt's allocation limit (never lowers it) so that a picture of `bytes` can be read.
void allow_qt_allocation(std::uint64_t bytes);

// Decodes `data` with Qt's reader, with `format` ("bmp") or, when null, the format the content
// shows. A null image when Qt cannot read it.
QImage read_qt_image(const QByteArray& data, const char* format);

// The picture as Bitmap pixels (alpha dropped: every pixel opaque). RuntimeError 7 when the
// pixels cannot be allocated.
Bitmap bitmap_from_qimage(const QImage& image);

}  // namespace vimbrel
