// Whether the run that made a file or folder still runs, told by a lock the living run holds: it
// holds across PID namespaces, containers and machines sharing a folder (on file systems with locks),
// where a process id names another process or none.
#pragma once

#include <sys/stat.h>

namespace vimbrel {

enum class RunState { kRunning, kEnded, kUnknown };

// Takes the run's lock on the open file `fd` for as long as it stays open. False where the file system
// has no locks.
bool hold_run_lock(int fd);

// kEnded when nobody holds the lock on `fd` (this process then holds it until `fd` is closed),
// kRunning when another open file does, kUnknown when the file system has no locks.
RunState run_state(int fd);

// For file systems without locks: what a run left is swept only once it is this old.
inline constexpr long kUnlockedSweepAgeSeconds = 24 * 60 * 60;
bool old_enough_to_sweep(const struct stat& st);

}  // namespace vimbrel
