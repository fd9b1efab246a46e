// This process's own folder inside the work folder named in the settings (or given to `join`), so
// that no two runs sharing that folder ever see each other's work file. The folder is held by a
// descriptor from the moment it is made: another user who may write the work folder can rename it
// away or plant a link in its place, and the run still writes and removes only its own folder.
#pragma once

#include <string>

#include "platform/system/file_io.h"
#include "platform/system/signal_cleanup.h"

namespace vimbrel {

class PrivateWorkFolder {
 public:
  // Sweeps the folders of ended runs from `parent` (the work folder as written in the settings:
  // folder and separator), then makes "<parent>vimbrel-<pid>-<random>" exclusively, mode 0700, and
  // holds its lock for as long as the run has it. path() is empty when it cannot be made (the work
  // folder is missing or not writable).
  explicit PrivateWorkFolder(const std::string& parent);
  // Removes the folder with everything in it, unless remove() already did.
  ~PrivateWorkFolder();
  PrivateWorkFolder(const PrivateWorkFolder&) = delete;
  PrivateWorkFolder& operator=(const PrivateWorkFolder&) = delete;

  // The folder with a trailing separator, for the names of the files made in it: a path through the
  // held descriptor (/proc/self/fd/N/) where /proc is there, which no rename or link can redirect,
  // else the folder's absolute path. Empty when there is none.
  const std::string& path() const { return path_; }

  // Removes the folder now, for a run that has no more use for it (path() stays as it was). A file
  // system that discards freed blocks may wait for the disk here, so a run removes it before it
  // starts a large write rather than after.
  void remove();

 private:
  void make(const std::string& parent);

  UniqueFd parent_, folder_, lock_;
  std::string name_, path_;
  bool removed_ = false;
  RemovedOnSignal on_signal_;
};

// Removes, from `parent`, the private work folders of this user's runs that have ended: those whose
// lock nobody holds (or, on a file system without locks, those a day old).
void sweep_ended_work_folders(const std::string& parent);

}  // namespace vimbrel
