// Files dropped on the real windows (offscreen) through Qt's own drag-and-drop events: the same
// join as the load buttons and their dialogs make, and a refusal wherever a click could not go.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/file_drop.h"
#include "tests/support/program_on_screen.h"

namespace vimbrel {
namespace {

class FileDropOnScreen : public test::ProgramOnScreen {
 protected:
  std::string plain(const std::string& name, int w, int h, std::uint32_t rgb) {
    return write_picture(name, w, h, [rgb](int x, int y) { return 0xFF000000u | rgb | ((x ^ y) & 0xFF); });
  }
  static QMimeData* files(const std::vector<std::string>& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const std::string& p : paths) urls << QUrl::fromLocalFile(QString::fromStdString(p));
    data->setUrls(urls);
    return data;
  }
  // A drag entering the window `w`, as a file manager offers it; true when the cursor says yes.
  bool drag_enter(Window w, const std::vector<std::string>& paths,
                  Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
    const std::unique_ptr<QMimeData> data(files(paths));
    QDragEnterEvent e(QPoint(4, 4), actions, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget(w), &e);
    return e.isAccepted() && e.dropAction() == Qt::CopyAction;
  }
  // The drag entering and then dropped, and the events processed; true when the drop was taken.
  bool drop(Window w, const std::vector<std::string>& paths) {
    drag_enter(w, paths);
    const std::unique_ptr<QMimeData> data(files(paths));
    QDropEvent e(QPointF(4, 4), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget(w), &e);
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    return e.isAccepted() && e.dropAction() == Qt::CopyAction;
  }
  void new_join() {
    start_new();
    click(s.c.BUTTON[2]);
  }
  // What a user sees of the join: names, sizes, title, usable commands and the canvas' pixels.
  std::string state() {
    std::ostringstream o;
    for (const ImageSlot* i : {&s.doc.a, &s.doc.b})
      o << i->file_path << "|" << i->open_dir << "|" << i->file_title << "|" << i->width << "x" << i->height
        << "\n";
    o << rt.GETWINDOWTEXT(s.c.MAINFORM) << "\n" << s.doc.canvas_width << "x" << s.doc.canvas_height << "\n";
    for (int n = 53; n <= 62; ++n) o << rt.usable(s.c.BUTTON[static_cast<std::size_t>(n)]);
    const Bitmap& c = *rt.picture(s.doc.canvas_bitmap);
    std::uint64_t hash = 0;
    for (int y = 0; y < c.height(); ++y)
      for (int x = 0; x < c.width(); ++x) hash = hash * 1099511628211u ^ c.at(x, y);
    o << "\n" << hash;
    return o.str();
  }
};

TEST_F(FileDropOnScreen, OneFileOnEachLoadButtonJoinsAsTheClickAndTheDialogDo) {
  const std::string a = plain("a.bmp", 40, 30, 0xFF0000), b = plain("b.bmp", 20, 50, 0x00FF00);
  new_join();
  ASSERT_TRUE(drop(s.c.BUTTON[53], {a}));
  ASSERT_TRUE(drop(s.c.BUTTON[54], {b}));
  const std::string dropped = state();
  EXPECT_EQ(s.doc.b.file_path, b);

  new_join();
  load(s.c.BUTTON[53], a);
  load(s.c.BUTTON[54], b);
  EXPECT_EQ(state(), dropped);
  EXPECT_FALSE(rt.ended());
}

TEST_F(FileDropOnScreen, NewAsksWithKeepAsTheDefaultAndEscapeLeavesTheSettings) {
  new_join();
  ASSERT_TRUE(drop(s.c.BUTTON[53], {plain("a.bmp", 40, 30, 0xFF0000)}));
  bool defaults_to_no = false;
  answering(
      [&](QMessageBox& box) {
        defaults_to_no = box.defaultButton() == box.button(QMessageBox::No);
        box.button(QMessageBox::No)->click();
      },
      [&] { click(s.c.BUTTON[52]); });
  EXPECT_TRUE(defaults_to_no);
  EXPECT_FALSE(widget(s.c.FORM2)->isVisible());

  start_new();
  ASSERT_TRUE(widget(s.c.FORM2)->isVisible());
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(widget(s.c.FORM2), &escape);
  EXPECT_FALSE(widget(s.c.FORM2)->isVisible());
  EXPECT_TRUE(widget(s.c.FORM3)->isVisible());
  EXPECT_EQ(s.doc.a.width, 40.0f);
  widget(s.c.FORM3)->close();  // refused: the controller has no close box
  EXPECT_TRUE(widget(s.c.FORM3)->isVisible());
  start_new();
  widget(s.c.FORM2)->close();  // the close box, as the window manager sends it
  EXPECT_FALSE(widget(s.c.FORM2)->isVisible());
  EXPECT_EQ(s.doc.a.width, 40.0f);
}

TEST_F(FileDropOnScreen, RefusedWhereAClickCouldNotGoAndForAnythingButOneFile) {
  const std::string a = plain("a.bmp", 40, 30, 0xFF0000), b = plain("b.bmp", 20, 50, 0x00FF00);
  const std::string c = plain("c.bmp", 30, 30, 0x0000FF);
  // Before the settings are confirmed the drag is taken, and the drop says what to do first.
  EXPECT_TRUE(drag_enter(s.c.BUTTON[53], {a}));
  std::string told;
  answering(
      [&](QMessageBox& box) {
        told = box.text().toStdString();
        box.accept();
      },
      [&] { drop(s.c.MAINFORM, {a}); });
  EXPECT_EQ(told, kSettingsFirst);
  EXPECT_TRUE(drag_enter(s.c.BUTTON[52], {a}));  // refused by 新規作成, taken by the controller under it
  new_join();
  EXPECT_FALSE(drag_enter(s.c.BUTTON[54], {b}));  // disabled until A is in
  EXPECT_FALSE(drop(s.c.BUTTON[54], {b}));
  EXPECT_FALSE(drag_enter(s.c.BUTTON[53], {a, b}));
  EXPECT_FALSE(drag_enter(s.c.BUTTON[53], {dir.path().string()}));
  EXPECT_FALSE(drag_enter(s.c.BUTTON[53], {a}, Qt::MoveAction));  // never taken as a move
  EXPECT_FALSE(drag_enter(s.c.BUTTON[52], {a}));                  // not a load command
  EXPECT_EQ(s.doc.a.width, 0.0f);
  EXPECT_EQ(s.doc.b.width, 0.0f);

  // On the main window: A first, then B.
  ASSERT_TRUE(drag_enter(s.c.MAINFORM, {a}));
  ASSERT_TRUE(drop(s.c.MAINFORM, {a}));
  EXPECT_EQ(s.doc.a.file_path, a);
  EXPECT_FALSE(drop(s.c.BUTTON[55], {c}));  // reload is not usable before the join is complete
  ASSERT_TRUE(drop(s.c.MAINFORM, {b}));
  EXPECT_EQ(s.doc.b.file_path, b);
  // A reload button takes the dropped file as a new A.
  ASSERT_TRUE(drop(s.c.BUTTON[55], {c}));
  EXPECT_EQ(s.doc.a.file_path, c);
  EXPECT_EQ(s.doc.a.width, 30.0f);
  EXPECT_FALSE(rt.ended());
}

}  // namespace
}  // namespace vimbrel
