// The main window's outline: in the normal state the two top corners are cut
// by short diagonals; otherwise the window is a full rectangle.
#pragma once

#include <array>

#include "controls/caption/WorkAreaHold.h"
#include "platform/win32.h"

namespace app {

// The seven polygon points (the last repeats the first) for a window of the
// given outer size in twips. The outline always converts at 15 twips a
// pixel, whatever the screen's factor, rounding halves to even.
std::array<POINT, 7> OutlinePoints(double widthTwips, double heightTwips);

// Gives the window its cut outline in the normal state and removes any
// outline otherwise.
void ApplyOutline(HWND hwnd, caption::Style2 style2, int widthTwips, int heightTwips);

}  // namespace app
