// Bitmap creations that fail on cue, as if memory had run out, installed in a runtime's bitmap store.
#pragma once

#include "platform/pixels/runtime_error.h"
#include "platform/runtime/headless/headless_runtime.h"

namespace vimbrel::test {

class FailingCreations {
 public:
  explicit FailingCreations(BitmapStore& store) {
    store.set_creation_check([this] { check(); });
  }
  FailingCreations(const FailingCreations&) = delete;
  FailingCreations& operator=(const FailingCreations&) = delete;

  // After `after` more creations succeed, the next `times` fail with `code`.
  void fail_next(int times, int code, int after) { failing_ = times, code_ = code, before_failing_ = after; }

 private:
  void check() {
    if (failing_ > 0 && before_failing_ > 0) {
      --before_failing_;
    } else if (failing_ > 0) {
      --failing_;
      throw RuntimeError{code_};
    }
  }

  int failing_ = 0, code_ = errc::kOutOfMemory, before_failing_ = 0;
};

// The headless runtime whose CREATEBITMAP a test can make fail.
class TestRuntime : public HeadlessRuntime {
 public:
  explicit TestRuntime(std::vector<FormLayout> layouts) : HeadlessRuntime(std::move(layouts)) {}

  // After `after` more CREATEBITMAP calls succeed, the next `times` fail with `code` (7: out of memory).
  void fail_next_create_bitmap(int times = 1, int code = errc::kOutOfMemory, int after = 0) {
    failures_.fail_next(times, code, after);
  }

 private:
  FailingCreations failures_{bitmaps()};
};

}  // namespace vimbrel::test
