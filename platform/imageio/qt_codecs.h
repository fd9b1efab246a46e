// What this program leaves to Qt's image codecs: bitmap files of the kinds its own reader does not
// take, PNG, GIF and the other formats Qt reads, and PNG writing. They are reached through this table
// so that the `join` command can run without loading Qt at all until a picture needs it: the program
// loads them with its Qt module (qt_module.h), the tests and tools link them in (qt_codecs_linked).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "platform/pixels/bitmap.h"

namespace vimbrel {

// Row y of a picture as R, G, B bytes.
using RgbRowSource = std::function<void(std::int64_t y, std::uint8_t* rgb)>;

struct QtCodecs {
  // A whole bitmap file's bytes, of a picture of `pixels` pixels, already checked against the file
  // and admitted against memory. RuntimeError 481 when Qt cannot read it, 7 when out of memory.
  Bitmap (*read_bitmap)(std::span<const std::uint8_t> file, std::uint64_t pixels);
  // Any other picture Qt reads, from the open file of `size` bytes (Qt reads only what it needs);
  // none when Qt knows no format for it; RuntimeError 481, with the reason, when it claims far more
  // pixels than its bytes could describe or its data cannot be decoded.
  std::optional<Bitmap> (*read_other)(int fd, std::uint64_t size);
  // A 24-bit PNG file at `path`, written beside it and renamed over it. RuntimeError 75 when it
  // cannot be written, 7 when the picture cannot be held for the encoder.
  void (*write_png)(std::int64_t width, std::int64_t height, const RgbRowSource& row,
                    const std::string& path);
};

// The codecs, loaded on first use; null when they cannot be loaded (the reason is on stderr).
const QtCodecs* qt_codecs();

// The codecs themselves, in the library that links Qt.
const QtCodecs& linked_qt_codecs();

}  // namespace vimbrel
