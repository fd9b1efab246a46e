// The windows' language: the program's texts and Qt's own, chosen from the locale.
#pragma once

#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <functional>
#include <string>
#include <string_view>

namespace vimbrel {

// A program text in the language installed; the text itself where there is no translation.
QString translated(std::string_view source);

// Shows `source`'s translation on a label, button, radio button, check box or group box as it is
// laid out now. The captions were laid out for the source texts: a translation wider than its control
// is shortened with "…" after a whole letter and shown whole as the tool tip. A source text is shown as
// it stands.
void show_translated(QWidget& control, std::string_view source);

// The windows' language as gettext chooses one: LC_ALL, LC_MESSAGES or LANG name the locale (none,
// C or POSIX: the source texts, whatever LANGUAGE says); LANGUAGE may list languages to try first.
// Each entry is tried whole ("en_GB"), then by its language ("en"); "ja" is the source texts'.
// Returns the first that `has_file`, or "" for the source texts (Japanese).
std::string window_language(const std::function<const char*(const char*)>& env,
                            const std::function<bool(const std::string&)>& has_file);

// The translators of the windows, installed into the application while this lives: the program's
// (vimbrel_<language>.qm, looked for in `folders` in order) and Qt's own texts in the same language.
class Translations {
 public:
  explicit Translations(const QStringList& folders = installed_folders());
  Translations(const Translations&) = delete;
  Translations& operator=(const Translations&) = delete;

  // Beside the program (a build tree), then the installed data folder.
  static QStringList installed_folders();
  const std::string& language() const { return language_; }
  // The locale of that language (Japan's for the source texts): how the windows write dates and sizes.
  QLocale locale() const;

 private:
  std::string language_;
  QTranslator program_, qt_;
};

}  // namespace vimbrel
