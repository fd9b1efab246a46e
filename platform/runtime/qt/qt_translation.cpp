#include "platform/runtime/qt/qt_translation.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
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

namespace {

// The width a control's caption has: the control less its frame, indicator or title margins.
int caption_room(const QWidget& w) {
  if (const auto* label = qobject_cast<const QLabel*>(&w)) return label->contentsRect().width();
  if (qobject_cast<const QRadioButton*>(&w) != nullptr || qobject_cast<const QCheckBox*>(&w) != nullptr) {
    QStyleOptionButton option;
    option.initFrom(&w);
    option.rect = w.rect();
    const bool radio = qobject_cast<const QRadioButton*>(&w) != nullptr;
    return w.style()
        ->subElementRect(radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &option, &w)
        .width();
  }
  if (qobject_cast<const QPushButton*>(&w) != nullptr) return w.width() - 4;
  if (qobject_cast<const QGroupBox*>(&w) != nullptr) return w.width() - 24;  // the title sits 8 in, 4 wider
  return -1;
}

void set_caption(QWidget& w, const QString& text) {
  if (auto* label = qobject_cast<QLabel*>(&w)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(&w)) {
    button->setText(text);
  } else if (auto* box = qobject_cast<QGroupBox*>(&w)) {
    box->setTitle(text);
  }
}

}  // namespace

void show_translated(QWidget& control, std::string_view source) {
  const QString whole = translated(source);
  const int room = caption_room(control);
  if (room < 0) return;
  if (whole == QString::fromUtf8(source.data(), static_cast<qsizetype>(source.size()))) {
    set_caption(control, whole);
    if (!control.toolTip().isEmpty()) control.setToolTip({});  // a cut translation's, shown before
    return;
  }
  const QFontMetrics metrics(control.font());
  const bool fits = metrics.horizontalAdvance(whole) <= room;
  set_caption(control, fits ? whole : metrics.elidedText(whole, Qt::ElideRight, std::max(room, 0)));
  control.setToolTip(fits ? QString() : whole);
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

QLocale Translations::locale() const {
  return language_.empty() ? QLocale(QLocale::Japanese, QLocale::Japan)
                           : QLocale(QString::fromStdString(language_));
}

}  // namespace vimbrel
