// A converter with one conversion started ahead of its load, on a thread of its own, by a caller
// that knows which picture the program will load next (the `join` command). Asked for exactly that
// conversion, it takes the finished work file instead of decoding the picture again; anything short
// of a finished file, and every other conversion, is the plain converter's work, with its results
// and messages.
#pragma once

#include <optional>
#include <string>
#include <thread>

#include "platform/imageio/converter.h"

namespace vimbrel {

class PreparedConversion : public Converter {
 public:
  // Starts converting the JPEG `source` into `scratch` (a name of its own beside `destination`),
  // for a later convert(source, destination). The thread runs the JPEG conversion and nothing else:
  // no procedure, no form, no bitmap object.
  PreparedConversion(std::string source, std::string destination, std::string scratch);
  // Ends the conversion, as end() does.
  ~PreparedConversion() override;
  PreparedConversion(const PreparedConversion&) = delete;
  PreparedConversion& operator=(const PreparedConversion&) = delete;

  ConvertedPicture convert(const std::string& source, const std::string& destination) override;

  // Waits for the thread and removes a file that was never taken; later conversions are all plain.
  void end();
  // Whether a conversion took the file made ahead.
  bool taken() const { return taken_; }

 private:
  std::optional<ConvertedPicture> take();

  std::string source_, destination_, scratch_;
  std::optional<ConvertedPicture> converted_;  // written by the thread, read after it is joined
  bool pending_ = false;                       // started and neither taken nor ended
  bool taken_ = false;
  std::jthread worker_;
};

}  // namespace vimbrel
