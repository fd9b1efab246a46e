// The whole program started on the Qt backend (offscreen) in a temporary folder whose settings file
// names that folder as the work folder, driven through its real widgets.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

#include "app/forms_layout.h"
#include "app/program.h"
#include "app/startup.h"
#include "platform/imageio/bitmap_file.h"
#include "platform/runtime/qt/qt_runtime.h"
#include "tests/support/pictures.h"
#include "tests/support/temp_dir.h"

namespace vimbrel::test {

class ProgramOnScreen : public ::testing::Test {
 protected:
  ProgramOnScreen() : rt(form_layouts()), s(rt) {
    std::ofstream(dir.file("KANKYO.TXT")) << "VIMBREL,1\nWORK," << dir.path().string() << "/\n";
    wire_program(s);
    start_up(s, dir.path());
  }

  QWidget* widget(Window w) const { return rt.widget(w); }
  void click(Window button) { static_cast<QAbstractButton*>(widget(button))->click(); }

  // Writes a bitmap file whose pixel (x, y) is colour(x, y) (0xFFRRGGBB); returns its path.
  std::string write_picture(const std::string& name, int w, int h,
                            const std::function<std::uint32_t(int, int)>& colour) {
    const std::string path = dir.file(name);
    write_bitmap_file(picture(w, h, colour), path);
    return path;
  }

  // Presses a load button and answers its open dialog with `path`.
  void load(Window button, const std::string& path) {
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        poll.stop();
        dialog->selectFile(QString::fromStdString(path));
        static_cast<QDialog*>(dialog)->accept();
      }
    });
    poll.start(0);
    click(button);
  }

  // Runs `act` and does `with` to the first message box it opens (none opening is fine).
  void answering(const std::function<void(QMessageBox&)>& with, const std::function<void()>& act) {
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        poll.stop();
        with(*box);
      }
    });
    poll.start(0);
    act();
  }
  // "新規作成", answering yes should it ask whether the join may go.
  void start_new() {
    answering([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); },
              [&] { click(s.c.BUTTON[52]); });
  }

  TempDir dir;
  QtRuntime rt;
  Session s;
};

}  // namespace vimbrel::test
