// Pins a top-level window above all others, or lets it go. It holds no
// state: the window manager keeps the topmost flag and nobody reads it back.
#pragma once

#include "platform/win32.h"

class clsOnTop {
 public:
  void MakeNormal(HWND hwnd);
  void MakeTopMost(HWND hwnd);
};
