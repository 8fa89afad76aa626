#include "platform/gtk/FramePainter.h"

#include "platform/gtk/Trace.h"

#include <algorithm>

namespace platform::gtk {

void FramePainter::Paint(GtkWidget* area, cairo_t* cr, WindowSink& sink) {
  // The host draws in device pixels, at the window's scale: sharp blocks
  // for its pixels, text and icon at the device's resolution.
  const int scale = std::max(1, gtk_widget_get_scale_factor(area));
  int width = gtk_widget_get_allocated_width(area) * scale;
  int height = gtk_widget_get_allocated_height(area) * scale;
  if (width <= 0 || height <= 0) return;
  const std::optional<std::vector<RECT>> uncovered = buffer_.Draw(sink, width, height, scale);
  if (!uncovered) return;
  drawnScale_ = scale;
  const gdi::Surface& frame = buffer_.Frame();
  // Cairo only reads the pixels.
  cairo_surface_t* image = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(frame.pixels.data())),
      CAIRO_FORMAT_ARGB32, frame.width, frame.height, frame.width * 4);
  cairo_surface_set_device_scale(image, scale, scale);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, image, 0, 0);
  // Device pixel for device pixel: never smoothed.
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  // Only the frame's strips go to the X server, one rectangle at a time:
  // a single path of them all would have the whole window's extent, and
  // the whole picture would be uploaded for it.
  for (const RECT& r : *uncovered) {
    cairo_rectangle(cr, static_cast<double>(r.left) / scale, static_cast<double>(r.top) / scale,
                    static_cast<double>(r.right - r.left) / scale,
                    static_cast<double>(r.bottom - r.top) / scale);
    cairo_fill(cr);
  }
  cairo_surface_destroy(image);
  drewFrame_ = true;
}

void FramePainter::Configured(int width, int height) {
  if (auto skipped = resizeTrace_.Configured({width, height}, g_get_monotonic_time())) {
    Trace("size %dx%d skipped", skipped->width, skipped->height);
  }
}

bool FramePainter::TakeDrawn(bool& first) {
  if (!drewFrame_) return false;
  drewFrame_ = false;
  first = !framePainted_;
  if (first) {
    framePainted_ = true;
    Phase("first frame");
  }
  return true;
}

void FramePainter::TraceDrawn(int width, int height) {
  // In logical pixels, as the window's geometry is.
  const gdi::Surface& frame = buffer_.Frame();
  ResizeTrace::Size drawn{frame.width / drawnScale_, frame.height / drawnScale_};
  std::int64_t now = g_get_monotonic_time();
  if (auto ms = resizeTrace_.Painted(drawn, now)) {
    Trace("size %dx%d drawn after %.2f ms at %" G_GINT64_FORMAT, drawn.width, drawn.height, *ms,
          now);
  }
  if (drawn.width != width || drawn.height != height) {
    Trace("stale frame %dx%d in a %dx%d window", drawn.width, drawn.height, width, height);
  }
}

}  // namespace platform::gtk
