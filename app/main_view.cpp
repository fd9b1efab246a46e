#include "app/main_view.h"

namespace vimbrel {

// Lays out the main view and copies the visible part of the canvas; filled in with the view layout.
void CG_ON_SUB(Session&, Window) {}

void add_view_events(Session&, EventTable&) {}

}  // namespace vimbrel
