// Loading the A and B images, with reload and recovery from failed reads.
#pragma once

#include "join/session.h"

namespace vimbrel {

void add_loading_events(Session& s, EventTable& table);

}  // namespace vimbrel
