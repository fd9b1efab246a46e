#include "platform/imageio/jpeg_coded_data.h"

#include "platform/imageio/piece_reader.h"

namespace vimbrel {

namespace {

constexpr int kEnd = PieceReader::kEnd;

// The code of the next marker, as libjpeg finds it: stray bytes and fill bytes skipped.
int next_marker(PieceReader& in) {
  for (;;) {
    std::uint64_t stray = 0;
    if (!in.to_next_ff(stray)) return kEnd;
    in.next();
    int code = in.next();
    while (code == 0xFF) code = in.next();
    if (code != 0) return code;  // FF 00 outside a scan is stray data too
  }
}

bool is_restart(int code) {
  return code >= 0xD0 && code <= 0xD7;
}

// Counts a scan's entropy-coded segment (stuffed bytes and restart markers are part of it, fill
// bytes are not) and gives the marker that ends it.
int count_scan(PieceReader& in, std::uint64_t& bytes) {
  for (;;) {
    if (!in.to_next_ff(bytes)) return kEnd;
    in.next();
    int code = in.next();
    while (code == 0xFF) code = in.next();
    if (code != 0 && !is_restart(code)) return code;
    bytes += 2;
  }
}

}  // namespace

JpegCodedData measure_coded_data(int fd, std::uint64_t size) {
  PieceReader in(fd, size);
  JpegCodedData out;
  if (in.next() != 0xFF || in.next() != 0xD8) return out;
  for (int code = next_marker(in); code != kEnd;) {
    if (code == 0xD9) {
      out.ended = true;
      break;
    }
    if (code == 0x01 || is_restart(code) || code == 0xD8) {  // markers without a segment
      code = next_marker(in);
      continue;
    }
    const int high = in.next(), low = in.next();
    if (low == kEnd || (high << 8 | low) < 2) break;  // libjpeg refuses the file
    in.skip(static_cast<std::uint64_t>(high << 8 | low) - 2);
    if (code == 0xDA) {
      ++out.scans;
      code = count_scan(in, out.bytes);
    } else {
      code = next_marker(in);
    }
  }
  return out;
}

}  // namespace vimbrel
