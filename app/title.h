// The main window's caption, the status line: images with their sizes, failures, canvas size.
#pragma once

#include <string>

#include "join/session.h"

namespace vimbrel {

// The caption for the document as it stands.
std::string title_text(const JoinDocument& doc);

// Rebuilds the caption of MAINFORM.
void TITLE_SET(Session& s, Window owner);

}  // namespace vimbrel
