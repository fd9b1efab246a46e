#include "app/gui.h"

#include <filesystem>
#include <iostream>

#include "app/forms_layout.h"
#include "app/settings_file.h"
#include "app/startup.h"
#include "platform/imageio/work_folder.h"
#include "platform/pixels/runtime_error.h"
#include "platform/runtime/path_builtins.h"
#include "platform/runtime/qt/qt_platform.h"

namespace vimbrel {
namespace {

// A settings file that cannot be read stops the start: say which file and what it must hold, and
// leave no window behind.
int refuse_start(Session& s, const std::filesystem::path& folder, int code) {
  const std::string text = settings_file_problem(folder, code);
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
  // The current folder, empty when it has gone (the settings file is then refused as missing).
  const std::filesystem::path folder = CURRENT_DIR("");
  try {
    start_up(s, folder);
  } catch (const RuntimeError& e) {
    return refuse_start(s, folder, e.code);
  }
  const PrivateWorkFolder work(s.doc.work_drive);
  use_private_work_folder(s, work.path());
  return run_event_loop(s);
}

}  // namespace vimbrel
