// The user32 entry points: check and normalise, then hand the work to the
// current desktop.
#include "platform/Desktop.h"

#include "platform/MonitorShowing.h"
#include "platform/gdi/Gdi.h"

#include <algorithm>

namespace platform {

namespace {
Desktop* current = nullptr;
}

Desktop* CurrentDesktop() { return current; }

std::uint32_t StraightArgb(std::uint32_t premultiplied, int bitsPerPixel) {
  const std::uint32_t alpha = premultiplied >> 24;
  const std::uint32_t shown = bitsPerPixel < 32 ? (alpha >= 0x80 ? 0xFF : 0) : alpha;
  if (shown == 0) return 0;
  std::uint32_t pixel = shown << 24;
  for (int shift : {16, 8, 0}) {
    const std::uint32_t c = (premultiplied >> shift) & 0xFF;
    pixel |= std::min<std::uint32_t>(0xFF, (c * 0xFF + alpha / 2) / alpha) << shift;
  }
  return pixel;
}

void WindowSink::RenderScaled(gdi::Surface& target, DeviceScale scale) {
  if (scale == DeviceScale(1)) {
    Render(target);
    return;
  }
  gdi::Surface logical(scale.Logical(target.width - 1) + 1, scale.Logical(target.height - 1) + 1);
  Render(logical);
  CopyRectMapped(target, 0, 0, logical.width, logical.height, logical, 0, 0, scale);
}

std::vector<RECT> WindowSink::RenderUncovered(gdi::Surface& target, DeviceScale scale) {
  RenderScaled(target, scale);
  return {RECT{0, 0, target.width, target.height}};
}

std::vector<AccessiblePart> WindowSink::AccessibleParts() { return {}; }

void WindowSink::PressAccessiblePart(std::size_t) {}

void UseDesktop(Desktop* desktop) { current = desktop; }

HWND Desktop::CreateTopLevel(WindowSink& sink, const RECT& bounds) {
  HWND hwnd = CreateTopLevelImpl(sink, bounds);
  if (hwnd) windows_.insert(hwnd);
  return hwnd;
}

void Desktop::DestroyTopLevel(HWND hwnd) {
  if (!Exists(hwnd)) return;
  // The views go first, while the window they are children of still stands.
  for (WebViewId view : webViews_.Of(hwnd)) {
    DestroyWebViewImpl(view);
    webViews_.Remove(view);
  }
  windows_.erase(hwnd);
  DestroyTopLevelImpl(hwnd);
}

void Desktop::SetBounds(HWND hwnd, const RECT& bounds) {
  if (Exists(hwnd)) SetBoundsImpl(hwnd, bounds);
}

void Desktop::Show(HWND hwnd, bool visible) {
  if (Exists(hwnd)) ShowImpl(hwnd, visible);
}

void Desktop::SetState(HWND hwnd, int windowState) {
  if (Exists(hwnd) && windowState >= 0 && windowState <= 2) SetStateImpl(hwnd, windowState);
}

void Desktop::SetTitle(HWND hwnd, const std::string& utf8) {
  if (Exists(hwnd)) SetTitleImpl(hwnd, utf8);
}

void Desktop::SetIcon(HWND hwnd, const std::vector<IconImage>& images) {
  if (Exists(hwnd)) SetIconImpl(hwnd, images);
}

void Desktop::SetMinimumSize(HWND hwnd, int width, int height) {
  if (Exists(hwnd)) SetMinimumSizeImpl(hwnd, std::max(width, 0), std::max(height, 0));
}

void Desktop::SetCursor(HWND hwnd, Cursor cursor) {
  if (Exists(hwnd)) SetCursorImpl(hwnd, cursor);
}

void Desktop::Invalidate(HWND hwnd) {
  if (Exists(hwnd)) InvalidateImpl(hwnd);
}

void Desktop::AccessiblePartsChanged(HWND hwnd) {
  if (Exists(hwnd)) AccessiblePartsChangedImpl(hwnd);
}

bool Desktop::SetRegion(HWND hwnd, HRGN region) {
  return Exists(hwnd) && SetRegionImpl(hwnd, region);
}

void Desktop::SetTopmost(HWND hwnd, bool topmost) {
  if (Exists(hwnd)) SetTopmostImpl(hwnd, topmost);
}

bool Desktop::WorkArea(HWND hwnd, RECT& area) {
  const int monitor = Exists(hwnd) ? MonitorShowing(MonitorsImpl(), PlacedImpl(hwnd)) : -1;
  return WorkAreaImpl(monitor, area);
}

void Desktop::BeginMoveSize(HWND hwnd, WPARAM hitCode) {
  if (Exists(hwnd)) BeginMoveSizeImpl(hwnd, hitCode);
}

void Desktop::ReleaseCapture() { ReleaseCaptureImpl(); }
int Desktop::ScreenWidth() { return ScreenWidthImpl(); }
int Desktop::ScreenHeight() { return ScreenHeightImpl(); }
std::vector<RECT> Desktop::Monitors() { return MonitorsImpl(); }
int Desktop::Scale(HWND hwnd) { return ScaleImpl(Exists(hwnd) ? hwnd : nullptr); }

WebViewId Desktop::CreateWebView(HWND parent) {
  if (!Exists(parent)) return 0;
  const WebViewId view = webViews_.Add(parent);
  if (CreateWebViewImpl(view, parent)) return view;
  webViews_.Remove(view);
  return 0;
}

void Desktop::SetWebViewBounds(WebViewId view, const RECT& bounds) {
  WebViewEntry* entry = webViews_.Find(view);
  if (!entry) return;
  entry->bounds = bounds;
  SetWebViewBoundsImpl(view, bounds);
}

void Desktop::ShowWebView(WebViewId view, bool visible) {
  WebViewEntry* entry = webViews_.Find(view);
  if (!entry) return;
  entry->visible = visible;
  ShowWebViewImpl(view, visible);
}

void Desktop::Navigate(WebViewId view, const std::string& location) {
  if (webViews_.Find(view)) NavigateImpl(view, location);
}

void Desktop::WatchFolder(HWND hwnd, const std::string& folder, std::function<void()> changed) {
  if (Exists(hwnd)) WatchFolderImpl(hwnd, folder, std::move(changed));
}

int Desktop::Run() { return RunImpl(); }
void Desktop::Quit(int status) { QuitImpl(status); }

namespace user32 {

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  (void)lParam;
  if (!current || !hWnd || Msg != WM_NCLBUTTONDOWN) return 0;
  switch (wParam) {
    case HTCAPTION:
    case HTLEFT:
    case HTRIGHT:
    case HTBOTTOM:
    case HTBOTTOMLEFT:
    case HTBOTTOMRIGHT:
      current->BeginMoveSize(hWnd, wParam);
      break;
    default:
      break;
  }
  return 0;
}

BOOL ReleaseCapture() {
  if (!current) return FALSE;
  current->ReleaseCapture();
  return TRUE;
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  (void)X, (void)Y, (void)cx, (void)cy;
  if (!current || !hWnd) return FALSE;
  // Only the z-order change is used: position and size stay the host's.
  if ((uFlags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) return FALSE;
  if (hWndInsertAfter == HWND_TOPMOST) {
    current->SetTopmost(hWnd, true);
  } else if (hWndInsertAfter == HWND_NOTOPMOST) {
    current->SetTopmost(hWnd, false);
  } else {
    return FALSE;
  }
  return TRUE;
}

int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw) {
  (void)bRedraw;  // the desktops always repaint after a shape change
  if (!current || !hWnd) return 0;
  return current->SetRegion(hWnd, hRgn) ? 1 : 0;
}

BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) {
  (void)uiParam, (void)fWinIni;
  if (!current || uiAction != SPI_GETWORKAREA || !pvParam) return FALSE;
  RECT area{};
  // The call names no window: the desktop answers for the primary monitor.
  if (!current->WorkArea(nullptr, area)) return FALSE;
  *static_cast<RECT*>(pvParam) = area;
  return TRUE;
}

}  // namespace user32

}  // namespace platform

// On Windows these are the system's own.
#ifndef _WIN32

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return platform::user32::SendMessageA(hWnd, Msg, wParam, lParam);
}
BOOL ReleaseCapture() { return platform::user32::ReleaseCapture(); }
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  return platform::user32::SetWindowPos(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
}
int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw) {
  return platform::user32::SetWindowRgn(hWnd, hRgn, bRedraw);
}
BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) {
  return platform::user32::SystemParametersInfoA(uiAction, uiParam, pvParam, fWinIni);
}

#endif
