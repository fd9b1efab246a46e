// `join` converts B while A loads when it has a second thread; with --jobs 1 it loads A, then B.
// Both must write the same bytes and fail the same way.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/join_command.h"
#include "tests/support/picture_files.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

std::string corpus_jpeg(const char* name) {
  return (test::corpus_dir() / "jpeg" / "made" / name).string();
}

struct Outcome {
  int status;
  std::string err, file;
};

Outcome join(const test::TempDir& dir, std::vector<std::string> args, const std::string& jobs) {
  const std::string out = dir.file("out-" + jobs);
  args.insert(args.end(), {"-o", out, "--jobs", jobs, "--work-dir", dir.path().string()});
  std::ostringstream o, e;
  const int status = run_join_command(args, o, e);
  return {status, e.str(), fs::exists(out + ".BMP") ? test::bytes_of(out + ".BMP") : ""};
}

struct OverlapCase {
  const char* name;
  const char* a;
  const char* b;
  std::vector<std::string> options;
};

const OverlapCase kOverlap[] = {
    {"Right", "baseline_420.jpg", "baseline_444.jpg", {"--margin", "0,0"}},
    {"BelowXored",
     "progressive_420.jpg",
     "exif_orientation6.jpg",
     {"--side", "below", "--effect", "4", "--apply-effect", "--move-b", "0,-10"}},
    {"LeftCropped",
     "gray.jpg",
     "baseline_422.jpg",
     {"--side", "left", "--crop-a", "5,0,0,0", "--crop-b", "1,2,3,4"}},
    {"AboveAOnTop",
     "baseline_420.jpg",
     "baseline_420.jpg",
     {"--side", "above", "--effect", "2", "--on-top", "a"}},
    {"BBroken", "baseline_420.jpg", "text.jpg", {}},
    {"BCutOffInItsHeader", "baseline_420.jpg", "truncated_in_header.jpg", {}},
    {"BCutOffHalfWay", "baseline_420.jpg", "truncated_half.jpg", {}},
};

class JoinOverlap : public ::testing::TestWithParam<OverlapCase> {};

TEST_P(JoinOverlap, WritesTheSameBytesAndMessagesAsOneThread) {
  const test::TempDir dir;
  std::vector<std::string> args{corpus_jpeg(GetParam().a), corpus_jpeg(GetParam().b)};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  const Outcome one = join(dir, args, "1");
  const Outcome two = join(dir, args, "2");
  EXPECT_EQ(two.status, one.status);
  EXPECT_EQ(two.err, one.err);
  EXPECT_TRUE(two.file == one.file) << "the files differ";
  EXPECT_EQ(one.file.empty(), one.status != 0);
  // Nothing of either run is left in the work folder but the two outputs.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
            one.status == 0 ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, JoinOverlap, ::testing::ValuesIn(kOverlap),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vimbrel
