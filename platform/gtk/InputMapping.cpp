#include "platform/gtk/InputMapping.h"

namespace platform::gtk {

int HostButton(guint gdkButton) {
  switch (gdkButton) {
    case 1:
      return 1;
    case 2:
      return 4;
    case 3:
      return 2;
    default:
      return 0;
  }
}

int HostShift(guint state) {
  return ((state & GDK_SHIFT_MASK) ? 1 : 0) | ((state & GDK_CONTROL_MASK) ? 2 : 0) |
         ((state & GDK_MOD1_MASK) ? 4 : 0);
}

int HostButtons(guint state) {
  return ((state & GDK_BUTTON1_MASK) ? 1 : 0) | ((state & GDK_BUTTON3_MASK) ? 2 : 0) |
         ((state & GDK_BUTTON2_MASK) ? 4 : 0);
}

const char* CursorName(Cursor cursor) {
  switch (cursor) {
    case Cursor::SizeWE:
      return "ew-resize";
    case Cursor::SizeNS:
      return "ns-resize";
    case Cursor::SizeNESW:
      return "nesw-resize";
    case Cursor::SizeNWSE:
      return "nwse-resize";
    case Cursor::Default:
      break;
  }
  return nullptr;
}

std::optional<GdkWindowEdge> SizingEdge(WPARAM hitCode) {
  // Only the codes the frame controls send; the top edges have no control.
  switch (hitCode) {
    case HTLEFT:
      return GDK_WINDOW_EDGE_WEST;
    case HTRIGHT:
      return GDK_WINDOW_EDGE_EAST;
    case HTBOTTOM:
      return GDK_WINDOW_EDGE_SOUTH;
    case HTBOTTOMLEFT:
      return GDK_WINDOW_EDGE_SOUTH_WEST;
    case HTBOTTOMRIGHT:
      return GDK_WINDOW_EDGE_SOUTH_EAST;
    default:
      return std::nullopt;
  }
}

}  // namespace platform::gtk
