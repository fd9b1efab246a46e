// The load buttons on the headless program: a fixture that counts the view's redraws and the
// rebuilt titles, with the pictures the loading tests read.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "tests/support/program_fixture.h"

namespace vimbrel::test {

namespace fs = std::filesystem;

constexpr const char* kCannotShow = "このファイルは表示できません";

class Loading : public ProgramTest {
 protected:
  Loading() {
    // Count the redraws of the view and the rebuilt captions, passing them on.
    s.shell.CG_ON_SUB = [this, show = s.shell.CG_ON_SUB](Window w) {
      ++redraws;
      show(w);
    };
    s.shell.TITLE_SET = [this, set = s.shell.TITLE_SET](Window w) {
      ++titles;
      set(w);
    };
  }
  std::string work_file() const { return work_dir + "DAMMY.BMP"; }
  std::string copy_of(const fs::path& source, const std::string& name) {
    const std::string to = dir.file(name);
    fs::create_directories(fs::path(to).parent_path());
    fs::copy_file(source, to, fs::copy_options::overwrite_existing);
    return to;
  }
  std::string baseline_jpeg(const std::string& name) {
    return copy_of(corpus_dir() / "jpeg/made/baseline_420.jpg", name);
  }
  void join() {
    new_join(1);
    load_a(write_plain("a.bmp", 100, 80, 0xFF0000));
    load_b(write_plain("b.bmp", 60, 120, 0x0000FF));
  }
  std::pair<int, int> size_of(const ImageSlot& i) {
    return {static_cast<int>(i.width), static_cast<int>(i.height)};
  }
  // The one message box shown since the last check, if it names `path` as its caption.
  void expect_one_message(const std::string& path, const char* text = kCannotShow) {
    ASSERT_EQ(rt.messages().size(), 1u);
    EXPECT_EQ(rt.messages()[0].caption, path);
    EXPECT_EQ(rt.messages()[0].text, text);
    rt.clear_messages();
  }

  int redraws = 0;
  int titles = 0;
};

}  // namespace vimbrel::test
