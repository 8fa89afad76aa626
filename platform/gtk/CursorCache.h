// The toolkit's cursors, made once each: GDK loads a named cursor's images
// from the cursor theme.
#pragma once

// The Win32 subset first: GLib's TRUE and FALSE would break its constants.
#include "platform/Desktop.h"

#include <gdk/gdk.h>

#include <map>

namespace platform::gtk {

class CursorCache {
 public:
  CursorCache() = default;
  ~CursorCache();
  CursorCache(const CursorCache&) = delete;
  CursorCache& operator=(const CursorCache&) = delete;

  // Null for the default cursor, and where the theme has none.
  GdkCursor* For(Cursor cursor);

 private:
  std::map<Cursor, GdkCursor*> cursors_;
};

}  // namespace platform::gtk
