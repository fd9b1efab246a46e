// Checks that the Qt backend built a set of forms exactly as their layouts say: the widget of each
// control, its place, caption, font, colours, radio groups and scroll range.
#pragma once

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <algorithm>
#include <cmath>
#include <map>
#include <span>

#include "platform/runtime/qt/qt_runtime.h"
#include "platform/runtime/qt/qt_widgets.h"

namespace vimbrel::test {

inline bool kind_matches(ControlKind kind, QWidget* w) {
  switch (kind) {
    case ControlKind::Label:
      return qobject_cast<QLabel*>(w) != nullptr;
    case ControlKind::Edit:
      return qobject_cast<QLineEdit*>(w) != nullptr;
    case ControlKind::Button:
      return qobject_cast<QPushButton*>(w) != nullptr;
    case ControlKind::Radio:
      return qobject_cast<QRadioButton*>(w) != nullptr;
    case ControlKind::Check:
      return qobject_cast<QCheckBox*>(w) != nullptr;
    case ControlKind::List:
      return qobject_cast<QListWidget*>(w) != nullptr;
    case ControlKind::Group:
      return qobject_cast<QGroupBox*>(w) != nullptr;
    case ControlKind::HScroll:
    case ControlKind::VScroll: {
      auto* bar = qobject_cast<QScrollBar*>(w);
      return bar != nullptr &&
             bar->orientation() == (kind == ControlKind::HScroll ? Qt::Horizontal : Qt::Vertical);
    }
    case ControlKind::Picture:
      return dynamic_cast<PictureWidget*>(w) != nullptr;
    case ControlKind::MenuItem:  // an action, never a widget
      break;
  }
  return false;
}

// The width a control has for its caption.
inline int caption_room(QWidget* w) {
  if (qobject_cast<QLabel*>(w) != nullptr) return w->width();
  QStyleOptionButton opt;
  opt.initFrom(w);
  const bool radio = qobject_cast<QRadioButton*>(w) != nullptr;
  return w->style()
      ->subElementRect(radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &opt, w)
      .width();
}

// `forms[i]` is the window built from `layouts[i]`, untouched since; returns the number of radio
// groups seen.
inline std::size_t expect_forms_built(QtRuntime& rt, std::span<const FormLayout> layouts,
                                      std::span<const Window> forms) {
  std::map<std::pair<int, int>, QButtonGroup*> groups;  // (form, group number)
  for (std::size_t i = 0; i < layouts.size(); ++i) {
    const FormLayout& f = layouts[i];
    const Window fw = forms[i];
    QWidget* window = &rt.client(fw);
    EXPECT_EQ(window->size(), QSize(f.width, f.height)) << f.name;  // client size
    EXPECT_EQ(rt.GETWINDOWTEXT(fw), f.caption);
    for (const ControlLayout& c : f.controls) {
      SCOPED_TRACE(c.name);
      const Window cw = rt.GETDLGITEM(fw, c.name);
      if (c.kind == ControlKind::MenuItem) {
        const QAction* a = rt.menu_action(cw);
        EXPECT_NE(a, nullptr);
        if (a == nullptr) continue;
        EXPECT_EQ(a->text().toStdString(), c.caption);
        EXPECT_EQ(a->shortcuts(), QKeySequence::listFromString(QString::fromStdString(c.shortcut)));
        EXPECT_EQ(a->isCheckable(), c.checkable);
        const QObjectList owners =
            a->associatedObjects();  // the menu it is in, or the window for a key alone
        EXPECT_TRUE(std::ranges::any_of(owners, [&c, window](const QObject* o) {
          const auto* m = qobject_cast<const QMenu*>(o);
          return m != nullptr ? m->title().toStdString() == c.menu : c.menu.empty() && o == window->window();
        }));
        continue;
      }
      QWidget* widget = rt.widget(cw);
      EXPECT_TRUE(kind_matches(c.kind, widget));
      EXPECT_EQ(widget->parentWidget(), window);
      EXPECT_EQ(widget->geometry(), QRect(c.x, c.y, c.width, c.height));
      EXPECT_EQ(widget->isHidden(), !c.visible);
      if (c.visible && c.kind != ControlKind::Group) {
        // What a click in the middle of the control reaches: the control, never a group box over it.
        QWidget* hit = window->childAt(widget->geometry().center());
        EXPECT_TRUE(hit == widget || widget->isAncestorOf(hit));
      }
      EXPECT_TRUE(widget->isEnabled());
      if (c.kind != ControlKind::List && c.kind != ControlKind::Picture && c.kind != ControlKind::HScroll &&
          c.kind != ControlKind::VScroll) {
        EXPECT_EQ(rt.GETWINDOWTEXT(cw), c.caption);
      }
      if (c.kind == ControlKind::Radio || c.kind == ControlKind::Check) {
        EXPECT_EQ(rt.GETCHECK(cw), c.checked ? 1 : 0);
      }
      if (c.kind == ControlKind::Radio) {
        auto* g = static_cast<QAbstractButton*>(widget)->group();
        EXPECT_NE(g, nullptr);
        if (g == nullptr) continue;
        EXPECT_TRUE(g->exclusive());
        const std::pair key{fw.id, c.radio_group};
        EXPECT_EQ(groups.try_emplace(key, g).first->second, g);  // one group per number
        for (const auto& [other_key, other] : groups) {
          if (other_key != key) {
            EXPECT_NE(other, g);
          }
        }
      }
      if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
        EXPECT_EQ(bar->minimum(), c.scroll_min);
        EXPECT_EQ(bar->maximum(), c.scroll_max);
        EXPECT_EQ(bar->singleStep(), c.small_step);
        EXPECT_EQ(bar->pageStep(), c.large_step);
        EXPECT_EQ(bar->palette().color(QPalette::Window), QColor(192, 192, 192));
      } else if (c.kind != ControlKind::Picture) {
        EXPECT_EQ(widget->palette().color(QPalette::Window), QColor(Qt::white));
        EXPECT_EQ(widget->palette().color(QPalette::WindowText),
                  QColor(c.text_colour.r, c.text_colour.g, c.text_colour.b));
      }
      if (!c.font_face.empty()) {
        // The stand-in face is installed and chosen, at the given size in pixels.
        EXPECT_EQ(QFontInfo(widget->font()).family(), substitute_face(c.font_face));
        EXPECT_EQ(widget->font().pixelSize(), static_cast<int>(std::lround(c.font_size)));
        if (!c.caption.empty()) {
          EXPECT_LE(QFontMetrics(widget->font()).height(), c.height);
        }
        if (c.kind == ControlKind::Label || c.kind == ControlKind::Radio || c.kind == ControlKind::Check) {
          EXPECT_LE(QFontMetrics(widget->font()).horizontalAdvance(QString::fromStdString(c.caption)),
                    caption_room(widget));  // nothing is cut off
        }
      }
    }
  }
  return groups.size();
}

}  // namespace vimbrel::test
