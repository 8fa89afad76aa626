// The web views of one desktop as the host placed them: which window each
// belongs to, its rectangle in that window's client pixels, and whether it
// is shown. The backends keep only their native side of a view beside it.
#pragma once

#include <map>
#include <vector>

#include "platform/win32.h"

namespace platform {

using WebViewId = int;

struct WebViewEntry {
  HWND parent = nullptr;
  RECT bounds{};  // client pixels of the parent; may reach outside it
  bool visible = false;
};

class WebViewTable {
 public:
  // A hidden view at no size. Ids count up from 1, so that none is 0 and
  // none is given twice in a run.
  WebViewId Add(HWND parent);
  // Null for an id that names no view.
  const WebViewEntry* Find(WebViewId view) const;
  WebViewEntry* Find(WebViewId view);
  void Remove(WebViewId view);
  // The window's views in the order they were made.
  std::vector<WebViewId> Of(HWND parent) const;
  // The part of the view's rectangle inside a client area of that size:
  // what of it can be seen.
  static RECT Visible(const WebViewEntry& view, int clientWidth, int clientHeight);
  // Whether the rectangle (client pixels) lies inside what can be seen of
  // one shown view of the window: a backend that paints its views above the
  // host's pixels need not draw those for it.
  bool Covers(HWND parent, int clientWidth, int clientHeight, const RECT& rect) const;

 private:
  std::map<WebViewId, WebViewEntry> views_;
  WebViewId next_ = 1;
};

}  // namespace platform
