#include "platform/runtime/qt/qt_platform.h"

#include <QApplication>

namespace vimbrel {

QtPlatform::QtPlatform(int& argc, char** argv, std::vector<FormLayout> layouts)
    : app_(std::make_unique<QApplication>(argc, argv)) {
  QApplication::setApplicationName("Vimbrel");
  // Docks tie the windows to the launcher by this name (Wayland) and by the window class "Vimbrel" (X).
  QGuiApplication::setDesktopFileName("org.vimbrel.Vimbrel");
  // The program ends when the main window's end event has run, not when a window closes.
  QApplication::setQuitOnLastWindowClosed(false);
  runtime_ = std::make_unique<QtRuntime>(std::move(layouts));
}

QtPlatform::~QtPlatform() = default;

}  // namespace vimbrel
