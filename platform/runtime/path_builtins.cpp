#include "platform/runtime/path_builtins.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/pixels/runtime_error.h"
#include "platform/system/file_io.h"
#include "platform/system/fs_checks.h"

namespace vimbrel {

namespace {

// UTF-8 continuation and lead bytes are all 0x80 or above, so a byte walk never mistakes part of a
// character for a separator.
bool is_separator(char c) {
  return c == '\\' || c == '/';
}
bool is_ascii_letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Length of the drive part: "\\server\share" up to the next separator, or a letter and a colon.
std::size_t drive_length(std::string_view path) {
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    std::size_t i = 2;
    while (i < path.size() && !is_separator(path[i])) ++i;  // server
    if (i == path.size()) return i;
    ++i;
    while (i < path.size() && !is_separator(path[i])) ++i;  // share
    return i;
  }
  if (path.size() >= 2 && is_ascii_letter(path[0]) && path[1] == ':') return 2;
  return 0;
}

}  // namespace

bool FILE_EXISTS(std::string_view name) {
  if (name.find_first_of("*?") != std::string_view::npos) throw RuntimeError{errc::kBadWildcard};
  if (name.empty()) return false;
  const std::string path = memory_guarded([&] { return std::string(name); });
  struct stat entry {};
  if (::lstat(path.c_str(), &entry) != 0) return false;
  if (S_ISDIR(entry.st_mode)) return false;
  struct stat target {};
  return !(S_ISLNK(entry.st_mode) && ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode));
}

void KILL(const std::string& name) {
  // Held over the removal, so that the last close, which frees what the file held, is not this one.
  UniqueFd held = hold_file(name);
  std::error_code ec;
  if (!std::filesystem::remove(name, ec) && ec) throw RuntimeError{errc::kPathAccess};
  if (held) close_in_background(std::move(held));
}

void SPLIT_PATH(std::string_view path, std::string& drive, std::string& dir, std::string& name,
                std::string& ext) {
  const std::size_t drive_end = drive_length(path);
  std::size_t file_start = drive_end;
  for (std::size_t i = drive_end; i < path.size(); ++i) {
    if (is_separator(path[i])) file_start = i + 1;
  }
  const std::string_view file = path.substr(file_start);
  const std::size_t dot = file.rfind('.');
  const std::size_t name_end = dot == std::string_view::npos ? file.size() : dot;
  memory_guarded([&] {
    drive = path.substr(0, drive_end);
    dir = path.substr(drive_end, file_start - drive_end);
    name = file.substr(0, name_end);
    ext = file.substr(name_end);
    return 0;
  });
}

std::string CURRENT_DIR(std::string_view drive) {
  if (!drive.empty() && !(drive.size() == 2 && is_ascii_letter(drive[0]) && drive[1] == ':')) {
    throw RuntimeError{errc::kIllegalCall};
  }
  return memory_guarded([] {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
      if (errno != ERANGE) return std::string();
      buffer.resize(buffer.size() * 2);
    }
    return std::string(buffer.data());
  });
}

std::string with_extension(std::string_view path, std::string_view extension) {
  std::string drive, dir, name, ext;
  SPLIT_PATH(path, drive, dir, name, ext);
  return drive + dir + name + std::string(extension);
}

std::string file_under_any_extension_case(const std::string& path) {
  std::string drive, dir, name, ext;
  SPLIT_PATH(path, drive, dir, name, ext);
  std::error_code ec;
  if (ext.empty() || std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return path;
  const std::string folder = drive + dir;
  const auto lower = [](std::string t) {
    std::ranges::transform(t, t.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return t;
  };
  std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (entry.size() == name.size() + ext.size() && entry.starts_with(name) &&
        lower(entry.substr(name.size())) == lower(ext) && !it->is_directory(ec)) {
      return folder + entry;
    }
  }
  return path;
}

bool FOLDER_WRITABLE_FOR(std::string_view file_path) {
  std::string drive, dir, name, ext;
  SPLIT_PATH(file_path, drive, dir, name, ext);
  return folder_writable(drive + dir);
}

}  // namespace vimbrel
