#include "app/join_limits.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "join/save_region.h"
#include "platform/pixels/rounding.h"
#include "platform/runtime/path_builtins.h"

namespace vimbrel {

namespace {

std::string range(int lo, int hi) {
  return std::to_string(lo) + ".." + std::to_string(hi);
}

}  // namespace

std::string crop_refusal(const ImageSlot& image, const std::array<int, 4>& crop) {
  const auto [left, top, right, bottom] = crop;
  const int width = to_pixel(image.width), height = to_pixel(image.height);
  const int across = image.src_left_max, down = image.src_top_max;  // what the sliders reach
  if (left <= across && right <= across && top <= down && bottom <= down && left + right < width &&
      top + bottom < height) {
    return {};
  }
  return "L and R can be " + range(0, across) + " with L+R at most " + std::to_string(width - 1) +
         ", T and B " + range(0, down) + " with T+B at most " + std::to_string(height - 1) + " for this " +
         std::to_string(width) + " x " + std::to_string(height) + " picture";
}

std::string move_refusal(const JoinDocument& d, const ImageSlot& image, const std::array<int, 2>& move) {
  // Held at the canvas' top and left edges by the move, at its right and bottom ones by the placing.
  const int x = to_pixel(image.x), y = to_pixel(image.y);
  const int right = to_pixel(d.canvas_width - image.width) - x,
            down = to_pixel(d.canvas_height - image.height) - y;
  if (move[0] >= -x && move[0] <= right && move[1] >= -y && move[1] <= down) return {};
  return "DX can be " + range(-x, right) + " and DY " + range(-y, down) + " to keep the picture on the " +
         std::to_string(to_pixel(d.canvas_width)) + " x " + std::to_string(to_pixel(d.canvas_height)) +
         " canvas";
}

std::string output_refusal(const std::string& out) {
  std::string drive, dir, name, ext;
  SPLIT_PATH(out, drive, dir, name, ext);
  if (name.empty()) return "-o names a folder, not a file; give a file name in it";
  std::string folder;
  std::error_code ec;
  const std::string written = save_file_path(out, folder);
  if (std::filesystem::is_directory(written, ec)) {
    return "-o names a folder (" + written + "); give another file name";
  }
  // /dev/null and the like: the picture would land beside them as a file of its own.
  struct stat st {};
  if (::stat(out.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
    return "-o names a device or other special file (" + out + "), not a picture file";
  }
  const std::filesystem::path real = std::filesystem::weakly_canonical(folder.empty() ? "." : folder, ec);
  for (const char* system : {"/dev", "/proc", "/sys"}) {
    const std::string root(system);
    if (!ec && (real == root || real.string().starts_with(root + "/"))) {
      return "-o names a file in the system folder " + root + ", where no picture belongs";
    }
  }
  return {};
}

std::string printable_path(const std::string& path) {
  if (std::none_of(path.begin(), path.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; }))
    return path;
  std::string quoted = "\"";
  for (const unsigned char c : path) {
    if (c == '\n') {
      quoted += "\\n";
    } else if (c == '\t') {
      quoted += "\\t";
    } else if (c < 0x20 || c == 0x7F || c == '"' || c == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, c == '"' || c == '\\' ? "\\%c" : "\\x%02X", c);
      quoted += escaped;
    } else {
      quoted += static_cast<char>(c);
    }
  }
  return quoted + "\"";
}

}  // namespace vimbrel
