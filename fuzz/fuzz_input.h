// The fuzz targets' common part: each input written to a file in a folder of the process's own,
// since the readers under test read files, and that folder removed when the process ends.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace vimbrel::fuzz {

class InputFolder {
 public:
  InputFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/vimbrel-fuzz-XXXXXX";
    if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
    path_ = tmpl;
  }
  ~InputFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  InputFolder(const InputFolder&) = delete;
  InputFolder& operator=(const InputFolder&) = delete;

  std::string file(const char* name) const { return (path_ / name).string(); }

  // Writes the input to `name` in the folder and gives its path.
  std::string write(const char* name, const std::uint8_t* data, std::size_t size) const {
    const std::string p = file(name);
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out.flush()) std::abort();
    return p;
  }

 private:
  std::filesystem::path path_;
};

// The process's one folder, made on first use.
inline const InputFolder& input_folder() {
  static const InputFolder folder;
  return folder;
}

}  // namespace vimbrel::fuzz
