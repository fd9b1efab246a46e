#include "join/canvas_size.h"

#include <array>

namespace vimbrel {

Window side_radio(const Controls& c, Side side) {
  const std::array<Window, 4> radios{c.RADIO1, c.RADIO2, c.RADIO3, c.RADIO4};
  return radios[row_of(side)];
}

std::optional<Side> attachment_side(Session& s) {
  for (const Side side : kAllSides) {
    if (s.rt.GETCHECK(side_radio(s.c, side)) == 1) return side;
  }
  return std::nullopt;
}

CanvasSize canvas_size_for(const JoinDocument& doc, std::optional<Side> side) {
  const ImageSlot& a = doc.a;
  const ImageSlot& b = doc.b;
  if (b.width <= 0) return {a.width, a.height};
  CanvasSize c;  // no side: the margins alone
  if (side && side_by_side(*side)) {
    c = {a.width + b.width, b.height < a.height ? a.height : b.height};
  } else if (side) {
    c = {b.width < a.width ? a.width : b.width, a.height + b.height};
  }
  return {c.width + doc.margin_x, c.height + doc.margin_y};
}

}  // namespace vimbrel
