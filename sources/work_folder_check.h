// The work folder that converted pictures go through: checked when the settings are read and
// before a conversion needs it, and named with the settings file it came from when it is unusable.
#pragma once

#include <string>

#include "join/session.h"

namespace vimbrel {

// Whether the work file can be written where the document says.
bool work_folder_usable(const JoinDocument& d);

// The message naming the work folder and the settings file it came from, in the user's language.
std::string work_folder_message(const Session& s);

// The same in English, for the `join` command's report.
std::string work_folder_detail(const JoinDocument& d);

// At start: tells the user once when the work folder cannot be used (bitmaps still load); returns
// whether it can.
bool check_work_folder(Session& s, Window owner);

}  // namespace vimbrel
