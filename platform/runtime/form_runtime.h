// The form runtime: the one way the program reaches windows, controls, dialogs and bitmaps.
//
// Two backends implement the window half of it: runtime/qt (real windows) and runtime/headless
// (the same forms as state in memory, for tests and the `join` command). Window ids and event
// dispatch are shared and live here; the bitmaps live in the bitmap store, which this keeps.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/imageio/converter.h"
#include "platform/pixels/bitmap.h"
#include "platform/pixels/raster.h"
#include "platform/runtime/bitmap_store.h"
#include "platform/runtime/event_table.h"
#include "platform/runtime/file_drop.h"
#include "platform/runtime/form_layout.h"
#include "platform/runtime/handles.h"
#include "platform/runtime/window_placement.h"

namespace vimbrel {

// What a dialog returns when the user cancels it.
inline constexpr std::string_view kCancelled = "\x1b";

// GetSystemMetrics indexes used at start-up.
inline constexpr int SM_CYSIZE = 31;
inline constexpr int SM_CYFRAME = 33;
inline constexpr int SM_CYBORDER = 6;

class FormRuntime {
 public:
  // `layouts` must contain "MAINFORM", which the backend creates (hidden) before start-up runs.
  explicit FormRuntime(std::vector<FormLayout> layouts);
  virtual ~FormRuntime() = default;
  FormRuntime(const FormRuntime&) = delete;
  FormRuntime& operator=(const FormRuntime&) = delete;

  // Installs the event procedures; refuses (std::invalid_argument) a table with an entry whose
  // control or form is in no layout, or whose event that control or form never raises.
  void set_event_table(EventTable table);
  bool has_procedure(std::string_view event_name) const { return events_.contains(std::string(event_name)); }
  void set_drop_rule(DropRule rule) { drop_rule_ = std::move(rule); }
  void set_drop_hint(DropHint hint) { drop_hint_ = std::move(hint); }

  // ---- Forms and controls. Flags: nonzero (-1) on, 0 off.
  void CREATEWINDOW(Window& form, std::string_view name, int shown);
  // `form` 0 means the main form; names match without regard to case. Raises 5 for an unknown name.
  Window GETDLGITEM(Window form, std::string_view name) const;
  static void ATTACH(Window& variable, Window item) { variable = item; }
  virtual void SHOWWINDOW(Window w, int flag) = 0;
  virtual void ENABLEWINDOW(Window w, int flag) = 0;
  virtual void MOVEWINDOW(Window w, float x, float y) = 0;
  virtual void SETWINDOWSIZE(Window w, float width, float height) = 0;
  virtual float GETWIDTH(Window w) = 0;  // outer size of a form, size of a control
  virtual float GETHEIGHT(Window w) = 0;
  // The client area of a form as the window system has it at this moment.
  float GETCLIENTWIDTH(Window form) { return static_cast<float>(client_size(form).first); }
  float GETCLIENTHEIGHT(Window form) { return static_cast<float>(client_size(form).second); }
  // Device pixels per pixel of the form's coordinates: 1, or more on a scaled screen. A picture
  // control's surface has this many pixels a pixel along each axis, drawn one to one on the screen.
  float GETDEVICERATIO(Window form) { return device_ratio(form); }
  virtual float GETLEFT(Window w) = 0;  // screen position of a form
  virtual float GETTOP(Window w) = 0;
  virtual void MAXIMIZEWINDOW(Window form) = 0;
  virtual void SETFOREGROUNDWINDOW(Window form) = 0;
  virtual void SETTOPMOSTWINDOW(Window form, int flag) = 0;
  // Puts a form where it hides least of `work`, rectangles of the main form's client area that show
  // the user's pictures: the controller (a form laid out as a companion) beside the main window or
  // over its least-used corner, unless the user has moved it since; any other form clear of the
  // controller as well. Forms without a screen (the headless backend) stay where they are.
  virtual void PLACEFORM(Window /*form*/, std::span<const ScreenRect> /*work*/) {}
  virtual int ISWINDOWVISIBLE(Window w) = 0;
  virtual void SETWINDOWTEXT(Window w, std::string_view text) = 0;
  virtual std::string GETWINDOWTEXT(Window w) = 0;
  // A text of the program (a UI_TEXT source text) in the user's language: the windows translate
  // it; the headless runtime, and any text without a translation, keep it as it is.
  virtual std::string translated(std::string_view source) const { return std::string(source); }
  virtual void SETFONTSIZE(Window w, float points) = 0;
  virtual int GETCHECK(Window button) = 0;  // 1 set, 0 not
  virtual void SETCHECK(Window button, int check) = 0;
  virtual void ADDSTRING(Window list, std::string_view text) = 0;
  virtual int GETCURSEL(Window list) = 0;  // -1 when nothing is selected
  virtual void SETCURSEL(Window list, int index) = 0;
  virtual void SETSCROLLRANGE(Window bar, int min, int max) = 0;
  virtual void SETSCROLLPOS(Window bar, int pos) = 0;  // held inside the range
  virtual int GETSCROLLPOS(Window bar) = 0;
  virtual void SETSCROLLSTEP(Window bar, int small, int large) = 0;
  virtual void DESTROYWINDOW(Window form) = 0;

  // ---- Dialogs. A cancelled dialog returns kCancelled.
  virtual void MESSAGEBOX(Window owner, std::string_view caption, std::string_view text, int, int) = 0;
  // A yes/no question whose default answer is no; true when the user answers yes.
  virtual bool ASKBOX(Window owner, std::string_view caption, std::string_view text) = 0;
  // The cause of the error a procedure trapped, for the message box it shows next: the headless
  // backend records it beside the box; the windows show their given texts only.
  void set_error_detail(std::string detail) { error_detail_ = std::move(detail); }
  // What is wrong with a picture that loaded all the same (a cut-off JPEG, say): the headless
  // backend records it; the windows show the picture as it is.
  virtual void note_warning(std::string_view /*warning*/) {}
  virtual std::string WINOPENDLG(Window owner, std::string_view title, std::string_view start_dir,
                                 std::string_view filter, int) = 0;
  virtual std::string WINSAVEDLG(Window owner, std::string_view title, std::string_view default_text,
                                 std::string_view filter, int) = 0;

  // ---- The clipboard (beyond the given built-ins). The picture on it as a file: a copied picture
  // file's own path, or image data written as a picture file at `path`; empty when it holds neither.
  virtual std::string CLIPBOARDPICTURE(const std::string& path) = 0;
  // Puts `picture` on the clipboard, as PNG and BMP image data for other programs.
  virtual void SETCLIPBOARDPICTURE(const Bitmap& picture) = 0;

  // ---- Events. Waits for the next event and runs its procedure; throws ProgramEnded once the
  // program has ended (main form closed, or an untrapped error reported).
  virtual void WAITEVENT(int) = 0;

  // ---- Platform calls outside the form runtime proper.
  virtual int GetSystemMetrics(int index) = 0;

  // ---- Bitmaps (shared by both backends), kept in the bitmap store.
  void BITMAPOBJECT(BitmapObject& b) { b = bitmaps_.declare(); }
  void CREATEBITMAP(BitmapObject b, std::int64_t width,
                    std::int64_t height) {  // 0 × 0 accepted; 7 if too big
    bitmaps_.create(b, width, height);
  }
  void DELETEOBJECT(BitmapObject b);
  int CHECKOBJECT(BitmapObject b) const { return bitmaps_.has_picture(b) ? 1 : 0; }
  // A work file is loaded with what the converter kept of it (JPEG2BMP's result).
  void LOADBITMAPFILE(BitmapObject b, const std::string& path, ConvertedPicture converted = {}) {
    bitmaps_.load(b, path, std::move(converted));
  }
  // The image converter that turns a picture the bitmap reader cannot read into a work file.
  Converter& converter() { return *converter_; }
  void set_converter(std::unique_ptr<Converter> converter) { converter_ = std::move(converter); }
  float GETBITMAPWIDTH(BitmapObject b) const { return static_cast<float>(bitmaps_.width(b)); }
  float GETBITMAPHEIGHT(BitmapObject b) const { return static_cast<float>(bitmaps_.height(b)); }
  void SAVEFILE(BitmapObject b, const std::string& path) { bitmaps_.save(b, path); }
  void SETMAPMODE(BitmapObject b, int mode) { bitmaps_.set_map_mode(b, mode); }
  void SETMAPMODE(Window w, int mode);
  void SETDRAWMODE(BitmapObject target, int mode) { bitmaps_.set_draw_mode(target, mode); }
  void SETDRAWMODE(Window target, int mode);
  void BITBLT(BitmapObject target, float x, float y, float width, float height, BitmapObject source, float sx,
              float sy);
  void BITBLT(Window target, float x, float y, float width, float height, BitmapObject source, float sx,
              float sy);
  // Copies from `source` into a picture control's surface, scaled: target pixel (x + i, y + j), in
  // the surface's own (device) pixels, shows source point (sx + (i + 1/2) / scale, sy + (j + 1/2) /
  // scale). Above 1 each source pixel is a sharp block; below 1 each target pixel is the average of
  // up to 2 x 2 of the source pixels it covers, spread evenly; points off the source are
  // white. In copy mode only.
  void SCALEBLT(Window target, float x, float y, float width, float height, BitmapObject source, double sx,
                double sy, double scale);
  // The filled box from corner (x1, y1) to corner (x2, y2) in colour number `colour` (15 white, 0 black).
  void FILLBOX(BitmapObject target, float x1, float y1, float x2, float y2, int colour);
  void FILLBOX(Window target, float x1, float y1, float x2, float y2, int colour);
  // Fills a picture control (or frameless form) with its white background.
  void CLEARPICTURE(Window picture);

  // ---- Direct access for fast paths and tests (not part of the procedures' vocabulary).
  BitmapStore& bitmaps() { return bitmaps_; }
  // With nobody to see the windows (the `join` command), what is drawn into them is skipped: fills,
  // and copies in copy mode, which would only read pictures that the save reads again. Neither
  // changes a picture, nor fails on anything the save would not fail on too.
  void set_windows_unseen(bool unseen) { windows_unseen_ = unseen; }
  // The picture for changing (pending drawings that read it are made first); null without one.
  Bitmap* picture(BitmapObject b) { return CHECKOBJECT(b) != 0 ? bitmaps_.change(b) : nullptr; }
  // The picture made for reading; null without one.
  const Bitmap* read_picture(BitmapObject b) { return bitmaps_.read(b); }
  // Deferred drawing: see BitmapStore::defer.
  void DEFER(BitmapObject target, std::vector<BitmapObject> sources, BitmapStore::DeferredDraw draw,
             BitmapStore::BandedDraw banded = {}) {
    bitmaps_.defer(target, std::move(sources), std::move(draw), std::move(banded));
  }
  bool deferred(BitmapObject b) const { return bitmaps_.deferred(b); }

  // What a picture control or frameless form shows; sized to its client area.
  const Bitmap& surface(Window w);
  std::string name_of(Window w) const;
  Window form_of(Window w) const;
  std::optional<ControlKind> kind_of(Window w) const;  // nullopt for a form
  const FormLayout* layout_of_form(std::string_view name) const;
  const ControlLayout* layout_of(Window control) const;
  bool ended() const { return ended_.has_value(); }
  int exit_status() const { return ended_.value_or(0); }

  // Runs the procedure "<control>_<event>" if there is one and none is running; returns whether it ran.
  // Procedures run on the thread that made the runtime only: from any other thread nothing runs.
  // An untrapped RuntimeError (or bad_alloc, as code 7) is reported and ends the program.
  bool dispatch(Window control, std::string_view event, const EventArgs& args);

  // ---- Files dropped from outside (file_drop.cpp). The button a drop of `items` on `target` would
  // click now: no window when the rule refuses it, or while a procedure runs.
  Window drop_click(Window target, std::span<const DroppedItem> items);
  // What a refused drop of `items` on `target` would tell the user; empty for a silent refusal.
  std::string drop_hint(Window target, std::span<const DroppedItem> items);
  // Clicks that button as the user would, the open dialog of its procedure answered by the one
  // dropped file instead of being shown; returns whether a procedure ran. A refused drop with a
  // hint shows it in a message box captioned with the file.
  bool drop(Window target, std::span<const DroppedItem> items);
  // Presses `button` as the user would, its open dialog (if it shows one) answered by `answer`
  // instead of being shown (files handed over on the command line); false when the button cannot be
  // pressed now.
  bool press(Window button, std::optional<std::string> answer = std::nullopt);
  // Presses `button` as press() does once the running procedure has ended: a key or menu command that
  // stands for a button runs that button's own procedure, under its enabling.
  void press_after(Window button, std::optional<std::string> answer = std::nullopt) {
    pressed_after_ = button;
    pressed_answer_ = std::move(answer);
  }
  // Runs `action` once the backend waits for events again (the windows shown and laid out).
  virtual void post(std::function<void()> action) { action(); }
  // Whether the user can click a control now: shown and enabled on a shown form.
  virtual bool usable(Window w) const = 0;

 protected:
  // Backend hooks.
  virtual void build_form(Window form, const FormLayout& layout, std::span<const Window> controls) = 0;
  virtual std::pair<int, int> client_size(Window w) = 0;
  virtual float device_ratio(Window) { return 1; }
  virtual void surface_changed(Window) {}
  virtual void report_untrapped(int code, std::string_view procedure) = 0;
  void end_program(int status);
  bool busy() const { return busy_; }
  std::string take_error_detail() { return std::exchange(error_detail_, std::string()); }
  Window main_form() const { return main_form_; }
  // The dropped file that answers the open dialog of the procedure a drop runs; taken once.
  std::optional<std::string> take_drop_answer() { return std::exchange(drop_answer_, std::nullopt); }
  // Creates MAINFORM; backends call it at the end of their constructor.
  void create_main_form();

 private:
  std::thread::id owner_ = std::this_thread::get_id();
  struct WindowEntry {
    std::string name;
    Window form;  // itself for a form
    const FormLayout* form_layout = nullptr;
    const ControlLayout* control_layout = nullptr;  // null for a form
    int draw_mode = 13;
    int map_mode = 0;
  };
  const WindowEntry& entry(Window w) const;
  WindowEntry& entry(Window w);
  Bitmap& surface_for_drawing(Window w);

  std::vector<FormLayout> layouts_;
  BitmapStore bitmaps_;
  std::unique_ptr<Converter> converter_ = std::make_unique<Converter>();
  std::vector<WindowEntry> windows_;  // index = id - 1
  std::unordered_map<int, Bitmap> surfaces_;
  EventTable events_;
  DropRule drop_rule_;
  DropHint drop_hint_;
  std::optional<std::string> drop_answer_;
  Window main_form_;
  bool busy_ = false;
  bool windows_unseen_ = false;
  std::string error_detail_;
  std::optional<Window> pressed_after_;
  std::optional<std::string> pressed_answer_;
  std::optional<int> ended_;
};

}  // namespace vimbrel
