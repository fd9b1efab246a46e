// A soak run: random user actions through the whole program on the headless runtime, as a user
// would make them (clicks, scroll bars, list rows, typed text, mouse drags, window sizes, dialogs
// answered with good, broken and missing files). After every action nothing may have escaped (no
// untrapped error, no exception, no unexpected end) and the canvas must equal a fresh composition of
// the document. Controls are found by name in the form layouts, so the run follows the program as
// it changes.
//
//   soak --events N --seed S [--verbose] [--in-order]
//
// With --in-order the pictures are left in their files until read, as the `join` command reads them.
// Exits 0 when every action held, 1 at the first that did not (with the actions that led there),
// 2 on a bad command line.
#include <sys/resource.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/forms_layout.h"
#include "app/program.h"
#include "app/startup.h"
#include "bench/soak_checks.h"
#include "join/session.h"
#include "platform/imageio/bitmap_file.h"
#include "platform/imageio/converter.h"
#include "platform/pixels/runtime_error.h"
#include "platform/runtime/headless/headless_runtime.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

// The run holds itself to this much address space, so that a join the machine could not hold meets
// the program's out-of-memory path rather than the machine's memory.
constexpr rlim_t kAddressSpace = rlim_t{6} << 30;

double milliseconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

class SoakDir {
 public:
  SoakDir() {
    std::string tmpl = (fs::temp_directory_path() / "vimbrel-soak-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
    path_ = tmpl;
  }
  ~SoakDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  SoakDir(const SoakDir&) = delete;
  SoakDir& operator=(const SoakDir&) = delete;
  const fs::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

// The files the open dialogs answer with: two bitmaps, a JPEG, a broken file and a missing one.
std::vector<std::string> make_pictures(const SoakDir& dir, std::mt19937& rng) {
  auto noise = [&rng](int w, int h) {
    Bitmap b = Bitmap::create(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) b.at(x, y) = 0xFF000000u | (rng() & 0xFFFFFFu);
    return b;
  };
  write_bitmap_file(noise(180, 120), dir.file("a.bmp"));
  write_bitmap_file(noise(150, 170), dir.file("b.bmp"));

  const Bitmap j = noise(97, 61);
  tjhandle t = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  if (tjCompress2(t, reinterpret_cast<const unsigned char*>(j.row(0)), j.width(), 0, j.height(), TJPF_BGRX,
                  &out, &size, TJSAMP_420, 85, 0) != 0)
    std::abort();
  std::ofstream(dir.file("c.jpg"), std::ios::binary)
      .write(reinterpret_cast<const char*>(out), std::streamsize(size));
  tjFree(out);
  tjDestroy(t);

  std::ofstream(dir.file("broken.bmp"), std::ios::binary) << "BM this is no picture";
  return {dir.file("a.bmp"), dir.file("b.bmp"), dir.file("c.jpg"), dir.file("broken.bmp"),
          dir.file("none.bmp")};
}

// One program, started as `vimbrel` starts, in the soak folder.
struct Program {
  Program(const SoakDir& dir, bool in_order) : rt(form_layouts()), s(rt) {
    wire_program(s);
    if (in_order) {
      rt.bitmaps().set_streaming(true);
      rt.set_converter(std::make_unique<DeferringConverter>(std::make_unique<Converter>()));
    }
    start_up(s, dir.path());
  }
  HeadlessRuntime rt;
  Session s;
};

class Soak {
 public:
  Soak(unsigned seed, bool verbose, bool in_order) : rng_(seed), verbose_(verbose), in_order_(in_order) {
    fs::create_directory(dir_.file("work"));
    std::ofstream(dir_.file("KANKYO.TXT")) << "VIMBREL,1\nWORK," << dir_.file("work") << "/\n";
    pictures_ = make_pictures(dir_, rng_);
    for (const FormLayout& form : form_layouts()) {
      for (const ControlLayout& c : form.controls) {
        // Keys and menu items that only press a button are left out: the soak presses the button itself.
        const bool stands_for_button = c.name.starts_with("KEY") || c.name == "MENUNEW" ||
                                       c.name == "MENUOPEN" || c.name == "MENUSAVE" || c.name == "MENUUNDO";
        if (c.kind != ControlKind::Label && c.kind != ControlKind::Group && !stands_for_button)
          controls_.push_back(c);
      }
    }
    restart();
  }

  // Runs `events` actions; false at the first that did not hold.
  bool run(long events) {
    for (long i = 0; i < events; ++i) {
      std::string what;
      const auto began = std::chrono::steady_clock::now();
      try {
        // A read that fails leaves the canvas as it was: it may then lag the document (a previous file
        // read back has changed on disk, or is gone) until the next redraw.
        p_->s.doc.load.load_failed = 0;
        what = act();
        if (p_->s.doc.load.load_failed != 0) canvas_may_lag_ = true;
      } catch (const RuntimeError& e) {
        return fail(i, what, "runtime error " + std::to_string(e.code) + " escaped");
      } catch (const std::exception& e) {
        return fail(i, what, std::string("exception escaped: ") + e.what());
      } catch (...) {
        return fail(i, what, "something was thrown out of the program");
      }
      if (verbose_) std::printf("%ld %s (%.0f ms)\n", i, what.c_str(), milliseconds_since(began));
      if (!p_->rt.untrapped().empty()) {
        // Running out of memory untrapped ends the program in order, with its report: counted, and
        // the program started again. Any other untrapped error is a fault.
        const auto& u = p_->rt.untrapped().front();
        if (u.code != errc::kOutOfMemory)
          return fail(i, what, "untrapped error " + std::to_string(u.code) + " in " + u.procedure);
        if (verbose_) std::printf("out of memory in %s: the program ended\n", u.procedure.c_str());
        ++out_of_memory_ends_;
        restart();
        continue;
      }
      if (p_->rt.ended()) {
        if (p_->rt.exit_status() != 0) return fail(i, what, "the program ended with a failure");
        ++restarts_;
        restart();
        continue;
      }
      const auto checked = std::chrono::steady_clock::now();
      // A read that failed leaves the canvas as it was until the next redraw.
      if (std::string why = canvas_may_lag_ ? "" : canvas_check(p_->s, p_->rt, compared_); !why.empty())
        return fail(i, what, why);
      if (verbose_) std::printf("  checked (%.0f ms)\n", milliseconds_since(checked));
      messages_ += p_->rt.messages().size();
      p_->rt.clear_messages();
    }
    return true;
  }

  long performed() const { return performed_; }
  long restarts() const { return restarts_; }
  long compared() const { return compared_; }
  long out_of_memory_ends() const { return out_of_memory_ends_; }
  std::size_t messages() const { return messages_; }

 private:
  int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

  void restart() {
    p_ = std::make_unique<Program>(dir_, in_order_);
    canvas_may_lag_ = false;
    p_->s.shell.CG_ON_SUB = [this, show = p_->s.shell.CG_ON_SUB](Window w) {
      canvas_may_lag_ = false;
      show(w);
    };
  }

  // One random action on a random control; the description says what was done.
  std::string act() {
    HeadlessRuntime& rt = p_->rt;
    if (pick(40) == 0) {
      const int w = 200 + pick(900), h = 150 + pick(700);
      rt.resize_main_form(w, h);
      return "resize " + std::to_string(w) + "x" + std::to_string(h);
    }
    // Mostly a control the user can reach now; now and then any control, which must then refuse.
    std::vector<const ControlLayout*> reachable;
    for (const ControlLayout& c : controls_) {
      const Window w = rt.find(c.name);
      if (rt.ISWINDOWVISIBLE(w) && rt.ISWINDOWVISIBLE(rt.form_of(w)) && rt.enabled(w))
        reachable.push_back(&c);
    }
    const ControlLayout& c =
        reachable.empty() || pick(20) == 0
            ? controls_[static_cast<std::size_t>(pick(static_cast<int>(controls_.size())))]
            : *reachable[static_cast<std::size_t>(pick(static_cast<int>(reachable.size())))];
    bool done = false;
    std::string what = c.name;
    switch (c.kind) {
      case ControlKind::Button:
      case ControlKind::Radio:
      case ControlKind::Check:
      case ControlKind::MenuItem:
        done = click(c.name, what);
        break;
      case ControlKind::HScroll:
      case ControlKind::VScroll: {
        const auto [lo, hi] = rt.scroll_range(rt.find(c.name));
        const int pos = std::min(lo, hi) - 2 + pick(std::abs(hi - lo) + 5);
        what += " scroll " + std::to_string(pos);
        done = rt.scroll_to(c.name, pos);
        break;
      }
      case ControlKind::List: {
        const int row = pick(8) - 1;
        what += " row " + std::to_string(row);
        done = rt.select_row(c.name, row);
        break;
      }
      case ControlKind::Edit: {
        const char* texts[] = {"0", "1", "50", "120", "999", "-5", "abc", "", "32767", "65536"};
        const std::string text = texts[pick(10)];
        what += " type \"" + text + "\"";
        done = rt.type_text(c.name, text);
        break;
      }
      case ControlKind::Picture: {
        const char* events[] = {"MOUSEDOWN", "MOUSEMOVE", "MOUSEMOVE", "MOUSEUP"};
        const std::string event = events[pick(4)];
        const auto button = static_cast<std::int16_t>(pick(3));
        const auto x = static_cast<float>(pick(c.width + 200) - 100),
                   y = static_cast<float>(pick(c.height + 200) - 100);
        what += " " + event + " " + std::to_string(button) + " " + std::to_string(int(x)) + "," +
                std::to_string(int(y));
        done = rt.mouse(c.name, event, button, x, y);
        break;
      }
      default:
        break;
    }
    if (done) ++performed_;
    return what + (done ? "" : " (not usable)");
  }

  // A click; on a button that has opened a dialog before, mostly with an answer for it (a picture
  // to open, a file to save), otherwise the dialog is cancelled.
  bool click(const std::string& name, std::string& what) {
    HeadlessRuntime& rt = p_->rt;
    const bool dialog = dialog_buttons_.contains(name);
    what += " click";
    if (dialog && !answer_waiting_ && pick(4) != 0) {
      const std::string answer = pick(3) == 0 ? dir_.file(pick(2) ? "out.bmp" : "work") : pictures_[pick(5)];
      rt.push_dialog_answer(answer);
      answer_waiting_ = true;
      what += " answering " + fs::path(answer).filename().string();
    }
    const std::vector<std::string> before = rt.last_dialog();
    const bool done = rt.click(name);
    if (done && (dialog || rt.last_dialog() != before)) {
      dialog_buttons_.insert(name);
      answer_waiting_ = false;
    }
    return done;
  }

  bool fail(long i, const std::string& what, const std::string& why) {
    std::fprintf(stderr, "soak: action %ld (%s): %s\n", i, what.c_str(), why.c_str());
    return false;
  }

  SoakDir dir_;
  std::mt19937 rng_;
  bool verbose_;
  std::vector<std::string> pictures_;
  std::vector<ControlLayout> controls_;
  std::unique_ptr<Program> p_;
  long performed_ = 0, restarts_ = 0, compared_ = 0, out_of_memory_ends_ = 0;
  std::set<std::string> dialog_buttons_;
  bool in_order_ = false;
  bool answer_waiting_ = false;
  bool canvas_may_lag_ = false;  // a read failed since the last redraw
  std::size_t messages_ = 0;
};

int usage() {
  std::fprintf(stderr, "usage: soak --events N --seed S [--verbose] [--in-order]\n");
  return 2;
}

}  // namespace
}  // namespace vimbrel

int main(int argc, char** argv) {
  long events = 1000;
  unsigned long seed = 1;
  bool verbose = false, in_order = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    char* end = nullptr;
    if (arg == "--verbose") {
      verbose = true;
    } else if (arg == "--in-order") {
      in_order = true;
    } else if ((arg == "--events" || arg == "--seed") && i + 1 < argc) {
      const unsigned long v = std::strtoul(argv[++i], &end, 10);
      if (*end != '\0' || end == argv[i]) return vimbrel::usage();
      if (arg == "--events") {
        events = static_cast<long>(v);
      } else {
        seed = v;
      }
    } else {
      return vimbrel::usage();
    }
  }
  const rlimit limit{vimbrel::kAddressSpace, vimbrel::kAddressSpace};
  ::setrlimit(RLIMIT_AS, &limit);
  const auto start = std::chrono::steady_clock::now();
  vimbrel::Soak soak(static_cast<unsigned>(seed), verbose, in_order);
  const bool held = soak.run(events);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf(
      "soak: seed %lu, %ld events, %ld performed, %ld canvases compared, %zu messages, %ld program ends, "
      "%ld out-of-memory ends, %.1f s: %s\n",
      seed, events, soak.performed(), soak.compared(), soak.messages(), soak.restarts(),
      soak.out_of_memory_ends(), seconds, held ? "held" : "FAILED");
  return held ? 0 : 1;
}
