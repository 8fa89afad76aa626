#include "platform/gtk/WindowIcon.h"

#include "platform/gtk/IconProperty.h"

// X11 last: it defines macros (None, Bool, Status) that clash with names in
// the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace platform::gtk {

namespace {

GdkPixbuf* PixbufOf(const IconImage& image) {
  const gdi::Surface& s = image.pixels;
  if (!s.HasPixels()) return nullptr;
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, s.width, s.height);
  if (pixbuf == nullptr) return nullptr;
  guchar* bytes = gdk_pixbuf_get_pixels(pixbuf);
  int stride = gdk_pixbuf_get_rowstride(pixbuf);
  for (int y = 0; y < s.height; ++y) {
    const std::uint32_t* row = s.Row(y);
    guchar* out = bytes + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < s.width; ++x) {
      const std::uint32_t p = StraightArgb(row[x], image.bitsPerPixel);
      out[4 * x + 0] = static_cast<guchar>(p >> 16);
      out[4 * x + 1] = static_cast<guchar>(p >> 8);
      out[4 * x + 2] = static_cast<guchar>(p);
      out[4 * x + 3] = static_cast<guchar>(p >> 24);
    }
  }
  return pixbuf;
}

}  // namespace

void WindowIcon::Set(const std::vector<IconImage>& images) {
  images_ = images;
  if (framePainted_) {
    GiveToGtk();
  } else {
    WriteProperty();
  }
}

// GTK was given no icon yet, so the property is ours to write again.
void WindowIcon::Realized() {
  if (!framePainted_ && !images_.empty()) WriteProperty();
}

void WindowIcon::FirstFramePainted() {
  framePainted_ = true;
  if (!images_.empty()) GiveToGtk();
}

void WindowIcon::WriteProperty() {
  GdkWindow* gdkWindow = gtk_widget_get_window(window_);
  if (gdkWindow == nullptr || !GDK_IS_X11_WINDOW(gdkWindow)) return;
  Display* display = GDK_WINDOW_XDISPLAY(gdkWindow);
  ::Window xid = GDK_WINDOW_XID(gdkWindow);
  const Atom property =
      gdk_x11_get_xatom_by_name_for_display(gdk_window_get_display(gdkWindow), "_NET_WM_ICON");
  const std::vector<unsigned long> value = NetWmIcon(images_);
  if (value.empty()) {
    XDeleteProperty(display, xid, property);
    return;
  }
  XChangeProperty(display, xid, property, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(value.data()),
                  static_cast<int>(value.size()));
}

void WindowIcon::GiveToGtk() {
  GList* list = nullptr;
  for (const IconImage& image : images_) {
    if (GdkPixbuf* pixbuf = PixbufOf(image)) list = g_list_append(list, pixbuf);
  }
  gtk_window_set_icon_list(GTK_WINDOW(window_), list);
  g_list_free_full(list, g_object_unref);
}

}  // namespace platform::gtk
