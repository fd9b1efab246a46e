// The image converter on a file of any bytes, then the bitmap reader on the work file it wrote, as
// a picture is loaded: a picture, or a runtime error, and never a work file left by a failure.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "fuzz/fuzz_input.h"
#include "platform/imageio/bitmap_file.h"
#include "platform/imageio/jpeg2bmp.h"
#include "platform/pixels/runtime_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vimbrel::fuzz::InputFolder& folder = vimbrel::fuzz::input_folder();
  const std::string source = folder.write("input.jpg", data, size);
  const std::string work = folder.file("DAMMY.BMP");
  ::unlink(work.c_str());
  try {
    vimbrel::JPEG2BMP(source, work);
  } catch (const vimbrel::RuntimeError&) {
    if (std::filesystem::exists(work)) __builtin_trap();  // a failed conversion leaves nothing
    return 0;
  }
  if (!std::filesystem::exists(work)) return 0;  // not a picture: nothing written
  try {
    const vimbrel::Bitmap b = vimbrel::read_bitmap_file(work);
    if (b.width() <= 0 || b.height() <= 0) __builtin_trap();
  } catch (const vimbrel::RuntimeError& e) {
    // The converter's own file must read back, unless memory runs out.
    if (e.code != vimbrel::errc::kOutOfMemory) __builtin_trap();
  }
  ::unlink(work.c_str());
  return 0;
}
