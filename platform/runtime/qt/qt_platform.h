// The real windows for the entry point: the Qt application object and the Qt form runtime, made in
// the order Qt needs. The entry point includes this header and no Qt header.
#pragma once

#include <memory>
#include <vector>

#include "platform/runtime/form_layout.h"
#include "platform/runtime/qt/qt_runtime.h"

class QApplication;

namespace vimbrel {

class QtPlatform {
 public:
  // `argc` must outlive the platform (main's own argc does).
  QtPlatform(int& argc, char** argv, std::vector<FormLayout> layouts);
  ~QtPlatform();
  QtPlatform(const QtPlatform&) = delete;
  QtPlatform& operator=(const QtPlatform&) = delete;

  QtRuntime& runtime() { return *runtime_; }

 private:
  std::unique_ptr<QApplication> app_;
  std::unique_ptr<QtRuntime> runtime_;  // declared last: goes before the application
};

}  // namespace vimbrel
