// The entry point: the GUI with no arguments, the headless `join` command, or help and version.
#include <iostream>
#include <string>
#include <vector>

#include "app/join_command.h"
#include "app/qt_module.h"
#include "platform/system/signal_cleanup.h"

namespace {

const char* const kUsage =
    "usage: vimbrel [A [B]]         start the program; pictures given are loaded as A and B\n"
    "       vimbrel join A B -o OUT [options]   join two pictures without a display (vimbrel join --help)\n"
    "       vimbrel --help | --version\n";

}  // namespace

int main(int argc, char** argv) {
  // Interrupted or ended by the system, a run still removes its work folder and unfinished files.
  vimbrel::remove_registered_paths_on_signals();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || (args[0] != "join" && !args[0].starts_with("-"))) {
    return vimbrel::run_gui_module(argc, argv);
  }
  if (args[0] == "--help" || args[0] == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (args[0] == "--version") {
    std::cout << "vimbrel 1.3\n";
    return 0;
  }
  if (args[0] == "join") {
    return vimbrel::run_join_command(std::span(args).subspan(1), std::cout, std::cerr);
  }
  std::cerr << "vimbrel: unknown argument " << args[0] << "\n" << kUsage;
  return 2;
}
