#include "platform/gtk/CursorCache.h"

#include "platform/gtk/InputMapping.h"

namespace platform::gtk {

CursorCache::~CursorCache() {
  for (auto& [cursor, gdkCursor] : cursors_) {
    if (gdkCursor != nullptr) g_object_unref(gdkCursor);
  }
}

GdkCursor* CursorCache::For(Cursor cursor) {
  auto it = cursors_.find(cursor);
  if (it != cursors_.end()) return it->second;
  const char* name = CursorName(cursor);
  GdkCursor* gdkCursor =
      name != nullptr ? gdk_cursor_new_from_name(gdk_display_get_default(), name) : nullptr;
  cursors_[cursor] = gdkCursor;
  return gdkCursor;
}

}  // namespace platform::gtk
