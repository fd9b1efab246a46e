// Where the main view shows the drawn parts of the pictures, for placing windows clear of them.
#pragma once

#include <optional>
#include <vector>

#include "join/join_document.h"
#include "platform/runtime/window_placement.h"

namespace vimbrel {

// The drawn part of each placed picture (or of `only` that twin) as the last layout shows it, in
// pixels of the main form's client area, cut to the view; pictures out of sight give nothing.
std::vector<ScreenRect> shown_work(const JoinDocument& d, std::optional<Twin> only = std::nullopt);

}  // namespace vimbrel
