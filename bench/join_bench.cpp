// Saving a join of two 12-megapixel pictures through "結合画像の保存" on the headless runtime, beside
// its floor: the same number of bytes written to a file with one write(). The redraw that every save
// ends with (LOAD_SCG and the copy into the view) is measured on its own as well, to show what of the
// save's time goes into writing and what into re-making the canvas.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/forms_layout.h"
#include "app/program.h"
#include "app/startup.h"
#include "platform/imageio/bitmap_file.h"
#include "platform/runtime/headless/headless_runtime.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

constexpr int kW = 4000, kH = 3000;  // each picture: 12 megapixels

// The program on the headless runtime with a joined pair loaded, in a folder removed at the end.
class JoinedProgram {
 public:
  JoinedProgram() : rt(form_layouts()), s(rt) {
    std::string tmpl = (fs::temp_directory_path() / "vimbrel-bench-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    folder = tmpl;
    fs::create_directory(folder / "work");
    std::ofstream(folder / "KANKYO.TXT") << "VIMBREL,1\nWORK," << (folder / "work").string() << "/\n";
    wire_program(s);
    start_up(s, folder);
    click("BUTTON52");
    click("BUTTON2");
    load("BUTTON53", picture("a.bmp", 0x00204060u));
    load("BUTTON54", picture("b.bmp", 0x00604020u));
  }
  ~JoinedProgram() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
  JoinedProgram(const JoinedProgram&) = delete;
  JoinedProgram& operator=(const JoinedProgram&) = delete;

  void click(const char* control) {
    if (!rt.click(control)) throw std::runtime_error(std::string("cannot click ") + control);
  }
  // One save as the user makes it; the dialog answers `name`.
  void save(const std::string& name) {
    rt.push_dialog_answer((folder / name).string());
    click("BUTTON60");
    if (!rt.messages().empty()) throw std::runtime_error("the save reported: " + rt.messages()[0].text);
  }
  std::uintmax_t saved_size(const std::string& name) const { return fs::file_size(folder / (name + ".BMP")); }

  HeadlessRuntime rt;
  Session s;
  fs::path folder;

 private:
  std::string picture(const char* name, std::uint32_t base) {
    Bitmap b = Bitmap::create(kW, kH);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) b.at(x, y) = 0xFF000000u | (base + static_cast<std::uint32_t>(x ^ y));
    const std::string path = (folder / name).string();
    write_bitmap_file(b, path);
    return path;
  }
  void load(const char* button, const std::string& path) {
    rt.push_dialog_answer(path);
    click(button);
    if (!rt.messages().empty()) throw std::runtime_error("cannot load " + path);
  }
};

JoinedProgram& program() {
  static JoinedProgram p;
  return p;
}

void BM_SaveJoin(benchmark::State& state) {
  JoinedProgram& p = program();
  for (auto _ : state) p.save("joined");
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(p.saved_size("joined")));
}

// The floor: the saved file's bytes, already in memory, written to a new file with one write().
void BM_Floor_OneWrite(benchmark::State& state) {
  JoinedProgram& p = program();
  p.save("reference");
  const std::size_t bytes = p.saved_size("reference");
  std::vector<char> data(bytes, 0x5A);
  const std::string path = (p.folder / "floor.bin").string();
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, data.data(), bytes) != static_cast<ssize_t>(bytes) || ::close(fd) != 0) {
      state.SkipWithError("write failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

// The redraw that ends every save, here started by "Ｂ画像が上".
void BM_RedrawOfTheCanvas(benchmark::State& state) {
  JoinedProgram& p = program();
  for (auto _ : state) p.click("RADIO8");
}

BENCHMARK(BM_Floor_OneWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveJoin)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RedrawOfTheCanvas)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vimbrel
