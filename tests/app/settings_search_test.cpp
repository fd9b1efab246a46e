#include "app/settings_search.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

TEST(SettingsSearch, TheFirstFolderHoldingTheFileWinsAndNoneIsReportedWithEveryPlace) {
  const test::TempDir dir;
  // The current folder's name has a "*", which the existence built-in refuses as a pattern.
  const std::vector<fs::path> folders = {dir.path() / "cur*", dir.path() / "user", dir.path() / "installed"};
  for (const fs::path& f : folders) fs::create_directories(f);
  struct Row {
    bool current, user, installed;
    int found;  // index into folders, -1 for none
  } rows[] = {
      {true, true, true, 0},  {false, true, true, 1},    {false, false, true, 2},
      {true, false, true, 0}, {false, false, false, -1},
  };
  for (const Row& row : rows) {
    const bool has[] = {row.current, row.user, row.installed};
    for (std::size_t i = 0; i < folders.size(); ++i) {
      fs::remove(folders[i] / "KANKYO.TXT");
      if (has[i]) std::ofstream(folders[i] / "KANKYO.TXT") << "A,B\nW,/tmp/\n";
    }
    const std::optional<fs::path> found = find_settings_folder(folders);
    EXPECT_EQ(found,
              row.found < 0 ? std::nullopt : std::optional(folders[static_cast<std::size_t>(row.found)]))
        << row.current << row.user << row.installed;
  }
  // A folder named KANKYO.TXT is no settings file.
  fs::create_directories(folders[1] / "KANKYO.TXT");
  EXPECT_EQ(find_settings_folder(folders), std::nullopt);

  const std::string text = settings_not_found(folders);
  EXPECT_TRUE(text.starts_with("The settings file KANKYO.TXT is missing or cannot be read.")) << text;
  for (const fs::path& f : folders) EXPECT_NE(text.find((f / "KANKYO.TXT").string()), std::string::npos) << f;
}

TEST(SettingsSearch, TheUserFolderFollowsTheConfigurationHomeOrFallsBackToTheHomeFolder) {
  struct Row {
    const char *current, *xdg, *home;
    std::vector<fs::path> folders;
  } rows[] = {
      {"/w", "/cfg", "/h", {"/w", "/cfg/vimbrel", "/inst"}},
      {"/w", nullptr, "/h", {"/w", "/h/.config/vimbrel", "/inst"}},
      {"/w", "", "/h", {"/w", "/h/.config/vimbrel", "/inst"}},
      {"/w", "rel/cfg", "/h", {"/w", "/h/.config/vimbrel", "/inst"}},
      {"/w", nullptr, nullptr, {"/w", "/inst"}},
      {"", nullptr, "/h", {"/h/.config/vimbrel", "/inst"}},  // the current folder has gone
  };
  for (const Row& row : rows) {
    EXPECT_EQ(settings_folders(row.current, row.xdg, row.home, "/inst"), row.folders)
        << row.current << " " << (row.xdg ? row.xdg : "unset") << " " << (row.home ? row.home : "unset");
  }
}

}  // namespace
}  // namespace vimbrel
