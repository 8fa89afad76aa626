// The main window's messages: painting, the pointer, geometry reports and
// the messages that make the whole window client area.
#include <windowsx.h>

#include "platform/win/Dib.h"
#include "platform/win/desktop/WinDesktop.h"

namespace platform::win {

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

LRESULT CALLBACK WinDesktop::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* desktop = reinterpret_cast<WinDesktop*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (desktop) {
    if (Window* window = desktop->Find(hwnd)) {
      return desktop->Handle(hwnd, *window, msg, wParam, lParam);
    }
  }
  // Before the desktop knows the window (its first messages, WM_NCCALCSIZE
  // among them), it already has no frame.
  if (msg == WM_NCCALCSIZE) return 0;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void WinDesktop::Paint(HWND hwnd, Window& window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client{};
  GetClientRect(hwnd, &client);
  const int width = Width(client);
  const int height = Height(client);
  if (const auto uncovered = window.frame.Draw(*window.sink, width, height, DpiOf(window).Scale())) {
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
  // The host's pixel under the device pixel.
  const DeviceScale scale = DpiOf(window).Scale();
  event.x = scale.Logical(GET_X_LPARAM(lParam));
  event.y = scale.Logical(GET_Y_LPARAM(lParam));
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

bool WinDesktop::HandlePointer(HWND hwnd, Window& window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_RBUTTONUP:
      if (window.menuOnRelease) {
        // The press went to the caption's move loop and belongs to the
        // window no more: its release is the system menu's.
        window.menuOnRelease = false;
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(hwnd, &at);
        ShowSystemMenu(hwnd, at);
        return true;
      }
      [[fallthrough]];
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
      if (msg != WM_MOUSEMOVE && msg != WM_RBUTTONUP) window.menuOnRelease = false;
      Pointer(hwnd, window, msg, wParam, lParam);
      return true;
    default:
      return false;
  }
}

void WinDesktop::ReportGeometry(HWND hwnd, Window& window) {
  // A maximize by the system is taken over before the host hears of it.
  if (applying_ || window.state == 1 || IsIconic(hwnd) || IsZoomed(hwnd)) return;
  Remember(window, DeviceBounds(hwnd));
  const RECT r = Bounds(hwnd);
  window.sink->OnBoundsChanged(r.left, r.top, Width(r), Height(r));
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
  if (kind == SIZE_MAXIMIZED) {
    if (!applying_) PostMessageW(hwnd, TakeOverMessage, 0, 0);
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
  if (HandlePointer(hwnd, window, msg, wParam, lParam)) return 0;
  LRESULT result = 0;
  if (HandleSystem(hwnd, window, msg, wParam, lParam, result)) return result;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, window);
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
    case WM_SIZE:
      Sized(hwnd, window, wParam);
      return 0;
    case WM_MOVE:
      ReportGeometry(hwnd, window);
      return 0;
    case WM_GETOBJECT:
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
