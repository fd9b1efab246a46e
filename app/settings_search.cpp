#include "app/settings_search.h"

#include <cstdlib>
#include <optional>
#include <system_error>

#include "app/program_folder.h"
#include "app/settings_file.h"
#include "platform/pixels/runtime_error.h"
#include "platform/runtime/path_builtins.h"

namespace vimbrel {
namespace {

bool holds_settings(const std::filesystem::path& folder) {
  const std::filesystem::path file = folder / kSettingsFileName;
  try {
    return FILE_EXISTS(file.string());
  } catch (const RuntimeError&) {
    // A folder name with "*" or "?" is no pattern here: ask the file system directly.
    std::error_code ec;
    return std::filesystem::exists(file, ec) && !std::filesystem::is_directory(file, ec);
  }
}

// share/vimbrel beside the folder that holds the running program, so that an installed copy finds its
// default settings under whichever prefix it was installed (or unpacked from a package) to.
std::filesystem::path installed_data_folder() {
  const std::optional<std::filesystem::path> folder = program_folder();
  if (!folder) return VIMBREL_INSTALLED_DATA_DIR;
  return (*folder / VIMBREL_DATA_DIR_FROM_BIN).lexically_normal();
}

}  // namespace

std::vector<std::filesystem::path> settings_folders(std::string_view current, const char* xdg_config_home,
                                                    const char* home,
                                                    const std::filesystem::path& installed) {
  std::vector<std::filesystem::path> folders;
  if (!current.empty()) folders.emplace_back(current);
  // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules ask.
  if (xdg_config_home && std::filesystem::path(xdg_config_home).is_absolute()) {
    folders.push_back(std::filesystem::path(xdg_config_home) / "vimbrel");
  } else if (home && *home) {
    folders.push_back(std::filesystem::path(home) / ".config" / "vimbrel");
  }
  folders.push_back(installed);
  return folders;
}

std::vector<std::filesystem::path> settings_folders() {
  return settings_folders(CURRENT_DIR(""), std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"),
                          installed_data_folder());
}

std::optional<std::filesystem::path> find_settings_folder(std::span<const std::filesystem::path> folders) {
  for (const std::filesystem::path& folder : folders) {
    if (holds_settings(folder)) return folder;
  }
  return std::nullopt;
}

std::string settings_not_found(std::span<const std::filesystem::path> folders) {
  std::string text = settings_file_problem({}, errc::kFileNotFound) + "\nLooked for it in:";
  for (const std::filesystem::path& folder : folders) text += "\n  " + (folder / kSettingsFileName).string();
  return text;
}

}  // namespace vimbrel
