// The windows' translations: every source text the program marks has a finished English entry in
// translations/vimbrel_en.ts; English windows show those entries; any other locale shows the source
// texts exactly.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <array>
#include <map>
#include <set>

#include "app/forms_layout.h"
#include "app/title.h"
#include "join/clipboard.h"
#include "join/effects.h"
#include "platform/runtime/qt/qt_translation.h"
#include "platform/runtime/ui_text.h"
#include "tests/support/qt_form_checks.h"
#include "tests/support/temp_dir.h"

namespace vimbrel {
namespace {

struct Entry {
  QString translation;
  bool finished = false;
};
using Catalogue = std::map<std::pair<QString, QString>, Entry>;  // (context, source)

Catalogue read_ts(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  Catalogue out;
  QXmlStreamReader xml(&file);
  QString context, source;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"name") context = xml.readElementText();
    if (xml.name() == u"source") source = xml.readElementText();
    if (xml.name() == u"translation") {
      const bool unfinished = xml.attributes().value("type") == u"unfinished";
      out[{context, source}] = {xml.readElementText(), !unfinished};
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return out;
}

// What lupdate collects from the sources now, as the update_translations target does.
Catalogue collected_texts(const QString& folder) {
  const QString out = folder + "/collected.ts";
  QStringList args{"-tr-function-alias", "QT_TR_NOOP+=UI_TEXT", "-locations", "none", "-silent"};
  for (const char* dir : {"app", "join", "sources", "platform/runtime"})
    args << QStringLiteral(VIMBREL_SOURCE_DIR "/") + dir;
  args << "-ts" << out;
  QProcess lupdate;
  lupdate.start(VIMBREL_LUPDATE, args);
  EXPECT_TRUE(lupdate.waitForFinished(60000));
  EXPECT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
  return read_ts(out);
}

bool has_japanese(const QString& s) {
  return std::ranges::any_of(s, [](QChar c) {
    return (c.unicode() >= 0x3000 && c.unicode() <= 0x9fff) ||
           (c.unicode() >= 0xff00 && c.unicode() <= 0xffef);
  });
}

QStringList placeholders(const QString& s) {
  QStringList out;
  for (const QRegularExpressionMatch& m : QRegularExpression("%[1-9]").globalMatch(s)) out << m.captured();
  out.sort();
  return out;
}

// Every Japanese text the form tables and the effect list hold.
std::set<QString> form_texts() {
  std::set<QString> out;
  const auto add = [&out](const std::string& t) {
    if (has_japanese(QString::fromStdString(t))) out.insert(QString::fromStdString(t));
  };
  for (const FormLayout& f : form_layouts()) {
    add(f.caption);
    for (const ControlLayout& c : f.controls) {
      if (c.kind == ControlKind::MenuItem && c.menu.empty()) continue;  // a key alone: never shown
      add(c.caption);
      add(c.menu);
    }
  }
  for (const Effect& e : kEffects) add(e.label);
  return out;
}

TEST(Translations, EverySourceTextHasAFinishedEnglishTranslation) {
  const test::TempDir dir;
  const Catalogue collected = collected_texts(QString::fromStdString(dir.path().string()));
  const Catalogue english = read_ts(VIMBREL_SOURCE_DIR "/translations/vimbrel_en.ts");
  std::set<QString> sources;
  for (const auto& [key, unused] : collected) {
    const auto& [context, source] = key;
    SCOPED_TRACE(source.toStdString());
    // The one context the windows look in (and Qt's own, for a text of its dialog the program asks).
    if (context != "QFileDialog") {
      EXPECT_EQ(context, kTextContext);
    }
    sources.insert(source);
    const auto it = english.find(key);
    ASSERT_NE(it, english.end());
    EXPECT_TRUE(it->second.finished);
    EXPECT_FALSE(it->second.translation.isEmpty());
    EXPECT_FALSE(has_japanese(it->second.translation));
    EXPECT_EQ(placeholders(it->second.translation), placeholders(source));
  }
  EXPECT_EQ(english.size(), collected.size());  // nothing left over from texts the program dropped
  // A caption written without UI_TEXT would be missing here.
  for (const QString& text : form_texts()) EXPECT_TRUE(sources.contains(text)) << text.toStdString();
}

struct LanguageRow {
  const char* lang;
  const char* language;  // LANGUAGE
  const char* lc_all;
  const char* chosen;
};

TEST(Translations, TheLanguageIsChosenAsGettextChoosesIt) {
  const LanguageRow rows[] = {
      {"en_US.UTF-8", "", "", "en"},
      {"en_GB.UTF-8", "", "", "en"},
      {"ja_JP.UTF-8", "", "", ""},
      {"C", "", "", ""},
      {"C.UTF-8", "en", "", ""},    // LANGUAGE is not read in the C locale
      {"de_DE.UTF-8", "", "", ""},  // no file of its own: the source texts
      {"de_DE.UTF-8", "fr:en", "", "en"},
      {"en_US.UTF-8", "ja:en", "", ""},  // Japanese first: the source texts
      {"en_US.UTF-8", "", "POSIX", ""},
      {"", "", "en_US.UTF-8", "en"},
      {"", "", "", ""},
  };
  for (const LanguageRow& r : rows) {
    const std::map<std::string, const char*> env{
        {"LANG", r.lang}, {"LANGUAGE", r.language}, {"LC_ALL", r.lc_all}};
    const std::string chosen =
        window_language([&env](const char* name) { return env.contains(name) ? env.at(name) : nullptr; },
                        [](const std::string& l) { return l == "en"; });
    EXPECT_EQ(chosen, r.chosen) << r.lang << " / " << r.language << " / " << r.lc_all;
  }
}

// The program's forms and title as the Qt backend shows them under LANG=`lang`, the translations
// looked for where the build puts them.
class WindowsUnder {
 public:
  explicit WindowsUnder(const char* lang) {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) qunsetenv(name);
    qputenv("LANG", lang);
    translations_.emplace(QStringList{VIMBREL_QM_DIR});
    rt_.emplace(form_layouts());
    forms_[0] = rt_->GETDLGITEM(Window{}, "MAINFORM");
    rt_->CREATEWINDOW(forms_[1], "FORM2", 0);
    rt_->CREATEWINDOW(forms_[2], "FORM3", 0);
    rt_->CREATEWINDOW(forms_[3], "FORM4", 0);
  }
  ~WindowsUnder() { qunsetenv("LANG"); }
  QtRuntime& rt() { return *rt_; }
  std::span<const Window> forms() const { return forms_; }
  const std::string& language() const { return translations_->language(); }

 private:
  std::optional<Translations> translations_;
  std::optional<QtRuntime> rt_;
  std::array<Window, 4> forms_{};
};

JoinDocument joined() {
  JoinDocument d;
  d.app_title = "VimbrelVer1.3";
  d.a.file_title = "表%1.bmp", d.a.width = 64, d.a.height = 48;
  d.work_file_path = "/tmp/work/vimbrel.bmp";
  d.b.file_path = pasted_file(d, Twin::B), d.b.file_title = "クリップボード（Ｂ）";  // pasted, and failed
  d.canvas_width = 64, d.canvas_height = 48;
  d.view.scale = 2;
  return d;
}

TEST(Translations, AnyLocaleButEnglishShowsTodaysTextsExactly) {
  for (const char* lang : {"C", "ja_JP.UTF-8", "de_DE.UTF-8"}) {
    SCOPED_TRACE(lang);
    WindowsUnder w(lang);
    EXPECT_EQ(w.language(), "");
    test::expect_forms_built(w.rt(), form_layouts(), w.forms());
    const JoinDocument d = joined();
    EXPECT_EQ(title_text(d, [&w](std::string_view t) { return w.rt().translated(t); }), title_text(d));
  }
}

TEST(Translations, EnglishWindowsShowTheEnglishTexts) {
  WindowsUnder w("en_US.UTF-8");
  ASSERT_EQ(w.language(), "en");
  const std::vector<FormLayout> layouts = form_layouts();
  for (std::size_t i = 0; i < layouts.size(); ++i) {
    EXPECT_FALSE(has_japanese(QString::fromStdString(w.rt().GETWINDOWTEXT(w.forms()[i]))));
    for (const ControlLayout& c : layouts[i].controls) {
      if (c.kind == ControlKind::MenuItem && c.menu.empty()) continue;
      SCOPED_TRACE(c.name);
      const Window cw = w.rt().GETDLGITEM(w.forms()[i], c.name);
      const QString shown = QString::fromStdString(w.rt().GETWINDOWTEXT(cw));
      const QString english = translated(c.caption);
      EXPECT_FALSE(has_japanese(shown));
      // Whole, or cut after a whole letter with the whole text as the tool tip.
      if (shown != english && c.kind != ControlKind::MenuItem) {
        EXPECT_TRUE(shown.endsWith(QChar(0x2026)) && english.startsWith(shown.chopped(1)));
        EXPECT_EQ(w.rt().widget(cw)->toolTip(), english);
      }
    }
  }
  // Too narrow for its translation: cut after a whole letter; a source text is shown as it stands.
  QLabel narrow;
  narrow.setGeometry(0, 0, 40, 16);
  show_translated(narrow, "ＡＢ位置リセット");
  EXPECT_TRUE(narrow.text().endsWith(QChar(0x2026)) &&
              QString("Reset A and B").startsWith(narrow.text().chopped(1)));
  EXPECT_EQ(narrow.toolTip(), "Reset A and B");
  show_translated(narrow, "┛");
  EXPECT_EQ(narrow.text(), "┛");
  EXPECT_EQ(narrow.toolTip(), "");
  w.rt().ADDSTRING(w.rt().GETDLGITEM(w.forms()[2], "LIST1"), kEffects[0].label);
  EXPECT_EQ(
      static_cast<QListWidget*>(w.rt().widget(w.rt().GETDLGITEM(w.forms()[2], "LIST1")))->item(0)->text(),
      "No effect, white");
  // The file names stay as they are, "%1" in one of them too; a pasted picture's is the program's.
  const JoinDocument d = joined();
  EXPECT_EQ(title_text(d, [&w](std::string_view t) { return w.rt().translated(t); }),
            "VimbrelVer1.3 Main window  A “表%1.bmp” (64×48) / B “Clipboard (B)” made the join fail / "
            "Canvas (64×48) [200%]");
}

}  // namespace
}  // namespace vimbrel
