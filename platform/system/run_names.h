// Names that tell which process made a file or folder, so that what a killed run left behind can be
// recognised and swept by the next one: "vimbrel-<pid>-<random>". The process id only tells people
// which run it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vimbrel {

// A hard-to-guess number for a temporary name; the exclusive create is what makes the name safe.
std::uint64_t random_tag();

// "vimbrel-<this process's id>-<random_tag()>".
std::string run_tag();

// True when `name`, from `at` on, is a run tag followed by `suffix` and nothing else. Whether that
// run still runs is its lock's to tell (run_lock.h), never its process id's.
bool is_run_tag(std::string_view name, std::size_t at, std::string_view suffix);

}  // namespace vimbrel
