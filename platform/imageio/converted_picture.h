// A work file the converter has just written, with the pixels it holds kept in memory: the bitmap
// reader takes them instead of reading the file back, for as long as the file is still the one
// written. The load that follows a conversion then costs no second pass over the picture.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/imageio/picture_source.h"
#include "platform/pixels/bitmap.h"
#include "platform/system/file_io.h"

namespace vimbrel {

struct ConvertedPicture {
  Bitmap pixels;                        // exactly what reading the work file gives
  std::optional<FileIdentity> written;  // the work file as the converter left it; none: nothing kept
  std::string failure;                  // why nothing was written, when the source was refused
  std::string warning;                  // what is wrong with a picture that was loaded all the same
  // A picture left in its file, to be read when its pixels are needed; nothing was written.
  std::shared_ptr<PictureSource> source;
};

}  // namespace vimbrel
