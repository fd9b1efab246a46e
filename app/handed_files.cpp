#include "app/handed_files.h"
#include "platform/runtime/ui_text.h"

#include <filesystem>
#include <utility>

namespace vimbrel {
namespace {

constexpr const char* kTooManyFiles =
    UI_TEXT("渡されたファイルが多すぎます。最初の２つだけを、Ａ画像とＢ画像として使います。");

// As the open dialogs give a file: absolute, whatever the current folder is later.
std::string absolute(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(path, ec);
  return ec ? path : full.lexically_normal().string();
}

void load_handed_files(Session& s, const std::vector<std::string>& files) {
  // 新規作成, then 設　定　の　保　存 with the settings form's first values.
  if (!s.rt.press(s.c.BUTTON[52]) || !s.rt.press(s.c.BUTTON[2])) return;
  if (!s.rt.press(s.c.BUTTON[53], absolute(files[0]))) return;
  if (files.size() > 1) s.rt.press(s.c.BUTTON[54], absolute(files[1]));
  if (files.size() > 2) s.rt.MESSAGEBOX(s.c.MAINFORM, "Vimbrel", kTooManyFiles, 0, 0);
}

}  // namespace

void hand_over_files(Session& s, std::vector<std::string> files) {
  if (files.empty()) return;
  s.rt.post([&s, files = std::move(files)] { load_handed_files(s, files); });
}

}  // namespace vimbrel
