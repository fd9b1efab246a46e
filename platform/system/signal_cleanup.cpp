#include "platform/system/signal_cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>

namespace vimbrel {

namespace {

enum SlotState : int { kFree, kFilling, kReady };

struct Slot {
  std::atomic<int> state{kFree};
  RemovedOnSignal::Kind kind = RemovedOnSignal::Kind::kFile;
  std::array<char, PATH_MAX> path{};  // a file's path, or a folder's name in its parent
  int parent = -1, folder = -1;       // a folder's descriptors
};

// The one table the signal handler reads; a process holds a work folder and a few files at most.
std::array<Slot, 32> g_slots;

// The files directly in the folder held at `folder`, unlinked with raw system calls only (no
// allocation); a fresh open of it lists from the start.
void empty_folder(int folder) {
  const int dir = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;
  alignas(8) char buffer[4096];
  for (;;) {
    const long n = ::syscall(SYS_getdents64, dir, buffer, sizeof buffer);
    if (n <= 0) break;
    for (long at = 0; at < n;) {
      struct Entry {
        ino64_t ino;
        off64_t off;
        unsigned short reclen;
        unsigned char type;
        char name[1];
      };
      const auto* e = reinterpret_cast<const Entry*>(buffer + at);
      if (std::strcmp(e->name, ".") != 0 && std::strcmp(e->name, "..") != 0) ::unlinkat(dir, e->name, 0);
      at += e->reclen;
    }
  }
  ::close(dir);
}

void remove_registered(int signal) {
  for (const RemovedOnSignal::Kind pass : {RemovedOnSignal::Kind::kFile, RemovedOnSignal::Kind::kFolder}) {
    for (Slot& s : g_slots) {
      if (s.state.load() != kReady || s.kind != pass) continue;
      if (pass == RemovedOnSignal::Kind::kFile) {
        ::unlink(s.path.data());
      } else {
        empty_folder(s.folder);
        struct stat held {
        }, named{};
        if (::fstat(s.folder, &held) == 0 &&
            ::fstatat(s.parent, s.path.data(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            held.st_ino == named.st_ino && held.st_dev == named.st_dev) {
          ::unlinkat(s.parent, s.path.data(), AT_REMOVEDIR);
        }
      }
    }
  }
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

}  // namespace

// Takes a free slot and fills it; -1 when the table is full.
int fill_slot(RemovedOnSignal::Kind kind, const std::string& path, int parent, int folder) {
  if (path.empty() || path.size() >= PATH_MAX) return -1;
  for (std::size_t i = 0; i < g_slots.size(); ++i) {
    Slot& s = g_slots[i];
    int expected = kFree;
    if (!s.state.compare_exchange_strong(expected, kFilling)) continue;
    s.kind = kind;
    std::memcpy(s.path.data(), path.c_str(), path.size() + 1);
    s.parent = parent;
    s.folder = folder;
    s.state.store(kReady);
    return static_cast<int>(i);
  }
  return -1;
}

RemovedOnSignal::RemovedOnSignal(const std::string& path, Kind kind)
    : slot_(kind == Kind::kFile ? fill_slot(kind, path, -1, -1) : -1) {}

void RemovedOnSignal::hold_folder(int parent, int folder, const std::string& name) {
  release();
  slot_ = fill_slot(Kind::kFolder, name, parent, folder);
}

void RemovedOnSignal::release() {
  if (slot_ >= 0) g_slots[static_cast<std::size_t>(slot_)].state.store(kFree);
  slot_ = -1;
}

EndingSignalsHeld::EndingSignalsHeld() {
  sigset_t ending;
  sigemptyset(&ending);
  sigaddset(&ending, SIGINT);
  sigaddset(&ending, SIGTERM);
  ::pthread_sigmask(SIG_BLOCK, &ending, &before_);
}

EndingSignalsHeld::~EndingSignalsHeld() {
  ::pthread_sigmask(SIG_SETMASK, &before_, nullptr);
}

void remove_registered_paths_on_signals() {
  struct sigaction action {};
  action.sa_handler = remove_registered;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

}  // namespace vimbrel
