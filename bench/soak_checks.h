// What the soak checks after each action: the canvas or the view the program shows against the
// document composed afresh.
#pragma once

#include <string>

#include "join/session.h"
#include "platform/runtime/headless/headless_runtime.h"

namespace vimbrel {

// Empty when what the program shows agrees with the document, else where and how it differs.
// At 100 % the canvas object is checked (in full while it is small, else the part the view shows:
// reading the whole would make the program produce all of it); away from 100 % the view itself.
// `compared` counts the comparisons made.
std::string canvas_check(Session& s, HeadlessRuntime& rt, long& compared);

}  // namespace vimbrel
