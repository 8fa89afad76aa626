// The desktop of the platform the program runs on (GTK 3 + WebKitGTK on
// Linux). Null, with the reason on stderr, when there is no display.
#pragma once

#include <memory>

#include "platform/Desktop.h"

namespace platform {

std::unique_ptr<Desktop> CreateNativeDesktop(int& argc, char**& argv);

}  // namespace platform
