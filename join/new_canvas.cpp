#include "join/new_canvas.h"

namespace vimbrel {

void add_new_canvas_events(Session&, EventTable&) {}

}  // namespace vimbrel
