// The entry points of the program's Qt module (see qt_module.h), by plain names for dlsym.
#include "app/gui.h"
#include "platform/imageio/qt_codecs.h"

extern "C" {

__attribute__((visibility("default"))) const vimbrel::QtCodecs* vimbrel_qt_codecs() {
  return &vimbrel::linked_qt_codecs();
}

__attribute__((visibility("default"))) int vimbrel_run_gui(int argc, char** argv) {
  return vimbrel::run_gui(argc, argv);
}

}  // extern "C"
