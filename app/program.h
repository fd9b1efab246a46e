// The whole program put together: the shell procedures and the event table.
#pragma once

#include "join/session.h"

namespace vimbrel {

// Wires the shell procedures that the joining and source procedures call, and the event table.
void wire_program(Session& s);

}  // namespace vimbrel
