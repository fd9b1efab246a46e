#include "platform/runtime/headless/headless_runtime.h"

#include <algorithm>

#include "platform/imageio/bitmap_file.h"
#include "platform/pixels/runtime_error.h"

namespace vimbrel {
namespace {

bool is_window_kind(std::optional<ControlKind> k, ControlKind want) {
  return k && *k == want;
}

}  // namespace

HeadlessRuntime::HeadlessRuntime(std::vector<FormLayout> layouts, int screen_width, int screen_height)
    : FormRuntime(std::move(layouts)), screen_width_(screen_width), screen_height_(screen_height) {
  create_main_form();
}

void HeadlessRuntime::build_form(Window form, const FormLayout& layout, std::span<const Window> controls) {
  State& f = state_[form.id];
  f.text = layout.caption;
  f.x = static_cast<float>(layout.x), f.y = static_cast<float>(layout.y);
  f.width = static_cast<float>(layout.width), f.height = static_cast<float>(layout.height);
  all_windows_.push_back(form);
  const auto add = [this](Window w, const ControlLayout& c) {
    State& s = state_[w.id];
    s.shown = c.visible;
    s.text = c.caption;
    s.check = c.checked ? 1 : 0;
    s.font_size = c.font_size;
    s.x = static_cast<float>(c.x), s.y = static_cast<float>(c.y);
    s.width = static_cast<float>(c.width), s.height = static_cast<float>(c.height);
    s.scroll_min = c.scroll_min, s.scroll_max = c.scroll_max;
    s.small_step = c.small_step, s.large_step = c.large_step;
    s.radio_group = c.radio_group;
    s.digits_only = c.digits_only;
    s.max_length = c.max_length;
    all_windows_.push_back(w);
  };
  for (std::size_t i = 0; i < controls.size(); ++i) add(controls[i], layout.controls[i]);
}

HeadlessRuntime::State& HeadlessRuntime::st(Window w) {
  const auto it = state_.find(w.id);
  if (it == state_.end()) throw RuntimeError{errc::kIllegalCall};
  return it->second;
}

const HeadlessRuntime::State& HeadlessRuntime::st(Window w) const {
  const auto it = state_.find(w.id);
  if (it == state_.end()) throw RuntimeError{errc::kIllegalCall};
  return it->second;
}

std::pair<int, int> HeadlessRuntime::client_size(Window w) {
  const State& s = st(w);
  if (w != main_form()) return {static_cast<int>(s.width), static_cast<int>(s.height)};
  // The main window's decoration is what the system metrics say: a frame on three sides, the
  // caption bar and frame on top.
  const int frame = GetSystemMetrics(SM_CYFRAME);
  const int top = GetSystemMetrics(SM_CYSIZE) + frame + GetSystemMetrics(SM_CYBORDER);
  return {std::max(static_cast<int>(s.width) - 2 * frame, 0),
          std::max(static_cast<int>(s.height) - top - frame, 0)};
}

// ---- The user's side

Window HeadlessRuntime::find(std::string_view control_name) const {
  for (const Window w : all_windows_) {
    if (same_name(name_of(w), control_name)) return w;
  }
  throw RuntimeError{errc::kIllegalCall};
}

bool HeadlessRuntime::usable(Window w) const {
  const State& s = st(w);
  const State& f = st(form_of(w));
  return s.shown && s.enabled && f.shown && !f.destroyed && !busy() && !ended();
}

bool HeadlessRuntime::click(std::string_view control) {
  const Window w = find(control);
  if (!usable(w)) return false;
  State& s = st(w);
  const auto kind = kind_of(w);
  if (is_window_kind(kind, ControlKind::Radio)) {
    for (const Window o : all_windows_) {
      State& os = st(o);
      if (form_of(o) == form_of(w) && os.radio_group == s.radio_group &&
          is_window_kind(kind_of(o), ControlKind::Radio)) {
        os.check = 0;
      }
    }
    s.check = 1;
  } else if (is_window_kind(kind, ControlKind::Check)) {
    s.check = s.check != 0 ? 0 : 1;
  }
  dispatch(w, "ON", {form_of(w)});
  return true;
}

bool HeadlessRuntime::press_key(std::string_view form, std::string_view keys) {
  const Window f = find(form);
  for (const Window w : all_windows_) {
    const ControlLayout* c = form_of(w) == f && w != f ? layout_of(w) : nullptr;
    if (c == nullptr || c->kind != ControlKind::MenuItem) continue;
    // One key, or several separated by "; ".
    for (std::string_view rest = c->shortcut; !rest.empty();) {
      const std::size_t cut = rest.find("; ");
      if (rest.substr(0, cut) == keys) return click(name_of(w));
      rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 2);
    }
  }
  return false;
}

bool HeadlessRuntime::scroll_to(std::string_view bar, int pos) {
  const Window w = find(bar);
  if (!usable(w)) return false;
  SETSCROLLPOS(w, pos);
  dispatch(w, "CHANGE", {form_of(w)});
  return true;
}

bool HeadlessRuntime::select_row(std::string_view list, int row) {
  const Window w = find(list);
  if (!usable(w)) return false;
  State& s = st(w);
  if (row < 0 || row >= static_cast<int>(s.rows.size())) return false;
  s.cursel = row;
  dispatch(w, "CHANGE", {form_of(w)});
  return true;
}

bool HeadlessRuntime::type_text(std::string_view edit, std::string_view text) {
  const Window w = find(edit);
  if (!usable(w)) return false;
  State& s = st(w);
  s.text.clear();
  for (const char c : text) {
    const bool room = s.max_length == 0 || s.text.size() < static_cast<std::size_t>(s.max_length);
    if (room && (!s.digits_only || (c >= '0' && c <= '9'))) s.text.push_back(c);
  }
  return true;
}

bool HeadlessRuntime::mouse(std::string_view control, std::string_view event, std::int16_t button, float x,
                            float y) {
  const Window w = find(control);
  const State& s = st(w);
  if (!s.shown || ended() || busy()) return false;
  dispatch(w, event, {form_of(w), button, 0, x, y});
  return true;
}

bool HeadlessRuntime::wheel(std::string_view control, int delta, std::int16_t shift, float x, float y) {
  const Window w = find(control);
  const State& s = st(w);
  if (!s.shown || ended() || busy()) return false;
  EventArgs e{form_of(w), 0, shift, x, y};
  e.wheel = delta;
  dispatch(w, "WHEEL", e);
  return true;
}

void HeadlessRuntime::resize_main_form(int width, int height) {
  State& s = st(main_form());
  s.width = static_cast<float>(width), s.height = static_cast<float>(height);
  dispatch(main_form(), "RESIZE", {main_form()});
}

void HeadlessRuntime::close_main_form() {
  if (ended()) return;
  dispatch(main_form(), "END", {main_form()});
  end_program(0);
}

bool HeadlessRuntime::cancel_form(std::string_view form) {
  const Window w = find(form);
  if (kind_of(w) || !usable(w)) return false;
  return dispatch(w, "CANCEL", {w});
}

bool HeadlessRuntime::fire(std::string_view event_name, EventArgs args) {
  const auto cut = event_name.rfind('_');
  if (cut == std::string_view::npos) return false;
  const Window w = find(event_name.substr(0, cut));
  if (!args.owner) args.owner = form_of(w);
  return dispatch(w, event_name.substr(cut + 1), args);
}

// ---- State a test reads

bool HeadlessRuntime::enabled(Window w) const {
  return st(w).enabled;
}
bool HeadlessRuntime::topmost(Window form) const {
  return st(form).topmost;
}
const std::vector<std::string>& HeadlessRuntime::rows(Window list) const {
  return st(list).rows;
}
float HeadlessRuntime::font_size(Window w) const {
  return st(w).font_size;
}
std::pair<int, int> HeadlessRuntime::scroll_range(Window bar) const {
  return {st(bar).scroll_min, st(bar).scroll_max};
}
std::pair<int, int> HeadlessRuntime::scroll_steps(Window bar) const {
  return {st(bar).small_step, st(bar).large_step};
}

// ---- FormRuntime

void HeadlessRuntime::SHOWWINDOW(Window w, int flag) {
  st(w).shown = flag != 0;
}
void HeadlessRuntime::ENABLEWINDOW(Window w, int flag) {
  st(w).enabled = flag != 0;
}

void HeadlessRuntime::MOVEWINDOW(Window w, float x, float y) {
  State& s = st(w);
  s.x = x, s.y = y;
}

void HeadlessRuntime::SETWINDOWSIZE(Window w, float width, float height) {
  State& s = st(w);
  s.width = std::max(width, 0.0f), s.height = std::max(height, 0.0f);
}

float HeadlessRuntime::GETWIDTH(Window w) {
  return st(w).width;
}
float HeadlessRuntime::GETHEIGHT(Window w) {
  return st(w).height;
}
float HeadlessRuntime::GETLEFT(Window w) {
  return st(w).x;
}
float HeadlessRuntime::GETTOP(Window w) {
  return st(w).y;
}

void HeadlessRuntime::MAXIMIZEWINDOW(Window form) {
  State& s = st(form);
  s.shown = true;
  s.x = 0, s.y = 0;
  s.width = static_cast<float>(screen_width_), s.height = static_cast<float>(screen_height_);
}

void HeadlessRuntime::SETFOREGROUNDWINDOW(Window form) {
  foreground_ = form;
}
void HeadlessRuntime::SETTOPMOSTWINDOW(Window form, int flag) {
  st(form).topmost = flag != 0;
}
int HeadlessRuntime::ISWINDOWVISIBLE(Window w) {
  return st(w).shown ? 1 : 0;
}
void HeadlessRuntime::SETWINDOWTEXT(Window w, std::string_view text) {
  st(w).text = text;
}
std::string HeadlessRuntime::GETWINDOWTEXT(Window w) {
  return st(w).text;
}
void HeadlessRuntime::SETFONTSIZE(Window w, float points) {
  st(w).font_size = points;
}
int HeadlessRuntime::GETCHECK(Window button) {
  return st(button).check != 0 ? 1 : 0;
}
void HeadlessRuntime::SETCHECK(Window button, int check) {
  st(button).check = check != 0 ? 1 : 0;
}
void HeadlessRuntime::ADDSTRING(Window list, std::string_view text) {
  st(list).rows.emplace_back(text);
}
int HeadlessRuntime::GETCURSEL(Window list) {
  return st(list).cursel;
}

void HeadlessRuntime::SETCURSEL(Window list, int index) {
  State& s = st(list);
  s.cursel = (index >= 0 && index < static_cast<int>(s.rows.size())) ? index : -1;
}

void HeadlessRuntime::SETSCROLLRANGE(Window bar, int min, int max) {
  State& s = st(bar);
  s.scroll_min = min, s.scroll_max = max;
  s.scroll_pos = std::clamp(s.scroll_pos, std::min(min, max), std::max(min, max));
}

void HeadlessRuntime::SETSCROLLPOS(Window bar, int pos) {
  State& s = st(bar);
  s.scroll_pos = std::clamp(pos, std::min(s.scroll_min, s.scroll_max), std::max(s.scroll_min, s.scroll_max));
}

int HeadlessRuntime::GETSCROLLPOS(Window bar) {
  return st(bar).scroll_pos;
}

void HeadlessRuntime::SETSCROLLSTEP(Window bar, int small, int large) {
  State& s = st(bar);
  s.small_step = small, s.large_step = large;
}

void HeadlessRuntime::DESTROYWINDOW(Window form) {
  State& s = st(form);
  s.shown = false, s.destroyed = true;
}

void HeadlessRuntime::MESSAGEBOX(Window, std::string_view caption, std::string_view text, int, int) {
  messages_.push_back({std::string(caption), std::string(text), take_error_detail()});
}

bool HeadlessRuntime::ASKBOX(Window, std::string_view caption, std::string_view text) {
  questions_.push_back({std::string(caption), std::string(text), {}});
  if (question_answers_.empty()) return false;
  const bool yes = question_answers_.front();
  question_answers_.pop_front();
  return yes;
}

std::string HeadlessRuntime::next_dialog_answer() {
  if (dialog_answers_.empty()) return std::string(kCancelled);
  std::string a = std::move(dialog_answers_.front());
  dialog_answers_.pop_front();
  return a;
}

std::string HeadlessRuntime::WINOPENDLG(Window, std::string_view title, std::string_view start_dir,
                                        std::string_view filter, int) {
  last_dialog_ = {std::string(title), std::string(start_dir), std::string(filter)};
  if (auto dropped = take_drop_answer()) return *std::move(dropped);
  return next_dialog_answer();
}

std::string HeadlessRuntime::WINSAVEDLG(Window, std::string_view title, std::string_view default_text,
                                        std::string_view filter, int) {
  last_dialog_ = {std::string(title), std::string(default_text), std::string(filter)};
  return next_dialog_answer();
}

void HeadlessRuntime::WAITEVENT(int) {
  if (!ended() && !actions_.empty()) {
    auto action = std::move(actions_.front());
    actions_.pop_front();
    action();
  }
  if (actions_.empty()) end_program(0);
  if (ended()) throw ProgramEnded{exit_status()};
}

int HeadlessRuntime::GetSystemMetrics(int index) {
  const auto it = metrics_.find(index);
  return it == metrics_.end() ? 0 : it->second;
}

void HeadlessRuntime::report_untrapped(int code, std::string_view procedure) {
  untrapped_.push_back({code, std::string(procedure)});
}

void HeadlessRuntime::SETCLIPBOARDPICTURE(const Bitmap& picture) {
  Bitmap copy = Bitmap::create_uninitialised(picture.width(), picture.height());
  std::ranges::copy(picture.pixels(), copy.pixels().begin());
  clipboard_picture_ = std::move(copy);
  clipboard_file_.clear();
}

std::string HeadlessRuntime::CLIPBOARDPICTURE(const std::string& path) {
  if (!clipboard_file_.empty()) return clipboard_file_;
  if (!clipboard_picture_) return {};
  write_bitmap_file(*clipboard_picture_, path);
  return path;
}

}  // namespace vimbrel
