// The Qt backend's windows, the event wait, dialogs and message boxes, and the end of the program.
#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <fstream>

#include "platform/runtime/qt/qt_dialogs.h"
#include "tests/platform/runtime/qt/qt_fixture.h"
#include "tests/support/temp_dir.h"

namespace vimbrel::test {
namespace {

QMargins margins_of(const QWidget* w) {
  const QRect o = w->frameGeometry(), i = w->geometry();
  return {i.left() - o.left(), i.top() - o.top(), o.right() - i.right(), o.bottom() - i.bottom()};
}

TEST_F(QtRuntimeTest, MaximizeReturnsWithTheWindowFillingTheScreen) {
  rt.MOVEWINDOW(main, 0, 0);
  rt.MAXIMIZEWINDOW(main);
  const QRect avail = form(main)->screen()->availableGeometry();
  EXPECT_TRUE(form(main)->isVisible());
  EXPECT_EQ(rt.GETWIDTH(main), static_cast<float>(avail.width()));
  EXPECT_EQ(rt.GETHEIGHT(main), static_cast<float>(avail.height()));
  EXPECT_TRUE(log.empty());  // the program's own maximizing is no user resize
}

TEST_F(QtRuntimeTest, SystemMetricsAddUpToTheMainWindowsDecoration) {
  const int title =
      rt.GetSystemMetrics(SM_CYSIZE) + rt.GetSystemMetrics(SM_CYFRAME) + rt.GetSystemMetrics(SM_CYBORDER);
  const int frame = rt.GetSystemMetrics(SM_CYFRAME);
  rt.MAXIMIZEWINDOW(main);
  const QMargins m = margins_of(form(main));
  EXPECT_EQ(title, m.top());
  EXPECT_EQ(frame, std::max({m.left(), m.right(), m.bottom()}));
  // So the program's client area, outer size less the decoration, is the real one.
  EXPECT_EQ(rt.GETWIDTH(main) - 2 * frame, form(main)->width());
  EXPECT_EQ(rt.GETHEIGHT(main) - title - frame, form(main)->height());
  EXPECT_EQ(rt.GetSystemMetrics(0), 0);
}

TEST_F(QtRuntimeTest, FormsAreMovedByTheirOuterCornerAndSizedByTheirClientArea) {
  rt.SHOWWINDOW(main, -1);
  rt.MOVEWINDOW(main, 30, 40);
  rt.SETWINDOWSIZE(main, 400, 250);
  EXPECT_EQ(rt.GETLEFT(main), 30.0f);
  EXPECT_EQ(rt.GETTOP(main), 40.0f);
  EXPECT_EQ(form(main)->size(), QSize(400, 250));
  const QMargins m = margins_of(form(main));
  EXPECT_EQ(rt.GETWIDTH(main), static_cast<float>(400 + m.left() + m.right()));
  EXPECT_EQ(rt.GETHEIGHT(main), static_cast<float>(250 + m.top() + m.bottom()));

  rt.MOVEWINDOW(ctl("PICTURE1"), 3.4f, 4.6f);
  rt.SETWINDOWSIZE(ctl("PICTURE1"), 200, -5);  // a negative size is no size
  EXPECT_EQ(w("PICTURE1")->geometry(), QRect(3, 5, 200, 0));
  EXPECT_EQ(rt.GETWIDTH(ctl("PICTURE1")), 200.0f);
  EXPECT_EQ(rt.GETLEFT(ctl("PICTURE1")), 3.0f);
}

TEST_F(QtRuntimeTest, TheControllerOpensWhollyVisibleAtTheRightEdgeOfTheWorkArea) {
  const QRect avail = form(form3)->screen()->availableGeometry();
  const QRect outer = form(form3)->frameGeometry();
  EXPECT_EQ(outer.right(), avail.right());
  EXPECT_TRUE(avail.contains(outer)) << outer.x() << "," << outer.y() << " " << outer.width() << "x"
                                     << outer.height();
  // Other forms keep their laid-out place.
  rt.SHOWWINDOW(form2, -1);
  EXPECT_EQ(form(form2)->pos(), QPoint(132, 174));
}

// The backend hands the rules the screen's rectangles: the cut-out window opened over the
// controller goes clear of it and of the picture it shows.
TEST_F(QtRuntimeTest, TheCutoutIsPlacedClearOfTheControllerAndItsPicture) {
  const QRect controller = form(form3)->frameGeometry();
  rt.MOVEWINDOW(form4, static_cast<float>(controller.x()), static_cast<float>(controller.y()));
  const QPoint origin = form(main)->mapToGlobal(QPoint(0, 0));
  const ScreenRect picture{0, 0, 50, 50};  // the main client's top-left corner
  rt.PLACEFORM(form4, std::span(&picture, 1));
  const QRect cutout = form(form4)->frameGeometry();
  EXPECT_FALSE(cutout.intersects(controller));
  EXPECT_FALSE(cutout.intersects(QRect(origin, QSize(50, 50))));
  EXPECT_TRUE(form(form4)->screen()->availableGeometry().contains(cutout));
}

TEST_F(QtRuntimeTest, TopmostIsChangedOnTheLiveWindow) {
  rt.SETTOPMOSTWINDOW(form3, -1);
  EXPECT_TRUE(form(form3)->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(form(form3)->isVisible());  // not hidden by the change
  rt.SETTOPMOSTWINDOW(form3, -1);
  rt.SETTOPMOSTWINDOW(form3, 0);
  EXPECT_FALSE(form(form3)->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(form(form3)->isVisible());
  rt.SETFOREGROUNDWINDOW(form3);
  EXPECT_TRUE(log.empty());
}

TEST_F(QtRuntimeTest, DestroyedFormsStayClosed) {
  rt.SHOWWINDOW(form2, -1);
  rt.DESTROYWINDOW(form2);
  rt.SHOWWINDOW(form2, -1);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(form2), 0);
}

TEST_F(QtRuntimeTest, WaitEventReturnsOnceAProcedureHasRun) {
  QTimer::singleShot(0, [this] {
    w<QAbstractButton>("RADIO1")->click();  // no procedure is wired to it here: the wait goes on
    w<QAbstractButton>("BUTTON53")->click();
  });
  EventTable only;
  only["BUTTON53_ON"] = [this](const EventArgs&) { log.push_back({"BUTTON53_ON", {}}); };
  rt.set_event_table(only);
  rt.WAITEVENT(0);
  EXPECT_EQ(names(), std::vector<std::string>{"BUTTON53_ON"});
}

TEST_F(QtRuntimeTest, UserResizesOfTheMainWindowRaiseResize) {
  rt.SHOWWINDOW(main, -1);
  form(main)->resize(520, 310);  // as the window manager would
  EXPECT_EQ(names(), std::vector<std::string>{"MAINFORM_RESIZE"});
}

TEST_F(QtRuntimeTest, AResizeDuringAProcedureIsLaidOutAfterIt) {
  rt.SHOWWINDOW(main, -1);
  record_all({{"BUTTON53_ON", [this](const EventArgs&) { form(main)->resize(500, 300); }}});
  QTimer::singleShot(0, [this] { w<QAbstractButton>("BUTTON53")->click(); });
  rt.WAITEVENT(0);
  EXPECT_EQ(names(), std::vector<std::string>{"BUTTON53_ON"});
  rt.WAITEVENT(0);
  EXPECT_EQ(names(), (std::vector<std::string>{"BUTTON53_ON", "MAINFORM_RESIZE"}));
}

TEST_F(QtRuntimeTest, ClosingTheMainWindowEndsTheProgram) {
  record_all({{"MAINFORM_END", [this](const EventArgs&) { rt.DESTROYWINDOW(main); }}});
  rt.SHOWWINDOW(main, -1);
  QTimer::singleShot(0, [this] { form(main)->close(); });
  try {
    rt.WAITEVENT(0);
    FAIL() << "the wait returned";
  } catch (const ProgramEnded& e) {
    EXPECT_EQ(e.status, 0);
  }
  EXPECT_EQ(names(), std::vector<std::string>{"MAINFORM_END"});
  EXPECT_FALSE(form(main)->isVisible());
  EXPECT_THROW(rt.WAITEVENT(0), ProgramEnded);
}

TEST_F(QtRuntimeTest, InputDuringAMessageBoxIsNotDispatched) {
  rt.SHOWWINDOW(main, -1);
  std::string caption, text;
  QWidget* parent = nullptr;
  bool main_closed = true;
  record_all({{"BUTTON53_ON", [&](const EventArgs& a) {
                 on_next_dialog([&](QWidget* d) {
                   auto* box = qobject_cast<QMessageBox*>(d);
                   ASSERT_NE(box, nullptr);
                   caption = box->windowTitle().toStdString();
                   text = box->text().toStdString();
                   parent = box->parentWidget();
                   w<QAbstractButton>("BUTTON54")->click();
                   w<QScrollBar>("HSCROLL2")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
                   main_closed = form(main)->close();
                   box->accept();
                 });
                 rt.MESSAGEBOX(a.owner, "読み込みエラー", "ファイルを読めません", 0, 0);
               }}});
  w<QAbstractButton>("BUTTON53")->click();
  EXPECT_EQ(caption, "読み込みエラー");
  EXPECT_EQ(text, "ファイルを読めません");
  EXPECT_EQ(parent, form(form3));
  EXPECT_FALSE(main_closed);
  EXPECT_EQ(names(), std::vector<std::string>{"BUTTON53_ON"});
  EXPECT_FALSE(rt.ended());
}

// Reads a scroll bar's repeating action, which QAbstractSlider keeps to its subclasses.
QAbstractSlider::SliderAction repeat_action(const QScrollBar& bar) {
  struct Peek : QScrollBar {
    using QAbstractSlider::repeatAction;
  };
  return (bar.*&Peek::repeatAction)();
}

TEST_F(QtRuntimeTest, AMessageBoxEndsTheScrollBarPressThatOpenedIt) {
  // Otherwise the arrow would keep stepping the bar while the box has the input.
  QScrollBar* bar = w<QScrollBar>("VSCROLL2");
  QAbstractSlider::SliderAction repeating = QAbstractSlider::SliderNoAction;
  record_all({{"VSCROLL2_CHANGE", [&](const EventArgs& a) {
                 repeating = repeat_action(*bar);
                 on_next_dialog([](QWidget* d) { static_cast<QDialog*>(d)->accept(); });
                 rt.MESSAGEBOX(a.owner, "範囲", "これ以上切り取れません", 0, 0);
               }}});
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 4));  // the down arrow
  EXPECT_EQ(repeating, QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(repeat_action(*bar), QAbstractSlider::SliderNoAction);
  EXPECT_EQ(rt.GETSCROLLPOS(ctl("VSCROLL2")), 1);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 4));
}

TEST_F(QtRuntimeTest, AnUntrappedErrorIsReportedAndEndsTheProgram) {
  record_all({{"BUTTON60_ON", [](const EventArgs&) { throw RuntimeError{errc::kPathAccess}; }}});
  QString report;
  on_next_dialog([&](QWidget* d) {
    report = qobject_cast<QMessageBox*>(d)->text();
    qobject_cast<QMessageBox*>(d)->accept();
  });
  QTimer::singleShot(0, [this] { w<QAbstractButton>("BUTTON60")->click(); });
  try {
    rt.WAITEVENT(0);
    FAIL() << "the wait returned";
  } catch (const ProgramEnded& e) {
    EXPECT_EQ(e.status, 1);
  }
  EXPECT_TRUE(report.contains("75")) << report.toStdString();
  EXPECT_TRUE(report.contains("BUTTON60_ON")) << report.toStdString();
}

TEST_F(QtRuntimeTest, CancelledFileDialogsGiveEscape) {
  QStringList filters;
  QString title;
  const auto cancel = [&](QWidget* d) {
    auto* dialog = qobject_cast<QFileDialog*>(d);
    ASSERT_NE(dialog, nullptr);
    filters = dialog->nameFilters();
    title = dialog->windowTitle();
    dialog->reject();
  };
  on_next_dialog(cancel);
  EXPECT_EQ(rt.WINOPENDLG(form3, "Ａ画像にするファイルは？", "/", "(*.BMP);(*.JPG);(*.*)", 0), "\x1b");
  EXPECT_EQ(title, "Ａ画像にするファイルは？");
  EXPECT_EQ(filters, (QStringList{"(*.BMP *.bmp)", "(*.JPG *.jpg)", "(*)"}));
  on_next_dialog(cancel);
  EXPECT_EQ(rt.WINSAVEDLG(form3, "セーブファイル名は？", "/tmp/", "(*.BMP)", 0), "\x1b");
  EXPECT_EQ(filters, QStringList{"(*.BMP *.bmp)"});
}

TEST_F(QtRuntimeTest, FileDialogsReturnTheChosenPath) {
  TempDir dir;
  const std::string picture = dir.file("表.bmp");
  std::ofstream(picture) << "x";
  on_next_dialog([&](QWidget* d) {
    auto* dialog = qobject_cast<QFileDialog*>(d);
    EXPECT_EQ(dialog->directory().absolutePath().toStdString(), dir.path().string());
    dialog->selectFile(QString::fromStdString(picture));
    static_cast<QDialog*>(dialog)->accept();
  });
  EXPECT_EQ(rt.WINOPENDLG(form3, "Ａ画像にするファイルは？", dir.path().string() + "/", "(*.BMP)", 0),
            picture);

  // The save dialog starts in the save folder with the A file's name as it will be written.
  QString folder, name;
  on_next_dialog([&](QWidget* d) {
    auto* dialog = qobject_cast<QFileDialog*>(d);
    folder = dialog->directory().absolutePath();
    name = QFileInfo(dialog->selectedFiles().value(0)).fileName();
    dialog->reject();
  });
  rt.WINSAVEDLG(form3, "セーブファイル名は？", dir.path().string() + "/" + "/pics/a.bmp", "(*.BMP)", 0);
  EXPECT_EQ(folder.toStdString(), dir.path().string());
  EXPECT_EQ(name, "a.BMP");

  // A start folder that is gone, or none at all: the dialog lists the current folder.
  for (const std::string& start : {dir.file("gone") + "/", std::string()}) {
    on_next_dialog([&](QWidget* d) {
      folder = qobject_cast<QFileDialog*>(d)->directory().absolutePath();
      static_cast<QDialog*>(d)->reject();
    });
    rt.WINOPENDLG(form3, "Ａ画像にするファイルは？", start, "(*.BMP)", 0);
    EXPECT_EQ(folder, QDir::currentPath()) << start;
  }
}

TEST(QtFileFilters, BothFilterStylesBecomeQtNameFilters) {
  struct Row {
    const char* given;
    QStringList want;
  };
  const Row rows[] = {
      {"(*.BMP);(*.JPG);(*.*)", {"(*.BMP *.bmp)", "(*.JPG *.jpg)", "(*)"}},
      {"(*.BMP)", {"(*.BMP *.bmp)"}},
      {"ビットマップ(*.bmp)|*.bmp|JPEG(*.jpg)|*.jpg", {"ビットマップ (*.bmp *.BMP)", "JPEG (*.jpg *.JPG)"}},
      {"画像|*.bmp;*.jpg|すべて|*.*", {"画像 (*.bmp *.BMP *.jpg *.JPG)", "すべて (*)"}},
      {"*.bmp", {"(*.bmp *.BMP)"}},
      {"", {}},
  };
  for (const Row& r : rows) EXPECT_EQ(qt_name_filters(r.given), r.want) << r.given;
}

TEST(QtFileFilters, TheSaveDialogStartsFromFolderAndName) {
  TempDir dir;
  const std::string d = dir.path().string();
  struct Row {
    std::string given, folder, file;
  };
  const Row rows[] = {
      {d + "/" + "/elsewhere/a.bmp", d, "a.bmp"},  // the save folder, then the A file's full path
      {d + "/b.bmp", d, "b.bmp"},
      {d, d, ""},
  };
  for (const Row& r : rows) {
    const SaveStart s = save_start(r.given);
    EXPECT_EQ(s.folder.toStdString(), r.folder) << r.given;
    EXPECT_EQ(s.file.toStdString(), r.file) << r.given;
  }
}

TEST(QtUntrappedReport, NamesTheCodeTheCauseAndTheProcedure) {
  const QString m = untrapped_message(7, "BUTTON54_ON");
  EXPECT_TRUE(m.contains("7"));
  EXPECT_TRUE(m.contains("メモリ"));
  EXPECT_TRUE(m.contains("BUTTON54_ON"));
}

}  // namespace
}  // namespace vimbrel::test
