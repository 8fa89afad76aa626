#include "platform/WebViewTable.h"

#include <algorithm>

namespace platform {

WebViewId WebViewTable::Add(HWND parent) {
  const WebViewId id = next_++;
  views_[id].parent = parent;
  return id;
}

const WebViewEntry* WebViewTable::Find(WebViewId view) const {
  auto it = views_.find(view);
  return it == views_.end() ? nullptr : &it->second;
}

WebViewEntry* WebViewTable::Find(WebViewId view) {
  auto it = views_.find(view);
  return it == views_.end() ? nullptr : &it->second;
}

void WebViewTable::Remove(WebViewId view) { views_.erase(view); }

std::vector<WebViewId> WebViewTable::Of(HWND parent) const {
  std::vector<WebViewId> ids;
  for (const auto& [id, view] : views_) {
    if (view.parent == parent) ids.push_back(id);
  }
  return ids;
}

RECT WebViewTable::Visible(const WebViewEntry& view, int clientWidth, int clientHeight) {
  const RECT& b = view.bounds;
  return {std::max<LONG>(0, b.left), std::max<LONG>(0, b.top),
          std::min<LONG>(b.right, clientWidth), std::min<LONG>(b.bottom, clientHeight)};
}

bool WebViewTable::Covers(HWND parent, int clientWidth, int clientHeight, const RECT& r) const {
  for (const auto& [id, view] : views_) {
    if (view.parent != parent || !view.visible) continue;
    const RECT p = Visible(view, clientWidth, clientHeight);
    if (r.left >= p.left && r.top >= p.top && r.right <= p.right && r.bottom <= p.bottom) {
      return true;
    }
  }
  return false;
}

}  // namespace platform
