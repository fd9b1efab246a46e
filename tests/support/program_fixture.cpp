#include "tests/support/program_fixture.h"

#include <filesystem>
#include <fstream>

#include "app/forms_layout.h"
#include "app/program.h"
#include "app/startup.h"
#include "platform/imageio/bitmap_file.h"
#include "tests/support/pictures.h"

namespace vimbrel::test {

ProgramTest::ProgramTest() : work_dir(dir.file("work") + "/"), rt(form_layouts()), s(rt) {
  std::filesystem::create_directory(dir.file("work"));
  std::ofstream(dir.file("KANKYO.TXT")) << "VIMBREL,1\nWORK," << work_dir << "\n";
  wire_program(s);
  start_up(s, dir.path());
}

std::string ProgramTest::write_picture(const std::string& name, int width, int height,
                                       const std::function<std::uint32_t(int, int)>& colour) {
  const std::string path = dir.file(name);
  write_bitmap_file(
      picture(width, height, [&](int x, int y) { return 0xFF000000u | (colour(x, y) & 0xFFFFFFu); }), path);
  return path;
}

std::string ProgramTest::write_plain(const std::string& name, int width, int height, std::uint32_t rgb) {
  return write_picture(name, width, height, [rgb](int, int) { return rgb; });
}

void ProgramTest::new_join(int side, const std::string& margin_x, const std::string& margin_y) {
  if (s.doc.unsaved_changes) rt.push_question_answer(true);  // yes, the join may go
  ASSERT_TRUE(rt.click("BUTTON52"));
  ASSERT_TRUE(rt.type_text("EDIT1", margin_x));
  ASSERT_TRUE(rt.type_text("EDIT2", margin_y));
  ASSERT_TRUE(rt.click("RADIO" + std::to_string(side)));
  ASSERT_TRUE(rt.click("BUTTON2"));
}

void ProgramTest::load_a(const std::string& path) {
  rt.push_dialog_answer(path);
  ASSERT_TRUE(rt.click("BUTTON53"));
}

void ProgramTest::load_b(const std::string& path) {
  rt.push_dialog_answer(path);
  ASSERT_TRUE(rt.click("BUTTON54"));
}

}  // namespace vimbrel::test
