#include "join/compose.h"

#include <algorithm>

#include "platform/rounding.h"

namespace vimbrel {
namespace {

ComposeLayer layer_of(const ImageSlot& slot) {
  return {slot.bitmap,
          to_pixel(slot.draw_x),
          to_pixel(slot.draw_y),
          to_pixel(slot.src_width),
          to_pixel(slot.src_height),
          slot.src_left,
          slot.src_top,
          kDrawModeCopy};
}

}  // namespace

int background_colour(int effect_index) {
  return (effect_index == 0 || effect_index == 2 || effect_index == 3) ? 15 : 0;
}

int effect_mode(int effect_index) {
  switch (effect_index) {
    case 2:
      return 9;
    case 3:
      return 14;
    case 4:
      return 7;
    case 5:
      return 15;
    default:
      return kDrawModeCopy;
  }
}

ComposePlan plan_composite(Session& s, ComposeOptions options) {
  const JoinDocument& d = s.doc;
  ComposePlan plan;
  plan.background = palette_colour(background_colour(d.effect_index));
  const bool draw_a = !options.guard_absent || d.a.width > 0;
  const bool draw_b = !options.guard_absent || d.b.width > 0;
  if (draw_a && draw_b) {
    const bool a_on_top = s.rt.GETCHECK(s.c.RADIO7) != 0;
    plan.layers =
        a_on_top ? std::array{layer_of(d.b), layer_of(d.a)} : std::array{layer_of(d.a), layer_of(d.b)};
    if (options.apply_effect) plan.layers[1].mode = effect_mode(d.effect_index);
    plan.count = 2;
  } else if (draw_a || draw_b) {
    plan.layers[0] = layer_of(draw_a ? d.a : d.b);
    plan.count = 1;
  }
  return plan;
}

void compose(FormRuntime& rt, const ComposePlan& plan, Bitmap& target, PixelRect region, std::int64_t at_x,
             std::int64_t at_y) {
  // Target x = canvas x + off_x. Cut the region to what lands inside the target.
  const std::int64_t off_x = at_x - region.x, off_y = at_y - region.y;
  const std::int64_t x0 = std::max(region.x, -off_x), y0 = std::max(region.y, -off_y);
  const std::int64_t x1 = std::min(region.x + region.w, target.width() - off_x);
  const std::int64_t y1 = std::min(region.y + region.h, target.height() - off_y);
  if (x0 >= x1 || y0 >= y1) return;
  fill_rect(target, {x0 + off_x, y0 + off_y, x1 - x0, y1 - y0}, plan.background);
  for (int i = 0; i < plan.count; ++i) {
    const ComposeLayer& l = plan.layers[static_cast<std::size_t>(i)];
    const Bitmap* src = rt.picture(l.bitmap);
    if (src == nullptr || l.w <= 0 || l.h <= 0) continue;
    // The layer's part inside the region; the source point moves with it, so the pixels are those
    // a copy of the whole layer would put there.
    const std::int64_t lx0 = std::max(l.x, x0), ly0 = std::max(l.y, y0);
    const std::int64_t lx1 = std::min(l.x + l.w, x1), ly1 = std::min(l.y + l.h, y1);
    if (lx0 >= lx1 || ly0 >= ly1) continue;
    blit(target, lx0 + off_x, ly0 + off_y, lx1 - lx0, ly1 - ly0, *src, l.sx + (lx0 - l.x), l.sy + (ly0 - l.y),
         l.mode);
  }
}

void compose(Session& s, Bitmap& target, PixelRect region, ComposeOptions options) {
  compose(s.rt, plan_composite(s, options), target, region);
}

}  // namespace vimbrel
