#include "sources/loading.h"

namespace vimbrel {

void add_loading_events(Session&, EventTable&) {}

}  // namespace vimbrel
