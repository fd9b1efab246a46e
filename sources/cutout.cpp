#include "sources/cutout.h"

namespace vimbrel {

void add_cutout_events(Session&, EventTable&) {}

}  // namespace vimbrel
