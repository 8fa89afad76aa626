#include "platform/win/desktop/WinDesktop.h"

#include <windowsx.h>

#include <algorithm>
#include <iostream>

#include <shellscalingapi.h>

#include "platform/win/Utf16.h"
#include "platform/win/desktop/PageHandOff.h"
#include "platform/win/desktop/PageKeys.h"
#include "platform/win/desktop/PageUrl.h"
#include "platform/win/desktop/ProgramImports.h"

namespace platform::win {

namespace {

constexpr wchar_t WindowClass[] = L"skinshell.window";
constexpr wchar_t WebViewClass[] = L"skinshell.webview";

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

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

// The standard cursors by their resource numbers (the IDC_ names are
// narrow strings in a build without UNICODE).
LPCWSTR WinDesktop::CursorId(Cursor cursor) {
  switch (cursor) {
    case Cursor::SizeWE: return MAKEINTRESOURCEW(32644);
    case Cursor::SizeNS: return MAKEINTRESOURCEW(32645);
    case Cursor::SizeNESW: return MAKEINTRESOURCEW(32643);
    case Cursor::SizeNWSE: return MAKEINTRESOURCEW(32642);
    case Cursor::Default: break;
  }
  return MAKEINTRESOURCEW(32512);
}

WinDesktop::WinDesktop() {
  // Single-threaded apartment, as the browser control requires; S_FALSE
  // (already initialised here) is a success that wants its uninitialise too.
  ole_ = SUCCEEDED(OleInitialize(nullptr));
  TakeOverProgramImports();
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

void WinDesktop::Remember(Window& window, const RECT& device) {
  // Enough for a maximize and a restore set an edge or a size at a time.
  constexpr std::size_t Kept = 8;
  auto& recent = window.recent;
  recent.erase(std::remove_if(recent.begin(), recent.end(),
                              [&device](const RECT& r) { return EqualRect(&r, &device); }),
               recent.end());
  recent.insert(recent.begin(), device);
  if (recent.size() > Kept) recent.resize(Kept);
}

RECT WinDesktop::DeviceBounds(HWND hwnd) {
  // WM_NCCALCSIZE leaves no frame: the client area is the whole window.
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

RECT WinDesktop::Bounds(HWND hwnd) {
  const Window* window = Find(hwnd);
  return window ? DpiOf(*window).ToLogical(DeviceBounds(hwnd)) : DeviceBounds(hwnd);
}

RECT WinDesktop::RestoreBounds(HWND hwnd) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(hwnd, &placement);
  // Workspace coordinates; the same as the screen's for a window without a
  // tool-window style on the primary monitor's origin.
  const Window* window = Find(hwnd);
  return window ? DpiOf(*window).ToLogical(placement.rcNormalPosition)
                : placement.rcNormalPosition;
}

UINT WinDesktop::MonitorDpi(HMONITOR monitor) {
  UINT x = Dpi::Designed;
  UINT y = Dpi::Designed;
  if (!monitor || FAILED(GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &x, &y))) {
    return GetDpiForSystem();
  }
  return x;
}

bool WinDesktop::DeviceWorkArea(HMONITOR monitor, RECT& area, UINT& dpi) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!monitor || !GetMonitorInfoW(monitor, &info)) return false;
  area = info.rcWork;
  dpi = MonitorDpi(monitor);
  return true;
}

HWND WinDesktop::CreateTopLevelImpl(WindowSink& sink, const RECT& bounds) {
  // The thick frame gives the system's snapping and sizing gestures; the
  // system menu and the minimize and maximize boxes give the taskbar button
  // its menu. WM_NCCALCSIZE takes the frame away again: every pixel is the
  // skin's. A new window opens on the monitor its bounds lie on, at that
  // monitor's scale.
  const DWORD style = WS_POPUP | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                      WS_CLIPCHILDREN;
  const POINT corner{bounds.left, bounds.top};
  const Dpi dpi(MonitorDpi(MonitorFromPoint(corner, MONITOR_DEFAULTTOPRIMARY)));
  const RECT device = dpi.ToDevice(bounds);
  HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW, WindowClass, L"", style, device.left, device.top,
                              Width(device), Height(device), nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return nullptr;
  Window& window = windows_[hwnd];
  window.sink = &sink;
  window.dpi = Dpi(GetDpiForWindow(hwnd)).DotsPerInch();
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // The frame's size is the client's from the start.
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (window.dpi != dpi.DotsPerInch()) {
    const RECT again = DpiOf(window).ToDevice(bounds);
    SetWindowPos(hwnd, nullptr, again.left, again.top, Width(again), Height(again),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Remember(window, DeviceBounds(hwnd));
  return hwnd;
}

void WinDesktop::AccessiblePartsChangedImpl(HWND hwnd) {
  if (Window* w = Find(hwnd)) AnnounceParts(w->accessible);
}

void WinDesktop::DestroyTopLevelImpl(HWND hwnd) {
  auto found = windows_.find(hwnd);
  std::vector<HICON> icons = std::move(found->second.icons);
  ReleaseAccessibleFrame(found->second.accessible);
  // No callback reaches the sink from here on.
  windows_.erase(found);
  DestroyWindow(hwnd);
  for (HICON icon : icons) DestroyIcon(icon);
}

void WinDesktop::SetBoundsImpl(HWND hwnd, const RECT& bounds) {
  const Dpi dpi = DpiOf(*Find(hwnd));
  // The work area, for the host's maximize.
  RECT work{};
  UINT workDpi = 0;
  if (!DeviceWorkArea(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), work, workDpi)) {
    work = RECT{};
  }
  Window& window = *Find(hwnd);
  std::vector<RECT> known = window.recent;
  known.push_back(work);
  const RECT device = dpi.ToDevice(bounds, known);
  Remember(window, device);
  ++applying_;
  if (IsIconic(hwnd)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(hwnd, &placement);
    placement.rcNormalPosition = device;
    SetWindowPlacement(hwnd, &placement);
  } else {
    SetWindowPos(hwnd, nullptr, device.left, device.top, Width(device), Height(device),
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
  Window& window = *Find(hwnd);
  window.hasRegion = region != nullptr;
  window.region = region ? RegionRects(region) : std::vector<RECT>{};
  if (window.dpi == Dpi::Designed || !region) {
    // The system owns the region from here on.
    return SetWindowRgn(hwnd, region, TRUE) != 0;
  }
  // The desktop owns what it was given; the system gets it at the scale.
  DeleteObject(region);
  ApplyRegion(hwnd, window);
  return true;
}

void WinDesktop::SetTopmostImpl(HWND hwnd, bool topmost) {
  SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

RECT WinDesktop::PlacedImpl(HWND hwnd) { return Bounds(hwnd); }

namespace {

std::vector<HMONITOR> MonitorHandles() {
  std::vector<HMONITOR> monitors;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<HMONITOR>*>(data)->push_back(monitor);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

}  // namespace

// Each monitor's rectangles are told in its own logical pixels: a window on
// it has its scale once it is there.
bool WinDesktop::WorkAreaImpl(int index, RECT& area) {
  const std::vector<HMONITOR> monitors = MonitorHandles();
  // The primary monitor is the one at the origin.
  HMONITOR monitor = index >= 0 && static_cast<std::size_t>(index) < monitors.size()
                         ? monitors[static_cast<std::size_t>(index)]
                         : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  RECT device{};
  UINT dpi = 0;
  if (!DeviceWorkArea(monitor, device, dpi)) return false;
  area = Dpi(dpi).ToLogical(device);
  return true;
}

void WinDesktop::BeginMoveSizeImpl(HWND hwnd, WPARAM hitCode) {
  ::ReleaseCapture();
  // The caption hands every press over, a right one too: that one's
  // release opens the system menu, as on a caption of the system's.
  const bool right = (GetKeyState(VK_RBUTTON) & 0x8000) != 0;
  const bool left = (GetKeyState(VK_LBUTTON) & 0x8000) != 0;
  if (hitCode == HTCAPTION && right && !left) {
    Find(hwnd)->menuOnRelease = true;
    return;
  }
  SendMessageW(hwnd, WM_NCLBUTTONDOWN, hitCode, 0);
}

void WinDesktop::ReleaseCaptureImpl() { ::ReleaseCapture(); }

// The primary monitor's, in its logical pixels.
int WinDesktop::ScreenWidthImpl() {
  const RECT device{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return Width(Dpi(MonitorDpi(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY)))
                   .ToLogical(device));
}

int WinDesktop::ScreenHeightImpl() {
  const RECT device{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return Height(Dpi(MonitorDpi(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY)))
                    .ToLogical(device));
}

std::vector<RECT> WinDesktop::MonitorsImpl() {
  std::vector<RECT> monitors;
  for (HMONITOR monitor : MonitorHandles()) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
      monitors.push_back(Dpi(MonitorDpi(monitor)).ToLogical(info.rcMonitor));
    }
  }
  return monitors;
}

// GDI lays text out at the size it is given: the host's fonts need no
// preparing here, so the scale a fractional one rounds to does for it.
int WinDesktop::ScaleImpl(HWND hwnd) {
  const Window* window = hwnd ? Find(hwnd) : nullptr;
  const UINT dpi = window ? window->dpi
                          : MonitorDpi(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
  return static_cast<int>((dpi + Dpi::Designed / 2) / Dpi::Designed);
}

bool WinDesktop::CreateWebViewImpl(WebViewId id, HWND parent) {
  // Created hidden at no size; the host places and shows it. The control
  // takes the window's size whenever the host places it.
  HWND child = CreateWindowExW(0, WebViewClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                               0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!child) return false;
  // Without OLE or the control the view stays a blank window: the window
  // and its frame still work.
  PageGate gate = [this, id](PageRequest request, const std::optional<std::string>& url) {
    return LetPage(id, request, url);
  };
  views_[id] = WebView{child, ole_ ? BrowserSite::Create(child, std::move(gate)) : nullptr, {}};
  return true;
}

bool WinDesktop::LetPage(WebViewId id, PageRequest request,
                         const std::optional<std::string>& url) {
  const WebViewEntry* entry = WebViews().Find(id);
  Window* window = entry ? Find(entry->parent) : nullptr;
  auto view = views_.find(id);
  // Nothing is the program's before the host's first page.
  if (!window || !window->pages || view == views_.end()) return false;
  PageAsk ask;
  ask.View = entry->visible ? PageView::Main : PageView::Sound;
  ask.Request = request;
  ask.OwnPage = view->second.hostUrl;
  if (!url) {
    if (ask.View == PageView::Main) {
      std::cerr << "skinshell: not opening a URL that is not valid UTF-16\n";
    }
    return false;
  }
  ask.Url = *url;
  return CarryOut(window->pages->Decide(ask));
}

void WinDesktop::DestroyWebViewImpl(WebViewId id) {
  WebView& view = views_[id];
  if (view.site) view.site->Close();
  DestroyWindow(view.child);
  views_.erase(id);
}

void WinDesktop::SetWebViewBoundsImpl(WebViewId id, const RECT& bounds) {
  const WebView& view = views_[id];
  // The view covers the device pixels of the host's rectangle, as the frame
  // around it is drawn.
  const WebViewEntry* entry = WebViews().Find(id);
  const Window* window = entry ? Find(entry->parent) : nullptr;
  const DeviceScale scale = window ? DpiOf(*window).Scale() : DeviceScale();
  const RECT r{scale.Device(bounds.left), scale.Device(bounds.top), scale.Device(bounds.right),
               scale.Device(bounds.bottom)};
  SetWindowPos(view.child, nullptr, r.left, r.top, Width(r), Height(r),
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (view.site) view.site->Fit();
}

void WinDesktop::ShowWebViewImpl(WebViewId id, bool visible) {
  ShowWindow(views_[id].child, visible ? SW_SHOWNA : SW_HIDE);
}

void WinDesktop::NavigateImpl(WebViewId id, const std::string& location) {
  WebView& view = views_[id];
  const WebViewEntry* entry = WebViews().Find(id);
  Window* window = entry ? Find(entry->parent) : nullptr;
  if (window && !window->pages) window->pages.emplace(PageFolder(location), ShellPageDesktop());
  const std::wstring url = PageUrl(location);
  view.hostUrl = Utf8(url.data(), url.size());
  // Loading goes on in the control; nothing waits for it.
  if (view.site) view.site->Navigate(url);
}

IWebBrowser2* WinDesktop::WebViewBrowser(WebViewId view) const {
  auto found = views_.find(view);
  return found == views_.end() || !found->second.site ? nullptr : found->second.site->Browser();
}

int WinDesktop::RunImpl() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (TranslateKey(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

// Keys and mouse buttons that would take a view away from its page never
// reach its control; the control's shortcuts get the other keys first.
bool WinDesktop::TranslateKey(MSG& msg) {
  const bool key = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
  const bool button = msg.message == WM_XBUTTONDOWN || msg.message == WM_XBUTTONUP ||
                      msg.message == WM_XBUTTONDBLCLK;
  if (!key && !button) return false;
  for (auto& [id, view] : views_) {
    if (!view.site || !IsChild(view.child, msg.hwnd)) continue;
    if (LeavesPage(msg, view.site->Browser())) return true;
    return key && view.site->TranslateKey(msg);
  }
  return false;
}

void WinDesktop::QuitImpl(int status) { PostQuitMessage(status); }

}  // namespace platform::win
