// Where the settings file is looked for: the current folder, then the user's configuration folder, then
// the folder the program was installed with.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vimbrel {

// The folders to look in, in order. `current` is skipped when empty (the current folder has gone); the
// user's folder is $XDG_CONFIG_HOME/vimbrel, or ~/.config/vimbrel when that is unset, empty or relative,
// and is skipped when neither can be had.
std::vector<std::filesystem::path> settings_folders(std::string_view current, const char* xdg_config_home,
                                                    const char* home, const std::filesystem::path& installed);

// The same for this process: its current folder, its environment and the installed data folder.
std::vector<std::filesystem::path> settings_folders();

// The first folder that holds the settings file; none when no folder does.
std::optional<std::filesystem::path> find_settings_folder(std::span<const std::filesystem::path> folders);

// Text for a settings file found nowhere: what it must hold and every place that was looked in.
std::string settings_not_found(std::span<const std::filesystem::path> folders);

}  // namespace vimbrel
