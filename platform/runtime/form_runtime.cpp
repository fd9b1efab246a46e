#include "platform/runtime/form_runtime.h"

#include <algorithm>
#include <utility>

#include "platform/imageio/bitmap_file.h"
#include "platform/imageio/memory_admission.h"
#include "platform/imageio/png_file.h"
#include "platform/pixels/raster.h"
#include "platform/pixels/rounding.h"
#include "platform/pixels/runtime_error.h"

namespace vimbrel {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kBlack = 0xFF000000u;

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

FormRuntime::BitmapSlot& FormRuntime::slot(BitmapObject b) {
  if (b.id < 1 || static_cast<std::size_t>(b.id) > bitmaps_.size()) throw RuntimeError{errc::kIllegalCall};
  return bitmaps_[static_cast<std::size_t>(b.id - 1)];
}

const FormRuntime::BitmapSlot& FormRuntime::slot(BitmapObject b) const {
  if (b.id < 1 || static_cast<std::size_t>(b.id) > bitmaps_.size()) throw RuntimeError{errc::kIllegalCall};
  return bitmaps_[static_cast<std::size_t>(b.id - 1)];
}

void FormRuntime::BITMAPOBJECT(BitmapObject& b) {
  bitmaps_.emplace_back();
  b = BitmapObject{static_cast<int>(bitmaps_.size())};
}

void FormRuntime::CREATEBITMAP(BitmapObject b, std::int64_t width, std::int64_t height) {
  settle_readers_of(b);
  BitmapSlot& s = slot(b);
  drop_pending(s);
  // The old picture goes first, so that a canvas can be re-made at a size that fits only once.
  s.pic.reset();
  s.draw_mode = kDrawModeCopy;
  if (failing_creates_ > 0 && creates_before_failing_ > 0) {
    --creates_before_failing_;
  } else if (failing_creates_ > 0) {
    --failing_creates_;
    throw RuntimeError{failing_create_code_};
  }
  // A new picture is black. Its pixels are made only when something reads or draws on them, so a
  // canvas that is painted over before anyone looks at it costs no fill and no untouched pages.
  s.pic = Bitmap::unallocated(width, height);
  s.pending = [](Bitmap& dst, std::int64_t at_x, std::int64_t at_y, PixelRect region,
                 std::span<const Bitmap* const>) {
    fill_rect(dst, {at_x, at_y, region.w, region.h}, kBlack);
  };
}

void FormRuntime::DELETEOBJECT(BitmapObject b) {
  if (!b) return;
  settle_readers_of(b);
  drop_pending(slot(b));
  slot(b).pic.reset();
}

int FormRuntime::CHECKOBJECT(BitmapObject b) const {
  if (b.id < 1 || static_cast<std::size_t>(b.id) > bitmaps_.size()) return 0;
  return slot(b).pic.has_value() ? 1 : 0;
}

void FormRuntime::LOADBITMAPFILE(BitmapObject b, const std::string& path) {
  settle_readers_of(b);
  BitmapSlot& s = slot(b);
  drop_pending(s);
  s.pic.reset();
  s.pic = read_bitmap_file(path);
  s.draw_mode = kDrawModeCopy;
}

float FormRuntime::GETBITMAPWIDTH(BitmapObject b) const {
  const BitmapSlot& s = slot(b);
  return s.pic ? static_cast<float>(s.pic->width()) : 0.0f;
}

float FormRuntime::GETBITMAPHEIGHT(BitmapObject b) const {
  const BitmapSlot& s = slot(b);
  return s.pic ? static_cast<float>(s.pic->height()) : 0.0f;
}

void FormRuntime::SAVEFILE(BitmapObject b, const std::string& path) {
  const BitmapSlot& s = slot(b);
  if (!s.pic) throw RuntimeError{errc::kIllegalCall};
  if (s.pending && !s.pic->allocated()) {
    // Painted a strip at a time as it is written; the picture stays pending.
    const std::vector<const Bitmap*> sources = source_pictures(s);
    const std::int64_t width = s.pic->width();
    write_picture_file(
        width, s.pic->height(),
        [&](Bitmap& strip, std::int64_t first_row) {
          s.pending(strip, 0, 0, {0, first_row, width, strip.height()}, sources);
        },
        path);
    return;
  }
  settle(b);
  write_picture_file(*s.pic, path);
}

void FormRuntime::SETMAPMODE(BitmapObject b, int mode) {
  slot(b).map_mode = mode;
}
void FormRuntime::SETMAPMODE(Window w, int mode) {
  entry(w).map_mode = mode;
}

void FormRuntime::SETDRAWMODE(BitmapObject target, int mode) {
  if (mode < 1 || mode > 16) throw RuntimeError{errc::kIllegalCall};
  slot(target).draw_mode = mode;
}

void FormRuntime::SETDRAWMODE(Window target, int mode) {
  if (mode < 1 || mode > 16) throw RuntimeError{errc::kIllegalCall};
  entry(target).draw_mode = mode;
}

Bitmap* FormRuntime::picture(BitmapObject b) {
  if (b.id < 1 || static_cast<std::size_t>(b.id) > bitmaps_.size()) return nullptr;
  settle_readers_of(b);
  settle(b);
  auto& p = bitmaps_[static_cast<std::size_t>(b.id - 1)].pic;
  return p ? &*p : nullptr;
}

const Bitmap* FormRuntime::picture(BitmapObject b) const {
  if (b.id < 1 || static_cast<std::size_t>(b.id) > bitmaps_.size()) return nullptr;
  settle(b);
  const auto& p = bitmaps_[static_cast<std::size_t>(b.id - 1)].pic;
  return p ? &*p : nullptr;
}

void FormRuntime::BITBLT(BitmapObject target, float x, float y, float width, float height,
                         BitmapObject source, float sx, float sy) {
  settle_readers_of(target);
  settle(target);
  BitmapSlot& t = slot(target);
  const Bitmap* src = std::as_const(*this).picture(source);
  if (!t.pic || src == nullptr) return;
  blit(*t.pic, to_pixel(x), to_pixel(y), to_pixel(width), to_pixel(height), *src, to_pixel(sx), to_pixel(sy),
       t.draw_mode);
}

Bitmap& FormRuntime::surface_for_drawing(Window w) {
  const auto [cw, ch] = client_size(w);
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
  if (CHECKOBJECT(source) == 0) return;
  const BitmapSlot& from = slot(source);
  Bitmap& s = surface_for_drawing(target);
  if (from.pending && entry(target).draw_mode == kDrawModeCopy) {
    // Paint only the part copied, clipped as blit() clips, straight from the pending drawing.
    const PixelRect part = blit_target(s, *from.pic, to_pixel(x), to_pixel(y), to_pixel(width),
                                       to_pixel(height), to_pixel(sx), to_pixel(sy));
    if (part.w > 0 && part.h > 0) {
      const std::vector<const Bitmap*> sources = source_pictures(from);
      from.pending(s, part.x, part.y,
                   {part.x + to_pixel(sx) - to_pixel(x), part.y + to_pixel(sy) - to_pixel(y), part.w, part.h},
                   sources);
    }
  } else {
    blit(s, to_pixel(x), to_pixel(y), to_pixel(width), to_pixel(height),
         *std::as_const(*this).picture(source), to_pixel(sx), to_pixel(sy), entry(target).draw_mode);
  }
  surface_changed(target);
}

void FormRuntime::FILLBOX(BitmapObject target, float x1, float y1, float x2, float y2, int colour) {
  settle_readers_of(target);
  settle(target);
  BitmapSlot& t = slot(target);
  if (!t.pic) return;
  fill_box(*t.pic, to_pixel(x1), to_pixel(y1), to_pixel(x2), to_pixel(y2), palette_colour(colour));
}

void FormRuntime::FILLBOX(Window target, float x1, float y1, float x2, float y2, int colour) {
  fill_box(surface_for_drawing(target), to_pixel(x1), to_pixel(y1), to_pixel(x2), to_pixel(y2),
           palette_colour(colour));
  surface_changed(target);
}

void FormRuntime::CLEARPICTURE(Window picture) {
  Bitmap& s = surface_for_drawing(picture);
  std::ranges::fill(s.pixels(), kWhite);
  surface_changed(picture);
}

// ---- Deferred drawing

void FormRuntime::DEFER(BitmapObject target, std::vector<BitmapObject> sources, DeferredDraw draw) {
  settle_readers_of(target);
  BitmapSlot& t = slot(target);
  if (!t.pic) return;
  if (std::ranges::find(sources, target) != sources.end()) throw RuntimeError{errc::kIllegalCall};
  t.pending = std::move(draw);
  t.pending_sources = std::move(sources);
}

bool FormRuntime::deferred(BitmapObject b) const {
  return CHECKOBJECT(b) != 0 && static_cast<bool>(slot(b).pending);
}

std::vector<const Bitmap*> FormRuntime::source_pictures(const BitmapSlot& s) const {
  std::vector<const Bitmap*> pictures;
  pictures.reserve(s.pending_sources.size());
  for (const BitmapObject b : s.pending_sources) pictures.push_back(picture(b));
  return pictures;
}

void FormRuntime::settle(BitmapObject b) const {
  if (b.id < 1 || static_cast<std::size_t>(b.id) > bitmaps_.size()) return;
  const BitmapSlot& s = slot(b);
  if (!s.pending) return;
  if (!s.pic) {
    drop_pending(s);
    return;
  }
  // The drawing is let go only once it has run: should the sources, the pixels or the drawing itself
  // fail, the picture stays pending and is drawn again in full when next needed, never half made.
  // (No pending picture reads one that is pending in turn on it: DEFER settles the readers first.)
  const std::vector<const Bitmap*> sources = source_pictures(s);
  if (!s.pic->allocated()) admit_memory(s.pic->pixel_count() * 4);
  s.pic->allocate();
  s.pending(*s.pic, 0, 0, {0, 0, s.pic->width(), s.pic->height()}, sources);
  drop_pending(s);
}

void FormRuntime::drop_pending(const BitmapSlot& s) {
  s.pending = nullptr;
  s.pending_sources.clear();
}

void FormRuntime::settle_readers_of(BitmapObject b) {
  for (std::size_t i = 0; i < bitmaps_.size(); ++i) {
    const BitmapSlot& s = bitmaps_[i];
    if (s.pending && std::ranges::find(s.pending_sources, b) != s.pending_sources.end())
      settle(BitmapObject{static_cast<int>(i + 1)});
  }
}

// ---- Events

bool FormRuntime::dispatch(Window control, std::string_view event, const EventArgs& args) {
  if (busy_ || ended_) return false;
  const std::string name = name_of(control) + "_" + std::string(event);
  const auto it = events_.find(name);
  if (it == events_.end()) return false;
  busy_ = true;
  const int code = trapped([&] { it->second(args); });
  busy_ = false;
  if (code != 0) {
    report_untrapped(code, name);
    end_program(1);
  }
  return true;
}

void FormRuntime::end_program(int status) {
  if (!ended_) ended_ = status;
}

}  // namespace vimbrel
