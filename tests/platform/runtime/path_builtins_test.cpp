#include "platform/runtime/path_builtins.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/pixels/runtime_error.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

struct Split {
  const char* name;
  const char* path;
  const char* drive;
  const char* dir;
  const char* file;
  const char* ext;
};

void PrintTo(const Split& row, std::ostream* os) {
  *os << row.path;
}

const Split kSplits[] = {
    {"full_windows_path", "C:\\pics\\a.bmp", "C:", "\\pics\\", "a", ".bmp"},
    {"drive_relative", "c:a.BMP", "c:", "", "a", ".BMP"},
    {"drive_root_only", "D:\\", "D:", "\\", "", ""},
    {"unc_share", "\\\\server\\share\\dir\\x.jpg", "\\\\server\\share", "\\dir\\", "x", ".jpg"},
    {"unc_share_alone", "\\\\server\\share", "\\\\server\\share", "", "", ""},
    {"posix_path", "/home/u/p.q/photo.jpeg", "", "/home/u/p.q/", "photo", ".jpeg"},
    {"dot_in_folder_not_in_name", "C:\\a.b\\file", "C:", "\\a.b\\", "file", ""},
    {"two_dots", "x\\a.b.c", "", "x\\", "a.b", ".c"},
    {"dot_file", "/tmp/.hidden", "", "/tmp/", "", ".hidden"},
    {"trailing_dot", "name.", "", "", "name", "."},
    {"bare_name", "DAMMY", "", "", "DAMMY", ""},
    {"empty", "", "", "", "", ""},
    {"mixed_separators", "C:\\a/b\\c.Bmp", "C:", "\\a/b\\", "c", ".Bmp"},
    {"digit_colon_is_no_drive", "1:x.bmp", "", "", "1:x", ".bmp"},
    // UTF-8 names: no byte of a multi-byte character is ever taken for a separator or a dot.
    {"utf8_name", "C:\\画像\\表.bmp", "C:", "\\画像\\", "表", ".bmp"},
    {"utf8_folder_posix", "/写真/ソ.jpg", "", "/写真/", "ソ", ".jpg"},
};

class SplitPath : public ::testing::TestWithParam<Split> {};

TEST_P(SplitPath, GivesTheFourPartsThatJoinBackToThePath) {
  const Split& row = GetParam();
  std::string drive = "old", dir = "old", name = "old", ext = "old";
  SPLIT_PATH(row.path, drive, dir, name, ext);
  EXPECT_EQ(drive, row.drive);
  EXPECT_EQ(dir, row.dir);
  EXPECT_EQ(name, row.file);
  EXPECT_EQ(ext, row.ext);
  EXPECT_EQ(drive + dir + name + ext, row.path);
}

INSTANTIATE_TEST_SUITE_P(Rows, SplitPath, ::testing::ValuesIn(kSplits),
                         [](const auto& info) { return std::string(info.param.name); });

// The save writes, and its dialog asks about, the chosen name with its last extension replaced;
// a backslash separates as "/" does.
TEST(WithExtension, ReplacesTheLastExtensionOfTheFileName) {
  const std::pair<const char*, const char*> rows[] = {
      {"/p/a.jpg", "/p/a.BMP"},           {"/p/a.b.png", "/p/a.b.BMP"},       {"/p.d/a", "/p.d/a.BMP"},
      {"pics/a.b\\c", "pics/a.b\\c.BMP"}, {"C:\\x\\表.bmp", "C:\\x\\表.BMP"}, {"name.", "name.BMP"},
  };
  for (const auto& [chosen, written] : rows) EXPECT_EQ(with_extension(chosen, ".BMP"), written) << chosen;
}

class FileExists : public ::testing::Test {
 protected:
  FileExists() {
    std::ofstream(dir.file("表.bmp")) << "x";
    std::filesystem::create_directory(dir.file("folder.bmp"));
  }
  test::TempDir dir;
};

TEST_F(FileExists, IsTrueForFilesAndFalseForFoldersAndMissingNames) {
  EXPECT_TRUE(FILE_EXISTS(dir.file("表.bmp")));
  EXPECT_FALSE(FILE_EXISTS(dir.file("folder.bmp")));
  EXPECT_FALSE(FILE_EXISTS(dir.file("none.bmp")));
  EXPECT_FALSE(FILE_EXISTS(dir.file("表.bmp/inside")));
  EXPECT_FALSE(FILE_EXISTS(""));
}

TEST_F(FileExists, CountsLinksByWhatTheyPointToAndDanglingLinksAsEntries) {
  std::filesystem::create_symlink(dir.file("表.bmp"), dir.file("to_file"));
  std::filesystem::create_symlink(dir.file("folder.bmp"), dir.file("to_folder"));
  std::filesystem::create_symlink(dir.file("gone"), dir.file("dangling"));
  EXPECT_TRUE(FILE_EXISTS(dir.file("to_file")));
  EXPECT_FALSE(FILE_EXISTS(dir.file("to_folder")));
  EXPECT_TRUE(FILE_EXISTS(dir.file("dangling")));  // so that a caller deletes what sits at a work path
}

TEST_F(FileExists, AWildcardIsCode55) {
  EXPECT_EQ(trapped([&] { FILE_EXISTS(dir.file("*.bmp")); }), errc::kBadWildcard);
  EXPECT_EQ(trapped([&] { FILE_EXISTS("C:\\a?.bmp"); }), errc::kBadWildcard);
}

TEST_F(FileExists, KillDeletesAFileOrALinkAtOnceAndOnlyWhatItNames) {
  std::filesystem::create_symlink(dir.file("表.bmp"), dir.file("link"));
  std::ofstream(dir.file("folder.bmp/inside")) << "x";
  KILL(dir.file("link"));
  KILL(dir.file("none.bmp"));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir.file("link"))));
  EXPECT_TRUE(FILE_EXISTS(dir.file("表.bmp"))) << "a link goes, not what it points to";
  KILL(dir.file("表.bmp"));
  EXPECT_FALSE(std::filesystem::exists(dir.file("表.bmp")));
  EXPECT_EQ(trapped([&] { KILL(dir.file("folder.bmp")); }), errc::kPathAccess);
}

TEST(CurrentDir, IsTheProcessCurrentDirectoryForNoDriveOrADriveLetter) {
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(CURRENT_DIR(""), cwd);
  EXPECT_EQ(CURRENT_DIR("C:"), cwd);
  EXPECT_EQ(CURRENT_DIR("z:"), cwd);
  for (const char* bad : {"C", "CC", "1:", "C:\\", ":"}) {
    EXPECT_EQ(trapped([&] { CURRENT_DIR(bad); }), errc::kIllegalCall) << bad;
  }
}

TEST(CurrentDir, FollowsAChangeOfDirectory) {
  const test::TempDir dir;
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  const std::string inside = CURRENT_DIR("");
  ASSERT_EQ(chdir(cwd), 0);
  EXPECT_EQ(std::filesystem::canonical(inside), std::filesystem::canonical(dir.path()));
}

}  // namespace
}  // namespace vimbrel
