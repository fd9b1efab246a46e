#include "app/settings_file.h"

#include <iconv.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "platform/pixels/runtime_error.h"

namespace vimbrel {
namespace {

bool valid_utf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) >> 6) != 2) return false;
    }
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

std::string cp932_to_utf8(const std::string& in) {
  const std::unique_ptr<void, int (*)(iconv_t)> cd(iconv_open("UTF-8", "CP932"), iconv_close);
  if (cd.get() == reinterpret_cast<iconv_t>(-1)) return in;
  std::string out(in.size() * 3 + 4, '\0');
  char* src = const_cast<char*>(in.data());
  char* dst = out.data();
  std::size_t src_left = in.size(), dst_left = out.size();
  while (src_left > 0) {
    if (iconv(cd.get(), &src, &src_left, &dst, &dst_left) == static_cast<std::size_t>(-1)) {
      // An undecodable byte: keep going with a replacement, the path will then simply not exist.
      *dst++ = '?', --dst_left;
      ++src, --src_left;
    }
  }
  out.resize(out.size() - dst_left);
  return out;
}

}  // namespace

std::string read_work_drive(const std::filesystem::path& folder) {
  std::ifstream in(folder / kSettingsFileName, std::ios::binary);
  if (!in) throw RuntimeError{errc::kFileNotFound};
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string text = valid_utf8(bytes) ? bytes : cp932_to_utf8(bytes);
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);

  std::istringstream lines(text);
  std::string line1, line2;
  if (!std::getline(lines, line1) || !std::getline(lines, line2)) throw RuntimeError{errc::kReadPastEnd};
  if (!line2.empty() && line2.back() == '\r') line2.pop_back();
  const auto comma = line2.find(',');
  return comma == std::string::npos ? line2 : line2.substr(comma + 1);
}

std::string settings_file_problem(const std::filesystem::path& folder, int code) {
  const std::string where = (folder / kSettingsFileName).string();
  const std::string what =
      code == errc::kReadPastEnd ? "ends before its second line" : "is missing or cannot be read";
  return "The settings file " + where + " " + what +
         ".\nIts line 2 must hold a label, a comma and the work folder for converted images, ending in a "
         "separator (for example: WORK,/tmp/).";
}

}  // namespace vimbrel
