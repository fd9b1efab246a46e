#include "platform/runtime/qt/qt_platform.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vimbrel {

QtPlatform::QtPlatform(int& argc, char** argv, std::vector<FormLayout> layouts)
    : app_(std::make_unique<QApplication>(argc, argv)) {
  QApplication::setApplicationName("Vimbrel");
  // The program ends when the main window's end event has run, not when a window closes.
  QApplication::setQuitOnLastWindowClosed(false);
  translator_ = std::make_unique<QTranslator>();
  if (translator_->load(QLocale::system(), "qtbase", "_",
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(translator_.get());
  }
  runtime_ = std::make_unique<QtRuntime>(std::move(layouts));
}

QtPlatform::~QtPlatform() = default;

}  // namespace vimbrel
