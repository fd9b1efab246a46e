// JPEG files read a band of rows at a time, top-down, when their pixels are needed.
#pragma once

#include <memory>
#include <string>

#include "platform/imageio/picture_source.h"

namespace vimbrel {

// The JPEG at `path` as a picture read when needed: for an upright (EXIF orientation 1), single-scan
// file whose header the decoder takes. Null otherwise, and for anything that is not such a JPEG:
// the converter then decodes it whole, with its own messages. Never throws.
std::shared_ptr<PictureSource> open_jpeg_source(const std::string& path) noexcept;

}  // namespace vimbrel
