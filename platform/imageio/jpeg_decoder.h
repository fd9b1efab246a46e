// JPEG decoding through libjpeg-turbo, a strip of rows at a time, with libjpeg's default output
// (accurate integer IDCT, smooth chroma upsampling), so the pixels equal what its own tools give.
// CMYK and YCCK files come out as RGB. Progressive files with an absurd number of scans are
// refused, as TurboJPEG's scan limit does, and so are files whose scans would cover the picture's
// blocks far more often than any real encoder's (see kBlockVisitsPerBlock): the work per file is
// bounded by the picture's size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vimbrel {

class JpegDecoder {
 public:
  enum class Pixels { kBgr, kBgra };  // 3 bytes B, G, R; or 4 bytes B, G, R, 0xFF

  // The decoder reads the first `size` bytes of the open file `fd` a piece at a time, as it needs
  // them, so that no copy of the whole file is held; `fd` must outlive the decoder.
  JpegDecoder(int fd, std::uint64_t size);
  ~JpegDecoder();
  JpegDecoder(const JpegDecoder&) = delete;
  JpegDecoder& operator=(const JpegDecoder&) = delete;

  // Reads the headers. False when the data is no JPEG this decoder reads, or when it claims more
  // pixels than its entropy-coded data could describe (the scans' segments counted alone, a
  // piece at a time, and a cut-off file's at the lower rate).
  bool read_header();
  int width() const;
  int height() const;
  // Bytes that decoding holds besides the output rows (the coefficients of a multi-scan file).
  std::uint64_t working_bytes() const;

  // Starts decoding; a progressive file's scans are all read here. False on failure.
  bool start(Pixels pixels);
  // Decodes the next `count` rows (top-down) into `rows`. False on failure.
  bool read_rows(std::uint8_t* const* rows, int count);
  // Reads on to the end marker once every row is decoded, so that a cut-off tail is noticed.
  void finish();
  // True when the last failure was libjpeg running out of memory.
  bool out_of_memory() const;
  // Why the last call failed, in a few English words.
  std::string failure() const;
  // True when the data stopped before its end marker and libjpeg made up the rest.
  bool ended_early() const;

  struct State;  // libjpeg's side, defined with the code

 private:
  bool fail(const std::string& why);
  std::unique_ptr<State> s_;
};

}  // namespace vimbrel
