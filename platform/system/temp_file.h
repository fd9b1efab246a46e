// A file made exclusively for this run and removed again unless it was finished: the converter's
// work file, and a new bitmap file written beside its target before it is renamed over it.
#pragma once

#include <string>

#include "platform/system/file_io.h"
#include "platform/system/signal_cleanup.h"

namespace vimbrel {

class ExclusiveTempFile {
 public:
  // Exactly at `path`. RuntimeError 75 when anything (even a dangling link) is there already, or
  // when the folder is missing or not writable.
  static ExclusiveTempFile at(const std::string& path);
  // Under a fresh hard-to-guess name in the folder of `target`, ".<name>.vimbrel-<pid>-<random>.tmp".
  // Such files left there by processes that have ended (killed half-way) are removed first.
  // RuntimeError 75 when none can be made.
  static ExclusiveTempFile beside(const std::string& target);

  ~ExclusiveTempFile();
  ExclusiveTempFile(const ExclusiveTempFile&) = delete;
  ExclusiveTempFile& operator=(const ExclusiveTempFile&) = delete;

  int fd() const { return fd_.get(); }
  // Closes the file and keeps it. False (and the file removed) when the close reports an error.
  bool keep();
  // Closes the file and moves it over `target`. False (and the file removed) on any failure.
  bool rename_over(const std::string& target);

 private:
  ExclusiveTempFile(std::string path, UniqueFd fd);
  void forget();

  std::string path_;
  UniqueFd fd_;
  RemovedOnSignal on_signal_;
};

}  // namespace vimbrel
