#include "join/canvas_size.h"

namespace vimbrel {

int attachment_side(Session& s) {
  const Window radios[] = {s.c.RADIO1, s.c.RADIO2, s.c.RADIO3, s.c.RADIO4};
  for (int i = 0; i < 4; ++i) {
    if (s.rt.GETCHECK(radios[i]) == 1) return i + 1;
  }
  return 0;
}

CanvasSize canvas_size_for(const JoinDocument& doc, int side) {
  const ImageSlot& a = doc.a;
  const ImageSlot& b = doc.b;
  if (b.width <= 0) return {a.width, a.height};
  CanvasSize c;
  if (side == 1 || side == 3) {
    c = {a.width + b.width, b.height < a.height ? a.height : b.height};
  } else if (side == 2 || side == 4) {
    c = {b.width < a.width ? a.width : b.width, a.height + b.height};
  }
  return {c.width + doc.margin_x, c.height + doc.margin_y};
}

}  // namespace vimbrel
