// The Qt backend of the form runtime: every form a top-level window with real controls, user input
// delivered as named events, real dialogs and message boxes.
//
// A QApplication must exist before a QtRuntime is made (QtPlatform in qt_platform.h does both).
// Window geometry: MOVEWINDOW and GETLEFT/GETTOP use a form's outer top-left corner (frame
// included); SETWINDOWSIZE sets a form's client size, as the layouts give it; GETWIDTH/GETHEIGHT
// return a form's outer size and a control's size.
#pragma once

#include <memory>
#include <vector>

#include "platform/runtime/form_runtime.h"

class QAction;
class QPoint;
class QWidget;

namespace vimbrel {

class FormWindow;

class QtRuntime : public FormRuntime {
 public:
  // Creates MAINFORM, hidden.
  explicit QtRuntime(std::vector<FormLayout> layouts);
  ~QtRuntime() override;

  // The widget of a form or control, for tests and for the entry point's own use.
  QWidget* widget(Window w) const;
  // Where a form's controls lie: the window, or the area under its menu bar.
  QWidget& client(Window form) const;
  // The action of a menu item; null for anything else.
  QAction* menu_action(Window w) const;

  void SHOWWINDOW(Window w, int flag) override;
  void ENABLEWINDOW(Window w, int flag) override;
  void MOVEWINDOW(Window w, float x, float y) override;
  void SETWINDOWSIZE(Window w, float width, float height) override;
  float GETWIDTH(Window w) override;
  float GETHEIGHT(Window w) override;
  float GETLEFT(Window w) override;
  float GETTOP(Window w) override;
  void MAXIMIZEWINDOW(Window form) override;
  void SETFOREGROUNDWINDOW(Window form) override;
  void SETTOPMOSTWINDOW(Window form, int flag) override;
  void PLACEFORM(Window form, std::span<const ScreenRect> work) override;  // qt_placement.cpp
  int ISWINDOWVISIBLE(Window w) override;
  void SETWINDOWTEXT(Window w, std::string_view text) override;
  std::string GETWINDOWTEXT(Window w) override;
  std::string translated(std::string_view source) const override;
  void SETFONTSIZE(Window w, float points) override;
  int GETCHECK(Window button) override;
  void SETCHECK(Window button, int check) override;
  void ADDSTRING(Window list, std::string_view text) override;
  int GETCURSEL(Window list) override;
  void SETCURSEL(Window list, int index) override;
  void SETSCROLLRANGE(Window bar, int min, int max) override;
  void SETSCROLLPOS(Window bar, int pos) override;
  int GETSCROLLPOS(Window bar) override;
  void SETSCROLLSTEP(Window bar, int small, int large) override;
  void DESTROYWINDOW(Window form) override;
  void MESSAGEBOX(Window owner, std::string_view caption, std::string_view text, int, int) override;
  std::string CLIPBOARDPICTURE(const std::string& path) override;
  void SETCLIPBOARDPICTURE(const Bitmap& picture) override;
  bool ASKBOX(Window owner, std::string_view caption, std::string_view text) override;
  std::string WINOPENDLG(Window owner, std::string_view title, std::string_view start_dir,
                         std::string_view filter, int) override;
  std::string WINSAVEDLG(Window owner, std::string_view title, std::string_view default_text,
                         std::string_view filter, int) override;
  // Processes window-system events until one event procedure has run or the program has ended.
  void WAITEVENT(int) override;
  void post(std::function<void()> action) override;
  // The caption and frame sizes the window system gives the main window: the top decoration is
  // SM_CYSIZE + SM_CYFRAME + SM_CYBORDER, the left, right and bottom frame SM_CYFRAME (the widest
  // of the three), SM_CYBORDER 0. All 0 where windows have no decoration.
  int GetSystemMetrics(int index) override;
  bool usable(Window w) const override;

 protected:
  void build_form(Window form, const FormLayout& layout, std::span<const Window> controls) override;
  std::pair<int, int> client_size(Window w) override;
  float device_ratio(Window w) override;
  void surface_changed(Window w) override;
  void report_untrapped(int code, std::string_view procedure) override;

 private:
  struct Impl;
  void deliver(Window w, std::string_view event, const EventArgs& args);
  void connect_control(Window w, QWidget& widget, const ControlLayout& c);
  void connect_form(Window form, FormWindow& window);
  void accept_drops(Window w, QWidget& widget);  // qt_drop.cpp
  QWidget& control(Window w, ControlKind kind) const;
  void add_menu_item(Window w, FormWindow& form, const ControlLayout& c);
  FormWindow& form_window(Window form) const;
  QWidget* dialog_parent(Window owner) const;
  // Where PLACEFORM's rules put `form` now (qt_placement.cpp).
  QPoint placed_corner(Window form, std::span<const ScreenRect> work);
  void show_placed(Window form);
  void raise_companions();  // qt_dialogs.cpp

  std::unique_ptr<Impl> d_;
};

}  // namespace vimbrel
