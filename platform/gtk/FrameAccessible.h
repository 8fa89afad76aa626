// What assistive tools see of a GTK window: the parts of the host's frame
// (the caption's buttons) as ATK objects under the drawing area that paints
// them, and the window's web views as far as they are shown. GTK's own
// atk-bridge carries both to AT-SPI; nothing here talks to the bus.
#pragma once

// The Win32 subset first: it declares TRUE and FALSE as constants, which
// GLib's macros of the same names would otherwise break.
#include "platform/Desktop.h"

// Then the toolkit.
#include <gtk/gtk.h>

namespace platform::gtk {

// A drawing area whose accessible has the sink's accessible parts as its
// children: push and toggle buttons at the parts' bounds on screen, in
// device pixels, whose one action ("click") presses the part through the
// sink once the tool's call has been answered.
GtkWidget* NewFrameArea(WindowSink& sink);
// The sink is going: from now on the area's parts are gone (defunct) and
// nothing reaches the sink, though a tool may still hold the objects.
void ForgetFrameSink(GtkWidget* area);
// Asks the sink again and announces what changed as GTK announces it for its
// own buttons: parts added or removed, names, pressed states.
void FramePartsChanged(GtkWidget* area);

// A GtkLayout whose accessible lists only the children that are visible, so
// that a web view kept hidden (the sound page) is no document of the window.
GtkWidget* NewFrameLayout();

}  // namespace platform::gtk
