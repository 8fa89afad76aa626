// The screen as the host reports it to forms and controls.
#pragma once

#include "platform/Desktop.h"

namespace host {

class Screen {
 public:
  explicit Screen(platform::Desktop& desktop) : desktop_(desktop) {}
  static constexpr int TwipsPerPixelX() { return 15; }
  static constexpr int TwipsPerPixelY() { return 15; }
  int Width() const { return desktop_.ScreenWidth() * TwipsPerPixelX(); }
  int Height() const { return desktop_.ScreenHeight() * TwipsPerPixelY(); }

 private:
  platform::Desktop& desktop_;
};

// Twips to whole pixels, rounding halves away from zero.
int TwipsToPixels(int twips, int twipsPerPixel = 15);

}  // namespace host
