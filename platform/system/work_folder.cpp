#include "platform/system/work_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <system_error>

#include "platform/system/run_lock.h"
#include "platform/system/run_names.h"

namespace vimbrel {

namespace {

namespace fs = std::filesystem;

constexpr const char* kLockName = "run.lock";
constexpr int kDeepestFolder = 16;  // the run makes no folders inside; anything deeper stays

bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_ino == b.st_ino && a.st_dev == b.st_dev;
}

// Calls `visit` with the name of each entry of the folder open at `dir` but "." and "..", listing it
// from the start through a descriptor of its own.
void for_each_entry(int dir, const std::function<void(const char* name)>& visit) {
  const int listing = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return;
  DIR* d = ::fdopendir(listing);
  if (d == nullptr) {
    ::close(listing);
    return;
  }
  while (const dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) visit(e->d_name);
  }
  ::closedir(d);
}

// Removes everything inside the folder open at `dir`, following no link: only what lies in this very
// folder goes, whatever its name now leads to.
void empty_folder(int dir, int depth = 0) {
  for_each_entry(dir, [dir, depth](const char* name) {
    struct stat st {};
    if (::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return;
    if (!S_ISDIR(st.st_mode)) {
      ::unlinkat(dir, name, 0);
    } else if (depth < kDeepestFolder) {
      const UniqueFd sub(::openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      if (sub) empty_folder(sub.get(), depth + 1);
      ::unlinkat(dir, name, AT_REMOVEDIR);
    }
  });
}

// Empties the folder held at `folder` and removes its entry `name` from `parent`, if that entry is
// still this folder.
void remove_held_folder(int parent, int folder, const std::string& name) {
  empty_folder(folder);
  struct stat held {
  }, named{};
  if (::fstat(folder, &held) == 0 && ::fstatat(parent, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
      same_file(held, named)) {
    ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
  }
}

// The folder of an ended run of this user, or no folder: a live one, another user's, or a link.
UniqueFd ended_run_folder(int parent, const char* name) {
  if (!is_run_tag(name, 0, "")) return {};
  struct stat st {};
  if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode) ||
      st.st_uid != ::getuid()) {
    return {};
  }
  UniqueFd folder(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat opened {};
  if (!folder || ::fstat(folder.get(), &opened) != 0 || !same_file(st, opened)) return {};
  const UniqueFd lock(::openat(folder.get(), kLockName, O_RDWR | O_NOFOLLOW | O_CLOEXEC));
  // No lock file: a folder just made, or one a run without locks left; judged by its age.
  const RunState state = lock ? run_state(lock.get()) : RunState::kUnknown;
  if (state == RunState::kEnded || (state == RunState::kUnknown && old_enough_to_sweep(st))) return folder;
  return {};
}

// The folder's lock, taken before its name appears, so that no sweep ever finds it unheld.
UniqueFd held_lock(int folder) {
  constexpr const char* kNewLock = "run.lock.new";
  UniqueFd lock(::openat(folder, kNewLock, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!lock) return {};
  if (hold_run_lock(lock.get())) ::renameat(folder, kNewLock, folder, kLockName);
  return lock;
}

void sweep_ended_work_folders(int parent) {
  for_each_entry(parent, [parent](const char* name) {
    if (const UniqueFd folder = ended_run_folder(parent, name))
      remove_held_folder(parent, folder.get(), name);
  });
}

UniqueFd open_parent(const std::string& parent) {
  return UniqueFd(::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// The name through which files are made in the held folder.
std::string folder_path(const std::string& parent, const std::string& name, int folder) {
  const std::string held = "/proc/self/fd/" + std::to_string(folder);
  struct stat through {
  }, direct{};
  if (::stat(held.c_str(), &through) == 0 && ::fstat(folder, &direct) == 0 && same_file(through, direct)) {
    return held + "/";
  }
  std::error_code ec;
  const fs::path full = fs::absolute(parent + name, ec);  // the dialogs move the current folder
  return (ec ? parent + name : full.string()) + "/";
}

}  // namespace

void sweep_ended_work_folders(const std::string& parent) {
  if (const UniqueFd fd = open_parent(parent)) sweep_ended_work_folders(fd.get());
}

PrivateWorkFolder::PrivateWorkFolder(const std::string& parent) : parent_(open_parent(parent)) {
  if (!parent_) return;
  sweep_ended_work_folders(parent_.get());
  // A signal between the mkdir and the folder's registration would leave it behind: it waits.
  const EndingSignalsHeld held;
  make(parent);
}

void PrivateWorkFolder::make(const std::string& parent) {
  for (int attempt = 0; attempt < 16 && !folder_; ++attempt) {
    std::string name = run_tag();
    if (::mkdirat(parent_.get(), name.c_str(), 0700) != 0) {
      if (errno == EEXIST) continue;
      return;
    }
    UniqueFd folder(::openat(parent_.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    // Made by this run a moment ago: anything else at the name now was put there by someone else.
    if (!folder || ::fstat(folder.get(), &st) != 0 || st.st_uid != ::geteuid() ||
        ::fchmod(folder.get(), 0700) != 0) {
      return;
    }
    lock_ = held_lock(folder.get());
    folder_ = std::move(folder);
    name_ = std::move(name);
  }
  if (!folder_) return;
  on_signal_.hold_folder(parent_.get(), folder_.get(), name_);
  path_ = folder_path(parent, name_, folder_.get());
}

PrivateWorkFolder::~PrivateWorkFolder() {
  remove();
}

void PrivateWorkFolder::remove() {
  if (removed_) return;
  removed_ = true;
  on_signal_.release();
  if (folder_) remove_held_folder(parent_.get(), folder_.get(), name_);
  lock_.close();
  folder_.close();
}

}  // namespace vimbrel
