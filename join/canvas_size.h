// The canvas size rule: both images side by side or one above the other, plus the margin
// increments; an A image alone gets a canvas of exactly its own size.
#pragma once

#include "join/session.h"

namespace vimbrel {

// Where B joins A, from FORM2's RADIO1 ... RADIO4: 1 right, 2 below, 3 left, 4 above; 0 when none is
// set. The buttons are tested in that order.
int attachment_side(Session& s);

struct CanvasSize {
  float width = 0, height = 0;
  friend bool operator==(const CanvasSize&, const CanvasSize&) = default;
};

// The canvas for the document's two images joined on `side` (as attachment_side returns it).
CanvasSize canvas_size_for(const JoinDocument& doc, int side);

}  // namespace vimbrel
