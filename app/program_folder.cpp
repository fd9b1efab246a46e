#include "app/program_folder.h"

#include <system_error>

namespace vimbrel {

std::optional<std::filesystem::path> program_folder() {
  std::error_code ec;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || program.empty()) return std::nullopt;
  return program.parent_path();
}

}  // namespace vimbrel
