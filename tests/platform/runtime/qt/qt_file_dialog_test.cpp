// The file dialogs: special files listed but never opened, the save dialog's proposed name and its
// question about the file that is really written.
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <atomic>
#include <chrono>
#include <fstream>
#include <optional>
#include <thread>

#include "platform/runtime/qt/qt_file_dialog.h"
#include "tests/platform/runtime/qt/qt_fixture.h"
#include "tests/support/temp_dir.h"

namespace vimbrel::test {
namespace {

// Records every file (not folder) in one folder that anything opens or reads.
class OpenWatch {
 public:
  explicit OpenWatch(const std::filesystem::path& dir) : fd_(inotify_init1(IN_NONBLOCK)) {
    inotify_add_watch(fd_, dir.c_str(), IN_OPEN | IN_ACCESS);
  }
  ~OpenWatch() { close(fd_); }
  OpenWatch(const OpenWatch&) = delete;
  OpenWatch& operator=(const OpenWatch&) = delete;

  std::vector<std::string> opened() const {
    std::vector<std::string> names;
    alignas(inotify_event) char buf[4096];
    for (ssize_t n; (n = read(fd_, buf, sizeof buf)) > 0;) {
      for (char* p = buf; p < buf + n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(p);
        if (e->len > 0 && (e->mask & IN_ISDIR) == 0) names.emplace_back(e->name);
        p += sizeof(inotify_event) + e->len;
      }
    }
    return names;
  }

 private:
  int fd_;
};

// A FIFO whose writer never comes, as in /proc. Should anything open it to read, a writer turns up
// at once so that the test still ends, and the visit is recorded.
class LonelyFifo {
 public:
  explicit LonelyFifo(const std::string& path) {
    mkfifo(path.c_str(), 0600);
    watcher_ = std::jthread([this, path](const std::stop_token& stop) {
      while (!stop.stop_requested()) {
        const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);  // fails while no one reads
        if (fd >= 0) {
          reader_came_ = true;
          close(fd);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
  }
  bool reader_came() const { return reader_came_; }

 private:
  std::atomic<bool> reader_came_ = false;
  std::jthread watcher_;
};

// The type texts a dialog's model shows for the rows of `folder`, once its listing has them all.
std::map<QString, QString> listed_types(QWidget* dialog, const QString& folder, int rows) {
  auto* model = dialog->findChild<QFileSystemModel*>();
  if (model == nullptr) return {};
  const QModelIndex root = model->index(folder);
  std::map<QString, QString> types;
  (void)QTest::qWaitFor(  // a short listing shows in the comparison
      [&] {
        types.clear();
        for (int r = 0; r < model->rowCount(root); ++r) {
          const QString type = model->index(r, 2, root).data().toString();
          model->index(r, 0, root).data(Qt::DecorationRole);  // the icons are asked for as well
          if (!type.isEmpty()) types[model->index(r, 0, root).data().toString()] = type;
        }
        return static_cast<int>(types.size()) == rows;
      },
      5000);
  return types;
}

TEST_F(QtRuntimeTest, FileDialogsListSpecialFilesWithoutOpeningAny) {
  TempDir dir;
  const QString folder = QString::fromStdString(dir.path().string());
  std::ofstream(dir.file("status")) << "only its contents could tell what this is";
  std::ofstream(dir.file("a.bmp")) << "BM";
  LonelyFifo fifo(dir.file("kmsg"));
  OpenWatch watch(dir.path());
  const std::map<QString, QString> want{
      {"a.bmp", "BMP ファイル"}, {"kmsg", "特殊ファイル"}, {"status", "ファイル"}};

  std::map<QString, QString> seen;
  const auto look = [&](QWidget* d) {
    seen = listed_types(d, folder, 3);
    static_cast<QDialog*>(d)->reject();
  };
  on_next_dialog(look);
  EXPECT_EQ(rt.WINOPENDLG(form3, "Ａ画像にするファイルは？", dir.path().string() + "/", "(*.*)", 0), "\x1b");
  EXPECT_EQ(seen, want);
  on_next_dialog(look);
  EXPECT_EQ(rt.WINSAVEDLG(form3, "セーブファイル名は？", dir.path().string() + "/", "(*.*)", 0), "\x1b");
  EXPECT_EQ(seen, want);
  // A file chosen there makes it Qt's last folder, where a new dialog would begin listing.
  on_next_dialog([&](QWidget* d) {
    auto* dialog = qobject_cast<QFileDialog*>(d);
    dialog->selectFile(QString::fromStdString(dir.file("a.bmp")));
    static_cast<QDialog*>(dialog)->accept();
  });
  EXPECT_EQ(rt.WINOPENDLG(form3, "Ａ画像にするファイルは？", dir.path().string() + "/", "(*.*)", 0),
            dir.file("a.bmp"));
  TempDir elsewhere;
  on_next_dialog([&](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
  rt.WINSAVEDLG(form3, "セーブファイル名は？", elsewhere.path().string() + "/", "(*.*)", 0);
  EXPECT_EQ(watch.opened(), std::vector<std::string>{});
  EXPECT_FALSE(fifo.reader_came());
}

// The real /proc, where Qt's own file dialog hangs once a file there is chosen: the dialog returns it.
TEST_F(QtRuntimeTest, AFileChosenInProcIsReturned) {
  on_next_dialog([&](QWidget* d) {
    auto* dialog = qobject_cast<QFileDialog*>(d);
    dialog->selectFile("/proc/self/status");
    static_cast<QDialog*>(dialog)->accept();
  });
  EXPECT_EQ(rt.WINOPENDLG(form3, "Ａ画像にするファイルは？", "/proc/self/", "(*.*)", 0), "/proc/self/status");
  on_next_dialog([&](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
  EXPECT_EQ(rt.WINSAVEDLG(form3, "セーブファイル名は？", "/proc/self/", "(*.BMP)", 0), "\x1b");
}

// The texts of a dialog's push buttons and labels.
QStringList texts_of(QWidget* d) {
  QStringList out;
  for (auto* b : d->findChildren<QAbstractButton*>()) {
    if (!b->text().isEmpty()) out << b->text();
  }
  for (auto* l : d->findChildren<QLabel*>()) {
    if (!l->text().isEmpty()) out << l->text();
  }
  return out;
}

TEST_F(QtRuntimeTest, DialogsSpeakJapanese) {
  TempDir dir;
  QStringList open, save, box;
  on_next_dialog([&](QWidget* d) {
    open = texts_of(d);
    static_cast<QDialog*>(d)->reject();
  });
  rt.WINOPENDLG(form3, "Ａ画像にするファイルは？", dir.path().string() + "/", "(*.BMP)", 0);
  on_next_dialog([&](QWidget* d) {
    save = texts_of(d);
    static_cast<QDialog*>(d)->reject();
  });
  rt.WINSAVEDLG(form3, "セーブファイル名は？", dir.path().string() + "/", "(*.BMP)", 0);
  on_next_dialog([&](QWidget* d) {
    box = texts_of(d);
    static_cast<QDialog*>(d)->accept();
  });
  rt.MESSAGEBOX(form3, "読み込みエラー", "ファイルを読めません", 0, 0);
  for (const char* t : {"開く(&O)", "キャンセル", "アドレス:", "ファイル名(&N):", "ファイルの種類:"})
    EXPECT_TRUE(open.contains(t)) << t << " in " << open.join(" | ").toStdString();
  for (const char* t : {"保存(&S)", "キャンセル"})
    EXPECT_TRUE(save.contains(t)) << t << " in " << save.join(" | ").toStdString();
  EXPECT_TRUE(box.contains("ファイルを読めません")) << box.join(" | ").toStdString();
}

// Answers the next message box with `button` and keeps its text.
class BoxAnswer {
 public:
  explicit BoxAnswer(QMessageBox::StandardButton button) {
    QObject::connect(&poll_, &QTimer::timeout, [this, button] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        poll_.stop();
        text = box->text();
        buttons = texts_of(box);
        box->button(button)->click();
      }
    });
    poll_.start(0);
  }
  QString text;
  QStringList buttons;

 private:
  QTimer poll_;
};

// The save dialog over a folder that may hold the file the program will write (a.BMP).
TEST_F(QtRuntimeTest, TheSaveDialogAsksAboutTheFileReallyWritten) {
  struct Row {
    const char* name;
    std::vector<std::string> existing;
    const char* typed;
    QMessageBox::StandardButton answer;  // NoButton: no question is expected
    bool chosen;
  };
  const Row rows[] = {
      {"typed jpg, a.BMP there, keep it", {"a.BMP"}, "a.jpg", QMessageBox::No, false},
      {"typed jpg, a.BMP there, replace it", {"a.BMP"}, "a.jpg", QMessageBox::Yes, true},
      {"typed BMP, asked once", {"a.BMP"}, "a.BMP", QMessageBox::Yes, true},
      {"only the typed a.jpg there", {"a.jpg"}, "a.jpg", QMessageBox::NoButton, true},
      {"no dot, a.BMP there", {"a.BMP"}, "a", QMessageBox::No, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TempDir dir;
    for (const std::string& f : r.existing) std::ofstream(dir.file(f)) << "old";
    QString proposed, question;
    QStringList buttons;
    bool stayed_open = false;
    on_next_dialog([&](QWidget* d) {
      auto* dialog = qobject_cast<QFileDialog*>(d);
      proposed = QFileInfo(dialog->selectedFiles().value(0)).fileName();
      dialog->selectFile(r.typed);
      std::optional<BoxAnswer> answer;
      if (r.answer != QMessageBox::NoButton) answer.emplace(r.answer);
      static_cast<QDialog*>(dialog)->accept();
      if (answer) question = answer->text, buttons = answer->buttons;
      stayed_open = dialog->isVisible();
      if (stayed_open) dialog->reject();
    });
    const std::string got =
        rt.WINSAVEDLG(form3, "セーブファイル名は？", dir.path().string() + "/" + "/pics/a.jpg", "(*.BMP)", 0);
    EXPECT_EQ(proposed, "a.BMP");
    if (r.answer != QMessageBox::NoButton) {
      EXPECT_TRUE(question.startsWith("a.BMP")) << question.toStdString();
      EXPECT_FALSE(question.contains("a.jpg")) << question.toStdString();
      EXPECT_TRUE(question.contains("既に存在")) << question.toStdString();  // in Japanese
      EXPECT_TRUE(buttons.contains("はい(&Y)")) << buttons.join(" | ").toStdString();
    } else {
      EXPECT_EQ(question, "");
    }
    EXPECT_EQ(stayed_open, !r.chosen);
    EXPECT_EQ(got, r.chosen ? dir.file(r.typed) : "\x1b");
    for (const std::string& f : r.existing) EXPECT_EQ(std::filesystem::file_size(dir.file(f)), 3u) << f;
  }
}

TEST(QtSaveNames, EachTypeWritesTheFirstExtensionOfItsPatterns) {
  EXPECT_EQ(filter_extension("(*.BMP *.bmp)"), ".BMP");
  EXPECT_EQ(filter_extension("PNG (*.PNG *.png)"), ".PNG");
  EXPECT_EQ(filter_extension("(*)"), "");
}

}  // namespace
}  // namespace vimbrel::test
