#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "join/canvas_settings.h"
#include "tests/support/program_fixture.h"

namespace vimbrel {
namespace {

using Message = std::pair<std::string, std::string>;  // caption, text

class NewCanvas : public test::ProgramTest {
 protected:
  // A new join on `side` with both images read as a user would.
  void join_pictures(int side, int aw, int ah, int bw, int bh, const std::string& mx = "50",
                     const std::string& my = "50") {
    new_join(side, mx, my);
    load_a(write_plain("a.bmp", aw, ah, 0x3366CC));
    load_b(write_plain("b.bmp", bw, bh, 0xCC6633));
  }
  std::vector<Message> messages() const {
    std::vector<Message> m;
    for (const HeadlessRuntime::Message& x : rt.messages()) m.emplace_back(x.caption, x.text);
    return m;
  }
  void expect_canvas(float w, float h) {
    EXPECT_EQ(s.doc.canvas_width, w);
    EXPECT_EQ(s.doc.canvas_height, h);
    EXPECT_EQ(rt.GETBITMAPWIDTH(s.doc.canvas_bitmap), w);
    EXPECT_EQ(rt.GETBITMAPHEIGHT(s.doc.canvas_bitmap), h);
  }
};

struct SizeRow {
  const char* name;
  int side;
  int aw, ah, bw, bh;
  const char *mx, *my;
  float width, height;
};

TEST_F(NewCanvas, SizesTheCanvasFromBothImagesTheSideAndTheMargins) {
  const SizeRow rows[] = {
      {"right", 1, 640, 480, 320, 200, "50", "50", 1010, 530},
      {"below", 2, 640, 480, 320, 200, "50", "50", 690, 730},
      {"left", 3, 640, 480, 320, 200, "50", "50", 1010, 530},
      {"above", 4, 640, 480, 320, 200, "50", "50", 690, 730},
      {"below-no-margins", 2, 100, 80, 120, 60, "0", "0", 120, 140},
      {"equal-heights", 1, 30, 40, 20, 40, "7", "9", 57, 49},
      {"b-taller-and-wider", 2, 10, 10, 25, 30, "1", "2", 26, 42},
  };
  for (const SizeRow& r : rows) {
    SCOPED_TRACE(r.name);
    join_pictures(r.side, r.aw, r.ah, r.bw, r.bh, r.mx, r.my);
    expect_canvas(r.width, r.height);
  }
  EXPECT_TRUE(rt.messages().empty());
}

TEST_F(NewCanvas, AnAImageAloneGetsExactlyItsOwnSizeWhateverTheMargins) {
  for (const char* margin : {"0", "50", "999"}) {
    new_join(2, margin, margin);
    load_a(write_plain("a.bmp", 300, 200, 0x112233));
    expect_canvas(300, 200);
  }
}

TEST_F(NewCanvas, NewOnALoadedJoinOpensTheSettingsWithTheCurrentMarginsAndTheirSaveEmptiesIt) {
  EXPECT_TRUE(rt.click("BUTTON52"));
  EXPECT_EQ(rt.GETWINDOWTEXT(s.c.EDIT1), "50");  // the start-up values
  EXPECT_EQ(rt.GETWINDOWTEXT(s.c.EDIT2), "50");
  EXPECT_TRUE(rt.click("BUTTON2"));

  join_pictures(1, 64, 48, 32, 20, "30", "4");
  ASSERT_EQ(s.doc.b.width, 32);
  EXPECT_TRUE(rt.click("BUTTON61"));  // the cut-out window is open when New comes
  rt.clear_messages();

  rt.push_question_answer(true);
  EXPECT_TRUE(rt.click("BUTTON52"));
  const JoinDocument& d = s.doc;
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM2), 1);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM3), 0);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM4), 0);
  EXPECT_EQ(rt.GETWINDOWTEXT(s.c.EDIT1), "30");
  EXPECT_EQ(rt.GETWINDOWTEXT(s.c.EDIT2), "4");
  EXPECT_EQ(rt.GETCHECK(s.c.RADIO1), 1);  // the side stays as the user left it
  EXPECT_EQ(d.b.width, 32);               // nothing is thrown away before the settings are saved

  EXPECT_TRUE(rt.click("BUTTON2"));
  EXPECT_TRUE(rt.messages().empty());
  expect_canvas(0, 0);
  for (const ImageSlot* img : {&d.a, &d.b}) {
    EXPECT_EQ(img->width, 0);
    EXPECT_EQ(img->height, 0);
    EXPECT_EQ(img->x, -1);
    EXPECT_EQ(img->y, -1);
    EXPECT_EQ(img->undo_x, 0);
    EXPECT_EQ(img->undo_y, 0);
    EXPECT_TRUE(img->file_path.empty());
    EXPECT_TRUE(img->file_title.empty());
    EXPECT_EQ(img->cutout_x, 0);
  }
  EXPECT_EQ(d.load.last_loaded, kNeither);
  EXPECT_EQ(d.cutout.cutout_source, kNeither);
  EXPECT_EQ(d.cutout.cutout_width, 300);
  EXPECT_EQ(d.cutout.cutout_height, 300);
  // The title no longer names the images; the commands that need images are off again.
  EXPECT_EQ(caption(s.c.MAINFORM), "VimbrelVer1.3 メインウインドウ　　");
  EXPECT_FALSE(rt.enabled(s.c.HSCROLL2));
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM3), 1);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM2), 0);
  EXPECT_TRUE(rt.enabled(s.c.BUTTON[53]));
  EXPECT_FALSE(rt.enabled(s.c.BUTTON[54]));
}

struct QuestionRow {
  const char* name;
  bool changed;  // the join changed since its last save
  bool answer;   // the user's answer, when asked
  bool asked, settings_open;
};

TEST_F(NewCanvas, NewAsksBeforeAJoinChangedSinceItsSaveGoes) {
  const QuestionRow rows[] = {
      {"changed-kept-by-default", true, false, true, false},
      {"changed-discarded", true, true, true, true},
      {"saved", false, false, false, true},
  };
  for (const QuestionRow& r : rows) {
    SCOPED_TRACE(r.name);
    join_pictures(1, 20, 10, 8, 6);
    if (!r.changed) {
      rt.push_dialog_answer(dir.file("joined.BMP"));
      ASSERT_TRUE(rt.click("BUTTON60"));
    }
    rt.clear_messages();
    if (r.changed) rt.push_question_answer(r.answer);
    ASSERT_TRUE(rt.click("BUTTON52"));
    EXPECT_TRUE(rt.messages().empty());
    ASSERT_EQ(rt.questions().size(), r.asked ? 1u : 0u);
    if (r.asked) {
      EXPECT_EQ(rt.questions()[0].text, "結合画像は保存されていません。\n破棄して新規作成しますか？");
    }
    EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM2), r.settings_open ? 1 : 0);
    EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM3), r.settings_open ? 0 : 1);
    EXPECT_EQ(s.doc.b.width, 8);  // the join itself is still there either way
    if (r.settings_open) {
      ASSERT_TRUE(rt.click("BUTTON2"));
    }
  }
}

TEST_F(NewCanvas, CancellingTheSettingsBringsBackTheControllerWithTheJoinAsItWas) {
  join_pictures(1, 64, 48, 32, 20, "30", "4");
  ASSERT_TRUE(rt.click("BUTTON61"));  // the cut-out window is open
  const JoinDocument before = s.doc;
  rt.push_question_answer(true);
  ASSERT_TRUE(rt.click("BUTTON52"));
  ASSERT_TRUE(rt.click("RADIO3"));
  ASSERT_TRUE(rt.type_text("EDIT1", "7"));
  EXPECT_FALSE(rt.cancel_form("FORM3"));  // not a dialog, and hidden now

  ASSERT_TRUE(rt.cancel_form("FORM2"));
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM2), 0);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM3), 1);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM4), 1);
  EXPECT_EQ(rt.GETCHECK(s.c.RADIO1), 1);  // the side the join was made on
  EXPECT_EQ(rt.GETCHECK(s.c.RADIO3), 0);
  EXPECT_EQ(s.doc.margin_x, 30);
  expect_canvas(before.canvas_width, before.canvas_height);
  EXPECT_EQ(s.doc.a.file_path, before.a.file_path);
  EXPECT_EQ(s.doc.b.x, before.b.x);
  EXPECT_TRUE(rt.enabled(s.c.BUTTON[60]));  // every command as before
  EXPECT_TRUE(rt.enabled(s.c.HSCROLL2));
  EXPECT_TRUE(s.doc.unsaved_changes);
}

TEST_F(NewCanvas, SavingTheSettingsTakesTheLeadingNumberOfEachMargin) {
  new_join(1, "", "0070");
  EXPECT_EQ(s.doc.margin_x, 0);
  EXPECT_EQ(s.doc.margin_y, 70);

  struct Row {
    const char* text;
    float value;
  };
  const Row rows[] = {{"", 0},
                      {"  12", 12},
                      {"12abc", 12},
                      {"abc", 0},
                      {"3 4", 3},
                      {"-5", 0},
                      {"7.9", 7},
                      {"0", 0},
                      {"000", 0},
                      {"\t5", 0},
                      {"99999999999999999999999999999999", 1e9f}};
  for (const Row& r : rows) EXPECT_EQ(margin_value(r.text), r.value) << '"' << r.text << '"';
}

struct SelectorRow {
  int side;
  int gx, gy, gw, gh;
  int r5x, r5y, r6x, r6y;
};

TEST_F(NewCanvas, TheImageSelectorMirrorsTheAttachmentSide) {
  const SelectorRow rows[] = {
      {1, 48, 488, 192, 56, 64, 512, 160, 512}, {2, 72, 472, 144, 80, 112, 496, 112, 528},
      {3, 48, 488, 192, 56, 160, 512, 64, 512}, {4, 72, 472, 144, 80, 112, 528, 112, 496},
      {1, 48, 488, 192, 56, 64, 512, 160, 512},  // and back again
  };
  for (const SelectorRow& r : rows) {
    SCOPED_TRACE(r.side);
    new_join(r.side);
    EXPECT_EQ(rt.GETLEFT(s.c.GROUP2), r.gx);
    EXPECT_EQ(rt.GETTOP(s.c.GROUP2), r.gy);
    EXPECT_EQ(rt.GETWIDTH(s.c.GROUP2), r.gw);
    EXPECT_EQ(rt.GETHEIGHT(s.c.GROUP2), r.gh);
    EXPECT_EQ(rt.GETLEFT(s.c.RADIO5), r.r5x);
    EXPECT_EQ(rt.GETTOP(s.c.RADIO5), r.r5y);
    EXPECT_EQ(rt.GETLEFT(s.c.RADIO6), r.r6x);
    EXPECT_EQ(rt.GETTOP(s.c.RADIO6), r.r6y);
    EXPECT_EQ(s.doc.selector.ctl_group_x, r.gx);
    EXPECT_EQ(s.doc.selector.ctl_group_height, r.gh);
    EXPECT_EQ(s.doc.selector.radio5_dy, r.r5y - r.gy);
    EXPECT_EQ(s.doc.selector.radio6_dy, r.r6y - r.gy);
  }
}

TEST_F(NewCanvas, OutOfMemoryAfterLoadingBDropsBAndKeepsACanvasOfA) {
  new_join(1);
  load_a(write_plain("a.bmp", 64, 48, 0x0000FF));
  rt.fail_next_create_bitmap();
  load_b(write_plain("b.bmp", 32, 20, 0x00FF00));

  EXPECT_EQ(messages(), (std::vector<Message>{{"結合画像表示エラー", "メモリが足りません"}}));
  expect_canvas(64, 48);
  EXPECT_EQ(s.doc.b.width, 0);
  EXPECT_EQ(s.doc.b.height, 0);
  EXPECT_EQ(rt.CHECKOBJECT(s.doc.b.bitmap), 0);
  EXPECT_EQ(s.doc.a.width, 64);
  // B keeps its name, so the title says which image the join failed on.
  EXPECT_EQ(s.doc.b.file_title, "b.bmp");
  EXPECT_NE(caption(s.c.MAINFORM).find("「b.bmp」が原因で結合失敗"), std::string::npos);
  EXPECT_TRUE(rt.untrapped().empty());
  EXPECT_FALSE(rt.ended());
}

TEST_F(NewCanvas, AMarginTooLargeForMemoryIsReportedAndDropsTheImageReadLast) {
  new_join(1, "99999", "99999");  // the most the fields take: 100015 × 100007
  load_a(write_plain("a.bmp", 16, 8, 0x0000FF));
  load_b(write_plain("b.bmp", 8, 8, 0x00FF00));
  EXPECT_EQ(messages(), (std::vector<Message>{{"結合画像表示エラー", "メモリが足りません"}}));
  expect_canvas(16, 8);
  EXPECT_EQ(s.doc.b.width, 0);
}

TEST_F(NewCanvas, ADroppedAReloadLeavesACanvasOfB) {
  join_pictures(1, 64, 48, 32, 20);
  rt.fail_next_create_bitmap();
  EXPECT_TRUE(rt.click("BUTTON55"));  // "Ａ画像再ロード": A was read last
  EXPECT_EQ(messages(), (std::vector<Message>{{"結合画像表示エラー", "メモリが足りません"}}));
  expect_canvas(32, 20);
  EXPECT_EQ(s.doc.a.width, 0);
  EXPECT_EQ(s.doc.a.x, 0);
  EXPECT_EQ(rt.CHECKOBJECT(s.doc.a.bitmap), 0);
  EXPECT_EQ(s.doc.b.width, 32);
}

TEST_F(NewCanvas, OtherCreationErrorsShowTheirNumber) {
  new_join(1);
  rt.fail_next_create_bitmap(1, 5);
  load_a(write_plain("a.bmp", 10, 10, 0));
  EXPECT_EQ(messages(), (std::vector<Message>{{"予期せぬ結合画像関連エラー", "エラー番号＝ 5"}}));
  expect_canvas(0, 0);  // A was the only image
}

TEST_F(NewCanvas, ARecoveryThatFailsTooEndsInAnEmptyCanvasAfterOneMoreMessage) {
  new_join(1);
  load_a(write_plain("a.bmp", 64, 48, 0x0000FF));
  rt.fail_next_create_bitmap(2);
  load_b(write_plain("b.bmp", 32, 20, 0x00FF00));
  const Message oom{"結合画像表示エラー", "メモリが足りません"};
  EXPECT_EQ(messages(), (std::vector<Message>{oom, oom}));
  expect_canvas(0, 0);
  EXPECT_NE(rt.CHECKOBJECT(s.doc.canvas_bitmap), 0);
  EXPECT_EQ(s.doc.a.width, 64);  // the image not read last stays
  EXPECT_FALSE(rt.ended());

  // Even an empty 0 × 0 canvas that cannot be made ends the recovery, and the program goes on.
  rt.clear_messages();
  rt.fail_next_create_bitmap(3);
  load_b(write_plain("b.bmp", 32, 20, 0x00FF00));
  EXPECT_EQ(messages(), (std::vector<Message>{oom, oom}));
  EXPECT_EQ(rt.CHECKOBJECT(s.doc.canvas_bitmap), 0);
  EXPECT_TRUE(rt.untrapped().empty());
  EXPECT_FALSE(rt.ended());

  // A fresh join works again.
  rt.clear_messages();
  join_pictures(2, 10, 10, 10, 10, "0", "0");
  EXPECT_TRUE(rt.messages().empty());
  expect_canvas(10, 20);
}

}  // namespace
}  // namespace vimbrel
