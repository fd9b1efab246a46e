#include "platform/imageio/prepared_conversion.h"

#include <fcntl.h>
#include <stdio.h>

#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/imageio/jpeg2bmp.h"

namespace vimbrel {

namespace {

void remove_quietly(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

}  // namespace

PreparedConversion::PreparedConversion(std::string source, std::string destination, std::string scratch)
    : source_(std::move(source)), destination_(std::move(destination)), scratch_(std::move(scratch)) {
  try {
    worker_ = std::jthread([this] { converted_ = convert_jpeg_ahead(source_, scratch_); });
    pending_ = true;
  } catch (const std::system_error&) {
    // No thread to be had: every conversion is the plain one.
  }
}

PreparedConversion::~PreparedConversion() {
  end();
}

void PreparedConversion::end() {
  if (worker_.joinable()) worker_.join();
  if (pending_) remove_quietly(scratch_);
  pending_ = false;
  converted_.reset();
}

ConvertedPicture PreparedConversion::convert(const std::string& source, const std::string& destination) {
  if (pending_ && source == source_ && destination == destination_) {
    if (std::optional<ConvertedPicture> prepared = take()) return std::move(*prepared);
  }
  return Converter::convert(source, destination);
}

std::optional<ConvertedPicture> PreparedConversion::take() {
  worker_.join();
  pending_ = false;
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

}  // namespace vimbrel
