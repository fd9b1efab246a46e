#include "app/qt_module.h"

#include <dlfcn.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>

#include "app/program_folder.h"
#include "platform/imageio/qt_codecs.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kModuleName = "vimbrel-qt.so";

fs::path module_path() {
  const std::optional<fs::path> folder = program_folder();
  // Never a bare name, which the loader would look for along its own search path.
  if (!folder) return fs::path(VIMBREL_INSTALLED_QT_MODULE_DIR) / kModuleName;
  std::error_code ec;
  fs::path beside = *folder / kModuleName;
  if (fs::exists(beside, ec)) return beside;
  return (*folder / VIMBREL_QT_MODULE_FROM_BIN / kModuleName).lexically_normal();
}

// Loaded once; a module that cannot be loaded is said once, and stays missing for the run.
void* module() {
  static void* const handle = [] {
    const fs::path path = module_path();
    void* h = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) std::cerr << "vimbrel: cannot load " << path.string() << ": " << ::dlerror() << "\n";
    return h;
  }();
  return handle;
}

template <typename Function>
Function* entry(const char* name) {
  void* const h = module();
  return h ? reinterpret_cast<Function*>(::dlsym(h, name)) : nullptr;
}

}  // namespace

const QtCodecs* qt_codecs() {
  static const QtCodecs* const codecs = [] {
    auto* const get = entry<const QtCodecs*()>("vimbrel_qt_codecs");
    return get ? get() : nullptr;
  }();
  return codecs;
}

int run_gui_module(int argc, char** argv) {
  // Qt would abort without a display; say why instead.
  const auto set = [](const char* name) { return ::getenv(name) != nullptr && *::getenv(name) != '\0'; };
  if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM")) {
    std::cerr << "vimbrel: no display to open the windows on (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                 "`vimbrel join` works without one\n";
    return 1;
  }
  auto* const run = entry<int(int, char**)>("vimbrel_run_gui");
  return run ? run(argc, argv) : 1;
}

}  // namespace vimbrel
