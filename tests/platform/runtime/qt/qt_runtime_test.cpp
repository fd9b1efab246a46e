// The Qt backend against a form table: what each control is, and how user input and the program's
// own changes turn into events.
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <cmath>

#include "platform/runtime/qt/qt_widgets.h"
#include "tests/platform/runtime/qt/qt_fixture.h"
#include "tests/support/qt_form_checks.h"

namespace vimbrel::test {
namespace {

TEST_F(QtRuntimeTest, EveryControlIsBuiltAsTheFormTableSays) {
  const std::vector<FormLayout> layouts = qt_test_forms();
  const std::vector<Window> forms{main, form2, form3, form4};
  EXPECT_EQ(expect_forms_built(rt, layouts, forms), 3u);
}

TEST_F(QtRuntimeTest, FormsHaveTheirWindowStyles) {
  EXPECT_FALSE(form(main)->isVisible());  // created hidden
  EXPECT_TRUE(form(form3)->isVisible());
  EXPECT_FALSE(form(form2)->isVisible());
  for (const Window f : {form2, form3}) {
    const Qt::WindowFlags flags = form(f)->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  }
  EXPECT_TRUE(form(form4)->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(form(form4)->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(form(main)->windowFlags().testFlag(Qt::FramelessWindowHint));

  // The window manager's close request is refused on the controller.
  EXPECT_FALSE(form(form3)->close());
  EXPECT_TRUE(form(form3)->isVisible());
  EXPECT_TRUE(log.empty());
}

TEST_F(QtRuntimeTest, UserInputRaisesExactlyTheNamedEvent) {
  QTest::mouseClick(w("RADIO7"), Qt::LeftButton, {}, QPoint(6, 8));
  EXPECT_EQ(rt.GETCHECK(ctl("RADIO7")), 1);
  EXPECT_EQ(rt.GETCHECK(ctl("RADIO8")), 0);  // its group
  EXPECT_EQ(rt.GETCHECK(ctl("RADIO6")), 1);  // another group on the same form

  QTest::mouseClick(w("CHECK1"), Qt::LeftButton, {}, QPoint(6, 8));
  EXPECT_EQ(rt.GETCHECK(ctl("CHECK1")), 1);

  QTest::mouseClick(w("BUTTON53"), Qt::LeftButton);

  int seen_pos = -1;
  record_all({{"VSCROLL2_CHANGE", [&](const EventArgs&) { seen_pos = rt.GETSCROLLPOS(ctl("VSCROLL2")); }}});
  rt.SETSCROLLSTEP(ctl("VSCROLL2"), 1, 10);
  w<QScrollBar>("VSCROLL2")->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(seen_pos, 10);  // the procedure reads the value after the move

  QListWidget* list = w<QListWidget>("LIST1");
  for (const char* row : {"効果無し（余白が白）", "効果無し（余白が黒）", "Ａモード（余白が白）"}) {
    rt.ADDSTRING(ctl("LIST1"), row);
  }
  int seen_row = -1;
  record_all({{"LIST1_CHANGE", [&](const EventArgs&) { seen_row = rt.GETCURSEL(ctl("LIST1")); }}});
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
  EXPECT_EQ(seen_row, 1);

  EXPECT_EQ(names(), (std::vector<std::string>{"RADIO7_ON", "CHECK1_ON", "BUTTON53_ON", "VSCROLL2_CHANGE",
                                               "LIST1_CHANGE"}));
  for (const Recorded& r : log) EXPECT_EQ(r.args.owner, form3) << r.name;
}

TEST_F(QtRuntimeTest, ValuesTheProgramSetsRaiseNoEvent) {
  rt.SETCHECK(ctl("RADIO7"), 1);
  rt.SETCHECK(ctl("CHECK1"), 1);
  rt.SETSCROLLRANGE(ctl("HSCROLL2"), 0, 5);  // pulls the position in
  rt.SETSCROLLPOS(ctl("HSCROLL2"), 4);
  rt.SETSCROLLSTEP(ctl("HSCROLL2"), 1, 2);
  rt.ADDSTRING(ctl("LIST1"), "a");
  rt.ADDSTRING(ctl("LIST1"), "b");
  rt.SETCURSEL(ctl("LIST1"), 1);
  rt.SETWINDOWTEXT(ctl("EDIT1"), "12");
  rt.SETWINDOWTEXT(main, "VimbrelVer1.3 メインウインドウ　　");
  rt.SHOWWINDOW(main, -1);
  rt.SETWINDOWSIZE(main, 500, 300);
  rt.MOVEWINDOW(main, 10, 10);
  EXPECT_TRUE(log.empty()) << log.front().name;

  EXPECT_EQ(rt.GETSCROLLPOS(ctl("HSCROLL2")), 4);
  EXPECT_EQ(rt.GETCURSEL(ctl("LIST1")), 1);
  EXPECT_EQ(rt.GETWINDOWTEXT(ctl("EDIT1")), "12");
  EXPECT_EQ(form(main)->windowTitle().toStdString(), "VimbrelVer1.3 メインウインドウ　　");
}

TEST_F(QtRuntimeTest, SetCheckTouchesOnlyTheButtonItNames) {
  // Unchecking a group's checked button works, and checking one leaves the others to the program.
  rt.SETCHECK(ctl("RADIO6"), 0);
  EXPECT_EQ(rt.GETCHECK(ctl("RADIO6")), 0);
  rt.SETCHECK(ctl("RADIO5"), 1);
  rt.SETCHECK(ctl("RADIO6"), 1);
  EXPECT_EQ(rt.GETCHECK(ctl("RADIO5")), 1);
  rt.SETCHECK(ctl("RADIO5"), 0);
  EXPECT_EQ(rt.GETCHECK(ctl("RADIO6")), 1);
  // The user's click still excludes within the group.
  rt.SETCHECK(ctl("RADIO8"), 1);
  w<QRadioButton>("RADIO7")->click();
  EXPECT_EQ(rt.GETCHECK(ctl("RADIO8")), 0);
  rt.SETCURSEL(ctl("LIST1"), 3);  // no such row: nothing selected
  EXPECT_EQ(rt.GETCURSEL(ctl("LIST1")), -1);
}

TEST_F(QtRuntimeTest, DisabledOrHiddenControlsTakeNoInput) {
  rt.ENABLEWINDOW(ctl("BUTTON53"), 0);
  QTest::mouseClick(w("BUTTON53"), Qt::LeftButton);
  rt.ENABLEWINDOW(ctl("BUTTON53"), -1);
  QTest::mouseClick(w("BUTTON53"), Qt::LeftButton);
  EXPECT_EQ(names(), std::vector<std::string>{"BUTTON53_ON"});
  rt.SHOWWINDOW(ctl("BUTTON53"), 0);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(ctl("BUTTON53")), 0);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(ctl("BUTTON54")), 1);
  EXPECT_EQ(rt.ISWINDOWVISIBLE(ctl("PICTURE1")), 0);  // on the hidden main form
}

TEST_F(QtRuntimeTest, DigitsOnlyFieldsDropOtherCharacters) {
  rt.SHOWWINDOW(form2, -1);
  QTest::keyClicks(w("EDIT1"), "12a3-");
  EXPECT_EQ(rt.GETWINDOWTEXT(ctl("Edit1")), "123");
}

TEST_F(QtRuntimeTest, MouseOnThePictureGivesButtonCodesAndControlPixels) {
  rt.SHOWWINDOW(main, -1);
  QWidget* pic = w("PICTURE1");
  const QPointF at = pic->mapToGlobal(QPointF(5, 7));
  send_mouse(pic, QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
  send_mouse(pic, QEvent::MouseMove, at + QPointF(3, 4), Qt::NoButton, Qt::RightButton);
  send_mouse(pic, QEvent::MouseButtonPress, at + QPointF(3, 4), Qt::LeftButton,
             Qt::LeftButton | Qt::RightButton);
  send_mouse(pic, QEvent::MouseMove, at + QPointF(1, 1), Qt::NoButton, Qt::LeftButton | Qt::RightButton);
  send_mouse(pic, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::RightButton);
  send_mouse(pic, QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);
  ASSERT_EQ(names(), (std::vector<std::string>{"PICTURE1_MOUSEDOWN", "PICTURE1_MOUSEMOVE",
                                               "PICTURE1_MOUSEDOWN", "PICTURE1_MOUSEMOVE"}));
  const std::vector<std::tuple<int, float, float>> want{{2, 5, 7}, {2, 8, 11}, {3, 8, 11}, {3, 6, 8}};
  for (std::size_t i = 0; i < want.size(); ++i) {
    const auto& [button, x, y] = want[i];
    EXPECT_EQ(log[i].args.button, button) << i;
    EXPECT_FLOAT_EQ(log[i].args.x, x) << i;
    EXPECT_FLOAT_EQ(log[i].args.y, y) << i;
    EXPECT_EQ(log[i].args.owner, main);
  }
}

TEST_F(QtRuntimeTest, DraggingTheCutOutWindowFollowsThePointer) {
  // The cut-out window moves itself by the pointer's distance on every move, as its procedure does.
  float last_x = 0, last_y = 0;
  const auto remember = [&](const EventArgs& a) { last_x = a.x, last_y = a.y; };
  record_all({{"FORM4_MOUSEDOWN", remember}, {"FORM4_MOUSEMOVE", [&](const EventArgs& a) {
                                                const float dx = a.x - last_x, dy = a.y - last_y;
                                                remember(a);
                                                if (a.button == 1)
                                                  rt.MOVEWINDOW(form4, rt.GETLEFT(form4) + dx,
                                                                rt.GETTOP(form4) + dy);
                                              }}});
  rt.SHOWWINDOW(form4, -1);
  const QPoint start = form(form4)->pos();
  const QPointF grip = form(form4)->mapToGlobal(QPointF(10, 10));
  send_mouse(form(form4), QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
  for (int i = 1; i <= 3; ++i) {
    send_mouse(form(form4), QEvent::MouseMove, grip + QPointF(5 * i, 2 * i), Qt::NoButton, Qt::LeftButton);
  }
  EXPECT_EQ(form(form4)->pos(), start + QPoint(15, 6));
  EXPECT_FLOAT_EQ(log.front().args.x, 10);  // the press in the window's own pixels
  EXPECT_EQ(log.front().args.owner, form4);
}

TEST_F(QtRuntimeTest, BitBltIntoAPictureShowsOnScreen) {
  rt.SHOWWINDOW(main, -1);
  // Before the view lays it out, the picture is no white box: it shows the form's background.
  EXPECT_EQ(QColor(w("PICTURE1")->grab().toImage().pixel(0, 0)),
            w("PICTURE1")->parentWidget()->palette().window().color());
  rt.MOVEWINDOW(ctl("PICTURE1"), 8, 8);
  BitmapObject b;
  rt.BITMAPOBJECT(b);
  rt.CREATEBITMAP(b, 4, 3);
  std::ranges::fill(rt.picture(b)->pixels(), 0xFF123456u);
  rt.picture(b)->at(3, 2) = 0xFFABCDEFu;
  rt.BITBLT(ctl("PICTURE1"), 10, 20, 4, 3, b, 0, 0);
  const QImage shot = w("PICTURE1")->grab().toImage();
  EXPECT_EQ(shot.size(), QSize(96, 88));
  EXPECT_EQ(shot.pixel(10, 20), 0xFF123456u);
  EXPECT_EQ(shot.pixel(13, 22), 0xFFABCDEFu);
  EXPECT_EQ(shot.pixel(0, 0), 0xFFFFFFFFu);  // white where nothing was drawn
  EXPECT_EQ(shot.pixel(14, 20), 0xFFFFFFFFu);

  // The frameless cut-out window paints its surface the same way, at its new size.
  rt.SHOWWINDOW(form4, -1);
  rt.SETWINDOWSIZE(form4, 50, 40);
  rt.BITBLT(form4, 0, 0, 4, 3, b, 0, 0);
  const QImage cut = form(form4)->grab().toImage();
  EXPECT_EQ(cut.size(), QSize(50, 40));
  EXPECT_EQ(cut.pixel(3, 2), 0xFFABCDEFu);
  EXPECT_EQ(rt.GETWIDTH(form4), 50.0f);
}

TEST_F(QtRuntimeTest, FontSizesAreSetInPixels) {
  rt.SETFONTSIZE(ctl("TEXT1"), 12.4f);
  EXPECT_EQ(w("TEXT1")->font().pixelSize(), 12);
  EXPECT_EQ(QFontInfo(w("TEXT1")->font()).family(), "IPAPGothic");
}

// A picture control larger than any surface memory could hold paints white instead of ending the
// program in the middle of a paint.
TEST_F(QtRuntimeTest, APictureTooLargeForASurfacePaintsWhite) {
  QWidget* picture = w("PICTURE1");
  rt.MOVEWINDOW(ctl("PICTURE1"), 0, 0);  // laid out, as the view does before it shows anything
  picture->resize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  QImage shot(8, 8, QImage::Format_RGB32);
  shot.fill(Qt::black);
  picture->render(&shot);
  EXPECT_EQ(shot.pixel(3, 3), 0xFFFFFFFFu);
  EXPECT_FALSE(rt.ended());
}

}  // namespace
}  // namespace vimbrel::test
