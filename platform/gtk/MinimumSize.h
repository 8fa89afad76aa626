// A window's minimum size: the one the host sets holds its sizing loops;
// GTK and the window manager are told no more of it than the size the window
// is asked to have, since the host may want less for a while (it raises the
// size itself).
#pragma once

#include <gtk/gtk.h>

namespace platform::gtk {

class MinimumSize {
 public:
  explicit MinimumSize(GtkWidget* window) : window_(window) {}

  // The host's minimum, negative parts as 0.
  void Set(int width, int height);
  // Tells GTK and the window manager the minimum for a window of this size.
  void HintFor(int width, int height);

 private:
  GtkWidget* window_;
  int width_ = 0;  // the sizing loops' minimum
  int height_ = 0;
  int hintWidth_ = 0;  // the minimum GTK and the window manager were told
  int hintHeight_ = 0;
};

}  // namespace platform::gtk
