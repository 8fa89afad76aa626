// The system's side of the frame: the sizing limits, the system menu and its
// commands (the taskbar's are the same), a maximize the system made by a way
// of its own, and a move to a monitor of another scale.
#include <algorithm>

#include "platform/win/desktop/WinDesktop.h"

namespace platform::win {

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

bool UnderWine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

}  // namespace

bool WinDesktop::HandleSystem(HWND hwnd, Window& window, UINT msg, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_NCCALCSIZE:
      // The proposed window rectangle stays the client's: the system draws
      // no frame, border or caption, and the thick frame only lends its
      // gestures.
      return true;
    case WM_NCACTIVATE:
      // No caption to repaint as active or inactive.
      result = TRUE;
      return true;
    case WM_GETMINMAXINFO:
      MinMaxInfo(hwnd, window, *reinterpret_cast<MINMAXINFO*>(lParam));
      return true;
    case WM_SYSCOMMAND:
      result = SysCommand(hwnd, window, wParam, lParam);
      return true;
    case WM_INITMENUPOPUP:
      if (HIWORD(lParam)) SystemMenuStates(reinterpret_cast<HMENU>(wParam), window);
      return true;
    case WM_DPICHANGED:
      DpiChanged(hwnd, window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return true;
    case TakeOverMessage:
      TakeOverMaximize(hwnd, window);
      return true;
    case WM_WINDOWPOSCHANGED:
      // Answered by DefWindowProc too, which reports the move and the size.
      if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_FRAMECHANGED) {
        RegionChanged(hwnd, window);
      }
      return false;
    default:
      return false;
  }
}

void WinDesktop::MinMaxInfo(HWND hwnd, const Window& window, MINMAXINFO& info) {
  // The minimum binds the sizing loops only; the host holds its own.
  if (window.sizing) {
    const DeviceScale scale = DpiOf(window).Scale();
    info.ptMinTrackSize.x = std::max<LONG>(info.ptMinTrackSize.x, scale.Device(window.minWidth));
    info.ptMinTrackSize.y =
        std::max<LONG>(info.ptMinTrackSize.y, scale.Device(window.minHeight));
  } else {
    info.ptMinTrackSize = POINT{0, 0};
  }
  // A maximized popup would cover the whole monitor, task bar included.
  HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (GetMonitorInfoW(monitor, &mi)) {
    const RECT& work = mi.rcWork;
    info.ptMaxPosition = POINT{work.left - mi.rcMonitor.left, work.top - mi.rcMonitor.top};
    info.ptMaxSize = POINT{Width(work), Height(work)};
  }
}

// The taskbar's or the system menu's maximize: the host takes it over into a
// normal window covering the work area. The host takes the bounds it is told
// of as the window's own and does not send them back: the window must be
// there already, or it would keep its size under a frame laid out for the
// work area.
void WinDesktop::Maximize(HWND hwnd, Window& window) {
  RECT work{};
  UINT dpi = 0;
  if (!DeviceWorkArea(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), work, dpi)) {
    work = DeviceBounds(hwnd);
  }
  Remember(window, work);
  ++applying_;
  if (IsIconic(hwnd) || IsZoomed(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  SetWindowPos(hwnd, nullptr, work.left, work.top, Width(work), Height(work),
               SWP_NOZORDER | SWP_NOACTIVATE);
  --applying_;
  window.state = 2;
  window.sink->OnStateChanged(2, DpiOf(window).ToLogical(work));
}

// The system maximized the window itself (a snap to the top of the screen,
// a key, a program): undone into the host's own maximize, as if asked by the
// menu. The host never heard of the maximized bounds, so it still holds the
// ones to restore to.
void WinDesktop::TakeOverMaximize(HWND hwnd, Window& window) {
  if (!IsZoomed(hwnd)) return;
  Maximize(hwnd, window);
}

LRESULT WinDesktop::SysCommand(HWND hwnd, Window& window, WPARAM wParam, LPARAM lParam) {
  switch (wParam & 0xFFF0) {
    case SC_MAXIMIZE:
      Maximize(hwnd, window);
      return 0;
    case SC_SIZE: {
      // The sizing loop asks for the tracking limits before it says it has
      // begun (WM_ENTERSIZEMOVE): the minimum binds from here.
      window.sizing = true;
      // Wine hands a thick-framed window's sizing loop to the X window
      // manager, which it does not tell the minimum. Without the thick frame
      // for the loop's length, Wine runs the loop itself and keeps to it.
      const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
      if (UnderWine()) SetWindowLongPtrW(hwnd, GWL_STYLE, style & ~WS_THICKFRAME);
      const LRESULT result = DefWindowProcW(hwnd, WM_SYSCOMMAND, wParam, lParam);
      if (Window* still = Find(hwnd)) {
        still->sizing = false;
        if (UnderWine()) SetWindowLongPtrW(hwnd, GWL_STYLE, style);
      }
      return result;
    }
    case SC_RESTORE:
      if (!IsIconic(hwnd) && window.state == 2) {
        window.state = 0;
        window.sink->OnStateChanged(0, Bounds(hwnd));
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, WM_SYSCOMMAND, wParam, lParam);
}

// The system sets the menu's items from its own idea of the window, which
// knows nothing of the host's maximize.
void WinDesktop::SystemMenuStates(HMENU menu, const Window& window) {
  const bool maximized = window.state == 2;
  const bool minimized = window.state == 1;
  auto enable = [menu](UINT command, bool on) {
    EnableMenuItem(menu, command, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  };
  enable(SC_RESTORE, maximized || minimized);
  enable(SC_MOVE, !maximized && !minimized);
  enable(SC_SIZE, !maximized && !minimized);
  enable(SC_MAXIMIZE, !maximized);
  enable(SC_MINIMIZE, !minimized);
}

// A right click on the caption. Its command takes the path of the same
// command from the keyboard's menu.
void WinDesktop::ShowSystemMenu(HWND hwnd, POINT screen) {
  HMENU menu = GetSystemMenu(hwnd, FALSE);
  if (!menu) return;
  if (const Window* window = Find(hwnd)) SystemMenuStates(menu, *window);
  const UINT command =
      static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                       screen.x, screen.y, 0, hwnd, nullptr));
  if (command != 0) PostMessageW(hwnd, WM_SYSCOMMAND, command, MAKELPARAM(screen.x, screen.y));
}

std::vector<RECT> WinDesktop::RegionRects(HRGN region) {
  const DWORD size = GetRegionData(region, 0, nullptr);
  if (size < sizeof(RGNDATAHEADER)) return {};
  std::vector<char> bytes(size);
  auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
  if (GetRegionData(region, size, data) != size) return {};
  const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
  return std::vector<RECT>(rects, rects + data->rdh.nCount);
}

// The host's region at the window's scale: each of its rectangles over the
// device pixels its logical pixels cover, so the cut corners keep their steps.
void WinDesktop::ApplyRegion(HWND hwnd, Window& window) {
  window.shownRegion.clear();
  if (!window.hasRegion) {
    SetWindowRgn(hwnd, nullptr, TRUE);
    return;
  }
  const DeviceScale scale = DpiOf(window).Scale();
  HRGN device = CreateRectRgn(0, 0, 0, 0);
  for (const RECT& r : window.region) {
    HRGN part = CreateRectRgn(scale.Device(r.left), scale.Device(r.top), scale.Device(r.right),
                              scale.Device(r.bottom));
    CombineRgn(device, device, part, RGN_OR);
    DeleteObject(part);
  }
  window.shownRegion = RegionRects(device);
  // The system owns the region from here on.
  if (!SetWindowRgn(hwnd, device, TRUE)) DeleteObject(device);
}

// The program gives its region to the system itself (SetWindowRgn is the
// system's own here), in its logical pixels, which the system takes as
// device pixels. The system says so with a frame change: a region that is
// not the one the desktop showed is the program's, and is shown again at
// the window's scale.
void WinDesktop::RegionChanged(HWND hwnd, Window& window) {
  if (window.dpi == Dpi::Designed) return;
  HRGN current = CreateRectRgn(0, 0, 0, 0);
  const bool has = GetWindowRgn(hwnd, current) != ERROR;
  std::vector<RECT> rects = has ? RegionRects(current) : std::vector<RECT>{};
  DeleteObject(current);
  auto same = [](const std::vector<RECT>& a, const std::vector<RECT>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const RECT& x, const RECT& y) { return EqualRect(&x, &y) != 0; });
  };
  if (!has) {
    window.hasRegion = false;
    window.shownRegion.clear();
    return;
  }
  if (same(rects, window.shownRegion)) return;
  window.hasRegion = true;
  window.region = std::move(rects);
  ApplyRegion(hwnd, window);
}

// The window reached a monitor of another scale. The system's rectangle
// keeps the window's logical size there; the host hears of the bounds in its
// pixels at the new scale, and everything is drawn again at that scale.
void WinDesktop::DpiChanged(HWND hwnd, Window& window, UINT dpi, const RECT& suggested) {
  window.dpi = Dpi(dpi).DotsPerInch();
  // Rectangles known at the old scale name other logical ones now.
  window.recent.clear();
  Remember(window, suggested);
  ++applying_;
  SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, Width(suggested),
               Height(suggested), SWP_NOZORDER | SWP_NOACTIVATE);
  --applying_;
  ApplyRegion(hwnd, window);
  for (WebViewId view : WebViews().Of(hwnd)) {
    if (const WebViewEntry* entry = WebViews().Find(view)) SetWebViewBoundsImpl(view, entry->bounds);
  }
  InvalidateRect(hwnd, nullptr, FALSE);
  ReportGeometry(hwnd, window);
}

}  // namespace platform::win
