#include "platform/imageio/bitmap_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/imageio/bmp_format.h"
#include "platform/imageio/bmp_palette.h"
#include "platform/imageio/bmp_writer.h"
#include "platform/imageio/qt_codecs.h"
#include "platform/pixels/runtime_error.h"
#include "platform/system/file_io.h"
#include "platform/system/memory_admission.h"
#include "platform/system/write_file_beside.h"

namespace vimbrel {

namespace {

// Pictures at least this large are converted on two threads: most of the time goes into faulting
// in the Bitmap's fresh pages, and two threads do that about twice as fast.
constexpr std::uint64_t kTwoThreadPixels = std::uint64_t{1} << 20;

// Turns one file row into the bitmap's pixels.
using RowToPixels = std::function<void(const std::uint8_t* src, std::uint32_t* dst, std::size_t width)>;

// Reads file rows [first, last) of an uncompressed layout into the bitmap's rows.
bool read_direct_rows(int fd, const BmpLayout& l, const RowToPixels& convert, Bitmap& b, std::int64_t first,
                      std::int64_t last) {
  const std::size_t stride = l.row_stride;
  // Two threads may read at once: each takes half a strip, so that both hold no more than one.
  const std::size_t strip_rows = std::max<std::size_t>(1, kBmpStripBytes / 2 / stride);
  std::unique_ptr<std::uint8_t[]> strip(new (std::nothrow) std::uint8_t[stride * strip_rows]);
  if (!strip) return false;
  const auto width = static_cast<std::size_t>(l.width);
  // The last row of the file may lack its padding (the header check allows that).
  const std::uint64_t file_end = l.bytes_needed;
  for (std::int64_t r = first; r < last;) {
    const auto n =
        static_cast<std::int64_t>(std::min<std::size_t>(strip_rows, static_cast<std::size_t>(last - r)));
    const std::uint64_t at = l.pixel_offset + static_cast<std::uint64_t>(r) * stride;
    const std::uint64_t bytes =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(n) * stride, file_end - at);
    if (!read_at(fd, strip.get(), bytes, at)) return false;
    b.prepare_rows(static_cast<int>(l.top_down ? r : l.height - r - n), static_cast<int>(n));
    for (std::int64_t k = 0; k < n; ++k) {
      const std::uint8_t* src = strip.get() + static_cast<std::size_t>(k) * stride;
      const std::int64_t file_row = r + k;
      std::uint32_t* dst = b.row(static_cast<int>(l.top_down ? file_row : l.height - 1 - file_row));
      convert(src, dst, width);
    }
    r += n;
  }
  return true;
}

bool read_all_rows(int fd, const BmpLayout& l, const RowToPixels& convert, Bitmap& b) {
  const std::int64_t half = l.height / 2;
  if (l.pixel_count() < kTwoThreadPixels || half == 0)
    return read_direct_rows(fd, l, convert, b, 0, l.height);
  std::atomic<bool> lower_ok{false};
  std::jthread lower;
  try {
    lower = std::jthread([&] { lower_ok = read_direct_rows(fd, l, convert, b, half, l.height); });
  } catch (const std::system_error&) {  // no thread to be had: do it all here
    return read_direct_rows(fd, l, convert, b, 0, l.height);
  }
  const bool upper_ok = read_direct_rows(fd, l, convert, b, 0, half);
  lower.join();
  return upper_ok && lower_ok;
}

Bitmap read_direct(int fd, const BmpLayout& l, const RowToPixels& convert) {
  Bitmap b = Bitmap::create_uninitialised(l.width, l.height);
  if (!read_all_rows(fd, l, convert, b)) {
    throw RuntimeError{errc::kInvalidPicture, "the BMP's pixel data could not be read to its end"};
  }
  return b;
}

Bitmap read_direct(int fd, const BmpLayout& l) {
  return read_direct(fd, l, l.bits == 24 ? bgr24_to_pixels : bgrx32_to_pixels);
}

Bitmap read_through_qt(int fd, const BmpLayout& l) {
  // The file's bytes, Qt's picture, its conversion and the Bitmap can all be alive at once.
  constexpr std::uint64_t kPeakBytesPerPixel = 12;
  admit_memory(l.bytes_needed + l.pixel_count() * kPeakBytesPerPixel);
  const auto bytes = read_whole(fd, l.bytes_needed);
  const QtCodecs* codecs = qt_codecs();
  if (!bytes) throw RuntimeError{errc::kInvalidPicture, "the BMP file could not be read to its end"};
  if (!codecs)
    throw RuntimeError{errc::kInvalidPicture, "a BMP layout that needs Qt's reader, which is not loaded"};
  return codecs->read_bitmap(*bytes, l.pixel_count());
}

}  // namespace

// Writes a 24-bit file of rows from `row`, beside `path` first and then renamed over it.
void write_bitmap_file(std::int64_t width, std::int64_t height, const Bmp24RowSource& row,
                       const std::string& path) {
  // A picture with no pixels has no valid bitmap file; the 32-bit size fields bound the other end.
  const std::uint64_t file_bytes =
      kBmp24HeaderSize + static_cast<std::uint64_t>(bmp24_stride(width)) * height;
  if (width <= 0 || height <= 0 || file_bytes > 0xFFFFFFFFu) throw RuntimeError{errc::kPathAccess};

  write_file_beside(path,
                    [&](int fd, bool replaces) { return write_bmp24(fd, width, height, row, replaces); });
}

namespace {

// The open file of a direct layout, its rows read a band at a time. The file stays open, so that
// what is read later is the file that was loaded even if its name is given to another meanwhile.
class BitmapSource final : public PictureSource {
 public:
  BitmapSource(UniqueFd fd, const BmpLayout& l) : fd_(std::move(fd)), l_(l) {}
  std::int64_t width() const override { return l_.width; }
  std::int64_t height() const override { return l_.height; }
  bool decodes() const override { return false; }

  void read_rows(std::int64_t first, Bitmap& band) override {
    const std::int64_t n = band.height();
    if (n <= 0) return;
    read_file_rows(first, n, buffer_);
    const auto convert = l_.bits == 24 ? bgr24_to_pixels : bgrx32_to_pixels;
    for (std::int64_t k = 0; k < n; ++k) {
      convert(buffer_.data() + static_cast<std::size_t>(k) * l_.row_stride,
              band.row(static_cast<int>(row_of(k, n))), static_cast<std::size_t>(l_.width));
    }
  }

  Bgr24Rows read_bgr24_rows(std::int64_t first, std::int64_t count,
                            std::vector<std::uint8_t>& buffer) override {
    if (count <= 0) return {};
    const auto stride = static_cast<std::ptrdiff_t>(l_.row_stride);
    if (l_.bits == 24) {  // the file's own bytes
      read_file_rows(first, count, buffer);
      if (l_.top_down) return {buffer.data(), stride};
      return {buffer.data() + (count - 1) * stride, -stride};
    }
    read_file_rows(first, count, buffer_);
    const auto out_stride = static_cast<std::ptrdiff_t>(bmp24_stride(l_.width));
    grow_guarded(buffer, static_cast<std::size_t>(count * out_stride));
    for (std::int64_t k = 0; k < count; ++k) {
      // A 32-bit file row is B, G, R, unused: the bytes of a row of pixels.
      pixels_to_bgr24(reinterpret_cast<const std::uint32_t*>(buffer_.data() + k * stride),
                      buffer.data() + row_of(k, count) * out_stride, static_cast<std::size_t>(l_.width));
    }
    return {buffer.data(), out_stride};
  }

  bool reads_spans() const override { return l_.bits == 24; }

  void read_bgr24_span(std::int64_t y, std::int64_t x, std::int64_t n, std::uint8_t* out) override {
    const std::int64_t file_row = l_.top_down ? y : l_.height - 1 - y;
    const std::uint64_t at = l_.pixel_offset + static_cast<std::uint64_t>(file_row) * l_.row_stride +
                             static_cast<std::uint64_t>(x) * 3;
    if (!read_at(fd_.get(), out, static_cast<std::size_t>(n) * 3, at))
      throw RuntimeError{errc::kInvalidPicture, "the BMP's pixel data could not be read to its end"};
  }

  Bitmap whole() override {
    admit_memory(l_.pixel_count() * 4 + kBmpStripBytes);
    return read_direct(fd_.get(), l_);
  }

 private:
  // Band row of the k-th of n file rows read.
  std::int64_t row_of(std::int64_t k, std::int64_t n) const { return l_.top_down ? k : n - 1 - k; }

  // Reads the file rows of picture rows [first, first + n) into `buffer`, in the file's order, a
  // row_stride apart: one read.
  void read_file_rows(std::int64_t first, std::int64_t n, std::vector<std::uint8_t>& buffer) {
    const std::int64_t file_first = l_.top_down ? first : l_.height - first - n;
    const std::uint64_t at = l_.pixel_offset + static_cast<std::uint64_t>(file_first) * l_.row_stride;
    const std::uint64_t rows_bytes = static_cast<std::uint64_t>(n) * l_.row_stride;
    grow_guarded(buffer, rows_bytes);
    // The last row of the file may lack its padding (the header check allows that).
    if (!read_at(fd_.get(), buffer.data(), std::min(rows_bytes, l_.bytes_needed - at), at)) {
      throw RuntimeError{errc::kInvalidPicture, "the BMP's pixel data could not be read to its end"};
    }
  }

  UniqueFd fd_;
  BmpLayout l_;
  std::vector<std::uint8_t> buffer_;
};

// The file open with its checked header.
struct OpenBitmap {
  UniqueFd fd;
  std::uint64_t size = 0;
  std::array<std::uint8_t, kBmpHeadBytes> head{};
  std::size_t head_bytes = 0;
  BmpLayout layout;
};

OpenBitmap open_bitmap(const std::string& path, const ConvertedPicture* converted, bool& taken) {
  OpenBitmap b;
  b.fd = open_for_reading(path, b.size);
  taken = converted != nullptr && converted->written && file_identity(b.fd.get()) == converted->written;
  if (taken) return b;
  b.head_bytes = static_cast<std::size_t>(std::min<std::uint64_t>(b.size, b.head.size()));
  if (!read_at(b.fd.get(), b.head.data(), b.head_bytes, 0)) {
    throw RuntimeError{errc::kInvalidPicture, "the BMP header could not be read"};
  }
  b.layout = check_bmp_header({b.head.data(), b.head_bytes}, b.size);
  return b;
}

}  // namespace

std::shared_ptr<PictureSource> open_bitmap_source(const std::string& path) {
  bool taken = false;
  OpenBitmap b = open_bitmap(path, nullptr, taken);
  if (!b.layout.direct() || b.layout.pixel_count() == 0) return nullptr;
  admit_memory(kBmpStripBytes);
  return std::make_shared<BitmapSource>(std::move(b.fd), b.layout);
}

Bitmap read_bitmap_file(const std::string& path, ConvertedPicture converted) {
  bool taken = false;
  OpenBitmap b = open_bitmap(path, &converted, taken);
  if (taken) return std::move(converted.pixels);
  const UniqueFd& fd = b.fd;
  const BmpLayout& layout = b.layout;
  const auto& head = b.head;
  const std::size_t head_bytes = b.head_bytes;
  const std::uint64_t held = layout.pixel_count() * 4 + kBmpStripBytes;  // the picture and a strip
  if (layout.direct()) {
    admit_memory(held);
    return read_direct(fd.get(), layout);
  }
  if (const std::optional<BmpPalette> palette =
          read_direct_palette(fd.get(), {head.data(), head_bytes}, layout)) {
    admit_memory(held);
    return read_direct(fd.get(), layout,
                       [&p = *palette](const std::uint8_t* src, std::uint32_t* dst, std::size_t n) {
                         indexed_to_pixels(p, src, dst, n);
                       });
  }
  return read_through_qt(fd.get(), layout);
}

void write_bitmap_file(const Bitmap& bitmap, const std::string& path) {
  const auto width = static_cast<std::size_t>(bitmap.width());
  const Bmp24RowSource row = [&](std::int64_t y, std::uint8_t* bgr) {
    pixels_to_bgr24(bitmap.row(static_cast<int>(y)), bgr, width);
  };
  write_bitmap_file(bitmap.width(), bitmap.height(), row, path);
}

void write_bitmap_file(std::int64_t width, std::int64_t height, const StripPainter& paint,
                       const std::string& path) {
  if (width <= 0 || height <= 0) throw RuntimeError{errc::kPathAccess};
  // Rows are asked for top-down; each strip of rows is painted once, when its first row is asked for.
  Bitmap strip = Bitmap::create_uninitialised(width, std::min<std::int64_t>(height, kPaintedStripRows));
  std::int64_t first = -strip.height();  // the strip holds rows [first, first + strip.height())
  const Bmp24RowSource row = [&](std::int64_t y, std::uint8_t* bgr) {
    if (y >= first + strip.height()) {
      first = y;
      if (height - first < strip.height()) strip = Bitmap::create_uninitialised(width, height - first);
      paint(strip, first);
    }
    pixels_to_bgr24(strip.row(static_cast<int>(y - first)), bgr, static_cast<std::size_t>(width));
  };
  write_bitmap_file(width, height, row, path);
}

}  // namespace vimbrel
