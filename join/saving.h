// Saving the joined picture as a bitmap file.
#pragma once

#include "join/session.h"

namespace vimbrel {

void add_saving_events(Session& s, EventTable& table);

}  // namespace vimbrel
