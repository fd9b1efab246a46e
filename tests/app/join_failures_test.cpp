// `vimbrel join` when it cannot do the job: the status, and stderr naming the cause.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "tests/app/join_command_fixture.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;
using test::JoinCommand;
using test::pattern;

TEST_F(JoinCommand, AFailedLoadOrSaveExitsWithOneAndSaysWhy) {
  EXPECT_EQ(run({dir.file("missing.bmp"), dir.file("b.bmp"), "-o", dir.file("o.bmp")}), 1);
  EXPECT_NE(err.str().find("missing.bmp"), std::string::npos) << err.str();
  EXPECT_FALSE(fs::exists(dir.file("o.BMP")));

  fs::create_directory(dir.file("notapicture.bmp"));
  EXPECT_EQ(run({dir.file("a.bmp"), dir.file("notapicture.bmp"), "-o", dir.file("o.bmp")}), 1);
  EXPECT_FALSE(fs::exists(dir.file("o.BMP")));

  EXPECT_EQ(run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("no/such/folder/o.bmp")}), 1);
  EXPECT_FALSE(err.str().empty());
  EXPECT_TRUE(out.str().empty());
}

std::string corpus(const std::string& name) {
  return (test::corpus_dir() / name).string();
}

struct CauseCase {
  const char* name;
  std::function<std::string(const test::TempDir&)> make;  // gives picture B
  const char* cause;
};

const CauseCase kCauses[] = {
    {"Missing", [](const test::TempDir& d) { return d.file("none.jpg"); }, "not found"},
    {"Folder",
     [](const test::TempDir& d) {
       fs::create_directory(d.file("folder.bmp"));
       return d.file("folder.bmp");
     },
     "a folder"},
    {"Fifo",
     [](const test::TempDir& d) {
       ::mkfifo(d.file("pipe.jpg").c_str(), 0600);
       return d.file("pipe.jpg");
     },
     "not a regular file"},
    {"Broken",
     [](const test::TempDir& d) {
       std::ofstream(d.file("text.jpg")) << "not a picture";
       return d.file("text.jpg");
     },
     "a broken picture"},
    // Hostile files of the corpus: the refusal names what is wrong with each.
    {"HugeBmpClaim", [](const test::TempDir&) { return corpus("bmpsuite/b/reallybig.bmp"); },
     "BMP header claims 3000000 × 2000000 pixels but the file holds 24 KB"},
    {"BmpHeaderSize", [](const test::TempDir&) { return corpus("bmpsuite/b/badheadersize.bmp"); },
     "a BMP info header of 66 bytes"},
    {"ArithmeticJpegClaim",
     [](const test::TempDir&) { return corpus("jpeg/made/arithmetic_huge_claim.jpg"); },
     "JPEG header claims 30947 × 11777 pixels but its scans hold 126 bytes of coded data"},
    {"ArithmeticDataRunsOut",
     [](const test::TempDir&) { return corpus("jpeg/made/arithmetic_data_runs_out.jpg"); },
     "the JPEG's coded data runs out at row 209 of its 11777; the rest would be made up"},
    {"JpegCutInItsHeader", [](const test::TempDir&) { return corpus("jpeg/made/truncated_in_header.jpg"); },
     "the JPEG decoder refused its data (Invalid JPEG file structure: missing SOS marker)"},
};

void PrintTo(const CauseCase& c, std::ostream* os) {
  *os << c.name;
}

class JoinLoadCause : public JoinCommand, public ::testing::WithParamInterface<CauseCase> {};

TEST_P(JoinLoadCause, StderrNamesWhyThePictureCouldNotBeRead) {
  const std::string b_path = GetParam().make(dir);
  EXPECT_EQ(run({dir.file("a.bmp"), b_path, "-o", dir.file("o.bmp")}), 1);
  EXPECT_NE(err.str().find(b_path + ": " + GetParam().cause), std::string::npos) << err.str();
  EXPECT_FALSE(fs::exists(dir.file("o.BMP")));
}

INSTANTIATE_TEST_SUITE_P(Causes, JoinLoadCause, ::testing::ValuesIn(kCauses),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(JoinCommand, AWorkFolderNamedWithWildcardCharactersWorks) {
  const std::string work = dir.file("work?*");
  fs::create_directory(work);
  fs::copy_file(dir.file("b.bmp"), dir.file("b.pic"));  // read through the work file
  ASSERT_EQ(run({dir.file("a.bmp"), dir.file("b.pic"), "-o", dir.file("o"), "--work-dir", work}), 0)
      << err.str();
  EXPECT_EQ(read_bitmap_file(dir.file("o.BMP")).width(), 60);
  EXPECT_TRUE(fs::is_empty(work));
}

TEST_F(JoinCommand, ACutOffJpegLoadsWithAWarning) {
  const fs::path whole = test::corpus_dir() / "jpeg" / "made" / "baseline_420.jpg";
  fs::copy_file(whole, dir.file("cut.jpg"));
  fs::resize_file(dir.file("cut.jpg"), fs::file_size(whole) * 2 / 3);
  ASSERT_EQ(run({dir.file("a.bmp"), whole.string(), "-o", dir.file("o")}), 0) << err.str();
  EXPECT_EQ(err.str().find("warning"), std::string::npos) << "a whole file gets none: " << err.str();
  ASSERT_EQ(run({dir.file("a.bmp"), dir.file("cut.jpg"), "-o", dir.file("o")}), 0) << err.str();
  EXPECT_NE(err.str().find("warning: " + dir.file("cut.jpg")), std::string::npos) << err.str();
}

struct RefusedCase {
  const char* name;
  std::vector<std::string> options;  // after "a.bmp b.bmp -o OUT" (A 40 x 30 on the left, B 20 x 50)
  const char* reachable;             // the range stderr gives
};

const RefusedCase kRefused[] = {
    {"CropBeyondTheSlider", {"--crop-a", "40,0,0,0"}, "L and R can be 0..39"},
    {"CropLeavingNoColumn", {"--crop-a", "20,0,20,0"}, "L+R at most 39"},
    {"CropLeavingNoRow", {"--crop-b", "0,25,0,25"}, "T+B at most 49"},
    {"MoveOffTheRight", {"--margin", "0,0", "--move-b", "1,0"}, "DX can be -40..0"},
    {"MoveOffTheTop", {"--margin", "0,0", "--move-a", "0,-1"}, "DY 0..20"},
    {"OutputIsAFolderName", {"-o", "DIR:"}, "names a folder"},
    {"OutputIsAnExistingFolder", {"-o", "DIR:taken.bmp"}, "names a folder"},
    {"OutputIsADevice", {"-o", "/dev/null"}, "names a device or other special file (/dev/null)"},
    {"OutputInASystemFolder", {"-o", "/proc/self/out"}, "the system folder /proc"},
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
  *os << c.name;
}

class JoinRefusedValue : public JoinCommand, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(JoinRefusedValue, ExitsWithTwoAndTheReachableRange) {
  fs::create_directory(dir.file("taken.BMP"));
  std::vector<std::string> args = {dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("o")};
  // "DIR:" stands for the test's folder with a separator.
  for (const auto& o : GetParam().options)
    args.push_back(o.starts_with("DIR:") ? dir.file("") + o.substr(4) : o);
  EXPECT_EQ(run(args), 2);
  EXPECT_NE(err.str().find(GetParam().reachable), std::string::npos) << err.str();
  EXPECT_FALSE(fs::exists(dir.file("o.BMP")));
}

INSTANTIATE_TEST_SUITE_P(Values, JoinRefusedValue, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(JoinCommand, ANewlineInTheOutputNameIsPrintedEscaped) {
  ASSERT_EQ(run({dir.file("a.bmp"), dir.file("b.bmp"), "-o", dir.file("two\nlines.bmp")}), 0) << err.str();
  EXPECT_EQ(out.str(), "\"" + dir.file("two\\nlines.BMP") + "\"\n");
  EXPECT_TRUE(fs::exists(dir.file("two\nlines.BMP")));
}

TEST_F(JoinCommand, ALoopOfLinksIsNamedAsSuch) {
  fs::create_symlink(dir.file("loop2.bmp"), dir.file("loop1.bmp"));
  fs::create_symlink(dir.file("loop1.bmp"), dir.file("loop2.bmp"));
  EXPECT_EQ(run({dir.file("a.bmp"), dir.file("loop1.bmp"), "-o", dir.file("o")}), 1);
  EXPECT_NE(err.str().find(dir.file("loop1.bmp") + ": a loop of symbolic links"), std::string::npos)
      << err.str();
}

// A file system of 64 KiB (a tmpfs, which needs root to mount): the work folder or the output folder
// fills up, and stderr says so instead of blaming the picture.
TEST_F(JoinCommand, AFullDiskIsNamedAsTheCause) {
  const std::string full = dir.file("full");
  fs::create_directory(full);
  if (::mount("tmpfs", full.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "no tmpfs can be mounted here";
  write_bitmap_file(pattern(200, 100, 3), dir.file("b.pic"));  // 60 KB through the converter
  std::ofstream(full + "/filler").write(std::string(40 << 10, 'x').data(), 40 << 10);
  EXPECT_EQ(run({dir.file("a.bmp"), dir.file("b.pic"), "-o", dir.file("o"), "--work-dir", full}), 1);
  EXPECT_NE(err.str().find("no space left in the work folder"), std::string::npos) << err.str();
  EXPECT_EQ(run({dir.file("a.bmp"), dir.file("b.pic"), "-o", full + "/o"}), 1);
  EXPECT_NE(err.str().find("no space left in the output folder"), std::string::npos) << err.str();
  EXPECT_FALSE(fs::exists(full + "/o.BMP"));
  ::umount2(full.c_str(), MNT_DETACH);
}

}  // namespace
}  // namespace vimbrel
