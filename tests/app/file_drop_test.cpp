// The drop rule as a table, and drops on the headless runtime against the click-and-dialog path.
#include "app/file_drop.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/program_fixture.h"

namespace vimbrel {
namespace {

TEST(DropRule, TakesOneFileWhereAClickWouldWork) {
  const DroppedItem file{"/p/a.bmp", true}, folder{"/p", false}, remote{};
  const std::vector<DroppedItem> one{file}, two{file, file}, dir{folder}, web{remote}, none{};
  const DropState start{}, settled{.load_a = true};
  const DropState a_in{.load_a = true, .load_b = true, .a_loaded = true};
  const DropState all{true, true, true, true, true};
  const DropState fresh_all{true, true, true, true, false};  // new join confirmed, nothing loaded yet
  struct Row {
    DropSpot spot;
    const std::vector<DroppedItem>& items;
    DropState state;
    int button;
  };
  const Row rows[] = {
      {DropSpot::LoadA, one, settled, 53},
      {DropSpot::LoadA, one, start, 0},
      {DropSpot::LoadB, one, settled, 0},
      {DropSpot::LoadB, one, a_in, 54},
      {DropSpot::ReloadA, one, a_in, 0},
      {DropSpot::ReloadA, one, all, 53},
      {DropSpot::ReloadB, one, all, 54},
      {DropSpot::MainWindow, one, start, 0},
      {DropSpot::MainWindow, one, settled, 53},
      {DropSpot::MainWindow, one, a_in, 54},
      {DropSpot::MainWindow, one, fresh_all, 53},
      {DropSpot::Elsewhere, one, all, 0},
      {DropSpot::LoadA, two, all, 0},
      {DropSpot::LoadA, dir, all, 0},
      {DropSpot::MainWindow, web, all, 0},
      {DropSpot::LoadA, none, all, 0},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(drop_button(r.spot, r.items, r.state), r.button)
        << "spot " << static_cast<int>(r.spot) << ", " << r.items.size() << " items";
  }
}

class DropOnProgram : public test::ProgramTest {
 protected:
  bool drop(const std::string& target, const std::string& path) {
    return rt.drop_files(target, {{path, true}});
  }
};

TEST_F(DropOnProgram, APictureDroppedBeforeTheSettingsSaysWhatToDoFirst) {
  const std::string a = write_plain("a.bmp", 10, 10, 0xFF0000);
  for (const char* target : {"BUTTON53", "PICTURE1", "MAINFORM", "FORM3", "BUTTON52"}) {
    SCOPED_TRACE(target);
    EXPECT_FALSE(drop(target, a));
    const bool hinted = std::string(target) != "BUTTON52";  // New itself is no place for a picture
    ASSERT_EQ(rt.messages().size(), hinted ? 1u : 0u);
    if (hinted) {
      EXPECT_EQ(rt.messages()[0].caption, a);
      EXPECT_EQ(rt.messages()[0].text, kSettingsFirst);
    }
    rt.clear_messages();
  }
  ASSERT_TRUE(rt.click("BUTTON52"));  // with the settings form open, too
  EXPECT_FALSE(drop("PICTURE1", a));
  EXPECT_EQ(rt.messages().size(), 1u);
  ASSERT_TRUE(rt.click("BUTTON2"));
  rt.clear_messages();
  EXPECT_FALSE(drop("BUTTON54", a));  // after the settings a refusal is silent again
  EXPECT_TRUE(rt.messages().empty());
  EXPECT_TRUE(drop("BUTTON53", a));
  EXPECT_EQ(s.doc.a.width, 10.0f);
}

TEST_F(DropOnProgram, BadFileIsReportedAsThroughTheDialogAndTheAnswerIsUsedOnce) {
  write_plain("a.bmp", 10, 10, 0xFF0000);
  new_join();
  const std::string bad = dir.file("bad.bmp");
  std::ofstream(bad) << "not a picture";
  ASSERT_TRUE(drop("PICTURE1", bad));
  ASSERT_EQ(rt.messages().size(), 1u);
  EXPECT_EQ(rt.messages()[0].caption, bad);
  EXPECT_EQ(rt.messages()[0].text, "このファイルは表示できません");
  EXPECT_EQ(s.doc.a.width, 0.0f);

  ASSERT_TRUE(drop("PICTURE1", dir.file("a.bmp")));
  EXPECT_EQ(s.doc.a.file_path, dir.file("a.bmp"));
  // The next dialog is the user's again: with no answer it is cancelled and nothing changes.
  ASSERT_TRUE(rt.click("BUTTON54"));
  EXPECT_EQ(s.doc.b.width, 0.0f);
  EXPECT_EQ(rt.last_dialog()[0], "Ｂ画像にするファイルは？");
}

}  // namespace
}  // namespace vimbrel
