// Files dropped on the program's windows from outside (a file manager, say).
#pragma once

#include <functional>
#include <span>
#include <string>

#include "platform/runtime/handles.h"

namespace vimbrel {

// One item of a drop: a local path, and whether it names a regular file (not a folder, not a
// remote or otherwise unusable item, whose path is empty).
struct DroppedItem {
  std::string path;
  bool regular_file = false;
};

// The program's rule for drops: the button that a drop of `items` on `target` (a form or control)
// clicks, or no window when the drop is refused.
using DropRule = std::function<Window(Window target, std::span<const DroppedItem> items)>;
// What to tell the user about a drop the rule refuses, when a word helps (empty: refused silently).
using DropHint = std::function<std::string(Window target, std::span<const DroppedItem> items)>;

}  // namespace vimbrel
