#include "platform/system/run_names.h"

#include <unistd.h>

#include <charconv>
#include <chrono>
#include <exception>
#include <random>

namespace vimbrel {

namespace {

constexpr std::string_view kPrefix = "vimbrel-";

// Reads decimal digits from `text` at `at` and moves past them; false when there are none.
template <typename Number>
bool read_number(std::string_view text, std::size_t& at, Number& value) {
  const char* begin = text.data() + at;
  const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
  if (ec != std::errc{} || end == begin) return false;
  at += static_cast<std::size_t>(end - begin);
  return true;
}

}  // namespace

std::uint64_t random_tag() {
  static_assert(sizeof(std::random_device::result_type) == 4);
  try {
    std::random_device random;
    return std::uint64_t{random()} << 32 | random();
  } catch (const std::exception&) {  // no entropy source: the clock and the process id will do
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
           static_cast<std::uint64_t>(::getpid()) << 48;
  }
}

std::string run_tag() {
  return std::string(kPrefix) + std::to_string(::getpid()) + "-" + std::to_string(random_tag());
}

bool is_run_tag(std::string_view name, std::size_t at, std::string_view suffix) {
  if (at > name.size() || name.substr(at, kPrefix.size()) != kPrefix) return false;
  at += kPrefix.size();
  pid_t pid = 0;
  std::uint64_t tag = 0;
  if (!read_number(name, at, pid) || pid <= 0 || at >= name.size() || name[at++] != '-' ||
      !read_number(name, at, tag) || name.substr(at) != suffix) {
    return false;
  }
  return true;
}

}  // namespace vimbrel
