// A temporary folder that is removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>

namespace vimbrel::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// The public conformance images beside the checkout.
inline std::filesystem::path corpus_dir() {
  return VIMBREL_CORPUS_DIR;
}

}  // namespace vimbrel::test
