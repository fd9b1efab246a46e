// The bitmap objects of a running program: their pictures, draw and map modes, and pictures whose
// pixels are drawn only where and when they are needed. The form runtime keeps one store and reaches
// every bitmap through it; coordinates here are whole pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/imageio/converted_picture.h"
#include "platform/imageio/jpeg_file.h"
#include "platform/imageio/picture_source.h"
#include "platform/pixels/bitmap.h"
#include "platform/pixels/raster.h"
#include "platform/pixels/reduced_copies.h"
#include "platform/runtime/band_read_ahead.h"
#include "platform/runtime/copied_rows.h"
#include "platform/runtime/handles.h"
#include "platform/runtime/source_band.h"

namespace vimbrel {

class BitmapStore {
 public:
  // Paints the half-open `region` of a picture into `dst`, the region's corner at (at_x, at_y),
  // touching nothing else of `dst`; `sources` are the pictures of the objects given to defer(), in
  // order (null for an empty object). At `level` above 0 the picture and its sources are the
  // reduced copies of that level (see ReducedCopies), and so is `region`.
  using DeferredDraw = std::function<void(Bitmap& dst, std::int64_t at_x, std::int64_t at_y, PixelRect region,
                                          std::span<const Bitmap* const> sources, int level)>;
  // What a drawing that can be painted a band of rows at a time reads of one source.
  using SourceBand = vimbrel::SourceBand;
  // A deferred drawing that can also paint from bands: `reads` tells the rectangle of source
  // `index` that painting `region` reads (it need not lie in the picture; empty when none), and
  // `draw` paints as DeferredDraw does at level 0 from bands of pixels that hold at least that
  // rectangle's part in the picture and lie in the picture. A drawing that only copies says so in
  // `copies` (its layers read what `reads` tells): a bitmap file is then written from its sources'
  // rows as bytes.
  struct BandedDraw {
    std::function<PixelRect(std::size_t index, PixelRect region)> reads;
    std::function<void(Bitmap& dst, std::int64_t at_x, std::int64_t at_y, PixelRect region,
                       std::span<const SourceBand> bands)>
        draw;
    std::optional<CopiedDraw> copies;
  };
  // Asked before each picture is made; it refuses one by throwing RuntimeError. None is set in the
  // product; tests set one that fails on cue.
  using CreationCheck = std::function<void()>;

  void set_creation_check(CreationCheck check) { creation_check_ = std::move(check); }

  // With streaming on (the headless runtime of the `join` command), a loaded picture that can be
  // read in order stays in its file until its pixels are read: any read or change makes it whole,
  // while the save and the view's copies of a pending drawing that can paint from bands read only the
  // rows they paint, in order. The windows keep it off: their pictures are always whole.
  void set_streaming(bool on) { streaming_ = on; }
  // Threads that read the bands of different pictures at once (1: one after the other).
  void set_band_threads(int threads) { band_threads_ = threads; }
  // Whether a picture left in its file failed to read, or read otherwise than a whole read at its
  // load would have (a cut-off file): what was made from it is not to be trusted.
  bool stream_failed() const { return stream_failed_; }
  // How many pictures were read whole although streaming was on: the loads that could not be left
  // in their files, and those left that something needed out of order.
  int read_whole_while_streaming() const { return read_whole_while_streaming_; }
  // Whether the picture is still left in its file.
  bool left_in_file(BitmapObject b) const;

  BitmapObject declare();
  // A black picture of the given size (0 × 0 accepted; 7 if too big). The old picture goes first.
  void create(BitmapObject b, std::int64_t width, std::int64_t height);
  // Reads a bitmap file; see read_bitmap_file() for `converted`.
  void load(BitmapObject b, const std::string& path, ConvertedPicture converted = {});
  void remove(BitmapObject b);
  // Writes the picture as a file of the type its name asks for (a bitmap file, a PNG or a JPEG); a
  // pending one is painted a strip at a time as it is written.
  void save(BitmapObject b, const std::string& path);
  // The quality JPEG files are saved at (1 to 100).
  void set_jpeg_quality(int quality) { jpeg_quality_ = quality; }
  bool has_picture(BitmapObject b) const;    // false also for an id that names no object
  std::int64_t width(BitmapObject b) const;  // 0 without a picture
  std::int64_t height(BitmapObject b) const;
  void set_draw_mode(BitmapObject b, int mode);  // 1..16
  void set_map_mode(BitmapObject b, int mode);

  // The raster operations with a bitmap as target, in its draw mode.
  void blit(BitmapObject target, PixelRect to, BitmapObject source, std::int64_t sx, std::int64_t sy);
  void fill_box(BitmapObject target, std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                std::uint32_t colour);
  // Copies from `source` into a bitmap the store does not keep (a window's surface) in `mode`. In copy
  // mode a pending source paints only the part copied, clipped as blit() clips, and stays pending.
  void blit_out(Bitmap& dst, PixelRect to, BitmapObject source, std::int64_t sx, std::int64_t sy, int mode);
  // scale_copy() from `source` into `dst`; a pending source paints only the rows read, one at a
  // time, and stays pending. Below half size the copy is made from reduced copies (of the source, or
  // of a pending source's sources), so that every pixel covered is averaged.
  void scale_out(Bitmap& dst, PixelRect to, BitmapObject source, double sx, double sy, double scale);

  // From now on the pixels of `target` (which must hold a picture) are what `draw` paints over its
  // whole extent. They are made in full by make() (which every read or change of `target` runs first)
  // and before one of `sources` changes. Re-creating, loading or deleting `target`, or a later defer()
  // on it, drops the pending drawing. `sources` must not include `target`.
  void defer(BitmapObject target, std::vector<BitmapObject> sources, DeferredDraw draw,
             BandedDraw banded = {});
  bool deferred(BitmapObject b) const;
  // Makes the pixels of a pending picture. Should the sources, the pixels or the drawing fail, the
  // picture stays pending and is drawn again in full when next needed, never half made.
  void make(BitmapObject b);

  // The picture, made, for reading; null without one (or for an unknown id).
  const Bitmap* read(BitmapObject b);
  // The picture for changing: the pending pictures drawn from it are made first, then it. Null
  // without a picture; an id that names no object is an illegal call.
  Bitmap* change(BitmapObject b);

 private:
  // A source of a pending drawing: the object, or the pixels it had when it was replaced or deleted.
  struct Source {
    BitmapObject id;
    std::shared_ptr<const Bitmap> kept;
    std::shared_ptr<ReducedCopies> kept_reduced;  // of `kept`
    bool reads(BitmapObject b) const { return !kept && id.id == b.id; }
  };
  struct Slot {
    std::optional<Bitmap> pic;
    int draw_mode = kDrawModeCopy;
    int map_mode = 0;
    DeferredDraw pending;
    BandedDraw banded;  // of `pending`, when it has one
    std::vector<Source> pending_sources;
    std::shared_ptr<PictureSource> file;  // the file `pic` is still left in (pic then unallocated)
    // What the view copied last of a picture left in its file: a redraw of the same view reads the
    // file no more. `viewed` is where it lies in the picture.
    std::optional<Bitmap> view_copy;
    PixelRect viewed{};
    void leave_file() {
      file.reset();
      view_copy.reset();
    }
    ReducedCopies reduced;  // of `pic`, cleared whenever `pic` changes
    void drop_pending();
    bool reads(BitmapObject b) const;
  };
  // The one lookup by id: null for an id that names no object.
  const Slot* find(BitmapObject b) const;
  Slot* find(BitmapObject b);
  // As find(), but an unknown id is an illegal call.
  Slot& at(BitmapObject b);
  const Slot& at(BitmapObject b) const;
  // Before `b` changes, the pictures still to be drawn from it are made.
  void make_readers_of(BitmapObject b);
  // Before `b` is replaced or deleted, the pending pictures drawn from it keep its pixels instead of
  // being made now: a reload beside a huge pending canvas then costs no canvas.
  void let_readers_keep(BitmapObject b);
  // Reads a picture left in its file whole.
  void make_whole(Slot& s);
  // Whether the pending drawing of `s` is painted from bands: it can be, and a source is in its file.
  bool paints_bands(const Slot& s) const;
  // Paints `region` of the pending drawing of `s` into `dst` a band of rows at a time.
  void paint_bands(Slot& s, Bitmap& dst, std::int64_t at_x, std::int64_t at_y, PixelRect region);
  // The bands of each source that painting `strip` (kBandRows rows from a multiple of them) reads:
  // those read from files as pixels or, with `bgr`, as B, G, R bytes.
  void read_strip(Slot& s, PixelRect strip, bool bgr, std::vector<SourceBand>& bands);
  // Writes the pending drawing of `s`, which only copies, as a bitmap file from its sources' bytes.
  void save_copies(Slot& s, const std::string& path);
  // Starts reading ahead the bands that the save of `s` paints from, each source in a file that
  // decodes on a thread of its own, when threads allow: this thread then only paints.
  void read_ahead_for_save(Slot& s, bool bgr);
  // Paints `region` for a view: the part of each picture left in its file that it shows is kept.
  void paint_view(Slot& s, Bitmap& dst, std::int64_t at_x, std::int64_t at_y, PixelRect region);
  // The part `rect` of the picture in `from`'s file, kept as its view copy.
  const Bitmap& view_copy(Slot& from, PixelRect rect);
  // Runs a read of a picture left in its file; a failure marks the stream failed.
  template <typename Read>
  decltype(auto) from_file(Read&& read);
  // The pictures of a pending drawing's sources, or at `level` their reduced copies.
  std::vector<const Bitmap*> source_pictures(const Slot& s, int level = 0);

  std::vector<Slot> slots_;  // index = id - 1
  CreationCheck creation_check_;
  int jpeg_quality_ = kDefaultJpegQuality;
  bool streaming_ = false;
  bool stream_failed_ = false;
  int read_whole_while_streaming_ = 0;
  int band_threads_ = 2;
  std::vector<BandBuffers> bands_;  // the rows read for read_strip(), one a source
  // During a save from bands, the sources (by index) read on threads of their own.
  std::vector<std::unique_ptr<BandReadAhead>> ahead_;
};

}  // namespace vimbrel
