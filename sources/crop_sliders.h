// The crop sliders: each image trimmed from its four edges, at least one column and row always left.
#pragma once

#include "join/session.h"

namespace vimbrel {

// Fits the controlled image's crop and the sliders to its size (one body for A and B).
void ACG_SRID_CHK(Session& s, Window owner);
void BCG_SRID_CHK(Session& s, Window owner);
void add_crop_events(Session& s, EventTable& table);

}  // namespace vimbrel
