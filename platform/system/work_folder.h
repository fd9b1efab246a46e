// This process's own folder inside the work folder named in the settings (or given to `join`), so
// that no two runs sharing that folder ever see each other's work file.
#pragma once

#include <string>

#include "platform/system/signal_cleanup.h"

namespace vimbrel {

class PrivateWorkFolder {
 public:
  // Sweeps the folders of ended runs from `parent` (the work folder as written in the settings:
  // folder and separator), then makes "<parent>vimbrel-<pid>-<random>" exclusively, mode 0700.
  // path() is empty when it cannot be made (the work folder is missing or not writable).
  explicit PrivateWorkFolder(const std::string& parent);
  // Removes the folder with everything in it, unless remove() already did.
  ~PrivateWorkFolder();
  PrivateWorkFolder(const PrivateWorkFolder&) = delete;
  PrivateWorkFolder& operator=(const PrivateWorkFolder&) = delete;

  // The folder, absolute, with a trailing separator; empty when there is none.
  const std::string& path() const { return path_; }

  // Removes the folder now, for a run that has no more use for it (path() stays as it was). A file
  // system that discards freed blocks may wait for the disk here, so a run removes it before it
  // starts a large write rather than after.
  void remove();

 private:
  std::string path_;
  bool removed_ = false;
  RemovedOnSignal on_signal_;
};

// Removes, from `parent`, the private work folders of this user's runs that no longer run.
void sweep_ended_work_folders(const std::string& parent);

}  // namespace vimbrel
