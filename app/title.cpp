#include "app/title.h"

#include <cmath>

#include "app/view_scale.h"

namespace vimbrel {
namespace {

// A size as decimal text, without sign or leading space.
std::string number_text(float v) {
  return std::to_string(std::llround(std::fabs(static_cast<double>(v))));
}

void append_image(std::string& t, const char* label, const ImageSlot& img, bool is_b) {
  if (img.file_title.empty()) return;
  const std::string w = number_text(img.width), h = number_text(img.height);
  t += label;
  t += "「" + img.file_title;
  if (w == "0" && h == "0") {
    t += is_b ? "」が原因で結合失敗" : "」が原因で結合失敗　／　";
  } else {
    t += "」 (" + w + "×" + h + ")　／　";
  }
}

}  // namespace

std::string title_text(const JoinDocument& doc) {
  std::string t = doc.app_title + " メインウインドウ　　";
  append_image(t, "Ａ画像", doc.a, false);
  append_image(t, "Ｂ画像", doc.b, true);
  if (doc.canvas_width > 0) {
    t += "キャンバス (" + number_text(doc.canvas_width) + "×" + number_text(doc.canvas_height) + ")";
  }
  if (doc.view.scale != 1) t += "　〔" + scale_text(doc.view.scale) + "〕";  // at 100 % as it was
  return t;
}

void TITLE_SET(Session& s, Window) {
  s.rt.SETWINDOWTEXT(s.c.MAINFORM, title_text(s.doc));
}

}  // namespace vimbrel
