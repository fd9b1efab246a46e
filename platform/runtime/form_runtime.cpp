#include "platform/runtime/form_runtime.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/pixels/raster.h"
#include "platform/pixels/rounding.h"
#include "platform/pixels/runtime_error.h"

namespace vimbrel {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

}  // namespace

FormRuntime::FormRuntime(std::vector<FormLayout> layouts) : layouts_(std::move(layouts)) {}

void FormRuntime::create_main_form() {
  CREATEWINDOW(main_form_, "MAINFORM", 0);
}

const FormLayout* FormRuntime::layout_of_form(std::string_view name) const {
  const auto it =
      std::ranges::find_if(layouts_, [&](const FormLayout& f) { return same_name(f.name, name); });
  return it == layouts_.end() ? nullptr : &*it;
}

void FormRuntime::CREATEWINDOW(Window& form, std::string_view name, int shown) {
  const FormLayout* layout = layout_of_form(name);
  if (layout == nullptr) throw RuntimeError{errc::kIllegalCall};
  windows_.push_back({layout->name, {}, layout, nullptr});
  const Window f{static_cast<int>(windows_.size())};
  windows_.back().form = f;
  std::vector<Window> controls;
  controls.reserve(layout->controls.size());
  for (const ControlLayout& c : layout->controls) {
    windows_.push_back({c.name, f, layout, &c});
    controls.push_back(Window{static_cast<int>(windows_.size())});
  }
  form = f;
  build_form(f, *layout, controls);
  if (shown != 0) SHOWWINDOW(f, -1);
}

Window FormRuntime::GETDLGITEM(Window form, std::string_view name) const {
  const Window parent = form ? form : main_form_;
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    const WindowEntry& e = windows_[i];
    if (e.form == parent && same_name(e.name, name)) return Window{static_cast<int>(i + 1)};
  }
  throw RuntimeError{errc::kIllegalCall};
}

const FormRuntime::WindowEntry& FormRuntime::entry(Window w) const {
  if (w.id < 1 || static_cast<std::size_t>(w.id) > windows_.size()) throw RuntimeError{errc::kIllegalCall};
  return windows_[static_cast<std::size_t>(w.id - 1)];
}

FormRuntime::WindowEntry& FormRuntime::entry(Window w) {
  return const_cast<WindowEntry&>(std::as_const(*this).entry(w));
}

std::string FormRuntime::name_of(Window w) const {
  return entry(w).name;
}
Window FormRuntime::form_of(Window w) const {
  return entry(w).form;
}
const ControlLayout* FormRuntime::layout_of(Window control) const {
  return entry(control).control_layout;
}

std::optional<ControlKind> FormRuntime::kind_of(Window w) const {
  const ControlLayout* c = entry(w).control_layout;
  if (c == nullptr) return std::nullopt;
  return c->kind;
}

// ---- Bitmaps

void FormRuntime::DELETEOBJECT(BitmapObject b) {
  if (b) bitmaps_.remove(b);
}

void FormRuntime::SETMAPMODE(Window w, int mode) {
  entry(w).map_mode = mode;
}

void FormRuntime::SETDRAWMODE(Window target, int mode) {
  if (mode < 1 || mode > 16) throw RuntimeError{errc::kIllegalCall};
  entry(target).draw_mode = mode;
}

void FormRuntime::BITBLT(BitmapObject target, float x, float y, float width, float height,
                         BitmapObject source, float sx, float sy) {
  bitmaps_.blit(target, {to_pixel(x), to_pixel(y), to_pixel(width), to_pixel(height)}, source, to_pixel(sx),
                to_pixel(sy));
}

Bitmap& FormRuntime::surface_for_drawing(Window w) {
  auto [cw, ch] = client_size(w);
  if (kind_of(w) == ControlKind::Picture) {
    // A picture control has a pixel for each pixel of the screen, however the screen is scaled.
    const float ratio = device_ratio(form_of(w));
    if (ratio != 1) {
      cw = static_cast<int>(std::lround(static_cast<float>(cw) * ratio));
      ch = static_cast<int>(std::lround(static_cast<float>(ch) * ratio));
    }
  }
  auto it = surfaces_.find(w.id);
  if (it == surfaces_.end() || it->second.width() != cw || it->second.height() != ch) {
    Bitmap fresh = Bitmap::create_uninitialised(std::max(cw, 0), std::max(ch, 0));
    std::ranges::fill(fresh.pixels(), kWhite);
    if (it != surfaces_.end()) blit(fresh, 0, 0, cw, ch, it->second, 0, 0, kDrawModeCopy);
    it = surfaces_.insert_or_assign(w.id, std::move(fresh)).first;
  }
  return it->second;
}

const Bitmap& FormRuntime::surface(Window w) {
  return surface_for_drawing(w);
}

void FormRuntime::BITBLT(Window target, float x, float y, float width, float height, BitmapObject source,
                         float sx, float sy) {
  if (CHECKOBJECT(source) == 0 || (windows_unseen_ && entry(target).draw_mode == kDrawModeCopy)) return;
  bitmaps_.blit_out(surface_for_drawing(target),
                    {to_pixel(x), to_pixel(y), to_pixel(width), to_pixel(height)}, source, to_pixel(sx),
                    to_pixel(sy), entry(target).draw_mode);
  surface_changed(target);
}

void FormRuntime::SCALEBLT(Window target, float x, float y, float width, float height, BitmapObject source,
                           double sx, double sy, double scale) {
  if (CHECKOBJECT(source) == 0 || windows_unseen_) return;  // copy mode only
  bitmaps_.scale_out(surface_for_drawing(target),
                     {to_pixel(x), to_pixel(y), to_pixel(width), to_pixel(height)}, source, sx, sy, scale);
  surface_changed(target);
}

void FormRuntime::FILLBOX(BitmapObject target, float x1, float y1, float x2, float y2, int colour) {
  bitmaps_.fill_box(target, to_pixel(x1), to_pixel(y1), to_pixel(x2), to_pixel(y2), palette_colour(colour));
}

void FormRuntime::FILLBOX(Window target, float x1, float y1, float x2, float y2, int colour) {
  if (windows_unseen_) return;
  fill_box(surface_for_drawing(target), to_pixel(x1), to_pixel(y1), to_pixel(x2), to_pixel(y2),
           palette_colour(colour));
  surface_changed(target);
}

void FormRuntime::CLEARPICTURE(Window picture) {
  if (windows_unseen_) return;
  Bitmap& s = surface_for_drawing(picture);
  std::ranges::fill(s.pixels(), kWhite);
  surface_changed(picture);
}

// ---- Events

void FormRuntime::set_event_table(EventTable table) {
  check_event_table(table, layouts_);
  events_ = std::move(table);
}

bool FormRuntime::dispatch(Window control, std::string_view event, const EventArgs& args) {
  if (busy_ || ended_ || std::this_thread::get_id() != owner_) return false;
  const std::string name = name_of(control) + "_" + std::string(event);
  const auto it = events_.find(name);
  if (it == events_.end()) return false;
  int code = 0;
  error_detail_.clear();
  {
    // Cleared however the procedure ends, an exception that is no error of its own included.
    struct Busy {
      explicit Busy(bool& flag) : flag_(flag) { flag_ = true; }
      ~Busy() { flag_ = false; }
      Busy(const Busy&) = delete;
      Busy& operator=(const Busy&) = delete;
      bool& flag_;
    } busy(busy_);
    code = trapped([&] { it->second(args); });
  }
  if (code != 0) {
    report_untrapped(code, name);
    end_program(1);
  }
  if (const std::optional<Window> button = std::exchange(pressed_after_, std::nullopt)) {
    press(*button, std::exchange(pressed_answer_, std::nullopt));
  }
  return true;
}

void FormRuntime::end_program(int status) {
  if (!ended_) ended_ = status;
}

}  // namespace vimbrel
