// The cut-out window: a source at full size in the frameless FORM4.
#pragma once

#include "join/session.h"

namespace vimbrel {

void LOAD_KCG(Session& s, Window owner);
void add_cutout_events(Session& s, EventTable& table);

}  // namespace vimbrel
