// The composition renderer: paints the canvas from the join document and shows it.
#pragma once

#include "join/session.h"

namespace vimbrel {

void LOAD_SCG(Session& s, Window owner);
void add_renderer_events(Session& s, EventTable& table);

}  // namespace vimbrel
