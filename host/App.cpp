#include "host/App.h"

#include "platform/File.h"

namespace host {

namespace {
std::string& Override() {
  static std::string folder;
  return folder;
}
}  // namespace

std::string App::Path() {
  if (!Override().empty()) return Override();
  return platform::ExecutableFolder();
}

void App::Path(const std::string& folder) { Override() = folder; }

}  // namespace host
