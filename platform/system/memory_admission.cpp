#include "platform/system/memory_admission.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "platform/pixels/runtime_error.h"

namespace vimbrel {

namespace {

constexpr std::uint64_t kUnbounded = std::numeric_limits<std::uint64_t>::max();
// Control groups write "no limit" as "max" (v2) or as a number near 2^63 (v1).
constexpr std::uint64_t kNoLimitAbove = std::uint64_t{1} << 62;

std::optional<std::uint64_t> read_number(const std::string& path) {
  std::ifstream in(path);
  std::uint64_t v = 0;
  if (in >> v) return v;
  return std::nullopt;
}

// The sum of the values of `keys` in a "key value" file such as memory.stat or /proc/meminfo, read once.
std::uint64_t sum_of(const std::string& path, std::initializer_list<std::string_view> keys) {
  std::ifstream in(path);
  std::string k;
  std::uint64_t v = 0, sum = 0;
  while (in >> k >> v) {
    if (std::ranges::find(keys, k) != keys.end()) sum += v;
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  }
  return sum;
}

std::uint64_t system_available() {
  const std::uint64_t kib = sum_of("/proc/meminfo", {"MemAvailable:", "SwapFree:"});
  return kib == 0 ? kUnbounded : kib * 1024;
}

// Room left in one control group: its limit less what it uses, page cache that can be dropped aside.
std::uint64_t group_room(const std::string& dir, const char* limit_file, const char* usage_file,
                         const char* inactive_key) {
  const std::optional<std::uint64_t> limit = read_number(dir + limit_file);
  if (!limit || *limit >= kNoLimitAbove) return kUnbounded;
  const std::uint64_t used = read_number(dir + usage_file).value_or(0);
  const std::uint64_t reclaimable = std::min(used, sum_of(dir + "/memory.stat", {inactive_key}));
  const std::uint64_t charged = used - reclaimable;
  return *limit > charged ? *limit - charged : 0;
}

// The least room of the group at `path` under `mount` and of every group above it.
std::uint64_t hierarchy_room(const std::string& mount, std::string path, bool v2) {
  std::uint64_t room = kUnbounded;
  for (;;) {
    const std::string dir = mount + (path == "/" ? "" : path);
    room = std::min(room, v2 ? group_room(dir, "/memory.max", "/memory.current", "inactive_file")
                             : group_room(dir, "/memory.limit_in_bytes", "/memory.usage_in_bytes",
                                          "total_inactive_file"));
    if (path == "/" || path.empty()) return room;
    path = path.substr(0, std::max<std::size_t>(1, path.rfind('/')));
  }
}

}  // namespace

std::uint64_t cgroup_room(const std::string& self_cgroup, const std::string& root) {
  std::ifstream in(self_cgroup);
  std::string line;
  std::uint64_t room = kUnbounded;
  while (std::getline(in, line)) {
    // "id:controllers:path"; v2 has the id 0 and no controllers.
    const std::size_t first = line.find(':'), second = line.find(':', first + 1);
    if (first == std::string::npos || second == std::string::npos) continue;
    const std::string controllers = "," + line.substr(first + 1, second - first - 1) + ",";
    const std::string path = line.substr(second + 1);
    if (controllers == ",,") {
      room = std::min(room, hierarchy_room(root, path, true));
    } else if (controllers.find(",memory,") != std::string::npos) {
      room = std::min(room, hierarchy_room(root + "/memory", path, false));
    }
  }
  return room;
}

namespace {

std::uint64_t address_space_room() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kUnbounded;
  const std::uint64_t pages = read_number("/proc/self/statm").value_or(0);
  const auto in_use = pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
  return limit.rlim_cur > in_use ? limit.rlim_cur - in_use : 0;
}

// A ceiling the user sets: VIMBREL_MEMORY_LIMIT_MB, whole megabytes (a shared machine, the fuzzer).
std::uint64_t user_ceiling() {
  const char* text = std::getenv("VIMBREL_MEMORY_LIMIT_MB");
  if (text == nullptr || *text == '\0') return kUnbounded;
  char* end = nullptr;
  const unsigned long long mb = std::strtoull(text, &end, 10);
  return *end == '\0' && mb > 0 && mb < (kUnbounded >> 20) ? mb << 20 : kUnbounded;
}

}  // namespace

std::uint64_t usable_memory() {
  return std::min({system_available(), cgroup_room("/proc/self/cgroup", "/sys/fs/cgroup"),
                   address_space_room(), user_ceiling()});
}

void admit_memory(std::uint64_t bytes) {
  if (const std::uint64_t usable = usable_memory(); bytes > usable) {
    throw RuntimeError{errc::kOutOfMemory, "not enough memory: " + std::to_string(bytes >> 20) +
                                               " MB needed, " + std::to_string(usable >> 20) +
                                               " MB to be had"};
  }
}

}  // namespace vimbrel
