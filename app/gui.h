// The program on real windows: start-up, then events until the main window ends.
#pragma once

namespace vimbrel {

int run_gui(int argc, char** argv);

}  // namespace vimbrel
