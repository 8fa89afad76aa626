// The desktop's web views as the host sees them: the window each belongs to,
// where the host put it and whether it is shown. The toolkit's side of a
// view (WindowWebViews) reads it from here.
#pragma once

#include <map>

#include "platform/Desktop.h"

namespace platform::gtk {

class WebViewTable {
 public:
  struct Entry {
    HWND parent = nullptr;
    RECT bounds{};  // where the host put it, in window pixels
    bool visible = false;
  };

  // Ids count up from 1, so that 0 names no view.
  WebViewId Add(HWND parent);
  // Null for an id that names no view.
  Entry* Find(WebViewId id);
  const Entry* Find(WebViewId id) const;
  // The window has gone, and its views with it.
  void RemoveWindow(HWND parent);
  // Whether the rectangle (window pixels) lies inside one shown view of the
  // window, which paints all of it over the frame.
  bool Covers(HWND parent, int windowWidth, int windowHeight, const RECT& rect) const;

  // Where a view is placed: the part of its rectangle inside the window.
  static RECT Placed(const RECT& bounds, int windowWidth, int windowHeight);

 private:
  std::map<WebViewId, Entry> entries_;
  WebViewId next_ = 1;
};

}  // namespace platform::gtk
