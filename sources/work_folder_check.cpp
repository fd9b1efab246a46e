#include "sources/work_folder_check.h"

#include "platform/runtime/path_builtins.h"
#include "platform/runtime/ui_text.h"

namespace vimbrel {
namespace {

constexpr const char* kUnusable = UI_TEXT(
    "作業フォルダ「%1」がないか、書き込めません。\n（設定ファイル %2 の2行目）\nJPEG "
    "などは作業フォルダでビットマップに変換してから読みます。");
constexpr const char* kBitmapsStillLoad = UI_TEXT("\nビットマップファイル（.bmp）はそのまま読めます。");

}  // namespace

bool work_folder_usable(const JoinDocument& d) {
  return FOLDER_WRITABLE_FOR(d.work_file_path);
}

std::string work_folder_message(const Session& s) {
  const JoinDocument& d = s.doc;
  const std::string file = d.settings_file.empty() ? std::string("KANKYO.TXT") : d.settings_file;
  return fill_text(s.rt.translated(kUnusable), {d.work_drive, file});
}

std::string work_folder_detail(const JoinDocument& d) {
  return "the work folder " + d.work_drive +
         (d.settings_file.empty() ? std::string() : " (line 2 of " + d.settings_file + ")") +
         " is missing or cannot be written";
}

bool check_work_folder(Session& s, Window owner) {
  if (work_folder_usable(s.doc)) return true;
  s.rt.MESSAGEBOX(owner, UI_TEXT("作業フォルダ"), work_folder_message(s) + s.rt.translated(kBitmapsStillLoad),
                  0, 0);
  return false;
}

}  // namespace vimbrel
