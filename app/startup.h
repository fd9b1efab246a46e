// Start-up: binds the forms and controls, sets the start values, reads the settings file, and serves
// events until the main window ends.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "join/session.h"

namespace vimbrel {

// Everything before the event loop. `settings_folder` holds KANKYO.TXT (the current folder in the
// program). Throws RuntimeError when the settings file is missing (53) or short (62).
void start_up(Session& s, const std::filesystem::path& settings_folder);
// The same, with the work folder given by `work_drive` instead of a settings file.
void start_up(Session& s, const std::function<std::string()>& work_drive);

// Puts the work file (same name) into this process's own folder inside the work folder; an empty
// `folder` (none could be made) leaves it where the settings put it.
void use_private_work_folder(Session& s, const std::string& folder);

// The event loop; returns the program's exit status once the runtime has ended it.
int run_event_loop(Session& s);

void MAINFORM_END(Session& s, Window owner);

}  // namespace vimbrel
