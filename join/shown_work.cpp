#include "join/shown_work.h"

#include <algorithm>
#include <cmath>

namespace vimbrel {

std::vector<ScreenRect> shown_work(const JoinDocument& d, std::optional<Twin> only) {
  const ViewState& v = d.view;
  const double left = v.picture_x, top = v.picture_y;
  const double right = left + v.view_width, bottom = top + v.view_height;
  std::vector<ScreenRect> work;
  for (const Twin t : {Twin::A, Twin::B}) {
    const ImageSlot& img = d.slot(t);
    if ((only && *only != t) || img.width <= 0 || img.x < 0 || img.y < 0) continue;
    const double x0 = std::max(left, left + (img.draw_x - v.view_x) * v.zoom);
    const double y0 = std::max(top, top + (img.draw_y - v.view_y) * v.zoom);
    const double x1 = std::min(right, left + (img.draw_x + img.src_width - v.view_x) * v.zoom);
    const double y1 = std::min(bottom, top + (img.draw_y + img.src_height - v.view_y) * v.zoom);
    if (x1 <= x0 || y1 <= y0) continue;
    const auto px = [](double c) { return static_cast<int>(std::lround(c)); };
    work.push_back({px(x0), px(y0), px(x1) - px(x0), px(y1) - px(y0)});
  }
  return work;
}

}  // namespace vimbrel
