// The whole program on the headless runtime, started as `vimbrel` starts, in a temporary folder whose
// settings file names `work/` inside it as the work folder. Tests drive it through named events.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "join/session.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_runtime.h"

namespace vimbrel::test {

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest();

  // Writes a 24-bit bitmap file whose pixel (x, y) is colour(x, y) (0xRRGGBB); returns its path.
  std::string write_picture(const std::string& name, int width, int height,
                            const std::function<std::uint32_t(int, int)>& colour);
  // A picture of one colour.
  std::string write_plain(const std::string& name, int width, int height, std::uint32_t rgb);

  // "新規作成", margins and side (a Side's number), "設　定　の　保　存".
  void new_join(int side = 1, const std::string& margin_x = "50", const std::string& margin_y = "50");
  // "Ａ画像ロード" / "Ｂ画像ロード" with the open dialog answering `path`.
  void load_a(const std::string& path);
  void load_b(const std::string& path);

  const Bitmap& canvas() { return *rt.picture(s.doc.canvas_bitmap); }
  std::string caption(Window w) { return rt.GETWINDOWTEXT(w); }

  TempDir dir;
  std::string work_dir;
  TestRuntime rt;
  Session s;
};

}  // namespace vimbrel::test
