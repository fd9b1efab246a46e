// The size of picture Qt's readers really allocate where it is not the size they report: a GIF's
// picture is its logical screen, not its first frame; an ICO's is its embedded picture's (a PNG's
// own header), not its directory entry's.
#pragma once

#include <cstdint>
#include <string_view>

namespace vimbrel {

struct PictureSize {
  std::uint64_t width = 0, height = 0;
  std::uint64_t pixels() const { return width * height; }
};

// What Qt's reader of `format` ("gif", "ico", "cur") allocates for the first `size` bytes of the
// open file `fd`, read from the file's own headers, or `reported` when that is larger (or for any
// other format). For an ICO, the largest of its pictures.
PictureSize qt_allocated_size(int fd, std::uint64_t size, std::string_view format, PictureSize reported);

}  // namespace vimbrel
