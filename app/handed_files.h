// Files handed over on the command line, as a file manager's "Open with" gives them.
#pragma once

#include <string>
#include <vector>

#include "join/session.h"

namespace vimbrel {

// Once the windows wait for the user: a new join set up as the settings form starts (margins 50 and
// 50, B right of A), then A and, if given, B loaded as the load buttons load the file chosen in their
// dialog, with the same conversion and messages. Past two files, a message says the first two are
// taken. Nothing for no files.
void hand_over_files(Session& s, std::vector<std::string> files);

}  // namespace vimbrel
