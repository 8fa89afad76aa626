// The GTK desktop as a conformance backend, in this process, on an Xvfb of
// its own: with no window manager ("gtk"), under openbox ("gtk-openbox"), or
// under a small window manager here that caps every width at CappedWidth
// ("gtk-testwm"), the window manager that changes a request; and with no
// window manager on two monitors ("gtk-twoheads", Xorg's dummy driver: Xvfb
// has one output, and GDK counts outputs as monitors).
#include "platform/gtk/GtkDesktop.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include "tests/conformance/Backend.h"
#include "tests/functional/XSession.h"

// Xlib last: its macros (None, Bool, Status) would clash with names above.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace conformance {

namespace {

using functional::XSession;

// Maps what asks to be mapped and carries out configure requests, capping
// their widths. Runs on a connection of its own, pumped by the backend's
// event loop.
class CappingWindowManager {
 public:
  explicit CappingWindowManager(const std::string& display) {
    display_ = XOpenDisplay(display.c_str());
    if (display_ == nullptr) return;
    XSelectInput(display_, DefaultRootWindow(display_),
                 SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(display_, False);
  }
  ~CappingWindowManager() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  ::Display* Connection() const { return display_; }
  const std::vector<RECT>& Requests(::Window window) { return requests_[window]; }

  void Process() {
    if (display_ == nullptr) return;
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == MapRequest) {
        XMapWindow(display_, event.xmaprequest.window);
      } else if (event.type == ConfigureRequest) {
        const XConfigureRequestEvent& request = event.xconfigurerequest;
        Note(request);
        XWindowChanges changes{};
        changes.x = request.x;
        changes.y = request.y;
        changes.width = std::min(request.width, CappedWidth);
        changes.height = request.height;
        XConfigureWindow(display_, request.window,
                         static_cast<unsigned>(request.value_mask) &
                             (CWX | CWY | CWWidth | CWHeight),
                         &changes);
      }
    }
    XFlush(display_);
  }

 private:
  void Note(const XConfigureRequestEvent& request) {
    XWindowAttributes now{};
    XGetWindowAttributes(display_, request.window, &now);
    const unsigned long mask = request.value_mask;
    const int x = (mask & CWX) != 0 ? request.x : now.x;
    const int y = (mask & CWY) != 0 ? request.y : now.y;
    const int width = (mask & CWWidth) != 0 ? request.width : now.width;
    const int height = (mask & CWHeight) != 0 ? request.height : now.height;
    requests_[request.window].push_back(RECT{x, y, x + width, y + height});
  }

  ::Display* display_ = nullptr;
  std::map<::Window, std::vector<RECT>> requests_;
};

::Display* managerConnection = nullptr;
int (*gdkErrorHandler)(::Display*, XErrorEvent*) = nullptr;

// GDK's handler ends the program over an error on a connection it does not
// know; the window manager's errors (a window gone before its request was
// handled) are no fault of the desktop.
int FilterXError(::Display* display, XErrorEvent* error) {
  if (display == managerConnection || gdkErrorHandler == nullptr) return 0;
  return gdkErrorHandler(display, error);
}

class GtkBackend : public Backend {
 public:
  enum class Manager { Absent, Openbox, Capping };

  GtkBackend(Manager manager, bool twoHeads)
      : manager_(manager),
        twoHeads_(twoHeads),
        session_(manager == Manager::Openbox, functional::ScreenLayout{1920, 1080, twoHeads}) {
    if (!session_.Ready()) return;
    g_setenv("DISPLAY", session_.Display().c_str(), TRUE);
    g_setenv("GDK_BACKEND", "x11", TRUE);
    g_setenv("NO_AT_BRIDGE", "1", TRUE);
    if (!gtk_init_check(nullptr, nullptr)) return;
    if (manager == Manager::Capping) {
      capping_ = std::make_unique<CappingWindowManager>(session_.Display());
      managerConnection = capping_->Connection();
    }
    gdkErrorHandler = XSetErrorHandler(FilterXError);
    session_.SetBackground(Background);
    desktop_ = std::make_unique<platform::gtk::GtkDesktop>();
    platform::UseDesktop(desktop_.get());
  }
  ~GtkBackend() override {
    platform::UseDesktop(nullptr);
    desktop_.reset();
  }

  platform::Desktop& Desktop() override { return *desktop_; }
  Traits Is() const override {
    Traits traits;
    traits.modalLoops = false;
    traits.windowManager = manager_ == Manager::Openbox;
    traits.altersRequests = manager_ == Manager::Capping;
    traits.twoMonitors = twoHeads_;
    return traits;
  }

  // Each step is given time to reach the desktop before the next: a press
  // that starts a loop must have started it before the pointer moves on.
  void Press(int x, int y) override {
    session_.Xdotool({"mousemove", std::to_string(x), std::to_string(y), "mousedown", "1"});
    Idle(150);
  }
  void MoveTo(int x, int y) override {
    session_.Xdotool({"mousemove", std::to_string(x), std::to_string(y)});
    Idle(30);
  }
  void Release(int x, int y) override {
    session_.Xdotool({"mousemove", std::to_string(x), std::to_string(y), "mouseup", "1"});
    Idle(150);
  }

  bool Until(const std::function<bool()>& condition, int timeoutMs) override {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
      Iterate();
      if (condition()) return true;
      if (std::chrono::steady_clock::now() >= end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  void Idle(int ms) override {
    Until([] { return false; }, ms);
  }

  void UserMinimize(HWND hwnd) override {
    // What a task bar sends: WM_CHANGE_STATE to the root window.
    ::Display* display = XDisplay();
    XIconifyWindow(display, Xid(hwnd), DefaultScreen(display));
    XFlush(display);
  }
  void UserMove(HWND hwnd, int x, int y) override {
    session_.Xdotool({"windowmove", std::to_string(Xid(hwnd)), std::to_string(x),
                      std::to_string(y)});
  }
  void UserMaximize(HWND hwnd) override { session_.Maximize(Xid(hwnd)); }
  void UserClose(HWND hwnd) override { session_.Close(Xid(hwnd)); }

  std::optional<std::uint32_t> PixelAt(int x, int y) override {
    Iterate();
    const std::uint32_t pixel = session_.PixelAt(x, y);
    if (pixel == Background) return std::nullopt;
    return pixel;
  }
  RECT Placed(HWND hwnd) override {
    Iterate();
    ::Display* display = XDisplay();
    XWindowAttributes attributes{};
    ::Window child = 0;
    int x = 0;
    int y = 0;
    if (XGetWindowAttributes(display, Xid(hwnd), &attributes) == 0 ||
        !XTranslateCoordinates(display, Xid(hwnd), DefaultRootWindow(display), 0, 0, &x, &y,
                               &child)) {
      return RECT{};
    }
    return RECT{x, y, x + attributes.width, y + attributes.height};
  }
  bool KeptAbove(HWND hwnd) override {
    const std::vector<unsigned long> atoms = Property(hwnd, "_NET_WM_STATE");
    const unsigned long above = XInternAtom(XDisplay(), "_NET_WM_STATE_ABOVE", False);
    return std::find(atoms.begin(), atoms.end(), above) != atoms.end();
  }
  std::string Title(HWND hwnd) override {
    std::string title;
    for (unsigned long byte : Property(hwnd, "_NET_WM_NAME")) title += static_cast<char>(byte);
    return title;
  }
  bool ShowsIcon(HWND hwnd, int size, std::uint32_t pixel) override {
    // Width, height, then the pixels of each image, as the server holds them
    // now: a window manager reads them as it maps the window.
    const std::vector<unsigned long> icon = Property(hwnd, "_NET_WM_ICON", false);
    return icon.size() > 2 && icon[0] == static_cast<unsigned long>(size) &&
           icon[1] == static_cast<unsigned long>(size) && (icon[2] & 0xFFFFFFFFu) == pixel;
  }

  std::optional<std::vector<RECT>> GeometryRequests(HWND hwnd) override {
    if (!capping_) return std::nullopt;
    Iterate();
    return capping_->Requests(Xid(hwnd));
  }

  bool Ready() const { return desktop_ != nullptr; }
  ::Window Xid(HWND hwnd) {
    GtkWidget* widget = desktop_->Widget(hwnd);
    GdkWindow* window = widget != nullptr ? gtk_widget_get_window(widget) : nullptr;
    return window != nullptr ? gdk_x11_window_get_xid(window) : 0;
  }

 private:
  static constexpr std::uint32_t Background = 0x00FF00;

  static ::Display* XDisplay() { return GDK_DISPLAY_XDISPLAY(gdk_display_get_default()); }

  // A window property as the window manager reads it: bytes or 32-bit items.
  std::vector<unsigned long> Property(HWND hwnd, const char* name, bool iterate = true) {
    if (iterate) Iterate();
    std::vector<unsigned long> items;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(XDisplay(), Xid(hwnd), XInternAtom(XDisplay(), name, False), 0, 1 << 16,
                           False, AnyPropertyType, &type, &format, &count, &after,
                           &data) != Success) {
      return items;
    }
    for (unsigned long i = 0; i < count && data != nullptr; ++i) {
      if (format == 8) items.push_back(data[i]);
      if (format == 32) items.push_back(reinterpret_cast<unsigned long*>(data)[i]);
    }
    if (data != nullptr) XFree(data);
    return items;
  }

  void Iterate() {
    for (int i = 0; i < 4; ++i) {
      if (capping_) capping_->Process();
      while (g_main_context_iteration(nullptr, FALSE)) {
      }
    }
  }

  Manager manager_;
  bool twoHeads_;
  XSession session_;
  std::unique_ptr<CappingWindowManager> capping_;
  std::unique_ptr<platform::gtk::GtkDesktop> desktop_;
};

std::unique_ptr<Backend> Start(GtkBackend::Manager manager, bool twoHeads = false) {
  auto backend = std::make_unique<GtkBackend>(manager, twoHeads);
  if (!backend->Ready()) return nullptr;
  return backend;
}

const bool registered =
    Register("gtk", [] { return Start(GtkBackend::Manager::Absent); }) &&
    Register("gtk-openbox", [] { return Start(GtkBackend::Manager::Openbox); }) &&
    Register("gtk-testwm", [] { return Start(GtkBackend::Manager::Capping); }) &&
    Register("gtk-twoheads", [] { return Start(GtkBackend::Manager::Absent, true); });

}  // namespace

}  // namespace conformance
