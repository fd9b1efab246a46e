// The image converter as the runtime holds it: the procedures convert through the runtime's
// converter, which a caller that knows more (the `join` command) may replace.
#pragma once

#include <memory>
#include <string>

#include "platform/imageio/converted_picture.h"

namespace vimbrel {

class Converter {
 public:
  virtual ~Converter() = default;
  // JPEG2BMP(source, destination), with its rules and errors (see jpeg2bmp.h).
  virtual ConvertedPicture convert(const std::string& source, const std::string& destination);
};

// For a runtime that reads pictures only when their pixels are needed: a JPEG that can be read in
// order (see open_jpeg_source()) is left in its file and handed over as the result's source, and
// nothing is written at the destination; every other picture is `inner`'s work.
class DeferringConverter : public Converter {
 public:
  explicit DeferringConverter(std::unique_ptr<Converter> inner) : inner_(std::move(inner)) {}
  ConvertedPicture convert(const std::string& source, const std::string& destination) override;

 private:
  std::unique_ptr<Converter> inner_;
};

}  // namespace vimbrel
