// The one error convention of the form runtime: a failing operation throws RuntimeError{code}.
#pragma once

#include <new>

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

struct RuntimeError {
  int code = 0;
};

// Runs `step` under an error trap: 0 when it completes, otherwise the code it failed with (a failed
// allocation is 7, a RuntimeError without a code 5).
template <typename Step>
int trapped(Step&& step) {
  try {
    step();
    return 0;
  } catch (const RuntimeError& e) {
    return e.code != 0 ? e.code : errc::kIllegalCall;
  } catch (const std::bad_alloc&) {
    return errc::kOutOfMemory;
  }
}

// Runs `step` and gives back its result; a failed allocation inside it becomes RuntimeError 7, the
// one way an exhausted heap is reported across the layers.
template <typename Step>
decltype(auto) memory_guarded(Step&& step) {
  try {
    return step();
  } catch (const std::bad_alloc&) {
    throw RuntimeError{errc::kOutOfMemory};
  }
}

// Thrown out of WAITEVENT once the runtime has ended the program; main() returns `status`.
struct ProgramEnded {
  int status = 0;
};

}  // namespace vimbrel
