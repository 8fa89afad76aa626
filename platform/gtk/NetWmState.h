// The window manager's state of a window as it has written it on the
// window (_NET_WM_STATE), read from the server: GDK's copy follows only once
// the property change has come back as an event.
#pragma once

#include <gdk/gdk.h>

#include <initializer_list>

namespace platform::gtk {

// Whether the window's _NET_WM_STATE holds every atom named; false for a
// window that is not on X11 or has no such property.
bool NetWmStateHas(GdkWindow* window, std::initializer_list<const char*> atoms);

}  // namespace platform::gtk
