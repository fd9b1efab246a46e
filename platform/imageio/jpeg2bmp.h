// The image converter: turns a JPEG file (or any picture Qt's readers know: PNG, GIF, a bitmap under
// another name) into a 24-bit bitmap work file that the bitmap reader then loads.
#pragma once

#include <optional>
#include <string>

#include "platform/imageio/converted_picture.h"

namespace vimbrel {

// Decodes `source` and writes it to `destination` as a bottom-up 24-bit bitmap file, upright as its
// EXIF orientation asks. The destination is created afresh: the caller removes an old work file
// first; a path that is already taken (a planted link, say) is never written through.
// A source that cannot be decoded leaves nothing at `destination`, so loading the work file fails.
// Throws RuntimeError 7 when the picture is too large for memory, and 75 when the destination
// cannot be created (it exists, or its folder is missing or read-only).
// A JPEG's pixels are kept as they are written, for the load of the work file that follows.
ConvertedPicture JPEG2BMP(const std::string& source, const std::string& destination);

// JPEG2BMP's work for a JPEG source alone, for a conversion started ahead of its load: a value when
// `source` is a JPEG and its finished work file is at `destination`. Never throws: a refusal or any
// other source is left to JPEG2BMP itself.
std::optional<ConvertedPicture> convert_jpeg_ahead(const std::string& source,
                                                   const std::string& destination) noexcept;

}  // namespace vimbrel
