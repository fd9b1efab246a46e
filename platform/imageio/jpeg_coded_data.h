// How much entropy-coded data a JPEG file holds: what its claimed size is measured against, rather
// than the file's bytes, which may be mostly comments or other padding.
#pragma once

#include <cstdint>

namespace vimbrel {

struct JpegCodedData {
  std::uint64_t bytes = 0;  // the scans' entropy-coded segments, restart markers included
  int scans = 0;
  bool ended = false;  // an end marker follows the scans; otherwise the file is cut off
};

// Walks the markers of the first `size` bytes of the open file `fd`, a piece at a time as libjpeg
// reads them (stray bytes between segments skipped), and stops at the end marker.
JpegCodedData measure_coded_data(int fd, std::uint64_t size);

}  // namespace vimbrel
