// The program's Qt module: its windows and Qt's image codecs, loaded only when first needed so that
// `vimbrel join` starts without Qt. The module lies beside the program (a build) or in its library
// folder (an installed copy).
#pragma once

namespace vimbrel {

// Runs the program on real windows; 1, with the reason on stderr, when the module cannot be loaded.
int run_gui_module(int argc, char** argv);

}  // namespace vimbrel
