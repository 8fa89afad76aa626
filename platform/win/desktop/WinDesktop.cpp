#include "platform/win/desktop/WinDesktop.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/win/Dib.h"
#include "platform/win/Utf16.h"
#include "platform/win/desktop/PageUrl.h"

namespace platform::win {

namespace {

constexpr wchar_t WindowClass[] = L"skinshell.window";
constexpr wchar_t WebViewClass[] = L"skinshell.webview";

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The standard cursors by their resource numbers (the IDC_ names are
// narrow strings in a build without UNICODE).
LPCWSTR CursorId(Cursor cursor) {
  switch (cursor) {
    case Cursor::SizeWE: return MAKEINTRESOURCEW(32644);
    case Cursor::SizeNS: return MAKEINTRESOURCEW(32645);
    case Cursor::SizeNESW: return MAKEINTRESOURCEW(32643);
    case Cursor::SizeNWSE: return MAKEINTRESOURCEW(32642);
    case Cursor::Default: break;
  }
  return MAKEINTRESOURCEW(32512);
}

// Windows takes an icon's colour straight, not premultiplied.
HICON MakeIcon(const IconImage& image) {
  const gdi::Surface& pixels = image.pixels;
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof header;
  header.bV5Width = pixels.width;
  header.bV5Height = -pixels.height;
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                   &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!color || !bits) return nullptr;
  std::transform(pixels.pixels.begin(), pixels.pixels.end(), static_cast<std::uint32_t*>(bits),
                 [&image](std::uint32_t p) { return StraightArgb(p, image.bitsPerPixel); });
  HBITMAP mask = CreateBitmap(pixels.width, pixels.height, 1, 1, nullptr);
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = color;
  info.hbmMask = mask;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(color);
  DeleteObject(mask);
  return icon;
}

}  // namespace

WinDesktop::WinDesktop() {
  // Single-threaded apartment, as the browser control requires; S_FALSE
  // (already initialised here) is a success that wants its uninitialise too.
  ole_ = SUCCEEDED(OleInitialize(nullptr));
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &WinDesktop::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, CursorId(Cursor::Default));
  wc.lpszClassName = WindowClass;
  RegisterClassExW(&wc);
  WNDCLASSEXW view{};
  view.cbSize = sizeof view;
  view.lpfnWndProc = DefWindowProcW;
  view.hInstance = instance;
  view.hCursor = LoadCursorW(nullptr, CursorId(Cursor::Default));
  view.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  view.lpszClassName = WebViewClass;
  RegisterClassExW(&view);
}

WinDesktop::~WinDesktop() {
  while (!windows_.empty()) DestroyTopLevel(windows_.begin()->first);
  if (ole_) OleUninitialize();
}

WinDesktop::Window* WinDesktop::Find(HWND hwnd) {
  auto found = windows_.find(hwnd);
  return found == windows_.end() ? nullptr : &found->second;
}

RECT WinDesktop::Bounds(HWND hwnd) {
  // A WS_POPUP window has no frame: its client area is the whole window.
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

RECT WinDesktop::RestoreBounds(HWND hwnd) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(hwnd, &placement);
  // Workspace coordinates; the same as the screen's for a window without a
  // tool-window style on the primary monitor's origin.
  return placement.rcNormalPosition;
}

HWND WinDesktop::CreateTopLevelImpl(WindowSink& sink, const RECT& bounds) {
  // The system menu and the minimize and maximize boxes give the taskbar
  // button its menu; a popup has no caption to show them on.
  const DWORD style =
      WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
  HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW, WindowClass, L"", style, bounds.left, bounds.top,
                              Width(bounds), Height(bounds), nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return nullptr;
  Window& window = windows_[hwnd];
  window.sink = &sink;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return hwnd;
}

// AccessibleFrame.h
void WinDesktop::AccessiblePartsChangedImpl(HWND hwnd) {
  if (Window* w = Find(hwnd)) AnnounceParts(w->accessible);
}

void WinDesktop::DestroyTopLevelImpl(HWND hwnd) {
  auto found = windows_.find(hwnd);
  std::vector<HICON> icons = std::move(found->second.icons);
  ReleaseAccessibleFrame(found->second.accessible);  // AccessibleFrame.h
  // No callback reaches the sink from here on.
  windows_.erase(found);
  DestroyWindow(hwnd);
  for (HICON icon : icons) DestroyIcon(icon);
}

void WinDesktop::SetBoundsImpl(HWND hwnd, const RECT& bounds) {
  ++applying_;
  if (IsIconic(hwnd)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(hwnd, &placement);
    placement.rcNormalPosition = bounds;
    SetWindowPlacement(hwnd, &placement);
  } else {
    SetWindowPos(hwnd, nullptr, bounds.left, bounds.top, Width(bounds), Height(bounds),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  --applying_;
}

void WinDesktop::ShowImpl(HWND hwnd, bool visible) {
  ++applying_;
  ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
  --applying_;
}

void WinDesktop::SetStateImpl(HWND hwnd, int windowState) {
  Window& window = *Find(hwnd);
  // The host's maximize is a normal window covering the work area, with its
  // bounds set already.
  window.state = windowState;
  ++applying_;
  if (windowState == 1 && !IsIconic(hwnd)) {
    ShowWindow(hwnd, SW_MINIMIZE);
  } else if (windowState == 0 && IsIconic(hwnd)) {
    ShowWindow(hwnd, SW_RESTORE);
  }
  --applying_;
}

void WinDesktop::SetTitleImpl(HWND hwnd, const std::string& utf8) {
  SetWindowTextW(hwnd, Wide(utf8).c_str());
}

void WinDesktop::SetIconImpl(HWND hwnd, const std::vector<IconImage>& images) {
  Window* window = Find(hwnd);
  const IconImage* small = nullptr;
  const IconImage* big = nullptr;
  for (const IconImage& image : images) {
    if (image.pixels.width <= 0 || image.pixels.height <= 0) continue;
    if (!small || image.pixels.width < small->pixels.width) small = &image;
    if (!big || image.pixels.width > big->pixels.width) big = &image;
  }
  std::vector<HICON> old = std::move(window->icons);
  window->icons.clear();
  HICON smallIcon = small ? MakeIcon(*small) : nullptr;
  HICON bigIcon = big ? MakeIcon(*big) : nullptr;
  SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
  SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
  for (HICON icon : {smallIcon, bigIcon}) {
    if (icon) window->icons.push_back(icon);
  }
  for (HICON icon : old) DestroyIcon(icon);
}

void WinDesktop::SetMinimumSizeImpl(HWND hwnd, int width, int height) {
  Window* window = Find(hwnd);
  window->minWidth = width;
  window->minHeight = height;
}

void WinDesktop::SetCursorImpl(HWND hwnd, Cursor cursor) {
  Window* window = Find(hwnd);
  window->cursor = cursor;
  POINT p{};
  GetCursorPos(&p);
  if (WindowFromPoint(p) == hwnd || GetCapture() == hwnd) {
    ::SetCursor(LoadCursorW(nullptr, CursorId(cursor)));
  }
}

void WinDesktop::InvalidateImpl(HWND hwnd) { InvalidateRect(hwnd, nullptr, FALSE); }

bool WinDesktop::SetRegionImpl(HWND hwnd, HRGN region) {
  // The system owns the region from here on.
  return SetWindowRgn(hwnd, region, TRUE) != 0;
}

void WinDesktop::SetTopmostImpl(HWND hwnd, bool topmost) {
  SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

RECT WinDesktop::PlacedImpl(HWND hwnd) { return Bounds(hwnd); }

bool WinDesktop::WorkAreaImpl(int index, RECT& area) {
  const std::vector<RECT> monitors = index >= 0 ? Monitors() : std::vector<RECT>{};
  // The primary monitor is the one at the origin.
  HMONITOR monitor = static_cast<std::size_t>(index) < monitors.size()
                         ? MonitorFromRect(&monitors[static_cast<std::size_t>(index)],
                                           MONITOR_DEFAULTTONEAREST)
                         : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!monitor || !GetMonitorInfoW(monitor, &info)) return false;
  area = info.rcWork;
  return true;
}

void WinDesktop::BeginMoveSizeImpl(HWND hwnd, WPARAM hitCode) {
  ::ReleaseCapture();
  SendMessageW(hwnd, WM_NCLBUTTONDOWN, hitCode, 0);
}

void WinDesktop::ReleaseCaptureImpl() { ::ReleaseCapture(); }

int WinDesktop::ScreenWidthImpl() { return GetSystemMetrics(SM_CXSCREEN); }
int WinDesktop::ScreenHeightImpl() { return GetSystemMetrics(SM_CYSCREEN); }

std::vector<RECT> WinDesktop::MonitorsImpl() {
  std::vector<RECT> monitors;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info)) {
          reinterpret_cast<std::vector<RECT>*>(data)->push_back(info.rcMonitor);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

bool WinDesktop::CreateWebViewImpl(WebViewId id, HWND parent) {
  // Created hidden at no size; the host places and shows it. The control
  // takes the window's size whenever the host places it.
  HWND child = CreateWindowExW(0, WebViewClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                               0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!child) return false;
  // Without OLE or the control the view stays a blank window: the window
  // and its frame still work.
  views_[id] = WebView{child, ole_ ? BrowserSite::Create(child) : nullptr};
  return true;
}

void WinDesktop::DestroyWebViewImpl(WebViewId id) {
  WebView& view = views_[id];
  if (view.site) view.site->Close();
  DestroyWindow(view.child);
  views_.erase(id);
}

void WinDesktop::SetWebViewBoundsImpl(WebViewId id, const RECT& bounds) {
  const WebView& view = views_[id];
  SetWindowPos(view.child, nullptr, bounds.left, bounds.top, Width(bounds), Height(bounds),
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (view.site) view.site->Fit();
}

void WinDesktop::ShowWebViewImpl(WebViewId id, bool visible) {
  ShowWindow(views_[id].child, visible ? SW_SHOWNA : SW_HIDE);
}

void WinDesktop::NavigateImpl(WebViewId id, const std::string& location) {
  // Loading goes on in the control; nothing waits for it.
  if (BrowserSite* site = views_[id].site) site->Navigate(PageUrl(location));
}

IWebBrowser2* WinDesktop::WebViewBrowser(WebViewId view) const {
  auto found = views_.find(view);
  return found == views_.end() || !found->second.site ? nullptr : found->second.site->Browser();
}

int WinDesktop::RunImpl() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && TranslateKey(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

bool WinDesktop::TranslateKey(MSG& msg) {
  for (auto& [id, view] : views_) {
    if (view.site && view.site->TranslateKey(msg)) return true;
  }
  return false;
}

void WinDesktop::QuitImpl(int status) { PostQuitMessage(status); }

LRESULT CALLBACK WinDesktop::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* desktop = reinterpret_cast<WinDesktop*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (desktop) {
    if (Window* window = desktop->Find(hwnd)) {
      return desktop->Handle(hwnd, *window, msg, wParam, lParam);
    }
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void WinDesktop::Paint(HWND hwnd, Window& window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client{};
  GetClientRect(hwnd, &client);
  const int width = Width(client);
  const int height = Height(client);
  if (const auto uncovered = window.frame.Draw(*window.sink, width, height, 1)) {
    HRGN shown = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& r : *uncovered) {
      HRGN part = CreateRectRgnIndirect(&r);
      CombineRgn(shown, shown, part, RGN_OR);
      DeleteObject(part);
    }
    ExtSelectClipRgn(dc, shown, RGN_AND);
    DeleteObject(shown);
    const BITMAPINFO info = TopDownDib(width, height);
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), window.frame.Frame().pixels.data(), &info,
                      DIB_RGB_COLORS);
  }
  EndPaint(hwnd, &ps);
}

void WinDesktop::Pointer(HWND hwnd, Window& window, UINT msg, WPARAM wParam, LPARAM lParam) {
  PointerEvent event;
  event.x = GET_X_LPARAM(lParam);
  event.y = GET_Y_LPARAM(lParam);
  event.shift = ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0) |
                ((GetKeyState(VK_MENU) & 0x8000) ? 4 : 0);
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: event.button = 1; break;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: event.button = 2; break;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: event.button = 4; break;
    default:
      event.button = ((wParam & MK_LBUTTON) ? 1 : 0) | ((wParam & MK_RBUTTON) ? 2 : 0) |
                     ((wParam & MK_MBUTTON) ? 4 : 0);
      break;
  }
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
      event.kind = PointerKind::Down;
      // The press holds the pointer for the window until the release.
      SetCapture(hwnd);
      break;
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
      event.kind = PointerKind::DoubleClick;
      SetCapture(hwnd);
      break;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
      event.kind = PointerKind::Up;
      break;
    default:
      event.kind = PointerKind::Move;
      break;
  }
  window.sink->OnPointer(event);
  if (event.kind == PointerKind::Up && Find(hwnd) &&
      !(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && GetCapture() == hwnd) {
    window.releasingAfterUp = true;
    ::ReleaseCapture();
    window.releasingAfterUp = false;
  }
}

void WinDesktop::ReportGeometry(HWND hwnd, Window& window) {
  if (applying_ || window.state == 1 || IsIconic(hwnd)) return;
  const RECT r = Bounds(hwnd);
  window.sink->OnBoundsChanged(r.left, r.top, Width(r), Height(r));
}

void WinDesktop::MinMaxInfo(HWND hwnd, const Window& window, MINMAXINFO& info) {
  // The minimum binds the sizing loops only; the host holds its own.
  if (window.sizing) {
    info.ptMinTrackSize.x = std::max<LONG>(info.ptMinTrackSize.x, window.minWidth);
    info.ptMinTrackSize.y = std::max<LONG>(info.ptMinTrackSize.y, window.minHeight);
  } else {
    info.ptMinTrackSize = POINT{0, 0};
  }
  // A maximized popup would cover the whole monitor, task bar included.
  RECT work{};
  if (WorkArea(hwnd, work)) {
    HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(monitor, &mi);
    info.ptMaxPosition = POINT{work.left - mi.rcMonitor.left, work.top - mi.rcMonitor.top};
    info.ptMaxSize = POINT{Width(work), Height(work)};
  }
}

LRESULT WinDesktop::SysCommand(HWND hwnd, Window& window, WPARAM wParam, LPARAM lParam) {
  switch (wParam & 0xFFF0) {
    case SC_MAXIMIZE: {
      // The taskbar's or the system menu's maximize: the host takes it over
      // into a normal window covering the work area. The host takes the
      // bounds it is told of as the window's own and does not send them
      // back: the window must be there already, or it would keep its size
      // under a frame laid out for the work area.
      RECT work{};
      if (!WorkArea(hwnd, work)) work = Bounds(hwnd);
      ++applying_;
      if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
      SetWindowPos(hwnd, nullptr, work.left, work.top, Width(work), Height(work),
                   SWP_NOZORDER | SWP_NOACTIVATE);
      --applying_;
      window.state = 2;
      window.sink->OnStateChanged(2, work);
      return 0;
    }
    case SC_SIZE: {
      // The sizing loop asks for the tracking limits before it says it has
      // begun (WM_ENTERSIZEMOVE): the minimum binds from here.
      window.sizing = true;
      const LRESULT result = DefWindowProcW(hwnd, WM_SYSCOMMAND, wParam, lParam);
      if (Window* still = Find(hwnd)) still->sizing = false;
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

void WinDesktop::Sized(HWND hwnd, Window& window, WPARAM kind) {
  if (kind == SIZE_MINIMIZED) {
    if (window.state != 1 && !applying_) {
      window.state = 1;
      window.sink->OnStateChanged(1, RestoreBounds(hwnd));
    }
    window.state = 1;
    return;
  }
  if (window.state == 1) {
    window.state = 0;
    if (!applying_) window.sink->OnStateChanged(0, Bounds(hwnd));
    return;
  }
  ReportGeometry(hwnd, window);
}

LRESULT WinDesktop::Handle(HWND hwnd, Window& window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, window);
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
      Pointer(hwnd, window, msg, wParam, lParam);
      return 0;
    case WM_CAPTURECHANGED:
      if (!window.releasingAfterUp) window.sink->OnCaptureReleased();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(LoadCursorW(nullptr, CursorId(window.cursor)));
        return TRUE;
      }
      break;
    case WM_NCLBUTTONDOWN:
      // The controls send this from a press, to hand it to the move or
      // sizing loop. Without the button down the system's loop would wait
      // for the next click: there is no press to hand over.
      if ((GetKeyState(VK_LBUTTON) & 0x8000) == 0) return 0;
      break;
    case WM_GETMINMAXINFO:
      MinMaxInfo(hwnd, window, *reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_SYSCOMMAND:
      return SysCommand(hwnd, window, wParam, lParam);
    case WM_SIZE:
      Sized(hwnd, window, wParam);
      return 0;
    case WM_MOVE:
      ReportGeometry(hwnd, window);
      return 0;
    case WM_GETOBJECT:  // AccessibleFrame.h
      if (const LRESULT answer =
              AnswerGetObject(hwnd, *window.sink, window.accessible, wParam, lParam)) {
        return answer;
      }
      break;
    case WM_CLOSE:
      // The window stays until the host destroys it.
      window.sink->OnCloseRequested();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace platform::win
