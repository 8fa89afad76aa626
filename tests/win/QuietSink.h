// A window's sink for the Win32 tests that look at the web views, not at
// the frame: whatever the window reports is let go.
#pragma once

#include "platform/Desktop.h"

namespace wintest {

class QuietSink : public platform::WindowSink {
 public:
  void OnPointer(const platform::PointerEvent&) override {}
  void OnBoundsChanged(int, int, int, int) override {}
  void OnStateChanged(int, const RECT&) override {}
  void OnCloseRequested() override {}
  void OnCaptureReleased() override {}
  void Render(gdi::Surface&) override {}
};

}  // namespace wintest
