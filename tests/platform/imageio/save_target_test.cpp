// What a save does to the file it replaces: a read-only file is kept, a link stays a link.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/imageio/bitmap_file.h"
#include "platform/pixels/runtime_error.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

struct TargetCase {
  const char* name;
  // Makes what the save is given ("out.BMP") from an existing picture "old.BMP".
  std::function<void(const test::TempDir&)> make;
  bool written;
  const char* file_written;  // the file that holds the new picture afterwards, when written
  bool as_root = false;      // the case needs a second user: root gives the link to "nobody"
};

// The folder made sticky and writable by anyone, as /tmp is.
void share(const test::TempDir& d) {
  fs::permissions(d.path(), fs::perms::all | fs::perms::sticky_bit);
}

const TargetCase kTargets[] = {
    {"ReadOnlyFile",
     [](const test::TempDir& d) {
       fs::rename(d.file("old.BMP"), d.file("out.BMP"));
       fs::permissions(d.file("out.BMP"),
                       fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
     },
     false, nullptr},
    {"LinkToAFile", [](const test::TempDir& d) { fs::create_symlink("old.BMP", d.file("out.BMP")); }, true,
     "old.BMP"},
    {"LinkToAReadOnlyFile",
     [](const test::TempDir& d) {
       fs::permissions(d.file("old.BMP"), fs::perms::owner_read);
       fs::create_symlink(d.file("old.BMP"), d.file("out.BMP"));
     },
     false, nullptr},
    {"DanglingLink", [](const test::TempDir& d) { fs::create_symlink("gone.BMP", d.file("out.BMP")); }, false,
     nullptr},
    {"OwnLinkInASharedFolder",
     [](const test::TempDir& d) {
       share(d);
       fs::create_symlink("old.BMP", d.file("out.BMP"));
     },
     true, "old.BMP"},
    // Planted by another user: the kernel would not let a plain write through it, nor does the save.
    {"OtherUsersLinkInASharedFolder",
     [](const test::TempDir& d) {
       share(d);
       fs::create_symlink("old.BMP", d.file("out.BMP"));
       ASSERT_EQ(::lchown(d.file("out.BMP").c_str(), 65534, 65534), 0);
     },
     false, nullptr, true},
};

void PrintTo(const TargetCase& c, std::ostream* os) {
  *os << c.name;
}

class SaveTarget : public ::testing::TestWithParam<TargetCase> {};

TEST_P(SaveTarget, IsReplacedThroughALinkOrKept) {
  const TargetCase& c = GetParam();
  if (c.as_root && ::geteuid() != 0) GTEST_SKIP() << "needs root to make a link of another user";
  test::TempDir dir;
  const Bitmap before = Bitmap::create(3, 2), after = Bitmap::create(5, 4);
  write_bitmap_file(before, dir.file("old.BMP"));
  c.make(dir);
  const bool was_link = fs::is_symlink(dir.file("out.BMP"));
  int code = 0;
  try {
    write_bitmap_file(after, dir.file("out.BMP"));
  } catch (const RuntimeError& e) {
    code = e.code;
  }
  EXPECT_EQ(code, c.written ? 0 : errc::kPathAccess);
  EXPECT_EQ(fs::is_symlink(dir.file("out.BMP")), was_link) << "a link stays a link";
  for (const auto& e : fs::directory_iterator(dir.path()))
    EXPECT_NE(e.path().filename().string()[0], '.') << "left behind: " << e.path();
  if (c.written) {
    EXPECT_EQ(read_bitmap_file(dir.file(c.file_written)).width(), 5);
  } else if (fs::exists(dir.file("out.BMP"))) {
    EXPECT_EQ(read_bitmap_file(dir.file("out.BMP")).width(), 3) << "the kept file is untouched";
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, SaveTarget, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vimbrel
