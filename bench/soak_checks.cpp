#include "bench/soak_checks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>

#include "app/main_view.h"
#include "join/compose.h"
#include "platform/pixels/reduced_copies.h"
#include "platform/pixels/scale.h"

namespace vimbrel {
namespace {

constexpr std::int64_t kWholeCanvasPixels = std::int64_t{1} << 20;

// PICTURE1 against the document composed afresh and scaled as the view scales it: from reduced
// copies below half size, of the canvas when it is made, of the pictures when it is still to be
// drawn. Small canvases only.
std::string scaled_view_check(Session& s, HeadlessRuntime& rt, long& compared) {
  const ViewShown v = shown_now(s);
  const auto cw = static_cast<std::int64_t>(s.doc.canvas_width),
             ch = static_cast<std::int64_t>(s.doc.canvas_height);
  if (v.plain || cw <= 0 || ch <= 0 || cw * ch > kWholeCanvasPixels) return "";
  if (rt.CHECKOBJECT(s.doc.canvas_bitmap) == 0) return "";
  const Bitmap& shown = rt.surface(s.c.PICTURE1);
  const ComposePlan plan = plan_composite(s);
  const int level = reduction_level(v.scale);
  std::array<ReducedCopies, 2> layer_copies;
  ReducedCopies canvas_copies;
  std::optional<Bitmap> composed;
  const Bitmap* reference = nullptr;
  if (level > 0 && rt.deferred(s.doc.canvas_bitmap)) {
    std::array<const Bitmap*, 2> pictures{};
    for (std::size_t i = 0; i < static_cast<std::size_t>(plan.count); ++i) {
      const Bitmap* full = rt.read_picture(plan.layers[i].bitmap);
      if (full != nullptr) pictures[i] = &layer_copies[i].level(*full, level);
    }
    const std::int64_t rw = reduced_length(cw, level), rh = reduced_length(ch, level);
    composed = Bitmap::create(rw, rh);
    compose(reduced_plan(plan, level), std::span(pictures).first(static_cast<std::size_t>(plan.count)),
            *composed, {0, 0, rw, rh});
    reference = &*composed;
  } else {
    composed = Bitmap::create(cw, ch);
    compose(s.rt, plan, *composed, {0, 0, cw, ch});
    reference = level == 0 ? &*composed : &canvas_copies.level(*composed, level);
  }
  Bitmap expected = Bitmap::create(shown.width(), shown.height());
  std::ranges::copy(shown.pixels(), expected.pixels().begin());
  const double f = std::ldexp(1.0, level);
  scale_copy(expected, {0, 0, v.x.surface, v.y.surface}, s.doc.view.view_x / f, s.doc.view.view_y / f,
             v.scale * f, scaled_rows_of(*reference));
  ++compared;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x)
      if (shown.at(x, y) != expected.at(x, y)) {
        char at[160];
        std::snprintf(at, sizeof at,
                      "the view at %g differs from the document scaled at (%d, %d): %08X, not %08X", v.scale,
                      x, y, shown.at(x, y), expected.at(x, y));
        return at;
      }
  return "";
}

}  // namespace

std::string canvas_check(Session& s, HeadlessRuntime& rt, long& compared) {
  if (s.doc.a.width <= 0 && s.doc.b.width <= 0) return "";
  if (s.doc.view.scale != 1) return scaled_view_check(s, rt, compared);
  const auto cw = static_cast<std::int64_t>(s.doc.canvas_width),
             ch = static_cast<std::int64_t>(s.doc.canvas_height);
  if (cw <= 0 || ch <= 0) return "";
  PixelRect region{0, 0, cw, ch};
  const Bitmap* shown = nullptr;
  if (cw * ch <= kWholeCanvasPixels) {
    shown = rt.picture(s.doc.canvas_bitmap);
  } else {
    shown = &rt.surface(s.c.PICTURE1);
    region = {std::lround(s.doc.view.view_x), std::lround(s.doc.view.view_y),
              std::min<std::int64_t>(shown->width(), cw), std::min<std::int64_t>(shown->height(), ch)};
  }
  if (shown == nullptr || region.w <= 0 || region.h <= 0) return "";
  Bitmap fresh = Bitmap::create(region.w, region.h);
  compose(s.rt, plan_composite(s), fresh, region);
  ++compared;
  for (int y = 0; y < fresh.height(); ++y) {
    for (int x = 0; x < fresh.width(); ++x) {
      if (region.x + x >= cw || region.y + y >= ch) continue;  // the view reaches past the canvas
      if (shown->at(x, y) != fresh.at(x, y)) {
        char at[128];
        std::snprintf(at, sizeof at,
                      "canvas differs from a fresh composition at (%lld, %lld): %08X, not %08X",
                      static_cast<long long>(region.x + x), static_cast<long long>(region.y + y),
                      shown->at(x, y), fresh.at(x, y));
        return at;
      }
    }
  }
  return "";
}

}  // namespace vimbrel
