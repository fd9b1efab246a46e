// What this process removes when SIGINT or SIGTERM ends it: its private work folder (with the files
// in it), held by descriptors, and the temporary files it is writing. The handler only unlinks and
// removes folders from a table filled in advance, so it is safe to run at any moment.
#pragma once

#include <signal.h>

#include <string>

namespace vimbrel {

class RemovedOnSignal {
 public:
  enum class Kind { kFile, kFolder };
  RemovedOnSignal() = default;
  // Registers the file `path`. Without effect when the table is full (and so for the others).
  RemovedOnSignal(const std::string& path, Kind kind);
  // Registers the folder held open at `folder`, whose entry in the folder held at `parent` is `name`:
  // its files are removed through `folder`, and the entry only while it is still that folder.
  void hold_folder(int parent, int folder, const std::string& name);
  ~RemovedOnSignal() { release(); }
  RemovedOnSignal(const RemovedOnSignal&) = delete;
  RemovedOnSignal& operator=(const RemovedOnSignal&) = delete;
  // Takes the path out of the table: it is no longer removed on a signal.
  void release();

 private:
  int slot_ = -1;
};

// Holds SIGINT and SIGTERM back on this thread for its lifetime, so that a path is made and
// registered before the clean-up can run; a signal that came meanwhile is delivered at the end.
class EndingSignalsHeld {
 public:
  EndingSignalsHeld();
  ~EndingSignalsHeld();
  EndingSignalsHeld(const EndingSignalsHeld&) = delete;
  EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

 private:
  sigset_t before_{};
};

// Installs the handler for SIGINT and SIGTERM: it removes the registered paths and then ends the
// process by the same signal, as if there were no handler.
void remove_registered_paths_on_signals();

}  // namespace vimbrel
