#include "join/save_region.h"

#include <algorithm>

#include "platform/pixels/rounding.h"
#include "platform/runtime/path_builtins.h"

namespace vimbrel {

std::optional<PixelRect> save_region(const JoinDocument& d) {
  bool any = false;
  float left = 0, top = 0, right = 0, bottom = 0;  // right and bottom inclusive
  for (const ImageSlot* image : {&d.a, &d.b}) {
    if (image->width <= 0) continue;
    const float r = image->draw_x + image->src_width - 1;
    const float b = image->draw_y + image->src_height - 1;
    left = any ? std::min(left, image->draw_x) : image->draw_x;
    top = any ? std::min(top, image->draw_y) : image->draw_y;
    right = any ? std::max(right, r) : r;
    bottom = any ? std::max(bottom, b) : b;
    any = true;
  }
  if (!any) return std::nullopt;
  return PixelRect{to_pixel(left), to_pixel(top), to_pixel(right - left + 1), to_pixel(bottom - top + 1)};
}

std::string save_file_path(const std::string& chosen, std::string& folder, const std::string& extension) {
  std::string drive, dir, name, ext;
  SPLIT_PATH(chosen, drive, dir, name, ext);
  folder = drive + dir;
  return with_extension(chosen, extension);
}

std::string save_type_extension(const std::string& chosen) {
  for (const char* typed : {".PNG", ".JPG"}) {
    if (chosen.ends_with(typed)) return typed;
  }
  return ".BMP";
}

}  // namespace vimbrel
