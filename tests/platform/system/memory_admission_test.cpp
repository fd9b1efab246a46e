#include "platform/system/memory_admission.h"

#include <stdlib.h>

#include "platform/pixels/runtime_error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <string>

#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

struct CgroupCase {
  const char* name;
  const char* self;                          // what /proc/self/cgroup lists
  std::map<std::string, std::string> files;  // under the hierarchy's root
  std::uint64_t room;
};

void PrintTo(const CgroupCase& c, std::ostream* os) {
  *os << c.name;
}

class CgroupRoomTest : public ::testing::TestWithParam<CgroupCase> {};

TEST_P(CgroupRoomTest, IsTheLeastRoomOfEveryLevel) {
  const test::TempDir dir;
  const CgroupCase& c = GetParam();
  for (const auto& [name, text] : c.files) {
    const std::filesystem::path file = dir.path() / "fs" / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
  }
  std::ofstream(dir.file("self")) << c.self;
  EXPECT_EQ(cgroup_room(dir.file("self"), (dir.path() / "fs").string()), c.room);
}

const std::string k256 = std::to_string(256 * kMiB), k1g = std::to_string(1024 * kMiB);

INSTANTIATE_TEST_SUITE_P(
    Hierarchies, CgroupRoomTest,
    ::testing::Values(CgroupCase{"v2_unlimited", "0::/user/run\n", {{"user/run/memory.max", "max\n"}}, kNone},
                      // The parent's limit holds although the group itself has none; page cache that can be
                      // dropped is not counted as used.
                      CgroupCase{
                          "v2_parent_limit",
                          "0::/user/run\n",
                          {{"user/run/memory.max", "max\n"},
                           {"user/memory.max", k256},
                           {"user/memory.current", std::to_string(100 * kMiB)},
                           {"user/memory.stat", "anon 1\ninactive_file " + std::to_string(36 * kMiB) + "\n"}},
                          192 * kMiB},
                      CgroupCase{"v2_over_its_limit",
                                 "0::/g\n",
                                 {{"g/memory.max", k256}, {"g/memory.current", std::to_string(300 * kMiB)}},
                                 0},
                      // v1 writes "no limit" as a number near 2^63; only the memory controller's line counts.
                      CgroupCase{"v1_memory_controller",
                                 "4:cpu,cpuacct:/elsewhere\n3:memory:/job\n",
                                 {{"memory/job/memory.limit_in_bytes", k1g},
                                  {"memory/job/memory.usage_in_bytes", std::to_string(24 * kMiB)},
                                  {"memory/memory.limit_in_bytes", "9223372036854771712\n"}},
                                 1000 * kMiB},
                      CgroupCase{"no_cgroup_file", "", {}, kNone}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vimbrel

namespace vimbrel {
namespace {

TEST(MemoryCeiling, TheUsersLimitHoldsAndANonsenseOneIsIgnored) {
  ::setenv("VIMBREL_MEMORY_LIMIT_MB", "3", 1);
  EXPECT_LE(usable_memory(), std::uint64_t{3} << 20);
  EXPECT_THROW(admit_memory(std::uint64_t{4} << 20), RuntimeError);
  ::setenv("VIMBREL_MEMORY_LIMIT_MB", "3 MB", 1);
  EXPECT_GT(usable_memory(), std::uint64_t{3} << 20);
  ::unsetenv("VIMBREL_MEMORY_LIMIT_MB");
}

}  // namespace
}  // namespace vimbrel
