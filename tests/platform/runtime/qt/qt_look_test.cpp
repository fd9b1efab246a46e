// What the user sees of the forms beyond their layout: the chosen list row in view, whole list rows
// and whole edit texts in their small boxes, group frames clear of their controls, message boxes as wide as
// their caption, the busy pointer.
#include <QAbstractButton>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QToolTip>

#include "platform/runtime/qt/qt_group_box.h"
#include "platform/runtime/qt/qt_message_box.h"
#include "tests/platform/runtime/qt/qt_fixture.h"

namespace vimbrel::test {
namespace {

TEST_F(QtRuntimeTest, TheChosenRowIsScrolledIntoView) {
  const Window list = ctl("LIST1");
  for (int i = 0; i < 12; ++i) rt.ADDSTRING(list, "効果 " + std::to_string(i));
  auto* l = w<QListWidget>("LIST1");
  for (const int row : {11, 0, 7}) {
    rt.SETCURSEL(list, row);
    EXPECT_TRUE(l->viewport()->rect().contains(l->visualItemRect(l->item(row)))) << row;
  }
}

TEST_F(QtRuntimeTest, ListRowsAndEditTextsShowWholeInTheirBoxes) {
  const Window list = ctl("LIST1");
  rt.SETFONTSIZE(list, 14);
  for (int i = 0; i < 6; ++i) rt.ADDSTRING(list, "効果無し（余白が白）");
  auto* l = w<QListWidget>("LIST1");
  for (const int row : {0, 5, 2}) {
    rt.SETCURSEL(list, row);
    for (int i = 0; i < l->count(); ++i) {
      const QRect r = l->visualItemRect(l->item(i));
      if (r.intersects(l->viewport()->rect())) {
        EXPECT_TRUE(l->viewport()->rect().contains(r)) << row << " " << i;
      }
    }
  }

  rt.SHOWWINDOW(form2, -1);
  auto* edit = w<QLineEdit>("EDIT1");
  edit->setFocus();
  rt.SETWINDOWTEXT(ctl("EDIT1"), "99999");
  EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()), edit->contentsRect().width() - 4);
  edit->end(false);
  QTest::keyClick(edit, Qt::Key_9);  // a sixth digit is refused, and the field says why
  EXPECT_EQ(edit->text(), "99999");
  EXPECT_EQ(QToolTip::text(), "5桁までです");
  rt.SETWINDOWTEXT(ctl("EDIT1"), "12");
  edit->end(false);
  QTest::keyClick(edit, Qt::Key_A);
  EXPECT_EQ(edit->text(), "12");
  EXPECT_EQ(QToolTip::text(), "数字だけを入力できます");
}

TEST_F(QtRuntimeTest, GroupFramesPassAboveOrBelowTheControlsInThem) {
  for (const FormLayout& f : qt_test_forms()) {
    for (const ControlLayout& g : f.controls) {
      if (g.kind != ControlKind::Group) continue;
      const auto* box = dynamic_cast<FormGroupBox*>(w(g.name));
      ASSERT_NE(box, nullptr) << g.name;
      const int line = g.y + box->frame_top();
      for (const ControlLayout& c : f.controls) {
        const bool inside = c.kind != ControlKind::Group && c.x >= g.x && c.x + c.width <= g.x + g.width &&
                            c.y >= g.y && c.y < g.y + g.height;
        if (inside) {
          EXPECT_TRUE(c.y > line || c.y + c.height <= line) << g.name << " crosses " << c.name;
        }
      }
    }
  }
}

TEST_F(QtRuntimeTest, AMessageBoxIsWideEnoughForItsCaption) {
  int width = 0, needed = 0;
  on_next_dialog([&](QWidget* d) {
    auto* box = qobject_cast<QMessageBox*>(d);
    width = box->width();
    needed = caption_width(*box);
    box->accept();
  });
  rt.MESSAGEBOX(form3, "予期せぬ結合画像関連エラー", "エラー番号＝7", 0, 0);
  EXPECT_GT(needed, 200);
  EXPECT_GE(width, needed);
}

TEST_F(QtRuntimeTest, AButtonsCommandShowsTheBusyPointerButNotInItsDialogs) {
  std::optional<Qt::CursorShape> running, in_dialog;
  const auto shape = [] {
    const QCursor* c = QGuiApplication::overrideCursor();
    return c == nullptr ? std::optional<Qt::CursorShape>{} : c->shape();
  };
  record_all({{"BUTTON53_ON", [&](const EventArgs& a) {
                 running = shape();
                 on_next_dialog([&](QWidget* d) {
                   in_dialog = shape();
                   static_cast<QDialog*>(d)->accept();
                 });
                 rt.MESSAGEBOX(a.owner, "読み込みエラー", "ファイルを読めません", 0, 0);
               }}});
  w<QAbstractButton>("BUTTON53")->setEnabled(true);
  w<QAbstractButton>("BUTTON53")->click();
  EXPECT_EQ(running, Qt::WaitCursor);
  EXPECT_EQ(in_dialog, Qt::ArrowCursor);
  EXPECT_EQ(shape(), std::nullopt);
}

}  // namespace
}  // namespace vimbrel::test
