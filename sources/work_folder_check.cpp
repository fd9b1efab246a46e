#include "sources/work_folder_check.h"

#include "platform/runtime/path_builtins.h"

namespace vimbrel {

bool work_folder_usable(const JoinDocument& d) {
  return FOLDER_WRITABLE_FOR(d.work_file_path);
}

std::string work_folder_message(const JoinDocument& d) {
  const std::string file = d.settings_file.empty() ? std::string("KANKYO.TXT") : d.settings_file;
  return "作業フォルダ「" + d.work_drive + "」がないか、書き込めません。\n" + "（設定ファイル " + file +
         " の2行目）\nJPEG などは作業フォルダでビットマップに変換してから読みます。";
}

std::string work_folder_detail(const JoinDocument& d) {
  return "the work folder " + d.work_drive +
         (d.settings_file.empty() ? std::string() : " (line 2 of " + d.settings_file + ")") +
         " is missing or cannot be written";
}

bool check_work_folder(Session& s, Window owner) {
  if (work_folder_usable(s.doc)) return true;
  s.rt.MESSAGEBOX(owner, "作業フォルダ",
                  work_folder_message(s.doc) + "\nビットマップファイル（.bmp）はそのまま読めます。", 0, 0);
  return false;
}

}  // namespace vimbrel
