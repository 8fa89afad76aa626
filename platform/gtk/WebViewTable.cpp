#include "platform/gtk/WebViewTable.h"

#include <algorithm>
#include <iterator>

namespace platform::gtk {

WebViewId WebViewTable::Add(HWND parent) {
  const WebViewId id = next_++;
  entries_[id].parent = parent;
  return id;
}

WebViewTable::Entry* WebViewTable::Find(WebViewId id) {
  auto it = entries_.find(id);
  return it == entries_.end() ? nullptr : &it->second;
}

const WebViewTable::Entry* WebViewTable::Find(WebViewId id) const {
  auto it = entries_.find(id);
  return it == entries_.end() ? nullptr : &it->second;
}

void WebViewTable::RemoveWindow(HWND parent) {
  for (auto entry = entries_.begin(); entry != entries_.end();) {
    entry = entry->second.parent == parent ? entries_.erase(entry) : std::next(entry);
  }
}

// A shown view is never held back (WindowWebViews makes it as it is shown),
// so every shown view paints its rectangle.
bool WebViewTable::Covers(HWND parent, int windowWidth, int windowHeight, const RECT& r) const {
  for (const auto& [id, entry] : entries_) {
    if (entry.parent != parent || !entry.visible) continue;
    const RECT p = Placed(entry.bounds, windowWidth, windowHeight);
    if (r.left >= p.left && r.top >= p.top && r.right <= p.right && r.bottom <= p.bottom) {
      return true;
    }
  }
  return false;
}

// A view reaching past the bottom of its window is drawn with its top rows
// missing, as many as it reaches past, so a view is given only the part of
// its rectangle inside the window. What lies outside is never seen anyway.
RECT WebViewTable::Placed(const RECT& b, int windowWidth, int windowHeight) {
  return {std::max<LONG>(0, b.left), std::max<LONG>(0, b.top), std::min<LONG>(b.right, windowWidth),
          std::min<LONG>(b.bottom, windowHeight)};
}

}  // namespace platform::gtk
