#include "platform/system/temp_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/pixels/runtime_error.h"
#include "platform/system/run_lock.h"
#include "platform/system/run_names.h"

namespace vimbrel {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTempSuffix = ".tmp";

// Removes the temporary files of ended runs beside `target`'s name: ".<name>.<tag>.tmp". A writing
// run holds the lock on its file; where the file system has no locks, only old files go.
void sweep_ended_temp_files(const fs::path& folder) {
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const std::size_t tag = name.rfind(".vimbrel-");
    if (name.empty() || name[0] != '.' || tag == std::string::npos || tag == 0) continue;
    if (!is_run_tag(name, tag + 1, kTempSuffix)) continue;
    struct stat st {};
    if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) continue;
    const UniqueFd fd(::open(it->path().c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened {};
    if (!fd || ::fstat(fd.get(), &opened) != 0 || opened.st_ino != st.st_ino || opened.st_dev != st.st_dev) {
      continue;
    }
    const RunState state = run_state(fd.get());
    if (state == RunState::kEnded || (state == RunState::kUnknown && old_enough_to_sweep(st))) {
      ::unlink(it->path().c_str());
    }
  }
}

// Takes the run's lock on the file just made at `path`, and tells whether it is still the file there.
// Between the create and the lock another run's sweep may take the file for a killed run's: its lock
// then fails, or the name is gone.
bool locked_under(int fd, const std::string& path) {
  struct stat opened {
  }, named{};
  const bool locked = hold_run_lock(fd) || errno != EWOULDBLOCK;  // no locks here: nothing to race
  return locked && ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
         opened.st_ino == named.st_ino && opened.st_dev == named.st_dev;
}

// Why a file could not be made at or in `where`.
std::string creation_failure(int error, const std::string& where) {
  if (error == EEXIST) return where + " exists already";
  if (error == ENOSPC || error == EDQUOT) return "no space left for a file in " + where;
  if (error == ENOENT || error == ENOTDIR) return "the folder of " + where + " is missing";
  if (error == EACCES || error == EPERM || error == EROFS) return "no file can be made in " + where;
  return std::error_code(error, std::generic_category()).message() + " (" + where + ")";
}

}  // namespace

ExclusiveTempFile::ExclusiveTempFile(std::string path, UniqueFd fd)
    : path_(std::move(path)), fd_(std::move(fd)), on_signal_(path_, RemovedOnSignal::Kind::kFile) {}

ExclusiveTempFile ExclusiveTempFile::at(const std::string& path) {
  const EndingSignalsHeld held;  // made and registered before the clean-up may run
  UniqueFd fd = create_exclusive(path);
  if (!fd) throw RuntimeError{errc::kPathAccess, creation_failure(errno, path)};
  return ExclusiveTempFile(path, std::move(fd));
}

ExclusiveTempFile ExclusiveTempFile::beside(const std::string& target) {
  const fs::path t(target);
  sweep_ended_temp_files(t.parent_path());
  const std::string name = t.filename().string().substr(0, 100);
  const EndingSignalsHeld held;  // made and registered before the clean-up may run
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string path = (t.parent_path() / ("." + name + "." + run_tag() + std::string(kTempSuffix))).string();
    UniqueFd fd = create_exclusive(path);
    if (fd && locked_under(fd.get(), path)) return ExclusiveTempFile(std::move(path), std::move(fd));
    if (fd) continue;  // another run's sweep took it in the moment before the lock
    if (errno != EEXIST)
      throw RuntimeError{errc::kPathAccess, creation_failure(errno, t.parent_path().string())};
  }
  throw RuntimeError{errc::kPathAccess, "no free temporary name in " + t.parent_path().string()};
}

ExclusiveTempFile::~ExclusiveTempFile() {
  fd_.close();
  if (!path_.empty()) ::unlink(path_.c_str());
}

void ExclusiveTempFile::forget() {
  on_signal_.release();
  path_.clear();
}

bool ExclusiveTempFile::keep() {
  if (!fd_.close()) return false;
  forget();
  return true;
}

bool ExclusiveTempFile::rename_over(const std::string& target) {
  // The run's lock lives as long as any descriptor of the file: a second one keeps other runs' sweeps
  // off it between the close, which reports a late write error, and the rename.
  const UniqueFd lock(::dup(fd_.get()));
  if (!fd_.close() || ::rename(path_.c_str(), target.c_str()) != 0) return false;
  forget();
  return true;
}

}  // namespace vimbrel
