#include "sources/crop_sliders.h"

namespace vimbrel {

void add_crop_events(Session&, EventTable&) {}

}  // namespace vimbrel
