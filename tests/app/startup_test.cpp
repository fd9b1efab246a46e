#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/forms_layout.h"
#include "app/program.h"
#include "app/startup.h"
#include "platform/pixels/runtime_error.h"
#include "tests/support/program_fixture.h"

namespace vimbrel {
namespace {

using StartUp = test::ProgramTest;

TEST_F(StartUp, ShowsTheControllerInFrontWithOnlyNewAndTheSaveCheckUsable) {
  EXPECT_EQ(caption(s.c.MAINFORM), "VimbrelVer1.3 メインウインドウ　　");
  EXPECT_EQ(rt.foreground(), s.c.FORM3);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM3), 1);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM2), 0);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.FORM4), 0);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.MAINFORM), 1);  // maximized
  EXPECT_EQ(s.doc.view.last_win_width, 1600);
  EXPECT_EQ(s.doc.view.last_win_height, 1000);

  // Every control of FORM3 but "新規作成" and "保存時反映" is disabled.
  for (const ControlLayout& c : rt.layout_of_form("FORM3")->controls) {
    const bool usable = c.name == "BUTTON52" || c.name == "CHECK1";
    EXPECT_EQ(rt.enabled(rt.GETDLGITEM(s.c.FORM3, c.name)), usable) << c.name;
  }
  EXPECT_EQ(rt.GETCHECK(s.c.RADIO6), 1);
  EXPECT_EQ(rt.GETCHECK(s.c.RADIO8), 1);
  EXPECT_EQ(rt.GETCHECK(s.c.RADIO5), 0);
  EXPECT_EQ(rt.GETCURSEL(s.c.LIST1), -1);
  EXPECT_EQ(rt.rows(s.c.LIST1), (std::vector<std::string>{"効果無し（余白が白）", "効果無し（余白が黒）",
                                                          "Ａモード（余白が白）", "Ｂモード（余白が白）",
                                                          "Ｃモード（余白が黒）", "Ｄモード（余白が黒）"}));
}

TEST_F(StartUp, SetsTheStartValuesOfTheJoin) {
  const JoinDocument& d = s.doc;
  EXPECT_EQ(d.margin_x, 50.0f);
  EXPECT_EQ(d.margin_y, 50.0f);
  EXPECT_EQ(d.effect_index, 0);
  EXPECT_EQ(d.view.scrollbar_size, 16);
  EXPECT_EQ(d.work_file_path, work_dir + "DAMMY.BMP");
  EXPECT_EQ(rt.GETBITMAPWIDTH(d.canvas_bitmap), 10.0f);
  EXPECT_EQ(rt.CHECKOBJECT(d.a.bitmap), 0);
  EXPECT_EQ(d.selector.ctl_group_y, 488);
  EXPECT_EQ(rt.scroll_steps(s.c.HSCROLL2), (std::pair{1, 10}));
  EXPECT_EQ(rt.scroll_steps(s.c.VSCROLL3), (std::pair{1, 10}));
  EXPECT_EQ(rt.scroll_steps(s.c.HSCROLL1), (std::pair{1, 16}));
  // Bound controls carry their font sizes; EDIT1 was found under the name "Edit1".
  EXPECT_EQ(rt.font_size(s.c.EDIT1), 14.0f);
  EXPECT_EQ(rt.font_size(s.c.BUTTON[52]), 12.0f);
}

TEST_F(StartUp, ClosingTheMainWindowEndsTheProgramWithStatusZero) {
  rt.queue_action([this] { rt.close_main_form(); });
  rt.queue_action([] { FAIL() << "no event after the end"; });
  try {
    while (true) rt.WAITEVENT(0);
  } catch (const ProgramEnded& e) {
    EXPECT_EQ(e.status, 0);
  }
  EXPECT_EQ(rt.ISWINDOWVISIBLE(s.c.MAINFORM), 0);
  EXPECT_EQ(rt.CHECKOBJECT(s.doc.canvas_bitmap), 0);
}

// Commands unlock in order: settings saved, A read, B read. The effect chosen survives "新規作成" and a
// reload; only a successful "Ｂ画像ロード" selects the first effect again.
class Enabling : public test::ProgramTest {
 protected:
  std::vector<std::string> usable() {
    std::vector<std::string> names;
    for (const ControlLayout& c : rt.layout_of_form("FORM3")->controls) {
      if (rt.enabled(rt.GETDLGITEM(s.c.FORM3, c.name))) names.push_back(c.name);
    }
    return names;
  }
};

TEST_F(Enabling, CommandsUnlockInOrderAndTheEffectIsChosenAgainOnlyByANewB) {
  using Names = std::vector<std::string>;
  new_join();
  EXPECT_EQ(usable(), (Names{"BUTTON52", "BUTTON53", "CHECK1"}));
  load_a(write_plain("a.bmp", 40, 30, 0xFF0000));
  EXPECT_EQ(usable(), (Names{"BUTTON52", "BUTTON53", "BUTTON61", "BUTTON54", "CHECK1"}));
  load_b((dir.path() / "missing.bmp").string());  // a failed read unlocks nothing
  EXPECT_EQ(usable(), (Names{"BUTTON52", "BUTTON53", "BUTTON61", "BUTTON54", "CHECK1"}));

  load_b(write_plain("b.bmp", 20, 10, 0x00FF00));
  EXPECT_EQ(usable().size(), rt.layout_of_form("FORM3")->controls.size());
  EXPECT_EQ(rt.GETCURSEL(s.c.LIST1), 0);
  ASSERT_TRUE(rt.select_row("LIST1", 3));
  ASSERT_TRUE(rt.click("RADIO5"));
  ASSERT_TRUE(rt.click("RADIO7"));
  ASSERT_TRUE(rt.click("BUTTON56"));  // the reload keeps the effect
  EXPECT_EQ(rt.GETCURSEL(s.c.LIST1), 3);
  EXPECT_EQ(s.doc.effect_index, 3);

  rt.push_question_answer(true);  // the join is not saved: yes, it may go
  ASSERT_TRUE(rt.click("BUTTON52"));
  ASSERT_TRUE(rt.click("BUTTON2"));
  EXPECT_EQ(rt.GETCHECK(s.c.RADIO6), 1);
  EXPECT_EQ(rt.GETCHECK(s.c.RADIO8), 1);
  EXPECT_EQ(rt.GETCHECK(s.c.RADIO7), 0);
  EXPECT_EQ(rt.GETCURSEL(s.c.LIST1), 3);
  EXPECT_EQ(s.doc.effect_index, 3);
  EXPECT_EQ(usable(), (Names{"BUTTON52", "BUTTON53", "CHECK1"}));

  load_a(write_plain("a2.bmp", 40, 30, 0xFF0000));
  load_b(write_plain("b2.bmp", 20, 10, 0x00FF00));
  EXPECT_EQ(rt.GETCURSEL(s.c.LIST1), 0);
  EXPECT_EQ(s.doc.effect_index, 0);
}

// Started in a folder that has since been removed: the dialogs have no folder to start in, and the
// start goes on.
TEST(StartUpInARemovedFolder, GoesOnWithoutAStartFolder) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  const fs::path home = fs::current_path();
  fs::create_directory(dir.path() / "gone");
  fs::current_path(dir.path() / "gone");
  fs::remove(dir.path() / "gone");
  HeadlessRuntime rt(form_layouts());
  Session s(rt);
  wire_program(s);
  EXPECT_NO_THROW(start_up(s, [&dir] { return dir.path().string() + "/"; }));
  fs::current_path(home);
  EXPECT_EQ(s.doc.a.open_dir, "");
  EXPECT_EQ(s.doc.save_dir, "");
}

}  // namespace
}  // namespace vimbrel
