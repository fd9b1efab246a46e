#include "platform/runtime/bitmap_store.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/pixels/scale.h"

#include "platform/imageio/bitmap_file.h"
#include "platform/imageio/picture_file.h"
#include "platform/imageio/picture_source.h"
#include "platform/pixels/runtime_error.h"
#include "platform/system/memory_admission.h"

namespace vimbrel {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;

// The reduced copy of `full` at `level`, admitted to memory when it is still to be made (all the
// levels together hold at most a third of the full picture's pixels).
const Bitmap& reduced_copy(ReducedCopies& copies, const Bitmap& full, int level) {
  if (!copies.holds(level)) admit_memory(full.pixel_count() * 4 / 3 + 4);
  return copies.level(full, level);
}

}  // namespace

void BitmapStore::Slot::drop_pending() {
  pending = nullptr;
  banded = {};
  pending_sources.clear();
}

bool BitmapStore::Slot::reads(BitmapObject b) const {
  return pending && std::ranges::any_of(pending_sources, [b](const Source& src) { return src.reads(b); });
}

const BitmapStore::Slot* BitmapStore::find(BitmapObject b) const {
  if (b.id < 1 || static_cast<std::size_t>(b.id) > slots_.size()) return nullptr;
  return &slots_[static_cast<std::size_t>(b.id - 1)];
}

BitmapStore::Slot* BitmapStore::find(BitmapObject b) {
  return const_cast<Slot*>(std::as_const(*this).find(b));
}

const BitmapStore::Slot& BitmapStore::at(BitmapObject b) const {
  const Slot* s = find(b);
  if (s == nullptr) throw RuntimeError{errc::kIllegalCall};
  return *s;
}

BitmapStore::Slot& BitmapStore::at(BitmapObject b) {
  return const_cast<Slot&>(std::as_const(*this).at(b));
}

BitmapObject BitmapStore::declare() {
  slots_.emplace_back();
  return BitmapObject{static_cast<int>(slots_.size())};
}

void BitmapStore::create(BitmapObject b, std::int64_t width, std::int64_t height) {
  make_readers_of(b);
  Slot& s = at(b);
  s.drop_pending();
  // The old picture goes first, so that a canvas can be re-made at a size that fits only once.
  s.pic.reset();
  s.leave_file();
  s.draw_mode = kDrawModeCopy;
  if (creation_check_) creation_check_();
  // A new picture is black. Its pixels are made only when something reads or draws on them, so a
  // canvas that is painted over before anyone looks at it costs no fill and no untouched pages.
  s.pic = Bitmap::unallocated(width, height);
  s.reduced.clear();
  s.pending = [](Bitmap& dst, std::int64_t at_x, std::int64_t at_y, PixelRect region,
                 std::span<const Bitmap* const>, int) {
    fill_rect(dst, {at_x, at_y, region.w, region.h}, kBlack);
  };
}

void BitmapStore::load(BitmapObject b, const std::string& path, ConvertedPicture converted) {
  let_readers_keep(b);
  Slot& s = at(b);
  s.drop_pending();
  s.pic.reset();
  s.leave_file();
  s.reduced.clear();
  s.draw_mode = kDrawModeCopy;
  std::shared_ptr<PictureSource> file = std::move(converted.source);
  if (!file && streaming_ && !converted.written) file = open_bitmap_source(path);
  if (!file) {
    s.pic = read_bitmap_file(path, std::move(converted));
    if (streaming_) ++read_whole_while_streaming_;
  } else if (!streaming_) {
    s.pic = file->whole();
  } else {
    s.pic = Bitmap::unallocated(file->width(), file->height());
    s.file = std::move(file);
  }
}

void BitmapStore::remove(BitmapObject b) {
  let_readers_keep(b);
  Slot& s = at(b);
  s.drop_pending();
  s.pic.reset();
  s.leave_file();
  s.reduced.clear();
}

void BitmapStore::save(BitmapObject b, const std::string& path) {
  Slot& s = at(b);
  if (!s.pic) throw RuntimeError{errc::kIllegalCall};
  if (paints_bands(s)) {
    // A drawing that only copies writes a bitmap file from its sources' bytes, never turned into pixels.
    const bool copies = s.banded.copies && s.banded.copies->layers.size() <= kMostCopyLayers &&
                        picture_type_of(path) == PictureType::kBmp;
    // However the save ends, even while the read-ahead starts, its threads end before the files can go.
    struct EndReadAhead {
      BitmapStore& store;
      ~EndReadAhead() {
        store.ahead_.clear();
        store.bands_.clear();
      }
    } end_read_ahead{*this};
    read_ahead_for_save(s, copies);
    if (copies) return save_copies(s, path);
    // Painted a strip at a time as it is written, from the rows of the strip read from the files
    // in order; the picture stays pending.
    const std::int64_t w = s.pic->width();
    write_picture_file(
        w, s.pic->height(),
        [&](Bitmap& strip, std::int64_t first_row) {
          paint_bands(s, strip, 0, 0, {0, first_row, w, strip.height()});
        },
        path, jpeg_quality_);
    return;
  }
  if (s.pending && !s.pic->allocated()) {
    // Painted a strip at a time as it is written; the picture stays pending.
    const std::vector<const Bitmap*> sources = source_pictures(s);
    const std::int64_t w = s.pic->width();
    write_picture_file(
        w, s.pic->height(),
        [&](Bitmap& strip, std::int64_t first_row) {
          s.pending(strip, 0, 0, {0, first_row, w, strip.height()}, sources, 0);
        },
        path, jpeg_quality_);
    return;
  }
  make(b);
  make_whole(s);
  write_picture_file(*s.pic, path, jpeg_quality_);
}

bool BitmapStore::has_picture(BitmapObject b) const {
  const Slot* s = find(b);
  return s != nullptr && s->pic.has_value();
}

std::int64_t BitmapStore::width(BitmapObject b) const {
  const Slot& s = at(b);
  return s.pic ? s.pic->width() : 0;
}

std::int64_t BitmapStore::height(BitmapObject b) const {
  const Slot& s = at(b);
  return s.pic ? s.pic->height() : 0;
}

void BitmapStore::set_draw_mode(BitmapObject b, int mode) {
  if (mode < 1 || mode > 16) throw RuntimeError{errc::kIllegalCall};
  at(b).draw_mode = mode;
}

void BitmapStore::set_map_mode(BitmapObject b, int mode) {
  at(b).map_mode = mode;
}

void BitmapStore::blit(BitmapObject target, PixelRect to, BitmapObject source, std::int64_t sx,
                       std::int64_t sy) {
  Bitmap* t = change(target);
  const int mode = at(target).draw_mode;
  const Bitmap* src = read(source);
  if (t == nullptr || src == nullptr) return;
  vimbrel::blit(*t, to.x, to.y, to.w, to.h, *src, sx, sy, mode);
}

void BitmapStore::fill_box(BitmapObject target, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                           std::int64_t y2, std::uint32_t colour) {
  Bitmap* t = change(target);
  if (t == nullptr) return;
  vimbrel::fill_box(*t, x1, y1, x2, y2, colour);
}

void BitmapStore::blit_out(Bitmap& dst, PixelRect to, BitmapObject source, std::int64_t sx, std::int64_t sy,
                           int mode) {
  Slot& from = at(source);
  if (!from.pic) return;
  if (from.pending && mode == kDrawModeCopy) {
    const PixelRect part = blit_target(dst, *from.pic, to.x, to.y, to.w, to.h, sx, sy);
    if (part.w > 0 && part.h > 0 && paints_bands(from)) {
      paint_view(from, dst, part.x, part.y, {part.x + sx - to.x, part.y + sy - to.y, part.w, part.h});
    } else if (part.w > 0 && part.h > 0) {
      const std::vector<const Bitmap*> sources = source_pictures(from);
      from.pending(dst, part.x, part.y, {part.x + sx - to.x, part.y + sy - to.y, part.w, part.h}, sources, 0);
    }
    return;
  }
  vimbrel::blit(dst, to.x, to.y, to.w, to.h, *read(source), sx, sy, mode);
}

void BitmapStore::scale_out(Bitmap& dst, PixelRect to, BitmapObject source, double sx, double sy,
                            double scale) {
  Slot& from = at(source);
  if (!from.pic) return;
  int level = reduction_level(scale);
  // The source of the copy: a made picture or its reduced copy, or a pending one's sources.
  const Bitmap* pic = nullptr;
  std::vector<const Bitmap*> sources;
  const auto take = [&] {
    if (from.pending) {
      sources = source_pictures(from, level);
    } else {
      pic = read(source);
      if (level > 0) pic = &reduced_copy(from.reduced, *pic, level);
    }
  };
  try {
    take();
  } catch (const RuntimeError& e) {
    // Without memory for the reduced copies the view samples the full pictures instead.
    if (e.code != errc::kOutOfMemory || level == 0) throw;
    level = 0;
    take();
  }
  const double f = std::ldexp(1.0, level);  // source pixels a pixel of the level's copy
  sx /= f, sy /= f, scale *= f;
  if (!from.pending) {
    scale_copy(dst, to, sx, sy, scale, scaled_rows_of(*pic));
    return;
  }
  const std::int64_t width = reduced_length(from.pic->width(), level),
                     height = reduced_length(from.pic->height(), level);
  const BitmapStore::DeferredDraw& draw = from.pending;
  scale_copy(dst, to, sx, sy, scale, [&](std::int64_t y, std::int64_t x0, Bitmap& row) {
    const std::int64_t n = row.width();
    const std::int64_t a = std::clamp<std::int64_t>(x0, 0, width),
                       b = std::clamp<std::int64_t>(x0 + n, 0, width);
    if (y < 0 || y >= height || a >= b) {
      std::fill(row.row(0), row.row(0) + n, 0xFFFFFFFFu);
      return;
    }
    std::fill(row.row(0), row.row(0) + (a - x0), 0xFFFFFFFFu);
    std::fill(row.row(0) + (b - x0), row.row(0) + n, 0xFFFFFFFFu);
    draw(row, a - x0, 0, {a, y, b - a, 1}, sources, level);  // drawn on both threads at once
  });
}

// ---- Deferred drawing

void BitmapStore::defer(BitmapObject target, std::vector<BitmapObject> sources, DeferredDraw draw,
                        BandedDraw banded) {
  make_readers_of(target);
  Slot& t = at(target);
  if (!t.pic) return;
  if (std::ranges::find(sources, target) != sources.end()) throw RuntimeError{errc::kIllegalCall};
  t.pending = std::move(draw);
  t.banded = std::move(banded);
  t.pending_sources.clear();
  for (const BitmapObject b : sources) t.pending_sources.push_back({b, nullptr, nullptr});
}

bool BitmapStore::deferred(BitmapObject b) const {
  const Slot* s = find(b);
  return s != nullptr && s->pic && static_cast<bool>(s->pending);
}

void BitmapStore::make(BitmapObject b) {
  Slot* s = find(b);
  if (s == nullptr || !s->pending) return;
  if (!s->pic) {
    s->drop_pending();
    return;
  }
  // The drawing is let go only once it has run. (No pending picture reads one that is pending in
  // turn on it: defer() makes the readers first.)
  const std::vector<const Bitmap*> sources = source_pictures(*s);
  if (!s->pic->allocated()) admit_memory(s->pic->pixel_count() * 4);
  s->pic->allocate();
  s->pending(*s->pic, 0, 0, {0, 0, s->pic->width(), s->pic->height()}, sources, 0);
  s->drop_pending();
  s->reduced.clear();
}

const Bitmap* BitmapStore::read(BitmapObject b) {
  make(b);
  Slot* s = find(b);
  if (s != nullptr) make_whole(*s);
  return s != nullptr && s->pic ? &*s->pic : nullptr;
}

Bitmap* BitmapStore::change(BitmapObject b) {
  at(b);  // an id that names no object is an illegal call
  make_readers_of(b);
  make(b);
  Slot& s = at(b);
  make_whole(s);
  s.reduced.clear();  // the caller may write to it
  return s.pic ? &*s.pic : nullptr;
}

std::vector<const Bitmap*> BitmapStore::source_pictures(const Slot& s, int level) {
  std::vector<const Bitmap*> pictures;
  pictures.reserve(s.pending_sources.size());
  for (const Source& src : s.pending_sources) {
    const Bitmap* full = src.kept ? src.kept.get() : read(src.id);
    if (level == 0 || full == nullptr) {
      pictures.push_back(full);
    } else {
      ReducedCopies& copies = src.kept ? *src.kept_reduced : at(src.id).reduced;
      pictures.push_back(&reduced_copy(copies, *full, level));
    }
  }
  return pictures;
}

void BitmapStore::make_readers_of(BitmapObject b) {
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].reads(b)) make(BitmapObject{static_cast<int>(i + 1)});
  }
}

void BitmapStore::let_readers_keep(BitmapObject b) {
  Slot& from = at(b);
  if (std::ranges::none_of(slots_, [b](const Slot& s) { return s.reads(b); })) return;
  if (!from.pic) {  // nothing to keep: they are drawn now, from nothing
    make_readers_of(b);
    return;
  }
  make(b);  // the readers keep its pixels, so they must exist
  make_whole(from);
  const auto old = std::make_shared<const Bitmap>(std::move(*from.pic));
  const auto old_reduced = std::make_shared<ReducedCopies>(std::move(from.reduced));
  from.pic.reset();
  from.reduced.clear();
  for (Slot& s : slots_)
    for (Source& src : s.pending_sources)
      if (s.pending && src.reads(b)) src.kept = old, src.kept_reduced = old_reduced;
}

}  // namespace vimbrel
