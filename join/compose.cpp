#include "join/compose.h"

#include <vector>

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/pixels/rounding.h"

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

ComposePlan plan_composite(Session& s, ComposeOptions options) {
  const JoinDocument& d = s.doc;
  ComposePlan plan;
  plan.background = palette_colour(background_colour(d.effect_index));
  const bool draw_a = d.a.width > 0;
  const bool draw_b = d.b.width > 0;
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

namespace {

// A layer cut to the region and to its source: canvas rectangle [x0, x1) × [y0, y1), source point =
// canvas point + (dx, dy).
struct Cut {
  const Bitmap* src = nullptr;
  std::int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0, dx = 0, dy = 0;
  int mode = kDrawModeCopy;
};

std::optional<Cut> cut_layer(const ComposeLayer& l, const Bitmap* src, std::int64_t x0, std::int64_t y0,
                             std::int64_t x1, std::int64_t y1) {
  if (src == nullptr || l.w <= 0 || l.h <= 0) return std::nullopt;
  Cut c{src, 0, 0, 0, 0, l.sx - l.x, l.sy - l.y, l.mode};
  c.x0 = std::max({l.x, x0, -c.dx});
  c.y0 = std::max({l.y, y0, -c.dy});
  c.x1 = std::min({l.x + l.w, x1, src->width() - c.dx});
  c.y1 = std::min({l.y + l.h, y1, src->height() - c.dy});
  if (c.x0 >= c.x1 || c.y0 >= c.y1) return std::nullopt;
  return c;
}

// Fills [x0, x1) of a row with the background, except under the copied layers' spans `covered`
// (sorted by start): a copy overwrites whatever lies under it, so each pixel is written once.
void fill_gaps(std::uint32_t* row, std::int64_t x0, std::int64_t x1,
               std::span<const std::pair<std::int64_t, std::int64_t>> covered, std::uint32_t colour) {
  std::int64_t at = x0;
  for (const auto& [from, to] : covered) {
    if (from > at) std::fill(row + at, row + from, colour);
    at = std::max(at, to);
  }
  if (at < x1) std::fill(row + at, row + x1, colour);
}

}  // namespace

void compose(const ComposePlan& plan, std::span<const Bitmap* const> sources, Bitmap& target,
             PixelRect region, std::int64_t at_x, std::int64_t at_y) {
  // Target x = canvas x + off_x. Cut the region to what lands inside the target.
  const std::int64_t off_x = at_x - region.x, off_y = at_y - region.y;
  const std::int64_t x0 = std::max(region.x, -off_x), y0 = std::max(region.y, -off_y);
  const std::int64_t x1 = std::min(region.x + region.w, target.width() - off_x);
  const std::int64_t y1 = std::min(region.y + region.h, target.height() - off_y);
  if (x0 >= x1 || y0 >= y1) return;
  std::array<Cut, 2> cuts;
  std::size_t n = 0;
  for (std::size_t i = 0; i < static_cast<std::size_t>(plan.count) && i < sources.size(); ++i) {
    if (auto c = cut_layer(plan.layers[i], sources[i], x0, y0, x1, y1)) cuts[n++] = *c;
  }
  // Row by row, so that a combined layer reads what was just written while it is still in cache.
  for (std::int64_t y = y0; y < y1; ++y) {
    std::uint32_t* row = target.row(static_cast<int>(y + off_y)) + off_x;
    std::array<std::pair<std::int64_t, std::int64_t>, 2> covered;
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (cuts[i].mode == kDrawModeCopy && y >= cuts[i].y0 && y < cuts[i].y1)
        covered[k++] = {cuts[i].x0, cuts[i].x1};
    }
    if (k == 2 && covered[1].first < covered[0].first) std::swap(covered[0], covered[1]);
    fill_gaps(row, x0, x1, std::span(covered).first(k), plan.background);
    for (std::size_t i = 0; i < n; ++i) {
      const Cut& c = cuts[i];
      if (y < c.y0 || y >= c.y1) continue;
      blit(target, c.x0 + off_x, y + off_y, c.x1 - c.x0, 1, *c.src, c.x0 + c.dx, y + c.dy, c.mode);
    }
  }
}

void compose(FormRuntime& rt, const ComposePlan& plan, Bitmap& target, PixelRect region, std::int64_t at_x,
             std::int64_t at_y) {
  std::array<const Bitmap*, 2> sources{};
  for (std::size_t i = 0; i < static_cast<std::size_t>(plan.count); ++i)
    sources[i] = rt.read_picture(plan.layers[i].bitmap);
  compose(plan, std::span(sources).first(static_cast<std::size_t>(plan.count)), target, region, at_x, at_y);
}

ComposePlan reduced_plan(ComposePlan plan, int level) {
  if (level <= 0) return plan;
  const std::int64_t f = std::int64_t{1} << level;
  const auto down = [f](std::int64_t v) { return v >= 0 ? v / f : -((-v + f - 1) / f); };
  const auto up = [&](std::int64_t v) { return -down(-v); };
  for (ComposeLayer& l : plan.layers) {
    // The source keeps its offset from the canvas, rounded down; the layer covers every reduced
    // pixel it touches.
    const std::int64_t dx = down(l.sx - l.x), dy = down(l.sy - l.y);
    const std::int64_t x = down(l.x), y = down(l.y);
    l.w = up(l.x + l.w) - x, l.h = up(l.y + l.h) - y;
    l.x = x, l.y = y, l.sx = x + dx, l.sy = y + dy;
  }
  return plan;
}

namespace {

// The rectangle of layer `l`'s source that `region` of the canvas reads.
PixelRect source_reads(const ComposeLayer& l, PixelRect region) {
  const std::int64_t x0 = std::max(l.x, region.x), x1 = std::min(l.x + l.w, region.x + region.w);
  const std::int64_t y0 = std::max(l.y, region.y), y1 = std::min(l.y + l.h, region.y + region.h);
  if (x0 >= x1 || y0 >= y1) return {};
  return {x0 + l.sx - l.x, y0 + l.sy - l.y, x1 - x0, y1 - y0};
}

// The plan as copies in the target's plane, when every layer is copied.
std::optional<CopiedDraw> copies_of(const ComposePlan& plan, std::int64_t origin_x, std::int64_t origin_y) {
  CopiedDraw copies{plan.background, {}};
  for (std::size_t i = 0; i < static_cast<std::size_t>(plan.count); ++i) {
    const ComposeLayer& l = plan.layers[i];
    if (l.mode != kDrawModeCopy) return std::nullopt;
    if (l.w > 0 && l.h > 0)
      copies.layers.push_back({i, {l.x - origin_x, l.y - origin_y, l.w, l.h}, l.sx, l.sy});
  }
  return copies;
}

}  // namespace

void defer_composite(FormRuntime& rt, BitmapObject target, const ComposePlan& plan, std::int64_t origin_x,
                     std::int64_t origin_y) {
  std::vector<BitmapObject> sources;
  for (int i = 0; i < plan.count; ++i) sources.push_back(plan.layers[static_cast<std::size_t>(i)].bitmap);
  // From bands: each layer reads its band as its source, shifted by the band's corner. A band holds
  // what the region reads of the picture and lies in the picture, so the clip by its edges is the
  // clip by the picture's wherever the region reads.
  BitmapStore::BandedDraw banded{
      [plan, origin_x, origin_y](std::size_t index, PixelRect region) {
        region.x += origin_x, region.y += origin_y;
        return source_reads(plan.layers[index], region);
      },
      [plan, origin_x, origin_y](Bitmap& dst, std::int64_t at_x, std::int64_t at_y, PixelRect region,
                                 std::span<const BitmapStore::SourceBand> bands) {
        region.x += origin_x, region.y += origin_y;
        ComposePlan shifted = plan;
        std::array<const Bitmap*, 2> pictures{};
        for (std::size_t i = 0; i < bands.size() && i < pictures.size(); ++i) {
          pictures[i] = bands[i].pixels;
          shifted.layers[i].sy -= bands[i].first_row;
          shifted.layers[i].sx -= bands[i].first_col;
        }
        compose(shifted, std::span(pictures).first(std::min(bands.size(), pictures.size())), dst, region,
                at_x, at_y);
      },
      copies_of(plan, origin_x, origin_y)};
  rt.DEFER(
      target, std::move(sources),
      [plan, origin_x, origin_y](Bitmap& dst, std::int64_t at_x, std::int64_t at_y, PixelRect region,
                                 std::span<const Bitmap* const> pictures, int level) {
        region.x += origin_x >> level, region.y += origin_y >> level;
        compose(reduced_plan(plan, level), pictures, dst, region, at_x, at_y);
      },
      std::move(banded));
}

}  // namespace vimbrel
