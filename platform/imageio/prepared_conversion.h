// A conversion started ahead of its load, on a thread of its own, by a caller that knows which
// picture the program will load next (the `join` command). The converter takes its finished work
// file instead of decoding the picture again; anything short of a finished file is left to the
// converter, which then does today's work itself, with today's results and messages.
#pragma once

#include <optional>
#include <string>
#include <thread>

#include "platform/imageio/converted_picture.h"

namespace vimbrel {

class PreparedConversion {
 public:
  // Starts converting the JPEG `source` into `scratch` (a name of its own beside `destination`) and
  // installs itself for the converter's call JPEG2BMP(source, destination). The thread runs the
  // JPEG conversion and nothing else: no procedure, no form, no bitmap object.
  PreparedConversion(std::string source, std::string destination, std::string scratch);
  // Waits for the thread, uninstalls, and removes a file that was never taken.
  ~PreparedConversion();
  PreparedConversion(const PreparedConversion&) = delete;
  PreparedConversion& operator=(const PreparedConversion&) = delete;

  // Whether the converter took the file (for the command's tests).
  bool taken() const { return taken_; }

 private:
  friend std::optional<ConvertedPicture> take_prepared_conversion(const std::string& source,
                                                                  const std::string& destination);
  std::optional<ConvertedPicture> take();

  std::string source_, destination_, scratch_;
  std::optional<ConvertedPicture> converted_;  // written by the thread, read after it is joined
  bool taken_ = false;
  std::jthread worker_;
};

// The converter's question: a value when a conversion prepared for exactly these paths finished and
// its file now lies at `destination` (which must not exist yet, as for the converter itself).
std::optional<ConvertedPicture> take_prepared_conversion(const std::string& source,
                                                         const std::string& destination);

}  // namespace vimbrel
