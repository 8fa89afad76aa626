#include "platform/NativeDesktop.h"

#include "platform/win/desktop/WinDesktop.h"

namespace platform {

std::unique_ptr<Desktop> CreateNativeDesktop(int& argc, char**& argv) {
  (void)argc, (void)argv;
  return std::make_unique<win::WinDesktop>();
}

}  // namespace platform
