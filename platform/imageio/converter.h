// The image converter as the runtime holds it: the procedures convert through the runtime's
// converter, which a caller that knows more (the `join` command) may replace.
#pragma once

#include <string>

#include "platform/imageio/converted_picture.h"

namespace vimbrel {

class Converter {
 public:
  virtual ~Converter() = default;
  // JPEG2BMP(source, destination), with its rules and errors (see jpeg2bmp.h).
  virtual ConvertedPicture convert(const std::string& source, const std::string& destination);
};

}  // namespace vimbrel
