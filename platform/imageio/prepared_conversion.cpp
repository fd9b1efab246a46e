#include "platform/imageio/prepared_conversion.h"

#include <fcntl.h>
#include <stdio.h>

#include <filesystem>
#include <mutex>
#include <system_error>
#include <utility>

#include "platform/imageio/jpeg2bmp.h"

namespace vimbrel {

namespace {

// The one conversion the converter may take; only the command that made it installs it.
std::mutex g_installed_mutex;
PreparedConversion* g_installed = nullptr;

void remove_quietly(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

}  // namespace

PreparedConversion::PreparedConversion(std::string source, std::string destination, std::string scratch)
    : source_(std::move(source)), destination_(std::move(destination)), scratch_(std::move(scratch)) {
  try {
    worker_ = std::jthread([this] { converted_ = convert_jpeg_ahead(source_, scratch_); });
  } catch (const std::system_error&) {
    return;  // no thread to be had: the converter does it all, as it always did
  }
  const std::lock_guard lock(g_installed_mutex);
  g_installed = this;
}

PreparedConversion::~PreparedConversion() {
  {
    const std::lock_guard lock(g_installed_mutex);
    if (g_installed == this) g_installed = nullptr;
  }
  if (worker_.joinable()) worker_.join();
  if (!taken_) remove_quietly(scratch_);
}

std::optional<ConvertedPicture> PreparedConversion::take() {
  worker_.join();
  // RENAME_NOREPLACE keeps the converter's own rule: a path already taken is never replaced. The
  // rename keeps the file's identity, so its kept pixels still count.
  if (converted_ &&
      ::renameat2(AT_FDCWD, scratch_.c_str(), AT_FDCWD, destination_.c_str(), RENAME_NOREPLACE) == 0) {
    taken_ = true;
    return std::exchange(converted_, std::nullopt);
  }
  remove_quietly(scratch_);
  converted_.reset();
  return std::nullopt;
}

std::optional<ConvertedPicture> take_prepared_conversion(const std::string& source,
                                                         const std::string& destination) {
  const std::lock_guard lock(g_installed_mutex);
  if (g_installed == nullptr || g_installed->source_ != source || g_installed->destination_ != destination) {
    return std::nullopt;
  }
  return std::exchange(g_installed, nullptr)->take();
}

}  // namespace vimbrel
