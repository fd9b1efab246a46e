#include "app/title.h"

#include <cmath>

#include "app/view_scale.h"
#include "join/clipboard.h"
#include "platform/runtime/ui_text.h"

namespace vimbrel {
namespace {

using Translate = std::function<std::string(std::string_view)>;

// A size as decimal text, without sign or leading space.
std::string number_text(float v) {
  return std::to_string(std::llround(std::fabs(static_cast<double>(v))));
}

// The part of one image: %1 its file, %2 × %3 its size.
struct ImagePart {
  const char* sized;
  const char* failed;
};
constexpr ImagePart kPartA{UI_TEXT("Ａ画像「%1」 (%2×%3)　／　"),
                           UI_TEXT("Ａ画像「%1」が原因で結合失敗　／　")};
constexpr const char* kMainWindow = UI_TEXT("%1 メインウインドウ　　");
constexpr const char* kCanvas = UI_TEXT("キャンバス (%1×%2)");
constexpr const char* kScale = UI_TEXT("　〔%1〕");
// B failed is the last part before the canvas: no separator.
constexpr ImagePart kPartB{UI_TEXT("Ｂ画像「%1」 (%2×%3)　／　"), UI_TEXT("Ｂ画像「%1」が原因で結合失敗")};

void append_image(std::string& t, const JoinDocument& doc, Twin twin, const Translate& words) {
  const ImageSlot& img = twin == Twin::A ? doc.a : doc.b;
  const ImagePart& part = twin == Twin::A ? kPartA : kPartB;
  if (img.file_title.empty()) return;
  // A pasted picture's file is named by the program: its name is a text of the program's.
  const std::string name = img.file_path == pasted_file(doc, twin) ? words(img.file_title) : img.file_title;
  const std::string w = number_text(img.width), h = number_text(img.height);
  if (w == "0" && h == "0") {
    t += fill_text(words(part.failed), {name});
  } else {
    t += fill_text(words(part.sized), {name, w, h});
  }
}

}  // namespace

std::string title_text(const JoinDocument& doc, const Translate& words) {
  std::string t = fill_text(words(kMainWindow), {doc.app_title});
  append_image(t, doc, Twin::A, words);
  append_image(t, doc, Twin::B, words);
  if (doc.canvas_width > 0) {
    t += fill_text(words(kCanvas), {number_text(doc.canvas_width), number_text(doc.canvas_height)});
  }
  // At 100 % as it was.
  if (doc.view.scale != 1) t += fill_text(words(kScale), {scale_text(doc.view.scale)});
  return t;
}

void TITLE_SET(Session& s, Window) {
  s.rt.SETWINDOWTEXT(s.c.MAINFORM,
                     title_text(s.doc, [&s](std::string_view t) { return s.rt.translated(t); }));
}

}  // namespace vimbrel
