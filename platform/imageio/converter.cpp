#include "platform/imageio/converter.h"

#include "platform/imageio/jpeg2bmp.h"
#include "platform/imageio/jpeg_source.h"

namespace vimbrel {

ConvertedPicture Converter::convert(const std::string& source, const std::string& destination) {
  return JPEG2BMP(source, destination);
}

ConvertedPicture DeferringConverter::convert(const std::string& source, const std::string& destination) {
  ConvertedPicture left;
  left.source = open_jpeg_source(source);
  if (left.source) return left;
  return inner_->convert(source, destination);
}

}  // namespace vimbrel
