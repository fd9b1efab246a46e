// Where the running program lies: installed files (the default settings, the Qt module) are found
// from there, so that one build serves any install prefix and the Debian package.
#pragma once

#include <filesystem>
#include <optional>

namespace vimbrel {

// The folder of the running program; none when the system does not say (no /proc).
std::optional<std::filesystem::path> program_folder();

}  // namespace vimbrel
