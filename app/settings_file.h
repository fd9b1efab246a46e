// The settings file KANKYO.TXT: its second line names the work folder.
#pragma once

#include <filesystem>
#include <string>

namespace vimbrel {

inline constexpr const char* kSettingsFileName = "KANKYO.TXT";

// The work folder of the settings file in `folder`: line 2 after its first comma (the whole line when it has
// none). The file is UTF-8 (a byte-order mark is skipped) or, when it is not valid UTF-8, cp932.
// Throws RuntimeError 53 when the file is missing or cannot be opened, 62 when it ends before line 2.
std::string read_work_drive(const std::filesystem::path& folder);

// Text telling the user what is wrong with the settings file and what its line 2 must hold.
std::string settings_file_problem(const std::filesystem::path& folder, int code);

}  // namespace vimbrel
