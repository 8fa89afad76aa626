// A window's icon, handed over in two steps. GTK's own way also makes the
// old-style icon pixmap on the X server, whose Cairo set-up and upload held
// the map of a new window up by 2 to 6 ms. Until the first frame is on
// screen the window gets only the property window managers show
// (_NET_WM_ICON, NetWmIcon); GTK gets the images after it.
#pragma once

// The Win32 subset first: GLib's TRUE and FALSE would break its constants.
#include "platform/Desktop.h"

#include <gtk/gtk.h>

#include <vector>

namespace platform::gtk {

class WindowIcon {
 public:
  explicit WindowIcon(GtkWidget* window) : window_(window) {}

  void Set(const std::vector<IconImage>& images);
  // GTK's realize has just removed any icon the window had.
  void Realized();
  void FirstFramePainted();

 private:
  void WriteProperty();
  void GiveToGtk();

  GtkWidget* window_;
  std::vector<IconImage> images_;
  bool framePainted_ = false;
};

}  // namespace platform::gtk
