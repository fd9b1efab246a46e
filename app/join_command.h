// `vimbrel join A B -o OUT [options]`: the program's own procedures run on the headless runtime, as a
// user would drive them, for batch work without a display.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace vimbrel {

// Exit statuses of the command.
inline constexpr int kJoinWritten = 0;
inline constexpr int kJoinFailed = 1;
inline constexpr int kJoinBadArguments = 2;

std::string join_usage();

// How the command reads its pictures: left in their files and read in order where they can be (a
// picture read whole only when something needs it out of order), or each read whole at its load as
// the windows read them. Both give the same files and messages.
enum class JoinReading { kInOrder, kWhole };

// How a run read in order came to read its pictures: nothing a user sees, only what tests look at.
struct JoinReadingTrace {
  int read_whole = 0;             // pictures read whole all the same (a turned JPEG, say)
  bool read_again_whole = false;  // a picture read otherwise than whole would have: run again whole
};

// `args` are the words after "join". Prints the written file's path on `out`, failures on `err`.
int run_join_command(std::span<const std::string> args, std::ostream& out, std::ostream& err,
                     JoinReading reading = JoinReading::kInOrder, JoinReadingTrace* trace = nullptr);

}  // namespace vimbrel
