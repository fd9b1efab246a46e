#include "platform/system/write_file_beside.h"

#include <sys/stat.h>

#include "platform/pixels/runtime_error.h"
#include "platform/system/file_io.h"
#include "platform/system/fs_checks.h"
#include "platform/system/temp_file.h"

namespace vimbrel {

void write_file_beside(const std::string& path, const std::function<bool(int fd, bool replaces)>& write) {
  const std::string target = replaceable_target(path);
  ExclusiveTempFile temp = ExclusiveTempFile::beside(target);
  struct stat old {};
  const bool replaces = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  if (replaces) static_cast<void>(::fchmod(temp.fd(), old.st_mode & 07777));  // keep the replaced file's mode
  const bool written = write(temp.fd(), replaces);
  // The replaced file is held open over the rename, so that its blocks are freed (and, on a file
  // system that discards them, waited for) on another thread instead of inside the rename.
  UniqueFd replaced = replaces ? hold_file(target) : UniqueFd{};
  if (!written) {
    throw RuntimeError{errc::kPathAccess, no_space_left(temp.fd()) ? "no space left in the output folder"
                                                                   : "the file could not be written"};
  }
  if (!temp.rename_over(target)) throw RuntimeError{errc::kPathAccess, "the file could not be put in place"};
  if (replaced) close_in_background(std::move(replaced));
}

}  // namespace vimbrel
