#include "app/title.h"

#include <gtest/gtest.h>

namespace vimbrel {
namespace {

JoinDocument started() {
  JoinDocument d;
  d.app_title = "VimbrelVer1.3";
  return d;
}

TEST(Title, AtStartItIsTheProgramNameAndTwoIdeographicSpaces) {
  EXPECT_EQ(title_text(started()), "VimbrelVer1.3 メインウインドウ　　");
}

TEST(Title, NamesBothImagesWithSizesAndTheCanvas) {
  JoinDocument d = started();
  d.a.file_title = "a.bmp", d.a.width = 640, d.a.height = 480;
  d.b.file_title = "b.jpg", d.b.width = 320, d.b.height = 200;
  d.canvas_width = 1010, d.canvas_height = 530;
  EXPECT_EQ(title_text(d),
            "VimbrelVer1.3 メインウインドウ　　Ａ画像「a.bmp」 (640×480)　／　Ｂ画像「b.jpg」 (320×200)　／　"
            "キャンバス (1010×530)");
}

TEST(Title, FailurePiecesAndEdgeCases) {
  JoinDocument d = started();
  d.a.file_title = "a.bmp", d.a.width = 64, d.a.height = 48;
  d.canvas_width = 64, d.canvas_height = 48;
  // Only A: the canvas follows the A part directly.
  EXPECT_EQ(title_text(d),
            "VimbrelVer1.3 メインウインドウ　　Ａ画像「a.bmp」 (64×48)　／　キャンバス (64×48)");

  // B dropped by a failed canvas: no separator before the canvas part.
  d.b.file_title = "huge.bmp";
  EXPECT_EQ(
      title_text(d),
      "VimbrelVer1.3 メインウインドウ　　Ａ画像「a.bmp」 (64×48)　／　Ｂ画像「huge.bmp」が原因で結合失敗"
      "キャンバス (64×48)");

  // A dropped keeps its separator; a width of 0 with a height shows the sizes; canvas width 0 omits it.
  JoinDocument e = started();
  e.a.file_title = "x.bmp";
  e.b.file_title = "y.bmp", e.b.width = 0, e.b.height = 5;
  e.canvas_width = 0, e.canvas_height = 9;
  EXPECT_EQ(
      title_text(e),
      "VimbrelVer1.3 メインウインドウ　　Ａ画像「x.bmp」が原因で結合失敗　／　Ｂ画像「y.bmp」 (0×5)　／　");
}

}  // namespace
}  // namespace vimbrel
