// The keys and mouse buttons with which the control would take its view
// away from the page or open a window of its own: Backspace outside a text
// field, Alt+Left and Alt+Right, Alt+Home, the keyboard's browser keys,
// Ctrl+N, Ctrl+O and Ctrl+L, and the mouse's back and forward buttons.
// Reloading (F5), zooming (Ctrl with + - 0 and the wheel), printing and the
// editing keys stay: they leave the page where it is.
#pragma once

#include "platform/win32.h"

#include <exdisp.h>

namespace platform::win {

struct KeyState {
  bool control = false;
  bool alt = false;
  // Focus is in a field that takes text, where Backspace deletes.
  bool typing = false;
};

bool LeavesPage(UINT message, WPARAM key, const KeyState& state);

// The same for a message bound for the control, with the keyboard's state
// and the page's focus as they are now.
bool LeavesPage(const MSG& msg, IWebBrowser2* browser);

}  // namespace platform::win
