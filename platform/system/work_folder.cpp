#include "platform/system/work_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/system/run_names.h"

namespace vimbrel {

namespace {

namespace fs = std::filesystem;

// Makes a fresh run-tagged folder in `parent`; empty when none can be made.
std::string make_private_folder(const std::string& parent) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string path = parent + run_tag();
    // Absolute, so that the file dialogs moving the current folder cannot move it.
    if (::mkdir(path.c_str(), 0700) == 0) {
      std::error_code ec;
      const fs::path full = fs::absolute(path, ec);
      return (ec ? path : full.string()) + "/";
    }
    if (errno != EEXIST) break;
  }
  return {};
}

}  // namespace

void sweep_ended_work_folders(const std::string& parent) {
  std::error_code ec;
  fs::directory_iterator it(parent.empty() ? fs::path(".") : fs::path(parent), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    struct stat st {};
    // Only real folders of this user: never a link, nor another user's folder.
    if (::lstat(it->path().c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) continue;
    if (!tag_of_ended_run(name, 0, "")) continue;
    std::error_code ignored;
    fs::remove_all(it->path(), ignored);
  }
}

PrivateWorkFolder::PrivateWorkFolder(const std::string& parent)
    : path_((sweep_ended_work_folders(parent), make_private_folder(parent))),
      on_signal_(path_, RemovedOnSignal::Kind::kFolder) {}

PrivateWorkFolder::~PrivateWorkFolder() {
  remove();
}

void PrivateWorkFolder::remove() {
  if (removed_) return;
  removed_ = true;
  on_signal_.release();
  std::error_code ec;
  if (!path_.empty()) fs::remove_all(path_, ec);
}

}  // namespace vimbrel
