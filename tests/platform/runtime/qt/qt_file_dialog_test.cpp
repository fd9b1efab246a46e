// The file dialogs: special files listed but never opened, the save dialog's proposed name and its
// question about the file that is really written.
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileDialog>
#include <QFileSystemModel>
#include <QTest>
#include <atomic>
#include <chrono>
#include <fstream>
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

  EXPECT_EQ(watch.opened(), std::vector<std::string>{});
  EXPECT_FALSE(fifo.reader_came());
}

}  // namespace
}  // namespace vimbrel::test
