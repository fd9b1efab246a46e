// The composite of the join: background by effect, the lower image copied, the upper image combined
// by the effect's draw mode. Written as a function of a target rectangle so that the screen, the save
// and any partial redraw paint exactly the same pixels.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "join/effects.h"
#include "join/session.h"
#include "platform/pixels/raster.h"

namespace vimbrel {

// How a composite is drawn from the document.
struct ComposeOptions {
  // false: the upper image is copied plainly (a save without "保存時反映"). The background still
  // follows the effect.
  bool apply_effect = true;
};

// One drawn part: the w × h rectangle at (sx, sy) of `bitmap` lands at (x, y) of the canvas, combined
// with what lies under it by `mode`.
struct ComposeLayer {
  BitmapObject bitmap;
  std::int64_t x = 0, y = 0, w = 0, h = 0, sx = 0, sy = 0;
  int mode = kDrawModeCopy;
};

// Everything a composite depends on apart from the source pixels: a plain value, so it can be kept
// and painted later with the same result.
struct ComposePlan {
  std::uint32_t background = 0;  // 0xFFRRGGBB
  std::array<ComposeLayer, 2> layers{};
  int count = 0;  // layers in drawing order, lower first
};

// Reads the plan from the document as it stands: the draw positions and drawn-part sizes (so the
// caller places and clamps first), `effect_index`, and RADIO7 for the stacking order. With both
// images drawn (an image of width 0 is not), the upper one gets the effect's mode; a single image is copied.
ComposePlan plan_composite(Session& s, ComposeOptions options = {});

// Paints the half-open rectangle `region` of the canvas plane into `target`, the region's top-left
// corner landing at (at_x, at_y): every pixel of the region that falls inside `target` gets what the
// background and then the layers in order would leave there; pixels of `target` outside the region
// are left untouched. The region may reach past the canvas (the save's bounding box does): the plane
// is unbounded, only the source bitmaps clip. `sources` holds each layer's picture in plan order
// (null draws nothing). The result does not depend on how the plane is cut into regions.
void compose(const ComposePlan& plan, std::span<const Bitmap* const> sources, Bitmap& target,
             PixelRect region, std::int64_t at_x = 0, std::int64_t at_y = 0);
// The same, with the layers' pictures read through `rt`.
void compose(FormRuntime& rt, const ComposePlan& plan, Bitmap& target, PixelRect region,
             std::int64_t at_x = 0, std::int64_t at_y = 0);

// The plan drawn on reduced copies of level `level`: every position and size 2^level times smaller
// (a layer covering each reduced pixel it touches), for a view below half size.
ComposePlan reduced_plan(ComposePlan plan, int level);

// From now on the pixels of the bitmap object `target` are the composite of `plan`, its pixel (0, 0)
// showing canvas point (origin_x, origin_y). The runtime produces them only where and when they are
// needed (see FormRuntime::DEFER): a redraw costs what the view shows, a save what it writes.
void defer_composite(FormRuntime& rt, BitmapObject target, const ComposePlan& plan, std::int64_t origin_x = 0,
                     std::int64_t origin_y = 0);

}  // namespace vimbrel
