#include "app/view_layout.h"

#include <algorithm>

#include "platform/pixels/rounding.h"

namespace vimbrel {
namespace {

std::int16_t view_size(int v) {
  return static_cast<std::int16_t>(std::clamp(v, 0, 32767));
}

int half(int v) {
  return v / 2;  // truncates toward zero
}

}  // namespace

ViewLayout layout_view(float canvas_width, float canvas_height, int client_width, int client_height,
                       int bar) {
  ViewLayout l;
  l.hbar = canvas_width > static_cast<float>(client_width);
  l.vbar = canvas_height > static_cast<float>(client_height);
  // A bar across one axis takes room from the other.
  if (!l.hbar && l.vbar) l.hbar = canvas_width > static_cast<float>(client_width - bar);
  if (!l.vbar && l.hbar) l.vbar = canvas_height > static_cast<float>(client_height - bar);

  const int cw = to_pixel(canvas_width), ch = to_pixel(canvas_height);
  if (!l.hbar && !l.vbar) {
    l.x = half(client_width - cw), l.y = half(client_height - ch);
    l.view_width = view_size(cw), l.view_height = view_size(ch);
  } else if (!l.vbar) {
    l.y = half(client_height - ch - bar);
    l.view_width = view_size(client_width), l.view_height = view_size(ch);
  } else if (!l.hbar) {
    l.x = half(client_width - cw - bar);
    l.view_width = view_size(cw), l.view_height = view_size(client_height);
  } else {
    l.view_width = view_size(client_width - bar), l.view_height = view_size(client_height - bar);
  }
  l.keep_x = l.hbar;
  l.keep_y = l.vbar;
  return l;
}

}  // namespace vimbrel
