#include "platform/system/run_lock.h"

#include <sys/file.h>

#include <cerrno>
#include <ctime>

namespace vimbrel {

bool hold_run_lock(int fd) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

RunState run_state(int fd) {
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return RunState::kEnded;
    if (errno == EWOULDBLOCK) return RunState::kRunning;
    if (errno != EINTR) return RunState::kUnknown;
  }
}

bool old_enough_to_sweep(const struct stat& st) {
  return std::time(nullptr) - st.st_mtime > kUnlockedSweepAgeSeconds;
}

}  // namespace vimbrel
