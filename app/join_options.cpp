#include "app/join_options.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace vimbrel {
namespace {

// Comma-separated integers, exactly `count` of them, each within [lo, hi].
template <std::size_t N>
std::optional<std::array<int, N>> int_list(const std::string& text, int lo, int hi) {
  std::array<int, N> v{};
  const char* p = text.data();
  const char* end = text.data() + text.size();
  for (std::size_t i = 0; i < N; ++i) {
    const auto [next, ec] = std::from_chars(p, end, v[i]);
    if (ec != std::errc{} || v[i] < lo || v[i] > hi) return std::nullopt;
    p = next;
    if (i + 1 < N) {
      if (p == end || *p != ',') return std::nullopt;
      ++p;
    }
  }
  if (p != end) return std::nullopt;
  return v;
}

constexpr int kMaxMargin = 32767;
constexpr int kMaxCoordinate = 1'000'000;

bool apply(JoinOptions& o, const std::string& name, const std::string& value, std::string& error) {
  if (name == "-o" || name == "--output") {
    o.out = value;
  } else if (name == "--side") {
    const std::vector<std::string> sides = {"right", "below", "left", "above"};  // in kAllSides order
    const auto named = std::find(sides.begin(), sides.end(), value);
    if (named == sides.end()) {
      error = "--side must be right, below, left or above";
    } else {
      o.side = kAllSides[static_cast<std::size_t>(named - sides.begin())];
    }
  } else if (name == "--margin") {
    const auto m = int_list<2>(value, 0, kMaxMargin);
    if (!m) error = "--margin must be X,Y with whole numbers from 0 to 32767";
    if (m) o.margin_x = std::to_string((*m)[0]), o.margin_y = std::to_string((*m)[1]);
  } else if (name == "--effect") {
    const auto e = int_list<1>(value, 0, 5);
    if (!e) error = "--effect must be a number from 0 to 5";
    if (e) o.effect = (*e)[0];
  } else if (name == "--on-top") {
    if (value != "a" && value != "b") error = "--on-top must be a or b";
    o.a_on_top = value == "a";
  } else if (name == "--crop-a" || name == "--crop-b") {
    const auto c = int_list<4>(value, 0, kMaxCoordinate);
    if (!c) error = name + " must be L,T,R,B with whole numbers of 0 or more";
    (name == "--crop-a" ? o.crop_a : o.crop_b) = c;
  } else if (name == "--move-a" || name == "--move-b") {
    const auto m = int_list<2>(value, -kMaxCoordinate, kMaxCoordinate);
    if (!m) error = name + " must be DX,DY with whole numbers";
    (name == "--move-a" ? o.move_a : o.move_b) = m;
  } else if (name == "--align") {
    if (value != "start" && value != "centre" && value != "end" && value != "auto")
      error = "--align must be start, centre, end or auto";
    o.align_b = value;
  } else if (name == "--format") {
    if (value != "bmp" && value != "png" && value != "jpeg") error = "--format must be bmp, png or jpeg";
    o.extension = value == "png" ? ".PNG" : value == "jpeg" ? ".JPG" : ".BMP";
  } else if (name == "--quality") {
    const auto q = int_list<1>(value, 1, 100);
    if (!q) error = "--quality must be a whole number from 1 to 100";
    if (q) o.quality = (*q)[0];
  } else if (name == "--jobs") {
    const auto j = int_list<1>(value, 1, 1024);
    if (!j) error = "--jobs must be a whole number of 1 or more";
    if (j) o.jobs = (*j)[0];
  } else if (name == "--work-dir") {
    o.work_dir = value;
  } else {
    error = "unknown option " + name;
  }
  return error.empty();
}

}  // namespace

std::optional<JoinOptions> parse_join_options(std::span<const std::string> args, std::string& error) {
  JoinOptions o;
  std::vector<std::string> inputs;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& w = args[i];
    if (w == "-h" || w == "--help") {
      o.help = true;
      return o;
    }
    if (w == "--apply-effect") {
      o.apply_effect = true;
    } else if (w.size() > 1 && w[0] == '-') {
      const auto eq = w.find('=');
      std::string name = w.substr(0, eq), value;
      if (eq != std::string::npos) {
        value = w.substr(eq + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        error = name + " needs a value";
        return std::nullopt;
      }
      if (!apply(o, name, value, error)) return std::nullopt;
    } else {
      inputs.push_back(w);
    }
  }
  if (inputs.size() != 2) {
    error = "give exactly two pictures, A and B";
    return std::nullopt;
  }
  if (o.out.empty()) {
    error = "give the output file with -o OUT";
    return std::nullopt;
  }
  o.a = inputs[0], o.b = inputs[1];
  return o;
}

}  // namespace vimbrel
