// The mouse on a window's drawing area as the host hears it: presses,
// releases and moves in the Windows order, the capture a press takes, the
// press a move or sizing loop starts from, and the cursor shown over it.
#pragma once

// The Win32 subset first: GLib's TRUE and FALSE would break its constants.
#include "platform/Desktop.h"
#include "platform/gtk/ClickTracker.h"
#include "platform/gtk/CursorCache.h"

#include <gtk/gtk.h>

namespace platform::gtk {

class PointerInput {
 public:
  // captured is the desktop's one window with a button down, shared by all
  // of its windows' inputs, as are its cursors.
  PointerInput(WindowSink& sink, PointerInput*& captured, CursorCache& cursors);
  ~PointerInput();
  PointerInput(const PointerInput&) = delete;
  PointerInput& operator=(const PointerInput&) = delete;

  // Listens to the drawing area, which must let pass button presses and
  // releases, motion and entering.
  void Connect(GtkWidget* area);
  void Disconnect();
  void SetCursor(Cursor cursor);
  // The drawing area has a window on the server now, for the cursor set
  // before.
  void Realized();
  bool Pressed() const { return press_.button != 0; }
  // Starts the window manager's move (HTCAPTION) or sizing loop from the
  // press under way; false for another hit code. A move starts once the
  // pointer has travelled (OnMotion); a caption press of the right button
  // opens the window manager's window menu where it has one.
  bool BeginMoveSize(GtkWindow* window, WPARAM hitCode);
  // The host let the capture go.
  void ReleaseCapture();

 private:
  struct Press {
    guint button = 0;  // GDK's number; 0 when no button is down
    // As GDK gives it: logical pixels, fractional at a scale above 1.
    double rootX = 0;
    double rootY = 0;
    guint32 time = 0;
  };

  void DropCapture();
  // The loop from the press: edge is a GdkWindowEdge, or -1 for a move.
  static void StartLoop(GtkWindow* window, const Press& press, int edge);
  // The window manager's window menu for the press under way; false where
  // it has none to show.
  static bool ShowWindowMenu(GtkWindow* window, guint button);
  // The host hears a mouse move at x, y (window client pixels), with the
  // buttons and keys held in state.
  void MoveAt(double x, double y, guint state);
  static gboolean OnButton(GtkWidget* widget, GdkEventButton* event, gpointer data);
  static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer data);
  static gboolean OnEnter(GtkWidget* widget, GdkEventCrossing* event, gpointer data);
  static gboolean OnGrabBroken(GtkWidget* widget, GdkEvent* event, gpointer data);

  WindowSink& sink_;
  PointerInput*& captured_;
  CursorCache& cursors_;
  GtkWidget* area_ = nullptr;
  Cursor cursor_ = Cursor::Default;
  ClickTracker clicks_{400, 5};
  Press press_;
  Press pendingMove_;  // a caption press whose move waits for the pointer to travel
};

}  // namespace platform::gtk
