// The one error convention of the form runtime: a failing operation throws RuntimeError{code, detail}.
#pragma once

#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vimbrel {

// Run-time error codes raised by the form runtime and the built-ins.
namespace errc {
inline constexpr int kIllegalCall = 5;       // an argument out of range, an object that holds nothing
inline constexpr int kOutOfMemory = 7;       // pixels or a buffer cannot be allocated
inline constexpr int kBadFileName = 52;      // a path that cannot name a file
inline constexpr int kFileNotFound = 53;     // a file to read is missing
inline constexpr int kBadWildcard = 55;      // "*" or "?" given where one file is meant
inline constexpr int kReadPastEnd = 62;      // a text file ends before the line asked for
inline constexpr int kPathAccess = 75;       // a file or folder cannot be opened or written
inline constexpr int kInvalidPicture = 481;  // a bitmap file that cannot be read
}  // namespace errc

// What a code means, in a few English words, for a refusal that carries no detail of its own.
constexpr std::string_view error_text(int code) {
  switch (code) {
    case errc::kIllegalCall:
      return "illegal function call";
    case errc::kOutOfMemory:
      return "not enough memory";
    case errc::kBadFileName:
      return "bad file name";
    case errc::kFileNotFound:
      return "not found";
    case errc::kBadWildcard:
      return "a wildcard where one file is meant";
    case errc::kReadPastEnd:
      return "the file ends too soon";
    case errc::kPathAccess:
      return "the file or folder cannot be opened or written";
    case errc::kInvalidPicture:
      return "a broken picture";
    default:
      return "error";
  }
}

// `detail` is a short English cause, filled in where the refusal is decided ("BMP header claims
// 60000 × 60000 pixels but the file holds 1 KB"): the `join` command prints it; the windows' message
// boxes keep their given texts. Empty: error_text(code) says all there is.
struct RuntimeError {
  explicit RuntimeError(int error_code = 0, std::string error_detail = {})
      : code(error_code), detail(std::move(error_detail)) {}

  int code;
  std::string detail;

  std::string cause() const { return detail.empty() ? std::string(error_text(code)) : detail; }
};

// Runs `step` under an error trap: nothing when it completes, otherwise the error it failed with (a
// failed allocation is 7, a RuntimeError without a code 5).
template <typename Step>
std::optional<RuntimeError> trap(Step&& step) {
  try {
    step();
    return std::nullopt;
  } catch (const RuntimeError& e) {
    return RuntimeError{e.code != 0 ? e.code : errc::kIllegalCall, e.detail};
  } catch (const std::bad_alloc&) {
    return RuntimeError{errc::kOutOfMemory, {}};
  }
}

// The same, giving the code only: 0 when it completes.
template <typename Step>
int trapped(Step&& step) {
  const std::optional<RuntimeError> e = trap(std::forward<Step>(step));
  return e ? e->code : 0;
}

// Runs `step` and gives back its result; a failed allocation inside it becomes RuntimeError 7, the
// one way an exhausted heap is reported across the layers.
template <typename Step>
decltype(auto) memory_guarded(Step&& step) {
  try {
    return step();
  } catch (const std::bad_alloc&) {
    throw RuntimeError{errc::kOutOfMemory, {}};
  }
}

// Grows `buffer` to at least `bytes` (never shrinks it); RuntimeError 7 when it cannot be had.
inline void grow_guarded(std::vector<std::uint8_t>& buffer, std::size_t bytes) {
  if (buffer.size() < bytes) buffer = memory_guarded([&] { return std::vector<std::uint8_t>(bytes); });
}

// Thrown out of WAITEVENT once the runtime has ended the program; main() returns `status`.
struct ProgramEnded {
  int status = 0;
};

}  // namespace vimbrel
