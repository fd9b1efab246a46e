#include "join/renderer.h"

namespace vimbrel {

void add_renderer_events(Session&, EventTable&) {}

}  // namespace vimbrel
