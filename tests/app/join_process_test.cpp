// The `join` command as separate processes: runs side by side, under limits, interrupted.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/join_command.h"
#include "platform/imageio/bitmap_file.h"
#include "tests/support/picture_files.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

using test::pattern;

// The id of a process that has ended.
pid_t ended_process() {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  ::waitpid(pid, nullptr, 0);
  return pid;
}

struct Ended {
  int status = -1;  // exit status, or -1 when a signal ended it
  int signal = 0;
  std::string err;
};

class JoinProcesses : public ::testing::Test {
 protected:
  // Starts `vimbrel join ARGS` with stderr into "<name>.err"; `in_child` runs just before exec.
  pid_t start(const std::vector<std::string>& args, const std::string& name,
              const std::function<void()>& in_child = {}) {
    std::vector<std::string> words = {"join"};
    words.insert(words.end(), args.begin(), args.end());
    return spawn(words, name, in_child);
  }
  // Starts the program with `words` after its name.
  pid_t spawn(std::vector<std::string> words, const std::string& name,
              const std::function<void()>& in_child) {
    words.insert(words.begin(), VIMBREL_BINARY);
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const std::string err = dir.file(name + ".err");
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(fd, 2);
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, 1);
      if (in_child) in_child();
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    return pid;
  }
  Ended finish(pid_t pid, const std::string& name) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    Ended e;
    if (WIFEXITED(status)) e.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) e.signal = WTERMSIG(status);
    e.err = test::bytes_of(dir.file(name + ".err"));
    return e;
  }
  Ended run(const std::vector<std::string>& args, const std::function<void()>& in_child = {}) {
    return finish(start(args, "run", in_child), "run");
  }
  // Entries of `folder` whose names are not in `expected`.
  static std::vector<std::string> strays(const fs::path& folder, const std::vector<std::string>& expected) {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(folder)) {
      const std::string n = e.path().filename().string();
      if (std::find(expected.begin(), expected.end(), n) == expected.end()) found.push_back(n);
    }
    return found;
  }
  test::TempDir dir;
};

TEST_F(JoinProcesses, EightJoinsSharingAWorkFolderEachWriteTheirOwnPicture) {
  constexpr int kRuns = 8;
  const std::string work = dir.file("work");
  fs::create_directory(work);
  // The folder of a run that was killed: nobody holds its lock, so the next run sweeps it away.
  const std::string left = work + "/vimbrel-" + std::to_string(ended_process()) + "-1";
  fs::create_directory(left);
  std::ofstream(left + "/DAMMY.BMP") << "half";
  std::ofstream(left + "/run.lock");  // its lock, let go when the run was killed
  // Bitmaps under another name go through the converter and the work file, as a JPEG does.
  for (int i = 0; i < kRuns; ++i) {
    write_bitmap_file(pattern(300 + i, 200, 10 + i), dir.file("a" + std::to_string(i) + ".pic.BMP"));
    write_bitmap_file(pattern(200, 250 - i, 50 + i), dir.file("b" + std::to_string(i) + ".pic.BMP"));
    fs::rename(dir.file("a" + std::to_string(i) + ".pic.BMP"), dir.file("a" + std::to_string(i) + ".pic"));
    fs::rename(dir.file("b" + std::to_string(i) + ".pic.BMP"), dir.file("b" + std::to_string(i) + ".pic"));
  }
  std::vector<pid_t> pids;
  for (int i = 0; i < kRuns; ++i) {
    const std::string n = std::to_string(i);
    pids.push_back(start({dir.file("a" + n + ".pic"), dir.file("b" + n + ".pic"), "-o", dir.file("out" + n),
                          "--work-dir", work},
                         "join" + n));
  }
  for (int i = 0; i < kRuns; ++i) {
    const std::string n = std::to_string(i);
    const Ended e = finish(pids[static_cast<std::size_t>(i)], "join" + n);
    ASSERT_EQ(e.status, 0) << e.err;
    // The same join in this process, alone, is the reference.
    std::ostringstream out, err;
    const std::vector<std::string> args = {dir.file("a" + n + ".pic"),
                                           dir.file("b" + n + ".pic"),
                                           "-o",
                                           dir.file("ref" + n),
                                           "--work-dir",
                                           work};
    ASSERT_EQ(run_join_command(args, out, err), 0) << err.str();
    EXPECT_EQ(test::bytes_of(dir.file("out" + n + ".BMP")), test::bytes_of(dir.file("ref" + n + ".BMP")))
        << "run " << n;
  }
  EXPECT_TRUE(fs::is_empty(work)) << "every run removes its own work folder, and the ended run's is swept";
}

// A 54-byte bitmap header claiming 60000 × 60000 pixels, in a sparse file of the size it claims.
// A 60000 x 60000 bitmap file of 24 bits a pixel, or of 8 with a palette (which is read whole).
std::string huge_sparse_bitmap(const test::TempDir& dir, int bits = 24) {
  const std::string path = dir.file(bits == 24 ? "huge.bmp" : "huge8.bmp");
  write_bitmap_file(Bitmap::create(1, 1), path);
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  const auto put32 = [&f](std::streamoff at, std::uint32_t v) {
    f.seekp(at);
    for (int i = 0; i < 4; ++i) f.put(static_cast<char>(v >> (8 * i)));
  };
  constexpr std::uint32_t kSide = 60000;
  const std::uint32_t stride = kSide * static_cast<std::uint32_t>(bits / 8);
  const std::uint32_t offset = bits == 24 ? 54 : 54 + 256 * 4;
  put32(2, offset + stride * kSide);
  put32(10, offset);
  put32(18, kSide);
  put32(22, kSide);
  f.seekp(28);
  f.put(static_cast<char>(bits));
  put32(34, stride * kSide);
  f.close();
  fs::resize_file(path, offset + std::uint64_t{stride} * kSide);
  return path;
}

// Waits (up to ten seconds) until a file whose name starts with `prefix` is made in `folder`.
bool wait_for_file(const fs::path& folder, const std::string& prefix) {
  const int fd = ::inotify_init1(IN_CLOEXEC);
  const int watch = ::inotify_add_watch(fd, folder.c_str(), IN_CREATE);
  bool seen = false;
  pollfd p{fd, POLLIN, 0};
  while (!seen && watch >= 0 && ::poll(&p, 1, 10'000) == 1) {
    alignas(inotify_event) char buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    for (ssize_t at = 0; at < n;) {
      const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
      if (e->len > 0 && std::string(e->name).starts_with(prefix)) seen = true;
      at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
    }
  }
  ::close(fd);
  return seen;
}

TEST_F(JoinProcesses, SigtermDuringTheSaveLeavesTheOldFileAndNothingElse) {
  write_bitmap_file(pattern(3000, 2000, 1), dir.file("a.bmp"));
  write_bitmap_file(pattern(3000, 2000, 2), dir.file("b.pic"));  // through the work folder
  write_bitmap_file(pattern(4, 4, 3), dir.file("out.PNG"));
  const std::string old = test::bytes_of(dir.file("out.PNG"));
  // What a killed save left behind: its process is gone, so the next save to this folder removes it.
  std::ofstream(dir.file(".out.PNG.vimbrel-" + std::to_string(ended_process()) + "-7.tmp")) << "half";
  const std::string work = dir.file("work");
  fs::create_directory(work);

  // A PNG save compresses as it writes, which keeps its temporary file there long enough to be hit.
  const pid_t pid = start(
      {dir.file("a.bmp"), dir.file("b.pic"), "-o", dir.file("out"), "--format", "png", "--work-dir", work},
      "run");
  ASSERT_TRUE(wait_for_file(dir.path(), ".out.PNG.vimbrel-" + std::to_string(pid)));
  ::kill(pid, SIGTERM);
  const Ended e = finish(pid, "run");
  EXPECT_EQ(e.signal, SIGTERM) << "the save ended before the signal came";
  EXPECT_EQ(test::bytes_of(dir.file("out.PNG")), old);
  EXPECT_EQ(strays(dir.path(), {"a.bmp", "b.pic", "out.PNG", "run.err", "work"}), std::vector<std::string>{});
  EXPECT_TRUE(fs::is_empty(work));
}

TEST_F(JoinProcesses, QtIsLoadedOnlyForAPictureThatNeedsIt) {
  write_bitmap_file(pattern(8, 8, 1), dir.file("a.bmp"));
  write_bitmap_file(pattern(8, 8, 2), dir.file("b.bmp"));
  const auto list_libraries = [] { ::setenv("LD_DEBUG", "libs", 1); };  // the loader names each library
  const Ended bmp = run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("out")}, list_libraries);
  EXPECT_EQ(bmp.status, 0) << bmp.err;
  EXPECT_EQ(bmp.err.find("libQt6"), std::string::npos) << "a bitmap join loaded Qt";
  const Ended png =
      run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("out"), "--format", "png"}, list_libraries);
  EXPECT_EQ(png.status, 0) << png.err;
  EXPECT_NE(png.err.find("vimbrel-qt.so"), std::string::npos);
  EXPECT_NE(png.err.find("libQt6Gui"), std::string::npos);
}

TEST_F(JoinProcesses, AFifoGivenAsAPictureIsRefusedAtOnce) {
  write_bitmap_file(pattern(8, 8, 1), dir.file("a.bmp"));
  for (const char* name : {"pipe.bmp", "pipe.jpg"}) {
    ::mkfifo(dir.file(name).c_str(), 0600);
    // Nothing ever writes to the FIFO: a blocking open or read would hang until the alarm.
    const Ended e = run({dir.file("a.bmp"), dir.file(name), "-o", dir.file("out")}, [] { ::alarm(20); });
    EXPECT_EQ(e.status, 1) << name << " signal " << e.signal;
    EXPECT_NE(e.err.find("not a regular file"), std::string::npos) << e.err;
  }
}

TEST_F(JoinProcesses, TheProgramEndedBySigtermRemovesItsWorkFolder) {
  const std::string work = dir.file("work");
  fs::create_directory(work);
  std::ofstream(dir.file("KANKYO.TXT")) << "VIMBREL,1.3\nWORK," << work << "/\n";
  const std::string folder = dir.path().string();
  const pid_t pid = spawn({}, "gui", [&folder] {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
  });
  ASSERT_TRUE(wait_for_file(work, "vimbrel-" + std::to_string(pid) + "-"));
  ::kill(pid, SIGTERM);
  EXPECT_EQ(finish(pid, "gui").signal, SIGTERM);
  EXPECT_TRUE(fs::is_empty(work));
}

class MemoryLimit : public JoinProcesses {
 protected:
  // A join of the huge bitmap in a process that `limit` bounds is refused as out of memory when the
  // picture has to be read whole (a palette); read in order (24 bits) it loads, and only the 4 GiB
  // bound of a bitmap file refuses the save.
  void expect_refused(const std::function<void()>& limit) {
    write_bitmap_file(pattern(8, 8, 1), dir.file("a.bmp"));
    const std::string work = dir.file("work");
    fs::create_directory(work);
    const Ended e = run(
        {dir.file("a.bmp"), huge_sparse_bitmap(dir, 8), "-o", dir.file("out"), "--work-dir", work}, limit);
    EXPECT_EQ(e.status, 1) << "signal " << e.signal << ": " << e.err;
    EXPECT_NE(e.err.find("ロードする為のメモリが足りません"), std::string::npos) << e.err;
    EXPECT_NE(e.err.find("not enough memory"), std::string::npos) << e.err;
    EXPECT_FALSE(fs::exists(dir.file("out.BMP")));
    EXPECT_TRUE(fs::is_empty(work));
    const Ended streamed =
        run({dir.file("a.bmp"), huge_sparse_bitmap(dir), "-o", dir.file("out"), "--work-dir", work}, limit);
    EXPECT_EQ(streamed.status, 1) << "signal " << streamed.signal << ": " << streamed.err;
    EXPECT_EQ(streamed.err.find("メモリが足りません"), std::string::npos) << streamed.err;
    EXPECT_NE(streamed.err.find("このファイルには保存できません"), std::string::npos) << streamed.err;
    EXPECT_FALSE(fs::exists(dir.file("out.BMP")));
  }
};

TEST_F(MemoryLimit, AnAddressSpaceLimitRefusesAPictureThatWouldNotFit) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit allows";
#endif
  expect_refused([] {
    const rlimit one_gib{std::uint64_t{1} << 30, std::uint64_t{1} << 30};
    ::setrlimit(RLIMIT_AS, &one_gib);
  });
}

TEST_F(MemoryLimit, AControlGroupLimitRefusesAPictureThatWouldNotFit) {
  const fs::path group = "/sys/fs/cgroup/memory/vimbrel-test-" + std::to_string(::getpid());
  std::error_code ec;
  if (!fs::create_directory(group, ec) || ec) GTEST_SKIP() << "no memory control group can be made here";
  std::ofstream(group / "memory.limit_in_bytes") << (std::uint64_t{512} << 20) << std::flush;
  const std::string procs = (group / "cgroup.procs").string();
  expect_refused([&procs] {
    const std::string pid = std::to_string(::getpid());
    const int fd = ::open(procs.c_str(), O_WRONLY);
    if (fd < 0 || ::write(fd, pid.data(), pid.size()) < 0) ::_exit(126);
    ::close(fd);
  });
  fs::remove(group, ec);
}

}  // namespace
}  // namespace vimbrel
