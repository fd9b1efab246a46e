// Files handed over on the command line, against what the load buttons do with them.
#include "app/handed_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/program_fixture.h"

namespace vimbrel {
namespace {

struct HandedCase {
  const char* name;
  std::vector<std::string> files;  // in the test's folder; "text.bmp" is no picture
  float a_width, b_width;          // 0: not loaded
  std::vector<std::string> messages;
};

void PrintTo(const HandedCase& c, std::ostream* os) {
  *os << c.name;
}

const HandedCase kHanded[] = {
    {"One", {"a.bmp"}, 30, 0, {}},
    {"Two", {"a.bmp", "b.bmp"}, 30, 20, {}},
    {"Three",
     {"a.bmp", "b.bmp", "a.bmp"},
     30,
     20,
     {"渡されたファイルが多すぎます。最初の２つだけを、Ａ画像とＢ画像として使います。"}},
    {"BrokenFirst", {"text.bmp", "b.bmp"}, 0, 0, {"このファイルは表示できません"}},
};

class HandedFiles : public test::ProgramTest, public ::testing::WithParamInterface<HandedCase> {};

TEST_P(HandedFiles, StartANewJoinAndLoadAsTheButtonsWould) {
  write_plain("a.bmp", 30, 10, 0xFF0000);
  write_plain("b.bmp", 20, 40, 0x00FF00);
  std::ofstream(dir.file("text.bmp")) << "not a picture";
  std::vector<std::string> files;
  for (const std::string& f : GetParam().files) files.push_back(dir.file(f));
  hand_over_files(s, files);
  EXPECT_THROW(rt.WAITEVENT(0), ProgramEnded);  // the posted hand-over, then nothing more to do
  EXPECT_EQ(rt.untrapped().size(), 0u);
  EXPECT_EQ(s.doc.a.width, GetParam().a_width);
  EXPECT_EQ(s.doc.b.width, GetParam().b_width);
  std::vector<std::string> texts;
  for (const auto& m : rt.messages()) texts.push_back(m.text);
  EXPECT_EQ(texts, GetParam().messages);
  if (GetParam().a_width > 0) {
    EXPECT_EQ(s.doc.a.file_path, dir.file("a.bmp"));
    EXPECT_EQ(s.doc.margin_x, 50);  // the settings form's first values
    EXPECT_EQ(s.doc.margin_y, 50);
  }
}

INSTANTIATE_TEST_SUITE_P(Starts, HandedFiles, ::testing::ValuesIn(kHanded),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vimbrel
