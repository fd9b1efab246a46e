#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/imageio/bitmap_file.h"
#include "platform/pixels/rounding.h"
#include "platform/pixels/runtime_error.h"
#include "platform/runtime/path_builtins.h"
#include "sources/work_folder_check.h"
#include "tests/sources/loading_fixture.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;
using test::kCannotShow;
using test::Loading;

TEST_F(Loading, OnlyTheExactBitmapExtensionsAreReadDirectly) {
  new_join();
  // A JPEG under each name: the bitmap reader refuses it, the converter reads it.
  const struct {
    const char* name;
    bool converted;
  } rows[] = {{"p.bmp", false}, {"p.BMP", false},       {"p.Bmp", true},
              {"p.jpeg", true}, {"no_extension", true}, {"folder.d/no_extension", true}};
  for (const auto& r : rows) {
    const std::string path = baseline_jpeg(r.name);
    load_a(path);
    if (r.converted) {
      EXPECT_TRUE(rt.messages().empty()) << r.name;
      EXPECT_EQ(size_of(s.doc.a), std::pair(161, 97)) << r.name;
      EXPECT_EQ(s.doc.a.file_path, path);
      EXPECT_FALSE(fs::exists(work_file())) << r.name;  // read, then deleted
    } else {
      expect_one_message(path);
    }
    EXPECT_EQ(s.doc.load.load_button, 0);
  }
  EXPECT_EQ(s.doc.a.file_title, "no_extension");
  EXPECT_EQ(s.doc.a.open_dir, dir.file("folder.d/"));

  // A real bitmap named .bmp never touches the work file.
  std::ofstream(work_file()) << "left over";
  load_a(write_plain("real.bmp", 3, 2, 0x00FF00));
  EXPECT_EQ(size_of(s.doc.a), std::pair(3, 2));
  EXPECT_TRUE(fs::exists(work_file()));
  // The next conversion deletes what it finds there first.
  load_a(baseline_jpeg("again.jpg"));
  EXPECT_EQ(size_of(s.doc.a), std::pair(161, 97));
  EXPECT_FALSE(fs::exists(work_file()));
}

TEST_F(Loading, TheCropSlidersAreBoundedByTheImageSizeAndAThousand) {
  new_join();
  const struct {
    int w, h, x_bound, y_bound;
  } rows[] = {{1, 1000, 0, 999}, {1000, 1001, 999, 1000}, {1001, 1, 1000, 0}, {1500, 2, 1000, 1}};
  for (const auto& r : rows) {
    load_a(write_plain("bound.bmp", r.w, r.h, 0x808080));
    const ImageSlot& a = s.doc.a;
    EXPECT_EQ(a.src_left_max, r.x_bound) << r.w;
    EXPECT_EQ(a.src_right_min, -r.x_bound) << r.w;
    EXPECT_EQ(a.src_top_max, r.y_bound) << r.h;
    EXPECT_EQ(a.src_bottom_min, -r.y_bound) << r.h;
    EXPECT_EQ(rt.scroll_range(s.c.HSCROLL2), std::pair(0, r.x_bound));
    EXPECT_EQ(rt.scroll_range(s.c.HSCROLL3), std::pair(-r.x_bound, 0));
    EXPECT_EQ(rt.scroll_range(s.c.VSCROLL2), std::pair(0, r.y_bound));
    EXPECT_EQ(rt.scroll_range(s.c.VSCROLL3), std::pair(-r.y_bound, 0));
    EXPECT_EQ(rt.GETCHECK(s.c.RADIO5), 1);
    EXPECT_EQ(rt.GETCHECK(s.c.RADIO6), 0);
  }
}

TEST_F(Loading, ANewFileResetsTheCropAndMakesACanvas) {
  join();
  ASSERT_TRUE(rt.click("RADIO5"));
  ASSERT_TRUE(rt.scroll_to("HSCROLL2", 30));
  load_a(write_plain("a2.bmp", 120, 90, 0x00FF00));
  const ImageSlot& a = s.doc.a;
  EXPECT_EQ(a.src_left, 0);
  EXPECT_EQ(a.src_width, 120);
  EXPECT_EQ(a.src_height, 90);
  EXPECT_EQ(rt.GETSCROLLPOS(s.c.HSCROLL2), 0);
  EXPECT_EQ(a.file_title, "a2.bmp");
  EXPECT_EQ(s.doc.canvas_width, 120 + 60 + 50);
  EXPECT_EQ(canvas().at(25, 25), 0xFF00FF00u);
}

TEST_F(Loading, AnUnusableWorkFolderIsNamedWithItsSettingsFileAndBitmapsStillLoad) {
  const std::string settings = dir.file("KANKYO.TXT");
  const std::string expected = "作業フォルダ「" + work_dir + "」がないか、書き込めません。\n（設定ファイル " +
                               settings +
                               " の2行目）\nJPEG などは作業フォルダでビットマップに変換してから読みます。";
  for (const char* row : {"missing", "a file in its place"}) {
    SCOPED_TRACE(row);
    fs::remove_all(dir.file("work"));
    if (std::string(row) != "missing") std::ofstream(dir.file("work")) << "x";
    EXPECT_FALSE(check_work_folder(s, s.c.FORM3));  // as the windows do at start
    ASSERT_EQ(rt.messages().size(), 1u);
    EXPECT_EQ(rt.messages()[0].caption, "作業フォルダ");
    EXPECT_TRUE(rt.messages()[0].text.starts_with(expected));
    rt.clear_messages();

    new_join();
    const std::string jpeg = baseline_jpeg("photo.jpg");
    load_a(jpeg);
    expect_one_message(jpeg, expected.c_str());
    EXPECT_EQ(s.doc.a.width, 0);
    load_a(write_plain("a.bmp", 30, 20, 0xFF0000));
    EXPECT_TRUE(rt.messages().empty());
    EXPECT_EQ(s.doc.a.width, 30);
    fs::remove_all(dir.file("work"));
  }
  fs::create_directory(dir.file("work"));
  EXPECT_TRUE(check_work_folder(s, s.c.FORM3));
  EXPECT_TRUE(rt.messages().empty());
}

TEST_F(Loading, OutOfMemoryHasItsOwnMessage) {
  join();
  // A 24-bit bitmap of 200000 × 200000 pixels whose file is as long as its header says (sparse):
  // its pixels cannot be held.
  const std::string huge = dir.file("huge.bmp");
  {
    const std::int64_t w = 200000, h = 200000, row = (w * 3 + 3) / 4 * 4;
    const std::uint64_t size = 54 + static_cast<std::uint64_t>(row * h);
    std::uint8_t header[54] = {'B', 'M'};
    auto put32 = [&](int at, std::uint32_t v) {
      for (int i = 0; i < 4; ++i) header[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(2, static_cast<std::uint32_t>(size));  // wraps past 4 GB, as such files do
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    header[26] = 1;
    header[28] = 24;
    std::ofstream(huge, std::ios::binary).write(reinterpret_cast<const char*>(header), sizeof header);
    fs::resize_file(huge, size);
  }
  load_a(huge);
  ASSERT_EQ(rt.messages().size(), 1u);
  EXPECT_EQ(rt.messages()[0].caption, huge);
  EXPECT_EQ(rt.messages()[0].text, "ロードする為のメモリが足りません");
  EXPECT_EQ(size_of(s.doc.a), std::pair(100, 80));
}

TEST_F(Loading, AReloadFitsTheCropToAFileThatShrank) {
  new_join(1);
  load_a(write_plain("a.bmp", 200, 100, 0xFF0000));
  load_b(write_plain("b.bmp", 60, 120, 0x0000FF));
  ASSERT_TRUE(rt.click("RADIO5"));
  ASSERT_TRUE(rt.scroll_to("HSCROLL2", 150));
  ASSERT_TRUE(rt.click("RADIO6"));  // B controlled before the reload
  write_plain("a.bmp", 100, 100, 0x00FF00);
  redraws = titles = 0;
  ASSERT_TRUE(rt.click("BUTTON55"));
  const ImageSlot& a = s.doc.a;
  EXPECT_EQ(size_of(a), std::pair(100, 100));
  EXPECT_EQ(a.src_left, 99);  // B joins on the right: the left crop gives way to leave one column
  EXPECT_EQ(a.src_width, 1);
  EXPECT_EQ(a.src_height, 100);
  EXPECT_EQ(rt.GETCHECK(s.c.RADIO5), 1);
  EXPECT_EQ(rt.GETCHECK(s.c.RADIO6), 0);
  EXPECT_EQ(rt.scroll_range(s.c.HSCROLL2), std::pair(0, 99));
  EXPECT_EQ(rt.GETSCROLLPOS(s.c.HSCROLL2), 99);
  EXPECT_EQ(s.doc.canvas_width, 100 + 60 + 50);
  EXPECT_EQ(s.doc.canvas_height, 120 + 50);
  EXPECT_GE(redraws, 1);
  EXPECT_GE(titles, 1);
  EXPECT_EQ(canvas().at(to_pixel(a.draw_x), to_pixel(a.draw_y)), 0xFF00FF00u);
}

TEST_F(Loading, DialogsStartInTheirFoldersAndBStartsWhereAWas) {
  new_join();
  fs::create_directory(dir.file("sub"));
  load_a(write_plain("sub/a.bmp", 4, 4, 0));
  EXPECT_EQ(rt.last_dialog(), (std::vector<std::string>{"Ａ画像にするファイルは？", CURRENT_DIR(""),
                                                        "画像ファイル (*.BMP *.JPG *.JPEG *.JPE *.PNG *.GIF "
                                                        "*.ICO *.PBM *.PGM *.PPM *.XBM *.XPM *.TIF *.TIFF "
                                                        "*.WEBP);(*.BMP);(*.JPG);(*.*)"}));
  ASSERT_TRUE(rt.click("BUTTON54"));  // cancelled
  EXPECT_EQ(rt.last_dialog()[0], "Ｂ画像にするファイルは？");
  EXPECT_EQ(rt.last_dialog()[1], dir.file("sub/"));
  EXPECT_EQ(s.doc.load.load_button, 0);
  EXPECT_EQ(s.doc.b.width, 0);
}

TEST_F(Loading, TheCutOutWindowIsRedrawnOnlyForTheImageItShows) {
  join();
  ASSERT_TRUE(rt.click("BUTTON62"));  // shows B
  const Window form4 = s.c.FORM4;
  ASSERT_EQ(rt.surface(form4).at(0, 0), 0xFF0000FFu);
  load_a(write_plain("a2.bmp", 100, 80, 0x00FF00));
  EXPECT_EQ(rt.surface(form4).at(0, 0), 0xFF0000FFu);
  load_b(write_plain("b2.bmp", 60, 120, 0xFFFF00));
  EXPECT_EQ(rt.ISWINDOWVISIBLE(form4), 1);
  EXPECT_EQ(rt.surface(form4).at(0, 0), 0xFFFFFF00u);
}

// Every file of the JPEG corpus either loads at its size or fails with the message and recovery.
TEST_F(Loading, EveryCorpusFileLoadsAtItsSizeOrFailsCleanly) {
  enum Outcome { kLoads, kFails, kEither };
  const std::map<std::string, std::pair<Outcome, std::pair<int, int>>> expected = {
      {"source_161x97.bmp", {kLoads, {161, 97}}},
      {"baseline_420.jpg", {kLoads, {161, 97}}},
      {"baseline_422.jpg", {kLoads, {161, 97}}},
      {"baseline_444.jpg", {kLoads, {161, 97}}},
      {"gray.jpg", {kLoads, {161, 97}}},
      {"progressive_420.jpg", {kEither, {161, 97}}},
      {"restart_every_mcu.jpg", {kLoads, {161, 97}}},
      {"arithmetic_420.jpg", {kEither, {161, 97}}},
      {"exif_orientation6.jpg", {kLoads, {97, 161}}},
      {"cmyk_ycck.jpg", {kEither, {161, 97}}},
      {"cmyk_adobe0.jpg", {kEither, {161, 97}}},
      {"sof1_16bit_quant.jpg", {kEither, {161, 97}}},
      {"one_by_one.jpg", {kLoads, {1, 1}}},
      {"strip_65500x1.jpg", {kEither, {65500, 1}}},
      {"truncated_half.jpg", {kEither, {161, 97}}},
      {"truncated_in_header.jpg", {kFails, {}}},
      {"png_named.jpg", {kEither, {161, 97}}},
      {"bmp_named.jpg", {kEither, {161, 97}}},
      {"empty.jpg", {kFails, {}}},
      {"text.jpg", {kFails, {}}},
      {"arithmetic_huge_claim.jpg", {kFails, {}}},
      {"arithmetic_data_runs_out.jpg", {kFails, {}}},
      {"testorig.jpg", {kLoads, {227, 149}}},
      {"testimgint.jpg", {kLoads, {227, 149}}},
      {"testimgari.jpg", {kEither, {227, 149}}},
      {"testorig.ppm", {kEither, {227, 149}}},
      {"testorig.png", {kEither, {227, 149}}},
      {"monkey12.jpg", {kEither, {149, 227}}},
      {"monkey16.pgm", {kEither, {149, 227}}},
      {"monkey16.png", {kEither, {149, 227}}},
      {"shira_bird8.bmp", {kLoads, {192, 144}}},
      {"vgl_6434_0018a.bmp", {kLoads, {119, 96}}},
      {"vgl_6548_0026a.bmp", {kLoads, {128, 95}}},
      {"vgl_5674_0098.png", {kEither, {120, 96}}},
      {"LICENSE.txt", {kFails, {}}},
  };
  new_join();
  const std::string previous = write_plain("previous.bmp", 7, 5, 0x123456);
  int seen = 0;
  for (const auto& entry : fs::recursive_directory_iterator(test::corpus_dir() / "jpeg")) {
    if (!entry.is_regular_file()) continue;
    const std::string name = entry.path().filename().string();
    const auto it = expected.find(name);
    ASSERT_NE(it, expected.end()) << "no expectation for " << name;
    ++seen;
    load_a(previous);
    rt.clear_messages();
    load_a(entry.path().string());
    const auto [outcome, size] = it->second;
    if (s.doc.load.load_failed == 0) {
      EXPECT_NE(outcome, kFails) << name;
      EXPECT_EQ(size_of(s.doc.a), size) << name;
      EXPECT_TRUE(rt.messages().empty()) << name;
    } else {
      EXPECT_NE(outcome, kLoads) << name;
      ASSERT_EQ(rt.messages().size(), 1u) << name;
      EXPECT_EQ(rt.messages()[0].caption, entry.path().string());
      EXPECT_EQ(s.doc.a.file_path, previous) << name;
      EXPECT_EQ(size_of(s.doc.a), std::pair(7, 5)) << name;
      EXPECT_EQ(rt.CHECKOBJECT(s.doc.a.bitmap), 1) << name;
      // The work file never still holds an earlier picture.
      if (fs::exists(work_file())) {
        EXPECT_THROW(read_bitmap_file(work_file()), RuntimeError) << name;
      }
    }
  }
  EXPECT_EQ(seen, static_cast<int>(expected.size()));
}

}  // namespace
}  // namespace vimbrel
