#include "platform/imageio/converter.h"

#include "platform/imageio/jpeg2bmp.h"

namespace vimbrel {

ConvertedPicture Converter::convert(const std::string& source, const std::string& destination) {
  return JPEG2BMP(source, destination);
}

}  // namespace vimbrel
