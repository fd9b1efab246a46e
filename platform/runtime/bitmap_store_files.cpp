// The bitmap store's pictures left in their files: read a band at a time, in order, for the save and
// the view, and made whole for anything else.
#include <algorithm>
#include <system_error>
#include <utility>

#include "platform/imageio/bitmap_file.h"
#include "platform/imageio/picture_source.h"
#include "platform/pixels/runtime_error.h"
#include "platform/runtime/bitmap_store.h"
#include "platform/system/memory_admission.h"

namespace vimbrel {

// Rows of a band read from a picture left in its file: the save's strip height.
constexpr std::int64_t kBandRows = kPaintedStripRows;
// The most a view keeps of the whole rows at the top of a picture left in its file.
constexpr std::uint64_t kKeptHeadBytes = std::uint64_t{64} << 20;

bool BitmapStore::left_in_file(BitmapObject b) const {
  const Slot* s = find(b);
  return s != nullptr && s->file != nullptr;
}

template <typename Read>
decltype(auto) BitmapStore::from_file(Read&& read) {
  try {
    return read();
  } catch (...) {
    stream_failed_ = true;
    throw;
  }
}

void BitmapStore::make_whole(Slot& s) {
  if (!s.file) return;
  Bitmap whole = from_file([&] { return s.file->whole(); });
  s.pic = std::move(whole);
  s.leave_file();
  ++read_whole_while_streaming_;
}

bool BitmapStore::paints_bands(const Slot& s) const {
  return streaming_ && s.pending && s.banded.draw &&
         std::ranges::any_of(s.pending_sources,
                             [this](const Source& src) { return !src.kept && left_in_file(src.id); });
}

void BitmapStore::read_strip(Slot& s, PixelRect strip, bool bgr, std::vector<SourceBand>& bands) {
  const std::size_t n = s.pending_sources.size();
  bands.assign(n, {});
  bands_.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const Source& src = s.pending_sources[i];
    if (src.kept) {
      bands[i] = {src.kept.get(), 0, 0};
      continue;
    }
    Slot* from = find(src.id);
    if (from == nullptr || !from->pic) continue;
    if (!from->file) {
      bands[i] = {read(src.id), 0, 0};
      continue;
    }
    const PixelRect wanted = s.banded.reads(i, strip);
    const std::int64_t first = std::max<std::int64_t>(wanted.y, 0),
                       last = std::min<std::int64_t>(wanted.y + wanted.h, from->pic->height());
    if (first >= last) continue;
    if (bgr && from->file->reads_spans()) {
      bands[i].spans = from->file.get();
      continue;
    }
    if (i < ahead_.size() && ahead_[i]) {
      bands[i] = from_file([&] { return ahead_[i]->band(strip.y / kBandRows); });
      if (strip.y % kBandRows != 0 || (!bands[i].empty() && bands[i].first_row != first))
        throw RuntimeError{errc::kIllegalCall, "a band read ahead for other rows"};
      continue;
    }
    // The whole rows at the top that a view kept.
    const bool head = from->view_copy && from->viewed.y == 0 && from->viewed.w == from->pic->width();
    const std::int64_t kept = head ? from->viewed.h : 0;
    if (last <= kept) {
      bands[i] = {&*from->view_copy, 0, 0};
      continue;
    }
    if (first >= kept) {  // in turn: the pictures that decode are read ahead on threads of their own
      bands[i] = from_file([&] { return bands_[i].read(*from->file, first, last - first, bgr); });
      continue;
    }
    // The band that goes on from the kept rows.
    Bitmap& band = bands_[i].pixels;
    if (band.width() != from->pic->width() || band.height() != last - first)
      band = Bitmap::create_uninitialised(from->pic->width(), last - first);
    bands[i] = {&band, first, 0};
    for (std::int64_t r = first; r < kept; ++r)
      std::copy_n(from->view_copy->row(static_cast<int>(r)), band.width(),
                  band.row(static_cast<int>(r - first)));
    Bitmap rest = Bitmap::create_uninitialised(band.width(), last - kept);
    from_file([&] { from->file->read_rows(kept, rest); });
    for (std::int64_t r = kept; r < last; ++r)
      std::copy_n(rest.row(static_cast<int>(r - kept)), band.width(), band.row(static_cast<int>(r - first)));
  }
}

void BitmapStore::paint_bands(Slot& s, Bitmap& dst, std::int64_t at_x, std::int64_t at_y, PixelRect region) {
  std::vector<SourceBand> bands;
  for (std::int64_t y = region.y; y < region.y + region.h; y += kBandRows) {
    const PixelRect strip{region.x, y, region.w, std::min(kBandRows, region.y + region.h - y)};
    read_strip(s, strip, false, bands);
    s.banded.draw(dst, at_x, at_y + (y - region.y), strip, bands);
  }
}

void BitmapStore::save_copies(Slot& s, const std::string& path) {
  std::vector<PictureSize> sizes;
  for (const Source& src : s.pending_sources) {
    const Slot* from = src.kept ? nullptr : find(src.id);
    const Bitmap* pic = src.kept ? src.kept.get() : from != nullptr && from->pic ? &*from->pic : nullptr;
    sizes.push_back(pic != nullptr ? PictureSize{pic->width(), pic->height()} : PictureSize{});
  }
  const CopiedDraw copies = clipped_to_sources(*s.banded.copies, sizes);
  const std::int64_t w = s.pic->width(), h = s.pic->height();
  std::vector<SourceBand> bands;
  std::int64_t strip_end = 0;  // the strip read holds rows up to here
  const Bmp24RowSource row = [&](std::int64_t y, std::uint8_t* bgr) {
    if (y >= strip_end) {
      const std::int64_t top = y - y % kBandRows;
      strip_end = std::min(top + kBandRows, h);
      read_strip(s, {0, top, w, strip_end - top}, true, bands);
    }
    from_file([&] { paint_copied_row(copies, bands, y, 0, w, bgr); });
  };
  write_bitmap_file(w, h, row, path);
}

void BitmapStore::read_ahead_for_save(Slot& s, bool bgr) {
  ahead_.clear();
  if (band_threads_ < 2) return;
  const std::int64_t w = s.pic->width(), h = s.pic->height();
  const std::int64_t strips = (h + kBandRows - 1) / kBandRows;
  for (std::size_t i = 0; i < s.pending_sources.size(); ++i) {
    const Source& src = s.pending_sources[i];
    Slot* from = src.kept ? nullptr : find(src.id);
    if (from == nullptr || !from->file || !from->file->decodes()) continue;
    const auto reads = s.banded.reads;
    const std::int64_t height = from->pic->height();
    ahead_.resize(s.pending_sources.size());
    try {
      ahead_[i] = std::make_unique<BandReadAhead>(
          *from->file,
          [reads, i, w, h, height](std::int64_t strip) {
            const std::int64_t y = strip * kBandRows;
            const PixelRect wanted = reads(i, {0, y, w, std::min(kBandRows, h - y)});
            return std::pair{std::max<std::int64_t>(wanted.y, 0), std::min(wanted.y + wanted.h, height)};
          },
          strips, bgr);
    } catch (const std::system_error&) {  // no thread to be had: read here
    }
  }
}

namespace {

// The part of `rect` inside a picture of width × height.
PixelRect inside(PixelRect rect, std::int64_t width, std::int64_t height) {
  const std::int64_t x0 = std::max<std::int64_t>(rect.x, 0), y0 = std::max<std::int64_t>(rect.y, 0);
  const std::int64_t x1 = std::min(rect.x + rect.w, width), y1 = std::min(rect.y + rect.h, height);
  return {x0, y0, std::max<std::int64_t>(x1 - x0, 0), std::max<std::int64_t>(y1 - y0, 0)};
}

bool holds(PixelRect outer, PixelRect inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
         inner.y + inner.h <= outer.y + outer.h;
}

}  // namespace

const Bitmap& BitmapStore::view_copy(Slot& from, PixelRect rect) {
  if (from.view_copy && holds(from.viewed, rect)) return *from.view_copy;
  from.view_copy.reset();
  // A view near the top keeps the whole rows down to its last where they are few: the save then goes on from
  // them, and its decoder from where the view's stopped, so the view costs no second pass over those rows.
  const std::int64_t width = from.pic->width();
  const std::int64_t bottom = rect.y + rect.h;
  if (static_cast<std::uint64_t>(width) * bottom * 4 <= kKeptHeadBytes) rect = {0, 0, width, bottom};
  admit_memory(static_cast<std::uint64_t>(rect.w) * rect.h * 4);
  Bitmap copy = Bitmap::create_uninitialised(rect.w, rect.h);
  Bitmap band = Bitmap::create_uninitialised(from.pic->width(), std::min(kBandRows, rect.h));
  for (std::int64_t y = 0; y < rect.h; y += band.height()) {
    if (rect.h - y < band.height()) band = Bitmap::create_uninitialised(from.pic->width(), rect.h - y);
    from_file([&] { from.file->read_rows(rect.y + y, band); });
    for (int k = 0; k < band.height(); ++k)
      std::copy_n(band.row(k) + rect.x, rect.w, copy.row(static_cast<int>(y + k)));
  }
  from.view_copy = std::move(copy);
  from.viewed = rect;
  return *from.view_copy;
}

void BitmapStore::paint_view(Slot& s, Bitmap& dst, std::int64_t at_x, std::int64_t at_y, PixelRect region) {
  std::vector<SourceBand> bands(s.pending_sources.size());
  for (std::size_t i = 0; i < bands.size(); ++i) {
    const Source& src = s.pending_sources[i];
    Slot* from = src.kept ? nullptr : find(src.id);
    if (src.kept) {
      bands[i] = {src.kept.get(), 0, 0};
    } else if (from != nullptr && from->pic && !from->file) {
      bands[i] = {read(src.id), 0, 0};
    } else if (from != nullptr && from->pic) {
      const PixelRect rect = inside(s.banded.reads(i, region), from->pic->width(), from->pic->height());
      // The copy kept may hold more than the rectangle: its corner is where it lies.
      if (rect.w > 0 && rect.h > 0) {
        const Bitmap& copy = view_copy(*from, rect);
        bands[i] = {&copy, from->viewed.y, from->viewed.x};
      }
    }
  }
  s.banded.draw(dst, at_x, at_y, region, bands);
}

}  // namespace vimbrel
