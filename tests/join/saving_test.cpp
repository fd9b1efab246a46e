#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/imageio/bitmap_file.h"
#include "platform/pixels/raster.h"
#include "platform/runtime/path_builtins.h"
#include "tests/support/program_fixture.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;

// Every pixel of A and B differs from every other, so a shifted or mixed-up copy shows.
std::uint32_t colour_a(int x, int y) {
  return 0xFF800000u | static_cast<std::uint32_t>(x << 8 | y);
}
std::uint32_t colour_b(int x, int y) {
  return 0xFF000040u | static_cast<std::uint32_t>(x << 16 | y << 8);
}

class Saving : public test::ProgramTest {
 protected:
  // A 100 × 80 and B 60 × 120, B on the right, margins 50: A at (25, 25), B at (125, 25), canvas 210 × 170.
  void join() {
    new_join(1);
    load_a(write_picture("a.bmp", 100, 80, colour_a));
    load_b(write_picture("b.bmp", 60, 120, colour_b));
  }
  void click(const std::string& control) { ASSERT_TRUE(rt.click(control)) << control; }
  void save(const std::string& answer) {
    rt.push_dialog_answer(answer);
    click("BUTTON60");
  }
  std::vector<std::uint32_t> canvas_pixels() { return {canvas().pixels().begin(), canvas().pixels().end()}; }
  std::set<std::string> files_in(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
  }
  // The on-screen canvas cut to the rectangle, for comparing with a written file.
  Bitmap canvas_part(int x, int y, int w, int h) {
    Bitmap part = Bitmap::create(w, h);
    blit(part, 0, 0, w, h, canvas(), x, y, kDrawModeCopy);
    return part;
  }
  static bool same(const Bitmap& p, const Bitmap& q) {
    return p.width() == q.width() && p.height() == q.height() &&
           std::equal(p.pixels().begin(), p.pixels().end(), q.pixels().begin());
  }
};

TEST_F(Saving, WritesTheBoundingBoxOfBothDrawnPartsThenRestoresTheCanvas) {
  join();
  const std::vector<std::uint32_t> before = canvas_pixels();
  save(dir.file("joined.png"));

  const Bitmap file = read_bitmap_file(dir.file("joined.BMP"));
  ASSERT_EQ(file.width(), 160);
  ASSERT_EQ(file.height(), 120);
  EXPECT_EQ(file.at(0, 0), colour_a(0, 0));
  EXPECT_EQ(file.at(99, 79), colour_a(99, 79));
  EXPECT_EQ(file.at(100, 0), colour_b(0, 0));
  EXPECT_EQ(file.at(159, 119), colour_b(59, 119));
  EXPECT_EQ(file.at(0, 80), kWhite);  // under A: the background of the effect
  EXPECT_EQ(file.at(99, 119), kWhite);
  EXPECT_TRUE(same(file, canvas_part(25, 25, 160, 120)));
  EXPECT_FALSE(fs::exists(dir.file("joined.png")));

  EXPECT_TRUE(rt.messages().empty());
  EXPECT_EQ(rt.GETBITMAPWIDTH(s.doc.canvas_bitmap), 210);
  EXPECT_EQ(rt.GETBITMAPHEIGHT(s.doc.canvas_bitmap), 170);
  EXPECT_EQ(s.doc.canvas_width, 210);
  EXPECT_EQ(canvas_pixels(), before);
  EXPECT_EQ(s.doc.a.draw_x, 25);
  EXPECT_EQ(s.doc.b.draw_x, 125);
  EXPECT_EQ(s.doc.save_file_name, dir.file("joined.png"));
  EXPECT_EQ(s.doc.save_dir, dir.path().string() + "/");
}

TEST_F(Saving, TheFileAlwaysGetsTheExtensionBMP) {
  join();
  fs::create_directory(dir.file("with.dot"));
  const struct {
    const char* typed;
    const char* written;
  } rows[] = {{"picture.png", "picture.BMP"},
              {"no_dot", "no_dot.BMP"},
              {"two.dots.jpg", "two.dots.BMP"},
              {"lower.bmp", "lower.BMP"},
              {"with.dot/inner", "with.dot/inner.BMP"}};
  for (const auto& r : rows) {
    save(dir.file(r.typed));
    EXPECT_TRUE(fs::exists(dir.file(r.written))) << r.typed;
  }
  EXPECT_FALSE(fs::exists(dir.file("picture.png")));
  EXPECT_FALSE(fs::exists(dir.file("two.dots.BMP.BMP")));
}

TEST_F(Saving, ACroppedImageContributesOnlyItsDrawnPart) {
  join();
  click("RADIO5");
  ASSERT_TRUE(rt.scroll_to("HSCROLL2", 10));  // A loses 10 columns on the left
  save(dir.file("cropped.bmp"));
  const Bitmap file = read_bitmap_file(dir.file("cropped.BMP"));
  ASSERT_EQ(file.width(), 150);  // from x = 25 + 10 to B's right edge 184
  EXPECT_EQ(file.at(0, 0), colour_a(10, 0));
  EXPECT_EQ(file.at(90, 0), colour_b(0, 0));
  EXPECT_TRUE(same(file, canvas_part(35, 25, 150, 120)));
}

class SavingWithXor : public Saving {
 protected:
  // Effect 4 ("Ｃモード（余白が黒）") with B, on top, moved 50 to the left over A's right half.
  void overlap() {
    join();
    ASSERT_TRUE(rt.select_row("LIST1", 4));
    click("BUTTON25");
    ASSERT_EQ(s.doc.b.x, 75);
  }
};

TEST_F(SavingWithXor, WithoutTheSaveCheckTheUpperImageSimplyCoversTheLower) {
  overlap();
  save(dir.file("plain"));
  const Bitmap file = read_bitmap_file(dir.file("plain.BMP"));
  ASSERT_EQ(file.width(), 110);  // x 25 ... 134
  ASSERT_EQ(file.height(), 120);
  EXPECT_EQ(file.at(49, 0), colour_a(49, 0));
  EXPECT_EQ(file.at(50, 0), colour_b(0, 0));                // over A, copied
  EXPECT_EQ(file.at(0, 100), kBlack);                       // the effect's background all the same
  EXPECT_FALSE(same(file, canvas_part(25, 25, 110, 120)));  // the screen shows the XOR
}

TEST_F(SavingWithXor, WithTheSaveCheckTheFileIsWhatTheScreenShows) {
  overlap();
  click("CHECK1");
  save(dir.file("xor"));
  const Bitmap file = read_bitmap_file(dir.file("xor.BMP"));
  EXPECT_EQ(file.at(50, 0), 0xFF000000u | ((colour_a(50, 0) ^ colour_b(0, 0)) & 0xFFFFFFu));
  EXPECT_EQ(file.at(50, 100), colour_b(0, 100));  // below A, B lies on black and shows as itself
  EXPECT_TRUE(same(file, canvas_part(25, 25, 110, 120)));
}

TEST_F(Saving, CancellingChangesNothing) {
  join();
  const std::vector<std::uint32_t> before = canvas_pixels();
  const std::set<std::string> files = files_in(dir.path());
  click("BUTTON60");  // no answer queued: the dialog is cancelled
  EXPECT_EQ(files_in(dir.path()), files);
  EXPECT_EQ(canvas_pixels(), before);
  EXPECT_EQ(s.doc.b.draw_x, 125);
  EXPECT_TRUE(rt.messages().empty());
}

TEST_F(Saving, TheDialogStartsInTheAFolderUntilASaveChoseAnother) {
  join();
  ASSERT_EQ(s.doc.save_dir, CURRENT_DIR(""));
  click("BUTTON60");
  const std::string a_folder = dir.path().string() + "/";
  EXPECT_EQ(rt.last_dialog()[0], "セーブファイル名は？");
  EXPECT_EQ(rt.last_dialog()[1], a_folder + s.doc.a.file_path);
  EXPECT_EQ(rt.last_dialog()[2], "BMP (*.BMP);PNG (*.PNG);JPEG (*.JPG)");

  fs::create_directory(dir.file("out"));
  save(dir.file("out/first"));
  click("BUTTON60");
  EXPECT_EQ(rt.last_dialog()[1], dir.file("out/") + s.doc.a.file_path);
}

TEST_F(Saving, AFileThatCannotBeWrittenIsReportedAndTheJoinGoesOn) {
  join();
  const std::vector<std::uint32_t> before = canvas_pixels();
  // A folder that is not there, and a "folder" that is a file (read-only folders do not stop root).
  for (const std::string& typed : {dir.file("gone/x.bmp"), dir.file("a.bmp/x.bmp")}) {
    rt.clear_messages();
    save(typed);
    const std::string path = typed.substr(0, typed.size() - 4) + ".BMP";
    ASSERT_EQ(rt.messages().size(), 1u) << typed;
    EXPECT_EQ(rt.messages()[0].caption, path);
    EXPECT_EQ(rt.messages()[0].text, "このファイルには保存できません");
    EXPECT_FALSE(rt.ended());
    EXPECT_TRUE(rt.untrapped().empty());
    EXPECT_EQ(canvas_pixels(), before);
    EXPECT_EQ(s.doc.a.draw_x, 25);
    EXPECT_EQ(s.doc.canvas_height, 170);
  }
  save(dir.file("fine"));  // and the next save works
  EXPECT_TRUE(fs::exists(dir.file("fine.BMP")));
}

TEST_F(Saving, NoMemoryForTheRegionIsReportedAndLeavesAnOldFileAlone) {
  join();
  const std::string old_file = write_plain("old.BMP", 7, 5, 0x123456);
  const std::vector<std::uint32_t> before = canvas_pixels();
  rt.fail_next_create_bitmap();
  save(dir.file("old.bmp"));
  ASSERT_EQ(rt.messages().size(), 1u);
  EXPECT_EQ(rt.messages()[0].caption, old_file);
  EXPECT_EQ(rt.messages()[0].text, "保存する為のメモリが足りません");
  EXPECT_EQ(read_bitmap_file(old_file).width(), 7);
  EXPECT_EQ(canvas_pixels(), before);
  EXPECT_FALSE(rt.ended());
}

TEST_F(Saving, NoMemoryToRemakeTheCanvasKeepsTheProgramAndTheJoin) {
  join();
  rt.fail_next_create_bitmap(2);  // neither the region nor the canvas again
  save(dir.file("x"));
  EXPECT_FALSE(rt.ended());
  EXPECT_EQ(rt.messages().size(), 2u);
  EXPECT_EQ(s.doc.a.width, 100);
  EXPECT_EQ(s.doc.b.x, 125);
  click("BUTTON4");  // the next change draws again once a canvas is made
  ASSERT_TRUE(rt.click("BUTTON55"));
  EXPECT_EQ(rt.GETBITMAPWIDTH(s.doc.canvas_bitmap), 210);
}

TEST_F(Saving, AFileWrittenBeforeTheCanvasCannotBeRemadeIsNotReportedAsUnsaved) {
  join();
  rt.fail_next_create_bitmap(1, 7, 1);  // the region is made, the canvas afterwards is not
  save(dir.file("kept"));
  EXPECT_EQ(read_bitmap_file(dir.file("kept.BMP")).width(), 160);
  ASSERT_EQ(rt.messages().size(), 1u);
  EXPECT_EQ(rt.messages()[0].caption, "結合画像表示エラー");
  EXPECT_EQ(rt.messages()[0].text, "メモリが足りません");
  EXPECT_FALSE(rt.ended());
}

TEST_F(Saving, AnExistingFileIsReplacedOnlyByACompleteNewOne) {
  join();
  const std::string target = write_plain("same.BMP", 7, 5, 0x123456);
  // A second name for the old file's contents: writing in place would change them as well.
  fs::create_hard_link(target, dir.file("keep.BMP"));
  const std::set<std::string> files = files_in(dir.path());
  save(dir.file("same.BMP"));
  EXPECT_EQ(read_bitmap_file(target).width(), 160);
  const Bitmap kept = read_bitmap_file(dir.file("keep.BMP"));
  EXPECT_EQ(kept.width(), 7);
  EXPECT_EQ(kept.at(0, 0), 0xFF123456u);
  EXPECT_EQ(files_in(dir.path()), files);  // no temporary file left behind
}

TEST_F(Saving, WithAnImageDroppedForWantOfACanvasTheOtherIsSavedAlone) {
  new_join(1);
  load_a(write_picture("a.bmp", 100, 80, colour_a));
  rt.fail_next_create_bitmap();
  load_b(write_picture("b.bmp", 60, 120, colour_b));
  ASSERT_EQ(s.doc.b.width, 0);
  rt.clear_messages();
  save(dir.file("alone"));
  const Bitmap file = read_bitmap_file(dir.file("alone.BMP"));
  ASSERT_EQ(file.width(), 100);
  ASSERT_EQ(file.height(), 80);
  EXPECT_EQ(file.at(0, 0), colour_a(0, 0));
  EXPECT_EQ(file.at(99, 79), colour_a(99, 79));
  EXPECT_TRUE(rt.messages().empty());
}

}  // namespace
}  // namespace vimbrel
