// The Qt backend's test forms (offscreen), with every event they raise recorded by name.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/pixels/runtime_error.h"
#include "platform/runtime/qt/qt_runtime.h"
#include "tests/platform/runtime/qt/qt_test_forms.h"

// Readable failures for Qt's geometry types.
inline void PrintTo(const QPoint& p, std::ostream* os) {
  *os << "(" << p.x() << ", " << p.y() << ")";
}
inline void PrintTo(const QSize& s, std::ostream* os) {
  *os << s.width() << " x " << s.height();
}
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QRect& r, std::ostream* os) {
  *os << "(" << r.x() << ", " << r.y() << ") " << r.width() << " x " << r.height();
}

namespace vimbrel::test {

struct Recorded {
  std::string name;
  EventArgs args;
};

class QtRuntimeTest : public ::testing::Test {
 protected:
  QtRuntimeTest() : rt(qt_test_forms()) {
    rt.CREATEWINDOW(form2, "FORM2", 0);
    rt.CREATEWINDOW(form3, "FORM3", -1);
    rt.CREATEWINDOW(form4, "FORM4", 0);
    main = rt.GETDLGITEM(Window{}, "MAINFORM");
    record_all();
  }

  // Every event of every form and control is recorded; `extra` procedures run after recording.
  void record_all(const std::unordered_map<std::string, std::function<void(const EventArgs&)>>& extra = {}) {
    EventTable table;
    const auto add = [&](const std::string& owner, std::span<const std::string_view> events) {
      for (const std::string_view e : events) {
        const std::string name = owner + "_" + std::string(e);
        const auto more = extra.find(name);
        auto then = more == extra.end() ? std::function<void(const EventArgs&)>{} : more->second;
        table[name] = [this, name, then](const EventArgs& a) {
          log.push_back({name, a});
          if (then) then(a);
        };
      }
    };
    for (const auto& f : qt_test_forms()) {
      add(f.name, events_of(f.style));
      for (const auto& c : f.controls) add(c.name, events_of(c.kind));
    }
    rt.set_event_table(std::move(table));
  }

  Window ctl(std::string_view name) const {
    for (const Window f : {main, form2, form3, form4}) {
      try {
        return rt.GETDLGITEM(f, name);
      } catch (const RuntimeError&) {
      }
    }
    throw RuntimeError{errc::kIllegalCall};
  }
  template <class W = QWidget>
  W* w(std::string_view name) const {
    return dynamic_cast<W*>(rt.widget(ctl(name)));
  }
  QWidget* form(Window f) const { return rt.widget(f); }
  Window form_named(std::string_view name) const {
    for (const Window f : {main, form2, form3, form4}) {
      if (rt.name_of(f) == name) return f;
    }
    throw RuntimeError{errc::kIllegalCall};
  }

  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& r : log) out.push_back(r.name);
    return out;
  }

  // Sends a mouse event as the window system would, `buttons` held after it.
  static void send_mouse(QWidget* target, QEvent::Type type, QPointF global, Qt::MouseButton button,
                         Qt::MouseButtons buttons) {
    QMouseEvent e(type, target->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &e);
  }

  // Runs `answer` on the next modal dialog, from inside the dialog's own event loop.
  void on_next_dialog(std::function<void(QWidget*)> answer) {
    dialog_poll_.disconnect();
    dialog_poll_.setInterval(0);
    QObject::connect(&dialog_poll_, &QTimer::timeout, [this, answer] {
      if (QWidget* d = QApplication::activeModalWidget()) {
        dialog_poll_.stop();
        answer(d);
      }
    });
    dialog_poll_.start();
  }

  QtRuntime rt;
  Window main, form2, form3, form4;
  std::vector<Recorded> log;

 private:
  QTimer dialog_poll_;
};

}  // namespace vimbrel::test
