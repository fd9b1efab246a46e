// The codecs linked into the program that uses them (tests, benchmarks, fuzz targets).
#include "platform/imageio/qt_codecs.h"

namespace vimbrel {

const QtCodecs* qt_codecs() {
  return &linked_qt_codecs();
}

}  // namespace vimbrel
