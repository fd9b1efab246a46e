#include "platform/runtime/qt/qt_platform.h"

#include <QApplication>

namespace vimbrel {

QtPlatform::QtPlatform(int& argc, char** argv, std::vector<FormLayout> layouts)
    : app_(std::make_unique<QApplication>(argc, argv)) {
  QApplication::setApplicationName("Vimbrel");
  // The program ends when the main window's end event has run, not when a window closes.
  QApplication::setQuitOnLastWindowClosed(false);
  runtime_ = std::make_unique<QtRuntime>(std::move(layouts));
}

QtPlatform::~QtPlatform() = default;

}  // namespace vimbrel
