// The join command reading its pictures in order gives, for every kind of picture and every choice,
// the very files and messages that reading them whole gives, and streams where it can.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/join_command.h"
#include "platform/imageio/bitmap_file.h"
#include "tests/support/picture_files.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

using test::bytes_of;
using test::pattern;
using test::write_top_down;

struct Case {
  const char* name;
  const char* a;  // "DIR:" names a file the fixture made, otherwise the corpus'
  const char* b;
  std::vector<std::string> options;  // after "A B -o OUT"
  int status = 0;                    // what the command exits with
  // How the run reading in order reads: pictures it reads whole all the same, and whether what it
  // finds while streaming makes it run again reading whole. The rest stream.
  int read_whole = 0;
  bool read_again_whole = false;
};

const Case kCases[] = {
    {"BitmapsSideBySide", "DIR:a.bmp", "DIR:b.bmp", {}},
    {"BitmapsBelowWithMargins", "DIR:a.bmp", "DIR:b.bmp", {"--side", "below", "--margin", "31,17"}},
    {"BitmapsLeftCroppedAndMoved",
     "DIR:a.bmp",
     "DIR:b.bmp",
     {"--side", "left", "--crop-a", "3,70,5,9", "--crop-b", "2,3,4,65", "--move-a", "0,7"}},
    {"TopDownAboveXoredOverTheOther",
     "DIR:down.bmp",
     "DIR:b.bmp",
     {"--side", "above", "--margin", "0,0", "--move-b", "0,40", "--effect", "3", "--apply-effect"}},
    {"AOnTopCombinedWithoutApplying",
     "DIR:a.bmp",
     "DIR:down.bmp",
     {"--move-b", "-60,-20", "--effect", "2", "--on-top", "a"}},
    {"AOnTopCombined",
     "DIR:a.bmp",
     "DIR:b.bmp",
     {"--margin", "0,0", "--move-b", "-50,0", "--effect", "4", "--on-top", "a", "--apply-effect"}},
    {"ThirtyTwoBitsAndJpeg", "bmpsuite/g/rgb32.bmp", "jpeg/made/baseline_420.jpg", {"--side", "below"}},
    {"JpegsCropped",
     "jpeg/made/baseline_444.jpg",
     "jpeg/made/restart_every_mcu.jpg",
     {"--crop-a", "10,66,0,3", "--crop-b", "0,0,30,20", "--effect", "1", "--apply-effect"}},
    {"JpegsDecodedOneAfterTheOther",
     "jpeg/made/baseline_420.jpg",
     "jpeg/made/gray.jpg",
     {"--side", "below", "--jobs", "1"}},
    {"GreyAndCmykJpegs",
     "jpeg/made/gray.jpg",
     "jpeg/made/cmyk_adobe0.jpg",
     {"--side", "left", "--move-b", "0,-20"}},
    {"PngAndProgressiveJpeg",
     "jpeg/turbo/testorig.png",
     "jpeg/made/progressive_420.jpg",
     {"--side", "above"},
     0,
     1},  // the PNG, decoded whole by the converter
    {"TurnedJpegTakesTheWholePath", "jpeg/made/exif_orientation6.jpg", "DIR:a.bmp", {}, 0, 1},
    {"WrittenAsPng", "DIR:down.bmp", "jpeg/made/baseline_420.jpg", {"--format", "png"}},
    {"WrittenAsJpeg", "jpeg/made/baseline_420.jpg", "DIR:b.bmp", {"--format", "jpeg", "--side", "below"}},
    {"CutOffJpegLoadedWithAWarning", "DIR:a.bmp", "DIR:cut.jpg", {}, 0, 0, true},
    {"CutOffJpegHalfMadeUp", "DIR:a.bmp", "jpeg/made/truncated_half.jpg", {}, 0, 0, true},
    {"JpegWhoseDataRunsOutIsRefused", "DIR:a.bmp", "jpeg/made/arithmetic_data_runs_out.jpg", {}, 1, 0, true},
    {"AlignedAutomaticallyMatchingNothing",
     "DIR:a.bmp",
     "DIR:a.bmp",
     {"--margin", "0,0", "--align", "auto"},
     1,
     2},  // matching needs both pictures' pixels
};

class JoinFiles : public ::testing::Test {
 protected:
  JoinFiles() {
    write_bitmap_file(pattern(90, 150, 1), dir.file("a.bmp"));
    write_bitmap_file(pattern(70, 200, 2), dir.file("b.bmp"));
    write_top_down(pattern(83, 140, 3), dir.file("down.bmp"));
    // Cut in its last rows: the decoder makes them up, found only once they are read.
    const fs::path whole = test::corpus_dir() / "jpeg" / "made" / "baseline_420.jpg";
    fs::copy_file(whole, dir.file("cut.jpg"));
    fs::resize_file(dir.file("cut.jpg"), fs::file_size(whole) * 5 / 6);
  }
  std::string input(const char* name) {
    const std::string n = name;
    return n.starts_with("DIR:") ? dir.file(n.substr(4)) : (test::corpus_dir() / n).string();
  }
  struct Result {
    int status;
    std::string out, err, file;
  };
  // Runs the case into `name` (its extension stripped by the command, as it always is).
  Result run(const Case& c, JoinReading reading, const std::string& name, JoinReadingTrace* trace = nullptr) {
    // Each run writes into a folder of its own under the same name, so the messages match.
    const std::string folder = dir.file(name);
    fs::create_directories(folder);
    std::vector<std::string> args{input(c.a), input(c.b), "-o", dir.file("out")};
    args.insert(args.end(), c.options.begin(), c.options.end());
    std::ostringstream out, err;
    Result r{run_join_command(args, out, err, reading, trace), out.str(), err.str(), {}};
    for (const auto& e : fs::directory_iterator(dir.path())) {
      if (e.path().filename().string().starts_with("out.")) {
        r.file = bytes_of(e.path().string());
        fs::rename(e.path(), folder + "/" + e.path().filename().string());
      }
    }
    return r;
  }
  test::TempDir dir;
};

class JoinInOrder : public JoinFiles, public ::testing::WithParamInterface<Case> {};

TEST_P(JoinInOrder, GivesTheFileAndMessagesOfAWholeRead) {
  const Case& c = GetParam();
  const Result whole = run(c, JoinReading::kWhole, "whole");
  JoinReadingTrace trace;
  const Result in_order = run(c, JoinReading::kInOrder, "in-order", &trace);
  EXPECT_EQ(trace.read_whole, c.read_whole);
  EXPECT_EQ(trace.read_again_whole, c.read_again_whole);
  EXPECT_EQ(in_order.status, whole.status);
  EXPECT_EQ(in_order.out, whole.out);
  EXPECT_EQ(in_order.err, whole.err);
  EXPECT_TRUE(in_order.file == whole.file)
      << "the files differ: " << in_order.file.size() << " and " << whole.file.size() << " bytes";
  // Every case that writes gives a picture, and the ones meant to fail write none.
  const std::string name = c.name;
  EXPECT_EQ(whole.status, c.status) << whole.err;
  EXPECT_EQ(whole.file.empty(), c.status != 0);
  if (name.starts_with("CutOff")) {
    EXPECT_NE(whole.err.find("warning"), std::string::npos) << whole.err;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, JoinInOrder, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Held in their files, pictures and canvas need only strips: a ceiling far below their size refuses
// the whole read and not the stream, which writes the whole read's file.
TEST_F(JoinFiles, AStreamIsNotRefusedForThePicturesSize) {
  write_bitmap_file(pattern(1500, 1000, 4), dir.file("wide-a.bmp"));  // 6 MB as pixels, 12 MB the canvas
  write_bitmap_file(pattern(1500, 1000, 5), dir.file("wide-b.bmp"));
  const Case c{"Wide", "DIR:wide-a.bmp", "DIR:wide-b.bmp", {"--margin", "0,0"}};
  const Result unlimited = run(c, JoinReading::kWhole, "unlimited");
  ::setenv("VIMBREL_MEMORY_LIMIT_MB", "4", 1);
  const Result whole = run(c, JoinReading::kWhole, "whole");
  const Result in_order = run(c, JoinReading::kInOrder, "in-order");
  ::unsetenv("VIMBREL_MEMORY_LIMIT_MB");
  EXPECT_EQ(whole.status, 1);
  EXPECT_TRUE(whole.file.empty());
  EXPECT_EQ(in_order.status, 0) << in_order.err;
  EXPECT_TRUE(in_order.file == unlimited.file);
}

}  // namespace
}  // namespace vimbrel
