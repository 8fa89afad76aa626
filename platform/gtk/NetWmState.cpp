#include "platform/gtk/NetWmState.h"

// X11 last: it defines macros (None, Bool, Status) that clash with names in
// the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <vector>

namespace platform::gtk {

bool NetWmStateHas(GdkWindow* window, std::initializer_list<const char*> atoms) {
  if (window == nullptr || !GDK_IS_X11_WINDOW(window)) return false;
  GdkDisplay* display = gdk_window_get_display(window);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  // 64 atoms are more states than window managers define.
  if (XGetWindowProperty(GDK_DISPLAY_XDISPLAY(display), GDK_WINDOW_XID(window),
                         gdk_x11_get_xatom_by_name_for_display(display, "_NET_WM_STATE"), 0, 64,
                         False, XA_ATOM, &type, &format, &count, &after, &data) != Success) {
    return false;
  }
  std::vector<Atom> held;
  if (data != nullptr && format == 32) {
    // Xlib hands 32-bit items over as longs.
    const auto* values = reinterpret_cast<const unsigned long*>(data);
    held.assign(values, values + count);
  }
  if (data != nullptr) XFree(data);
  return std::all_of(atoms.begin(), atoms.end(), [&](const char* name) {
    const Atom atom = gdk_x11_get_xatom_by_name_for_display(display, name);
    return std::find(held.begin(), held.end(), atom) != held.end();
  });
}

}  // namespace platform::gtk
