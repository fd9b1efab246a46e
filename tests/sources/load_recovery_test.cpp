// A failed load: the slot's previous file read back, once at most, and what that leaves.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/sources/loading_fixture.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;
using test::Loading;

TEST_F(Loading, AFirstReadThatFailsLeavesTheSlotEmpty) {
  new_join();
  const std::string title = caption(s.c.MAINFORM);
  std::ofstream(dir.file("text.bmp")) << "not a picture";
  load_a(dir.file("text.bmp"));
  expect_one_message(dir.file("text.bmp"));
  EXPECT_EQ(s.doc.load.load_failed, 1);
  EXPECT_EQ(s.doc.load.load_button, 0);
  EXPECT_EQ(s.doc.load.last_loaded, stored(Twin::A));
  EXPECT_TRUE(s.doc.a.file_path.empty());
  EXPECT_EQ(s.doc.a.width, 0);
  EXPECT_EQ(rt.CHECKOBJECT(s.doc.a.bitmap), 0);
  EXPECT_FALSE(rt.enabled(s.c.BUTTON[54]));
  EXPECT_EQ(caption(s.c.MAINFORM), title);

  ASSERT_TRUE(rt.fire("BUTTON55_ON"));  // "Ａ画像再ロード" has nothing to read
  EXPECT_TRUE(rt.messages().empty());
  EXPECT_EQ(rt.CHECKOBJECT(s.doc.a.bitmap), 0);
}

TEST_F(Loading, ALaterReadThatFailsReadsThePreviousFileBackWithoutARedraw) {
  join();
  ASSERT_TRUE(rt.click("RADIO5"));
  ASSERT_TRUE(rt.scroll_to("VSCROLL2", 4));
  const std::string title = caption(s.c.MAINFORM);
  const std::vector<std::uint32_t> before(canvas().pixels().begin(), canvas().pixels().end());
  redraws = titles = 0;
  const std::string bad = copy_of(test::corpus_dir() / "jpeg/made/truncated_in_header.jpg", "bad.jpg");
  load_a(bad);
  expect_one_message(bad);
  EXPECT_EQ(s.doc.a.file_path, dir.file("a.bmp"));
  EXPECT_EQ(s.doc.a.file_ext, ".bmp");
  EXPECT_EQ(s.doc.load.load_path, dir.file("a.bmp"));
  ASSERT_EQ(rt.CHECKOBJECT(s.doc.a.bitmap), 1);
  EXPECT_EQ(rt.picture(s.doc.a.bitmap)->at(0, 0), 0xFFFF0000u);
  EXPECT_EQ(size_of(s.doc.a), std::pair(100, 80));
  EXPECT_EQ(s.doc.a.src_top, 4);
  EXPECT_EQ(redraws, 0);
  EXPECT_EQ(titles, 0);
  EXPECT_EQ(caption(s.c.MAINFORM), title);
  EXPECT_EQ(std::vector<std::uint32_t>(canvas().pixels().begin(), canvas().pixels().end()), before);
}

TEST_F(Loading, APreviousFileThatChangedOnDiskIsTakenAtItsNewSizeWhenReadBack) {
  join();
  ASSERT_TRUE(rt.click("RADIO5"));
  ASSERT_TRUE(rt.scroll_to("VSCROLL2", 4));
  const float canvas_width = s.doc.canvas_width;
  write_plain("a.bmp", 40, 30, 0x0000FF);
  load_a(dir.file("missing.bmp"));
  expect_one_message(dir.file("missing.bmp"));
  EXPECT_EQ(size_of(s.doc.a), std::pair(40, 30));
  EXPECT_EQ(s.doc.a.src_top_max, 29);
  EXPECT_EQ(s.doc.a.src_height, 26);
  EXPECT_EQ(s.doc.canvas_width, canvas_width - 60);
  EXPECT_EQ(canvas().at(static_cast<int>(s.doc.a.draw_x), static_cast<int>(s.doc.a.draw_y)), 0xFF0000FFu);
}

TEST_F(Loading, APreviousJpegIsConvertedAgainOnRecovery) {
  new_join();
  const std::string jpeg = baseline_jpeg("first.jpg");
  load_a(jpeg);
  load_a(dir.file("missing.png"));
  expect_one_message(dir.file("missing.png"));
  EXPECT_EQ(s.doc.a.file_ext, ".jpg");
  EXPECT_EQ(size_of(s.doc.a), std::pair(161, 97));
  EXPECT_EQ(rt.CHECKOBJECT(s.doc.a.bitmap), 1);
  EXPECT_FALSE(fs::exists(work_file()));
}

TEST_F(Loading, RecoveryReadsThePreviousFileOnceAtMost) {
  join();
  fs::remove(dir.file("a.bmp"));
  load_a(dir.file("nothing.bmp"));
  // One message for the chosen file, one for the previous file; then it gives up.
  ASSERT_EQ(rt.messages().size(), 2u);
  EXPECT_EQ(rt.messages()[0].caption, dir.file("nothing.bmp"));
  EXPECT_EQ(rt.messages()[1].caption, dir.file("a.bmp"));
  rt.clear_messages();
  EXPECT_EQ(rt.CHECKOBJECT(s.doc.a.bitmap), 0);
  EXPECT_EQ(s.doc.a.file_path, dir.file("a.bmp"));
  EXPECT_FALSE(rt.ended());

  // Reloading the missing file reports it once: it is not read back as its own fallback.
  ASSERT_TRUE(rt.click("BUTTON55"));
  expect_one_message(dir.file("a.bmp"));
  write_plain("a.bmp", 100, 80, 0x00FF00);  // the file is back: a reload finds it
  ASSERT_TRUE(rt.click("BUTTON55"));
  EXPECT_TRUE(rt.messages().empty());
  EXPECT_EQ(canvas().at(25, 25), 0xFF00FF00u);
}

// A reload whose file has gone leaves the slot without a picture while its size stays: the commands
// that draw it must go on without ending the program.
TEST_F(Loading, ASlotLeftWithoutItsPictureStillDrawsCropsAndCutsOut) {
  join();
  fs::remove(dir.file("a.bmp"));
  ASSERT_TRUE(rt.click("BUTTON55"));
  expect_one_message(dir.file("a.bmp"));
  ASSERT_EQ(rt.CHECKOBJECT(s.doc.a.bitmap), 0);
  ASSERT_TRUE(rt.click("BUTTON61"));
  ASSERT_TRUE(rt.click("RADIO5"));
  ASSERT_TRUE(rt.scroll_to("HSCROLL2", 10));
  ASSERT_TRUE(rt.click("BUTTON4"));
  ASSERT_TRUE(rt.mouse("FORM4", "MOUSEMOVE", kRightButton, 5, 5));
  EXPECT_EQ(canvas().at(0, 0), 0xFFFFFFFFu);  // the canvas composes
  EXPECT_TRUE(rt.untrapped().empty());
  EXPECT_FALSE(rt.ended());
}

}  // namespace
}  // namespace vimbrel
