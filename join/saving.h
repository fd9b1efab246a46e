// Saving the joined picture as a bitmap file.
#pragma once

#include "join/session.h"

namespace vimbrel {

// "結合画像の保存": writes the composite cut to the bounding box of the drawn parts as a ".BMP" file,
// then re-makes and redraws the canvas. A file that cannot be written is reported; the join stays.
void BUTTON60_ON(Session& s, Window owner);

void add_saving_events(Session& s, EventTable& table);

}  // namespace vimbrel
