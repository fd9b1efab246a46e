#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace vimbrel::test {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "vimbrel-test-XXXXXX").string();
  if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                               ec);
  std::filesystem::remove_all(path_, ec);
}

}  // namespace vimbrel::test
