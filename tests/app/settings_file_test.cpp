#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/pixels/runtime_error.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

struct SettingsCase {
  const char* name;
  std::string bytes;
  std::string work_drive;
};

class SettingsFile : public ::testing::Test {
 protected:
  void write(const std::string& bytes) { std::ofstream(dir.file("KANKYO.TXT"), std::ios::binary) << bytes; }
  int code_of_read() {
    try {
      read_work_drive(dir.path());
    } catch (const RuntimeError& e) {
      return e.code;
    }
    return 0;
  }
  test::TempDir dir;
};

TEST_F(SettingsFile, TheWorkDriveIsLineTwoAfterItsFirstComma) {
  const SettingsCase cases[] = {
      {"drive-root", "A,B\nWORK,C:\\WORK\\\n", "C:\\WORK\\"},
      {"no-final-separator", "A,B\nWORK,C:\\WORK\n", "C:\\WORK"},
      {"first-comma-only", "A,B\nWORK,D:\\a,b\\\n", "D:\\a,b\\"},
      {"no-comma", "A,B\n/tmp/work/\n", "/tmp/work/"},
      {"empty-line-2", "A,B\n\nmore\n", ""},
      {"extra-lines", "A,B\nW,/x/\nW,/y/\n", "/x/"},
      {"crlf", "A,B\r\nW,/x/\r\n", "/x/"},
      {"no-final-newline", "A,B\nW,/x/", "/x/"},
      {"byte-order-mark",
       "\xEF\xBB\xBF"
       "A,B\nW,/表/\n",
       "/表/"},
      {"cp932", "A,B\nW,/\x95\x5C/\n", "/表/"},  // 表 in cp932 has 0x5C as its trail byte
  };
  for (const SettingsCase& c : cases) {
    write(c.bytes);
    EXPECT_EQ(read_work_drive(dir.path()), c.work_drive) << c.name;
  }
}

TEST_F(SettingsFile, MissingOrShortFilesAreErrorsThatSayWhatLineTwoMustHold) {
  EXPECT_EQ(code_of_read(), 53);
  write("only one line\n");
  EXPECT_EQ(code_of_read(), 62);
  write("");
  EXPECT_EQ(code_of_read(), 62);
  const std::string text = settings_file_problem(dir.path(), 62);
  EXPECT_NE(text.find(dir.file("KANKYO.TXT")), std::string::npos);
  EXPECT_NE(text.find("line 2"), std::string::npos);
}

}  // namespace
}  // namespace vimbrel
