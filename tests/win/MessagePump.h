// The Win32 test programs' message loop: what the desktop would run, turned
// until a condition holds.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

namespace wintest {

// Runs the message loop until `done` or the time is up; false when the time
// ran out first.
inline bool Pump(const std::function<bool()>& done,
                 std::chrono::milliseconds most = std::chrono::seconds(10)) {
  const auto end = std::chrono::steady_clock::now() + most;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

}  // namespace wintest
