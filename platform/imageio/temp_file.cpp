#include "platform/imageio/temp_file.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <exception>
#include <filesystem>
#include <random>

#include "platform/pixels/runtime_error.h"

namespace vimbrel {

namespace {

// A hard-to-guess number for a temporary name; the exclusive create is what makes the name safe.
std::uint64_t random_tag() {
  static_assert(sizeof(std::random_device::result_type) == 4);
  try {
    std::random_device random;
    return std::uint64_t{random()} << 32 | random();
  } catch (const std::exception&) {  // no entropy source: the clock and the process id will do
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
           static_cast<std::uint64_t>(::getpid()) << 48;
  }
}

}  // namespace

ExclusiveTempFile::ExclusiveTempFile(std::string path, UniqueFd fd)
    : path_(std::move(path)), fd_(std::move(fd)) {}

ExclusiveTempFile ExclusiveTempFile::at(const std::string& path) {
  UniqueFd fd = create_exclusive(path);
  if (!fd) throw RuntimeError{errc::kPathAccess};
  return ExclusiveTempFile(path, std::move(fd));
}

ExclusiveTempFile ExclusiveTempFile::beside(const std::string& target) {
  const std::filesystem::path t(target);
  const std::string name = t.filename().string().substr(0, 100);
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string path =
        (t.parent_path() / ("." + name + "." + std::to_string(random_tag()) + ".tmp")).string();
    UniqueFd fd = create_exclusive(path);
    if (fd) return ExclusiveTempFile(std::move(path), std::move(fd));
    if (errno != EEXIST) break;
  }
  throw RuntimeError{errc::kPathAccess};
}

ExclusiveTempFile::~ExclusiveTempFile() {
  fd_.close();
  if (!path_.empty()) ::unlink(path_.c_str());
}

void ExclusiveTempFile::forget() {
  path_.clear();
}

bool ExclusiveTempFile::keep() {
  if (!fd_.close()) return false;
  forget();
  return true;
}

bool ExclusiveTempFile::rename_over(const std::string& target) {
  if (!fd_.close() || ::rename(path_.c_str(), target.c_str()) != 0) return false;
  forget();
  return true;
}

}  // namespace vimbrel
