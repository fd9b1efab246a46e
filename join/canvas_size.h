// The canvas size rule: both images side by side or one above the other, plus the margin
// increments; an A image alone gets a canvas of exactly its own size.
#pragma once

#include <optional>

#include "join/session.h"

namespace vimbrel {

// The radio button on FORM2 that sets `side`.
Window side_radio(const Controls& c, Side side);
// Where B joins A, from FORM2's RADIO1 ... RADIO4; nullopt when none is set.
std::optional<Side> attachment_side(Session& s);

struct CanvasSize {
  float width = 0, height = 0;
  friend bool operator==(const CanvasSize&, const CanvasSize&) = default;
};

// The canvas for the document's two images joined on `side` (as attachment_side returns it).
CanvasSize canvas_size_for(const JoinDocument& doc, std::optional<Side> side);

}  // namespace vimbrel
