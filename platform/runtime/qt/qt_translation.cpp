#include "platform/runtime/qt/qt_translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <cstdlib>

#include "platform/runtime/ui_text.h"

namespace vimbrel {
namespace {

// "en_GB.UTF-8@euro" -> "en_GB".
std::string without_codeset(std::string name) {
  return name.substr(0, name.find_first_of(".@"));
}

QString qm_name(const std::string& language) {
  return QStringLiteral("vimbrel_%1.qm").arg(QString::fromStdString(language));
}

}  // namespace

QString translated(std::string_view source) {
  const std::string text(source);  // translate() wants it terminated
  return QCoreApplication::translate(kTextContext, text.c_str());
}

std::string window_language(const std::function<const char*(const char*)>& env,
                            const std::function<bool(const std::string&)>& has_file) {
  const auto value = [&env](const char* name) {
    const char* v = env(name);
    return std::string(v != nullptr ? v : "");
  };
  std::string locale = value("LC_ALL");
  if (locale.empty()) locale = value("LC_MESSAGES");
  if (locale.empty()) locale = value("LANG");
  locale = without_codeset(locale);
  if (locale.empty() || locale == "C" || locale == "POSIX") return {};
  std::string entries = value("LANGUAGE");
  entries += (entries.empty() ? "" : ":") + locale;
  for (std::size_t start = 0; start <= entries.size();) {
    std::size_t end = entries.find(':', start);
    if (end == std::string::npos) end = entries.size();
    const std::string entry = without_codeset(entries.substr(start, end - start));
    start = end + 1;
    if (entry.empty()) continue;
    const std::string language = entry.substr(0, entry.find('_'));
    if (language == "ja") return {};
    if (has_file(entry)) return entry;
    if (has_file(language)) return language;
  }
  return {};
}

QStringList Translations::installed_folders() {
  const QString bin = QCoreApplication::applicationDirPath();
  return {bin, QDir::cleanPath(bin + "/" + VIMBREL_TRANSLATIONS_FROM_BIN)};
}

Translations::Translations(const QStringList& folders) {
  const auto folder_of = [&folders](const std::string& language) -> QString {
    for (const QString& f : folders) {
      if (QFileInfo::exists(f + "/" + qm_name(language))) return f;
    }
    return {};
  };
  language_ = window_language([](const char* name) { return std::getenv(name); },
                              [&folder_of](const std::string& l) { return !folder_of(l).isEmpty(); });
  const QString qt_folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  // The source texts are Japanese, and so are the dialogs Qt builds for them; a language of ours has
  // Qt's texts in that language where Qt has them (English needs none).
  const QString qt_language = language_.empty() ? QStringLiteral("ja") : QString::fromStdString(language_);
  if (qt_.load(QStringLiteral("qtbase_") + qt_language, qt_folder)) QCoreApplication::installTranslator(&qt_);
  if (!language_.empty() && program_.load(qm_name(language_), folder_of(language_)))
    QCoreApplication::installTranslator(&program_);
}

}  // namespace vimbrel
