#include "platform/system/work_folder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/system/file_io.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

// A process id that names no process here: a run in another PID namespace, container or machine.
constexpr const char* kElsewhere = "vimbrel-4194000-77";

struct SweepCase {
  const char* name;
  std::function<UniqueFd(const fs::path& folder)> make;  // gives what must stay open meanwhile
  bool swept;
};

void PrintTo(const SweepCase& c, std::ostream* os) {
  *os << c.name;
}

UniqueFd lock_file(const fs::path& folder) {
  return UniqueFd(::open((folder / "run.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
}

void age(const fs::path& folder, int days) {
  const timespec when[2] = {{::time(nullptr) - days * 86400, 0}, {::time(nullptr) - days * 86400, 0}};
  ::utimensat(AT_FDCWD, folder.c_str(), when, 0);
}

const SweepCase kSweeps[] = {
    {"LockHeldByARunElsewhere",
     [](const fs::path& f) {
       UniqueFd lock = lock_file(f);
       ::flock(lock.get(), LOCK_EX);
       return lock;
     },
     false},
    {"LockLetGo",
     [](const fs::path& f) {
       lock_file(f);  // made and closed: the run that held it is gone
       return UniqueFd{};
     },
     true},
    {"NoLockAndYoung", [](const fs::path&) { return UniqueFd{}; }, false},
    {"NoLockAndTwoDaysOld",
     [](const fs::path& f) {
       age(f, 2);
       return UniqueFd{};
     },
     true},
};

class Sweep : public ::testing::TestWithParam<SweepCase> {};

TEST_P(Sweep, RemovesOnlyFoldersWhoseRunHasEnded) {
  const test::TempDir dir;
  const fs::path left = dir.path() / kElsewhere;
  fs::create_directory(left);
  std::ofstream(left / "DAMMY.BMP") << "half";
  const UniqueFd held = GetParam().make(left);
  sweep_ended_work_folders(dir.path().string() + "/");
  EXPECT_EQ(!fs::exists(left), GetParam().swept);
}

INSTANTIATE_TEST_SUITE_P(Runs, Sweep, ::testing::ValuesIn(kSweeps),
                         [](const auto& info) { return std::string(info.param.name); });

// Another user who may write the work folder renames the run's folder away and puts a link to a
// folder of the victim's in its place.
class SwappedFolder : public ::testing::Test {
 protected:
  SwappedFolder() {
    fs::create_directory(victim);
    std::ofstream(victim / "precious.txt") << "keep";
  }
  void swap(const fs::path& folder) {
    fs::rename(folder, dir.path() / "moved-away");
    fs::create_directory_symlink(victim, folder);
  }
  test::TempDir dir;
  const fs::path victim = dir.path() / "victim";
};

TEST_F(SwappedFolder, FilesGoToTheHeldFolderAndItsRemovalTouchesNothingElse) {
  PrivateWorkFolder work(dir.path().string() + "/");
  ASSERT_FALSE(work.path().empty());
  fs::path made;
  for (const auto& e : fs::directory_iterator(dir.path()))
    if (e.path().filename().string().starts_with("vimbrel-")) made = e.path();
  swap(made);
  std::ofstream(work.path() + "DAMMY.BMP") << "work";
  EXPECT_FALSE(fs::exists(victim / "DAMMY.BMP"));
  EXPECT_TRUE(fs::exists(dir.path() / "moved-away" / "DAMMY.BMP"));
  work.remove();
  EXPECT_TRUE(fs::exists(victim / "precious.txt"));
  EXPECT_TRUE(fs::is_symlink(made)) << "the planted link is not the run's to remove";
  EXPECT_FALSE(fs::exists(dir.path() / "moved-away" / "DAMMY.BMP"));
}

TEST_F(SwappedFolder, TheCleanUpOnSigtermTouchesNothingElse) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    remove_registered_paths_on_signals();
    PrivateWorkFolder work(dir.path().string() + "/");
    std::ofstream(work.path() + "DAMMY.BMP") << "work";
    ::write(ready[1], "x", 1);
    ::pause();
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  fs::path made;
  for (const auto& e : fs::directory_iterator(dir.path()))
    if (e.path().filename().string().starts_with("vimbrel-")) made = e.path();
  swap(made);
  ::kill(child, SIGTERM);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_TRUE(fs::exists(victim / "precious.txt"));
  EXPECT_FALSE(fs::exists(dir.path() / "moved-away" / "DAMMY.BMP"));
  ::close(ready[0]);
  ::close(ready[1]);
}

}  // namespace
}  // namespace vimbrel
