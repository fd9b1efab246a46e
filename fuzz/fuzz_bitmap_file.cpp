// The bitmap reader on a file of any bytes: it reads a picture or refuses with a runtime error,
// never anything else.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_input.h"
#include "platform/imageio/bitmap_file.h"
#include "platform/pixels/runtime_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = vimbrel::fuzz::input_folder().write("input.bmp", data, size);
  try {
    const vimbrel::Bitmap b = vimbrel::read_bitmap_file(path);
    if (b.width() <= 0 || b.height() <= 0) __builtin_trap();
  } catch (const vimbrel::RuntimeError&) {
  }
  return 0;
}
