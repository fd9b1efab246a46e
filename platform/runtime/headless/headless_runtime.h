// The in-memory backend of the form runtime: the same forms and controls as plain state.
//
// It is part of the product: the `join` command runs on it, and the tests drive the program through
// it exactly as a user would (clicks, scroll bars, list rows, typed text, mouse events by name).
// Dialogs are answered from a queue (empty: cancelled); message boxes are recorded.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/runtime/form_runtime.h"

namespace vimbrel {

class HeadlessRuntime : public FormRuntime {
 public:
  struct Message {
    std::string caption, text;
    std::string detail;  // the cause of the trapped error the box reports; empty for others
  };
  struct Untrapped {
    int code;
    std::string procedure;
  };

  explicit HeadlessRuntime(std::vector<FormLayout> layouts, int screen_width = 1600,
                           int screen_height = 1000);

  // ---- The user's side.
  Window find(std::string_view control_name) const;  // any form; forms by their own name
  // Each returns false when a user could not do it (control hidden, disabled, or on a hidden form).
  bool click(std::string_view control);             // button, radio, check box: then *_ON
  bool scroll_to(std::string_view bar, int pos);    // held in range, then *_CHANGE
  bool select_row(std::string_view list, int row);  // then *_CHANGE
  bool type_text(
      std::string_view edit,
      std::string_view text);  // digits-only fields drop other chars; a field takes no more than its length
  bool mouse(std::string_view control, std::string_view event, std::int16_t button, float x, float y);
  // A turn of the wheel over a control with `shift` keys held (kCtrlKey, ...): then *_WHEEL.
  bool wheel(std::string_view control, int delta, std::int16_t shift, float x, float y);
  // Device pixels per pixel of the windows, as a scaled screen has it (1 unless set).
  void set_device_ratio(float ratio) { device_ratio_ = ratio; }
  void resize_main_form(int width, int height);  // then MAINFORM_RESIZE
  void close_main_form();                        // MAINFORM_END, then the program ends with status 0
  // Files dropped from a file manager on a control or form: what the program's drop rule clicks.
  bool drop_files(std::string_view target, std::vector<DroppedItem> items) {
    return drop(find(target), items);
  }
  // A key pressed while a shown form is active: runs the menu command of that form whose shortcut it is
  // ("Ctrl+Shift+A"), as a click would; false when no usable command has it.
  bool press_key(std::string_view form, std::string_view keys);
  // The close box or Escape of a dialog form: FORM_CANCEL when a user could reach the form now.
  bool cancel_form(std::string_view form);
  // Runs "<CONTROL>_<EVENT>" directly, as the runtime would for that event.
  bool fire(std::string_view event_name, EventArgs args = {});

  void push_dialog_answer(std::string answer) { dialog_answers_.push_back(std::move(answer)); }
  // Answers of ASKBOX questions, in order; with none left a question gets its default (no).
  void push_question_answer(bool yes) { question_answers_.push_back(yes); }
  const std::vector<Message>& messages() const { return messages_; }
  void clear_messages() { messages_.clear(), questions_.clear(); }
  const std::vector<Message>& questions() const { return questions_; }  // ASKBOX's, in order
  const std::vector<Untrapped>& untrapped() const { return untrapped_; }
  void note_warning(std::string_view warning) override { warnings_.emplace_back(warning); }
  std::vector<std::string> take_warnings() { return std::exchange(warnings_, {}); }
  // Actions run by WAITEVENT one per call; when none is left the program ends (status 0).
  void queue_action(std::function<void()> action) { actions_.push_back(std::move(action)); }
  void post(std::function<void()> action) override { queue_action(std::move(action)); }
  // The clipboard as another program leaves it: a picture, a copied file, or nothing.
  void set_clipboard(std::optional<Bitmap> picture, std::string file = {}) {
    clipboard_picture_ = std::move(picture);
    clipboard_file_ = std::move(file);
  }
  const std::optional<Bitmap>& clipboard_picture() const { return clipboard_picture_; }
  std::string CLIPBOARDPICTURE(const std::string& path) override;
  void SETCLIPBOARDPICTURE(const Bitmap& picture) override;
  void set_system_metric(int index, int value) { metrics_[index] = value; }

  // ---- State a test reads.
  bool enabled(Window w) const;
  bool topmost(Window form) const;
  Window foreground() const { return foreground_; }
  const std::vector<std::string>& rows(Window list) const;
  float font_size(Window w) const;
  std::pair<int, int> scroll_range(Window bar) const;
  std::pair<int, int> scroll_steps(Window bar) const;
  // The last dialog's arguments: title, start folder or default text, filter.
  const std::vector<std::string>& last_dialog() const { return last_dialog_; }

  // ---- FormRuntime.
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
  int ISWINDOWVISIBLE(Window w) override;
  void SETWINDOWTEXT(Window w, std::string_view text) override;
  std::string GETWINDOWTEXT(Window w) override;
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
  bool ASKBOX(Window owner, std::string_view caption, std::string_view text) override;  // recorded
  std::string WINOPENDLG(Window owner, std::string_view title, std::string_view start_dir,
                         std::string_view filter, int) override;
  std::string WINSAVEDLG(Window owner, std::string_view title, std::string_view default_text,
                         std::string_view filter, int) override;
  void WAITEVENT(int) override;
  int GetSystemMetrics(int index) override;
  bool usable(Window w) const override;  // also false while a procedure runs

 protected:
  void build_form(Window form, const FormLayout& layout, std::span<const Window> controls) override;
  std::pair<int, int> client_size(Window w) override;
  float device_ratio(Window) override { return device_ratio_; }
  void report_untrapped(int code, std::string_view procedure) override;

 private:
  struct State {
    bool shown = false, enabled = true, topmost = false, destroyed = false;
    std::string text;
    int check = 0;
    float font_size = 0;
    float x = 0, y = 0, width = 0, height = 0;
    int scroll_min = 0, scroll_max = 0, scroll_pos = 0, small_step = 1, large_step = 16;
    std::vector<std::string> rows;
    int cursel = -1;
    int radio_group = 0;
    bool digits_only = false;
    int max_length = 0;
  };
  State& st(Window w);
  const State& st(Window w) const;
  std::string next_dialog_answer();

  std::unordered_map<int, State> state_;
  std::vector<Window> all_windows_;
  std::deque<std::string> dialog_answers_;
  std::deque<bool> question_answers_;
  std::deque<std::function<void()>> actions_;
  std::vector<Message> messages_, questions_;
  std::vector<std::string> warnings_;
  std::optional<Bitmap> clipboard_picture_;
  std::string clipboard_file_;
  std::vector<Untrapped> untrapped_;
  std::vector<std::string> last_dialog_;
  std::unordered_map<int, int> metrics_;
  Window foreground_;
  int screen_width_, screen_height_;
  float device_ratio_ = 1;
};

}  // namespace vimbrel
