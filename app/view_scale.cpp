#include "app/view_scale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/pixels/rounding.h"

namespace vimbrel {
namespace {

constexpr std::array<double, 14> kSteps{1.0 / 16, 1.0 / 12, 1.0 / 8, 1.0 / 6, 1.0 / 4, 1.0 / 3, 1.0 / 2,
                                        2.0 / 3,  1,        2,       3,       4,       6,       8};
constexpr double kLeast = 1.0 / 64;  // a fit never goes below this

// Past this a pixel offset no longer fits a 16-bit scroll position; the bar then runs 0 ... 10000.
constexpr float kMaxUnscaled = 32767;
constexpr std::int16_t kScaledRange = 10000;

double fit_scale(const ViewInput& in) {
  if (in.canvas_width <= 0 || in.canvas_height <= 0) return 1;
  const double zoom = std::min(static_cast<double>(std::max(in.client_width, 1)) / in.canvas_width,
                               static_cast<double>(std::max(in.client_height, 1)) / in.canvas_height);
  return std::clamp(zoom * in.device_ratio, kLeast, 1.0);
}

// As SCROLL_XD_SUB: the range of one axis from what does not fit.
void scroll_range(ViewAxis& a, float canvas, int view, double zoom, double ratio, std::int16_t pos) {
  a.extent = zoom == 1 ? static_cast<double>(view) : view / zoom;
  a.over = zoom == 1 ? canvas - static_cast<float>(view) : static_cast<float>(canvas - a.extent);
  a.unit = 1;
  if (a.over > 0) {
    if (a.over > kMaxUnscaled) {
      a.unit = a.over / kScaledRange;
      a.max = kScaledRange;
    } else {
      a.max = to_int16(a.over);
    }
  } else {
    a.max = 0;
  }
  a.origin = static_cast<float>(pos) * a.unit;
  a.surface = ratio == 1 ? view : static_cast<int>(std::lround(view * ratio));
}

}  // namespace

ViewShown show_view(const ViewInput& in) {
  ViewShown v;
  v.scale = in.chosen.fit ? fit_scale(in) : in.chosen.scale;
  v.zoom = in.device_ratio == 1 ? v.scale : v.scale / in.device_ratio;
  v.plain = v.scale == 1 && in.device_ratio == 1;
  float shown_width = in.canvas_width, shown_height = in.canvas_height;
  if (v.zoom != 1) {
    shown_width = static_cast<float>(in.canvas_width * v.zoom);
    shown_height = static_cast<float>(in.canvas_height * v.zoom);
    if (in.chosen.fit) {  // whatever the float rounding, a fit needs no bar
      shown_width = std::min(shown_width, static_cast<float>(in.client_width));
      shown_height = std::min(shown_height, static_cast<float>(in.client_height));
    }
  }
  v.layout = layout_view(shown_width, shown_height, in.client_width, in.client_height, in.bar);
  scroll_range(v.x, in.canvas_width, v.layout.view_width, v.zoom, in.device_ratio,
               v.layout.keep_x ? in.scroll_pos_x : std::int16_t{0});
  scroll_range(v.y, in.canvas_height, v.layout.view_height, v.zoom, in.device_ratio,
               v.layout.keep_y ? in.scroll_pos_y : std::int16_t{0});
  return v;
}

std::span<const double> view_steps() {
  return kSteps;
}

double step_in(double scale) {
  for (const double s : kSteps)
    if (s > scale * (1 + 1e-9)) return s;
  return std::max(scale, kSteps.back());
}

double step_out(double scale) {
  for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it)
    if (*it < scale * (1 - 1e-9)) return *it;
  return std::min(scale, kSteps.front());
}

std::int16_t scroll_for_point(const ViewShown& v, bool x_axis, double canvas, double at) {
  const ViewAxis& a = x_axis ? v.x : v.y;
  if (a.max <= 0) return 0;
  const double origin = std::clamp(canvas - at / v.zoom, 0.0, static_cast<double>(a.over));
  return static_cast<std::int16_t>(std::clamp<long>(std::lround(origin / a.unit), 0, a.max));
}

std::string scale_text(double scale) {
  // Whole percents from 10 % up, tenths below (6.3 % is a sixteenth).
  const double percent = scale * 100;
  char text[32];
  if (percent >= 9.95) {
    std::snprintf(text, sizeof text, "%.0f%%", std::round(percent));
  } else {
    std::snprintf(text, sizeof text, "%.1f%%", std::round(percent * 10) / 10);
  }
  return text;
}

}  // namespace vimbrel
