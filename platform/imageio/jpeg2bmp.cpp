#include "platform/imageio/jpeg2bmp.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "platform/imageio/bitmap_file.h"
#include "platform/imageio/bmp_format.h"
#include "platform/imageio/bmp_writer.h"
#include "platform/imageio/jpeg_decoder.h"
#include "platform/imageio/jpeg_orientation.h"
#include "platform/imageio/qt_codecs.h"
#include "platform/pixels/runtime_error.h"
#include "platform/system/file_io.h"
#include "platform/system/fs_checks.h"
#include "platform/system/memory_admission.h"
#include "platform/system/temp_file.h"

namespace vimbrel {

namespace {

constexpr const char* kCutOffWarning =
    "the JPEG data ends before its end marker (a cut-off file?); it was loaded as far as it goes";

// The source file, open, with its size and first bytes (enough to tell the format).
struct Source {
  UniqueFd fd;
  std::uint64_t size = 0;
  std::array<std::uint8_t, 3> magic{};
};

// A refusal of the source: JPEG2BMP writes nothing and says why.
[[noreturn]] void refuse(std::string why) {
  throw RuntimeError{errc::kInvalidPicture, std::move(why)};
}

Source open_source(const std::string& path) {
  Source src;
  try {
    src.fd = open_for_reading(path, src.size);
  } catch (const RuntimeError& e) {
    refuse(e.cause());
  }
  if (src.size < src.magic.size() || !read_at(src.fd.get(), src.magic.data(), src.magic.size(), 0)) {
    refuse("a file of " + std::to_string(src.size) + " bytes, too short for any picture");
  }
  return src;
}

// The decoder's failure: out of memory, or a refusal with its reason.
[[noreturn]] void decoder_failed(const JpegDecoder& decoder) {
  if (decoder.out_of_memory())
    throw RuntimeError{errc::kOutOfMemory, "not enough memory for the JPEG decoder"};
  refuse(decoder.failure());
}

// Upright rows straight from the decoder into the file, a strip at a time. The file is bottom-up, so
// each strip is decoded into its buffer from the last row up and written at its place from the end.
// The strip stays in cache while its rows also become the picture's pixels.
// One thread decodes: a second one starting half-way still has to entropy-decode the first half to
// get there, and on two cores the halves decoded at once took as long as the whole picture alone.
bool stream_upright(JpegDecoder& decoder, int fd, Bitmap& picture) {
  const std::int64_t w = decoder.width(), h = decoder.height();
  const auto header = make_bmp24_header(w, h);
  if (!write_at(fd, header.data(), header.size(), 0)) return false;
  const std::size_t stride = bmp24_stride(w);
  const std::size_t strip_rows = bmp24_strip_rows(w);
  const auto strip = allocate_zeroed(stride * strip_rows);
  std::vector<std::uint8_t*> rows(strip_rows);
  for (std::int64_t y = 0; y < h;) {
    const auto n =
        static_cast<std::int64_t>(std::min<std::size_t>(strip_rows, static_cast<std::size_t>(h - y)));
    for (std::int64_t k = 0; k < n; ++k) rows[k] = strip.get() + static_cast<std::size_t>(n - 1 - k) * stride;
    if (!decoder.read_rows(rows.data(), static_cast<int>(n))) return false;
    picture.prepare_rows(static_cast<int>(y), static_cast<int>(n));
    for (std::int64_t k = 0; k < n; ++k) {
      bgr24_to_pixels(rows[k], picture.row(static_cast<int>(y + k)), static_cast<std::size_t>(w));
    }
    if (!write_at(fd, strip.get(), static_cast<std::size_t>(n) * stride, bmp24_row_offset(w, h, y + n - 1))) {
      return false;
    }
    y += n;
  }
  return true;
}

// A turned or mirrored picture: decoded whole, then written row by row of the upright picture.
bool write_oriented(JpegDecoder& decoder, int orientation, int fd, Bitmap& picture) {
  Bitmap stored = Bitmap::create_uninitialised(decoder.width(), decoder.height());
  std::vector<std::uint8_t*> rows(static_cast<std::size_t>(stored.height()));
  for (int y = 0; y < stored.height(); ++y) rows[y] = reinterpret_cast<std::uint8_t*>(stored.row(y));
  if (!decoder.read_rows(rows.data(), stored.height())) return false;
  const std::int64_t w = stored.width(), h = stored.height();
  const bool swap = orientation_swaps_sides(orientation);
  const std::int64_t out_w = swap ? h : w, out_h = swap ? w : h;
  std::vector<std::uint32_t> line(static_cast<std::size_t>(out_w));
  return write_bmp24(fd, out_w, out_h, [&](std::int64_t y, std::uint8_t* bgr) {
    for (std::int64_t x = 0; x < out_w; ++x) {
      const StoredPixel p = stored_pixel(orientation, x, y, w, h);
      line[x] = stored.at(static_cast<int>(p.x), static_cast<int>(p.y));
    }
    pixels_to_bgr24(line.data(), bgr, line.size());
    bgr24_to_pixels(bgr, picture.row(static_cast<int>(y)), line.size());  // as the file reads
  });
}

// The picture, when the work file was written and kept. The file is read as it is decoded: no copy of
// it is held beside the picture.
ConvertedPicture convert_jpeg(const Source& src, const std::string& destination) {
  JpegDecoder decoder(src.fd.get(), src.size);
  if (!decoder.read_header()) decoder_failed(decoder);
  const int orientation = exif_orientation(src.fd.get(), src.size);
  const std::uint64_t pixels = std::uint64_t(decoder.width()) * decoder.height();
  // The picture, the decoder's coefficients, the work file's strip, and the whole stored picture
  // when it has to be turned.
  const std::uint64_t need =
      pixels * 4 + decoder.working_bytes() + kBmpStripBytes + (orientation != 1 ? pixels * 4 : 0);
  admit_memory(need);
  const auto pixel_kind = orientation == 1 ? JpegDecoder::Pixels::kBgr : JpegDecoder::Pixels::kBgra;
  if (!decoder.start(pixel_kind)) decoder_failed(decoder);
  const bool swap = orientation_swaps_sides(orientation);
  ConvertedPicture out;
  out.pixels = Bitmap::create_uninitialised(swap ? decoder.height() : decoder.width(),
                                            swap ? decoder.width() : decoder.height());
  ExclusiveTempFile work = ExclusiveTempFile::at(destination);
  const bool ok = orientation == 1 ? stream_upright(decoder, work.fd(), out.pixels)
                                   : write_oriented(decoder, orientation, work.fd(), out.pixels);
  if (!ok) {
    if (no_space_left(work.fd())) throw RuntimeError{errc::kPathAccess, "no space left in the work folder"};
    decoder_failed(decoder);
  }
  decoder.finish();
  if (decoder.ended_early()) out.warning = kCutOffWarning;
  out.written = file_identity(work.fd());
  if (!work.keep()) throw RuntimeError{errc::kPathAccess, "the work file could not be kept"};
  return out;
}

void write_bitmap_as_work_file(const Bitmap& picture, const std::string& destination) {
  ExclusiveTempFile work = ExclusiveTempFile::at(destination);
  const auto width = static_cast<std::size_t>(picture.width());
  const bool ok =
      write_bmp24(work.fd(), picture.width(), picture.height(), [&](std::int64_t y, std::uint8_t* bgr) {
        pixels_to_bgr24(picture.row(static_cast<int>(y)), bgr, width);
      });
  if (!ok) {
    throw RuntimeError{errc::kPathAccess, no_space_left(work.fd()) ? "no space left in the work folder"
                                                                   : "the work file could not be written"};
  }
  if (!work.keep()) throw RuntimeError{errc::kPathAccess, "the work file could not be written"};
}

// A bitmap file under another name, through the bitmap reader and its checks.
void convert_bitmap(const std::string& source, const std::string& destination) {
  Bitmap picture;
  try {
    picture = read_bitmap_file(source);
  } catch (const RuntimeError& e) {
    if (e.code == errc::kOutOfMemory) throw;
    refuse(e.cause());
  }
  write_bitmap_as_work_file(picture, destination);
}

// PNG, GIF and the other formats Qt reads.
void convert_other(const Source& src, const std::string& destination) {
  const QtCodecs* codecs = qt_codecs();
  if (!codecs) refuse("not a bitmap or JPEG, and no reader of other formats is loaded");
  const std::optional<Bitmap> picture = codecs->read_other(src.fd.get(), src.size);
  if (!picture) refuse("a broken picture (not a bitmap, JPEG, PNG or GIF this program reads)");
  write_bitmap_as_work_file(*picture, destination);
}

// Qt's reader takes every file that starts with the start marker, skipping stray bytes before the
// next marker as libjpeg does; all of them go to the decoder with the work bounds.
bool is_jpeg(const Source& src) {
  return src.magic[0] == 0xFF && src.magic[1] == 0xD8;
}

}  // namespace

ConvertedPicture JPEG2BMP(const std::string& source, const std::string& destination) {
  try {
    const Source src = open_source(source);
    if (is_jpeg(src)) return convert_jpeg(src, destination);
    if (src.magic[0] == 'B' && src.magic[1] == 'M') {
      convert_bitmap(source, destination);
    } else {
      convert_other(src, destination);
    }
    return {};
  } catch (const RuntimeError& e) {
    if (e.code != errc::kInvalidPicture) throw;
    ConvertedPicture refused;
    refused.failure = e.cause();
    return refused;
  }
}

std::optional<ConvertedPicture> convert_jpeg_ahead(const std::string& source,
                                                   const std::string& destination) noexcept {
  try {
    const Source src = open_source(source);
    if (!is_jpeg(src)) return std::nullopt;
    return convert_jpeg(src, destination);
  } catch (...) {  // out of memory or no room for the file: the load's own conversion says so
    return std::nullopt;
  }
}

}  // namespace vimbrel
