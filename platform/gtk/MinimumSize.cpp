#include "platform/gtk/MinimumSize.h"

#include <algorithm>

namespace platform::gtk {

void MinimumSize::Set(int width, int height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
}

void MinimumSize::HintFor(int width, int height) {
  width = std::max(0, std::min(width_, width));
  height = std::max(0, std::min(height_, height));
  if (width == hintWidth_ && height == hintHeight_) return;
  hintWidth_ = width;
  hintHeight_ = height;
  GdkGeometry hints{};
  hints.min_width = width;
  hints.min_height = height;
  gtk_window_set_geometry_hints(GTK_WINDOW(window_), nullptr, &hints, GDK_HINT_MIN_SIZE);
}

}  // namespace platform::gtk
