#include "join/canvas_settings.h"

#include <algorithm>
#include <optional>

#include "join/canvas_size.h"
#include "join/new_canvas.h"

namespace vimbrel {
namespace {

constexpr double kMarginCap = 1e9;

// Places GROUP2 and its two radio buttons for the side's row of the selector table.
void lay_out_selector(Session& s, const SelectorLayout& row) {
  JoinDocument& d = s.doc;
  keep_selector(d.selector, row);
  s.rt.MOVEWINDOW(s.c.GROUP2, d.selector.ctl_group_x, d.selector.ctl_group_y);
  s.rt.SETWINDOWSIZE(s.c.GROUP2, d.selector.ctl_group_width, d.selector.ctl_group_height);
  s.rt.MOVEWINDOW(s.c.RADIO5, d.selector.ctl_group_x + row.radio5_dx,
                  d.selector.ctl_group_y + d.selector.radio5_dy);
  s.rt.MOVEWINDOW(s.c.RADIO6, d.selector.ctl_group_x + row.radio6_dx,
                  d.selector.ctl_group_y + d.selector.radio6_dy);
}

}  // namespace

void keep_selector(SelectorPlacement& placement, const SelectorLayout& row) {
  placement.ctl_group_x = row.x, placement.ctl_group_y = row.y;
  placement.ctl_group_width = row.width, placement.ctl_group_height = row.height;
  placement.radio5_dy = row.radio5_dy, placement.radio6_dy = row.radio6_dy;
}

float margin_value(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  double value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min(value * 10 + (text[i] - '0'), kMarginCap);
  }
  return static_cast<float>(value);
}

void BUTTON2_ON(Session& s, Window owner) {
  empty_join(s, owner);
  s.rt.SHOWWINDOW(s.c.FORM3, -1);
  s.rt.SHOWWINDOW(s.c.FORM2, 0);
  s.doc.margin_x = margin_value(s.rt.GETWINDOWTEXT(s.c.EDIT1));
  s.doc.margin_y = margin_value(s.rt.GETWINDOWTEXT(s.c.EDIT2));
  s.rt.ENABLEWINDOW(s.c.BUTTON[53], -1);
  if (const std::optional<Side> side = attachment_side(s))
    lay_out_selector(s, kSelectorLayouts[row_of(*side)]);
}

}  // namespace vimbrel
