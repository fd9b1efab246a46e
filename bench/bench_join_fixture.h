// A join of two images side by side (B right of A, margins 50) on the headless runtime, started in
// a folder of its own, for the benchmarks of the renderer and the view.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/forms_layout.h"
#include "app/menus.h"
#include "app/program.h"
#include "app/startup.h"
#include "join/renderer.h"
#include "platform/runtime/headless/headless_runtime.h"

namespace vimbrel::bench {

class BenchJoin {
 public:
  // Pixel (x, y) of A and of B: `paint` of the image's colour there.
  using Paint = std::uint32_t (*)(std::uint32_t colour, int x, int y);
  static std::uint32_t plain(std::uint32_t colour, int, int) { return colour; }

  BenchJoin(int w, int h, Paint paint = &plain) : folder_(make_folder()), rt(form_layouts()), s(rt) {
    wire_program(s);
    start_up(s, folder_);
    MENU_ALLSET(s, s.c.FORM3);
    image(s.doc.a, w, h, 0xFF3C5A96u, paint);
    image(s.doc.b, w, h, 0xFFA5C30Fu, paint);
    s.doc.canvas_width = static_cast<float>(2 * w + 50);
    s.doc.canvas_height = static_cast<float>(h + 50);
    rt.CREATEBITMAP(s.doc.canvas_bitmap, 2 * w + 50, h + 50);
    LOAD_SCG(s, s.c.FORM3);  // places both images
  }
  ~BenchJoin() { std::filesystem::remove_all(folder_); }
  BenchJoin(const BenchJoin&) = delete;
  BenchJoin& operator=(const BenchJoin&) = delete;

  // Reads the whole canvas, as the save or a test would.
  const Bitmap& canvas() { return *rt.picture(s.doc.canvas_bitmap); }

 private:
  static std::filesystem::path make_folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vimbrel-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    std::ofstream(std::filesystem::path(pattern) / "KANKYO.TXT") << "VIMBREL,1\nWORK," << pattern << "/\n";
    return pattern;
  }
  void image(ImageSlot& slot, int w, int h, std::uint32_t colour, Paint paint) {
    rt.CREATEBITMAP(slot.bitmap, w, h);
    Bitmap& p = *rt.picture(slot.bitmap);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) p.at(x, y) = paint(colour, x, y);
    slot.width = slot.src_width = static_cast<float>(w);
    slot.height = slot.src_height = static_cast<float>(h);
    slot.x = slot.y = -1;
  }

  std::filesystem::path folder_;

 public:
  HeadlessRuntime rt;
  Session s;
};

}  // namespace vimbrel::bench
