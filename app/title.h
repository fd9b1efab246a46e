// The main window's caption, the status line: images with their sizes, failures, canvas size.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "join/session.h"

namespace vimbrel {

// The caption for the document as it stands. Its fixed words come from `translate` (the runtime's
// translation of a source text), the file names and sizes as they are.
std::string title_text(
    const JoinDocument& doc, const std::function<std::string(std::string_view)>& translate =
                                 [](std::string_view t) { return std::string(t); });

// Rebuilds the caption of MAINFORM.
void TITLE_SET(Session& s, Window owner);

}  // namespace vimbrel
