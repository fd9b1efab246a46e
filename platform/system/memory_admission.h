// Whether a picture may be taken into memory: checked against what this process may really still
// use, so that a picture too large is refused with the out-of-memory error instead of getting the
// process killed by the kernel half-way through.
#pragma once

#include <cstdint>
#include <string>

namespace vimbrel {

// Bytes this process may still take: the least of the system's available memory (with free swap),
// what each of its control groups (v1 or v2, at every level) allows beyond what it uses now, and
// the room left under its address-space limit, and VIMBREL_MEMORY_LIMIT_MB megabytes when that is set.
std::uint64_t usable_memory();

// The least room left in the memory control groups listed in `self_cgroup` (as /proc/self/cgroup
// lists them) and in every group above each, read from the hierarchy mounted at `root` (v1's memory
// controller at root/memory); the largest value when no group sets a limit.
std::uint64_t cgroup_room(const std::string& self_cgroup, const std::string& root);

// Throws RuntimeError 7 unless `bytes` more fit in usable_memory().
void admit_memory(std::uint64_t bytes);

}  // namespace vimbrel
