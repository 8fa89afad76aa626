// Translations between GDK's names and numbers and the host's.
#pragma once

// The Win32 subset before GDK, whose TRUE and FALSE macros would break it.
#include "platform/Desktop.h"

// Then the toolkit.
#include <gdk/gdk.h>

#include <optional>

namespace platform::gtk {

// GDK button number (1 left, 2 middle, 3 right) to the host's (1 left,
// 2 right, 4 middle); 0 for buttons the host does not know.
int HostButton(guint gdkButton);
// The host's shift state (1 shift, 2 ctrl, 4 alt) from a modifier mask.
int HostShift(guint state);
// The buttons held in a modifier mask, as the host counts them.
int HostButtons(guint state);
// The cursor theme name for a host cursor; null for the default arrow.
const char* CursorName(Cursor cursor);
// The window edge a sizing loop starts from for a hit-test code; nullopt
// for a code that starts no sizing loop (HTCAPTION moves instead).
std::optional<GdkWindowEdge> SizingEdge(WPARAM hitCode);

}  // namespace platform::gtk
