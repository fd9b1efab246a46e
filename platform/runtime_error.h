// The one error convention of the form runtime: a failing operation throws RuntimeError{code}.
#pragma once

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

// Thrown out of WAITEVENT once the runtime has ended the program; main() returns `status`.
struct ProgramEnded {
  int status = 0;
};

}  // namespace vimbrel
