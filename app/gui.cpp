#include "app/gui.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/forms_layout.h"
#include "app/handed_files.h"
#include "app/program.h"
#include "app/settings_file.h"
#include "app/settings_search.h"
#include "app/startup.h"
#include "platform/pixels/runtime_error.h"
#include "platform/runtime/qt/qt_platform.h"
#include "platform/system/work_folder.h"
#include "sources/work_folder_check.h"

namespace vimbrel {
namespace {

// A settings file that cannot be found or read stops the start: say which file and what it must hold,
// and leave no window behind.
int refuse_start(Session& s, const std::string& text) {
  std::cerr << "vimbrel: " << text << "\n";
  for (const Window form : {s.c.FORM2, s.c.FORM3, s.c.FORM4, s.c.MAINFORM}) {
    if (form) s.rt.DESTROYWINDOW(form);
  }
  s.rt.MESSAGEBOX(Window{}, "Vimbrel", text, 0, 0);
  return 1;
}

}  // namespace

int run_gui(int argc, char** argv) {
  QtPlatform platform(argc, argv, form_layouts());
  Session s(platform.runtime());
  wire_program(s);
  const std::vector<std::filesystem::path> places = settings_folders();
  const std::optional<std::filesystem::path> folder = find_settings_folder(places);
  if (folder) s.doc.settings_file = (*folder / kSettingsFileName).string();
  try {
    start_up(s, [&folder]() -> std::string {
      if (!folder) throw RuntimeError{errc::kFileNotFound};
      return read_work_drive(*folder);
    });
  } catch (const RuntimeError& e) {
    return refuse_start(s, folder ? settings_file_problem(*folder, e.code) : settings_not_found(places));
  }
  const PrivateWorkFolder work(s.doc.work_drive);
  use_private_work_folder(s, work.path());
  check_work_folder(s, s.c.FORM3);
  // What Qt's own options (-platform, say) leave of the arguments are the files handed over.
  hand_over_files(s, std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
  return run_event_loop(s);
}

}  // namespace vimbrel
