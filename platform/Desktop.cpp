// The user32 entry points: check and normalise, then hand the work to the
// current desktop.
#include "platform/Desktop.h"

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

void WindowSink::RenderScaled(gdi::Surface& target, int scale) {
  if (scale <= 1) {
    Render(target);
    return;
  }
  gdi::Surface logical(target.width / scale, target.height / scale);
  Render(logical);
  gdi::CopyRectScaled(target, 0, 0, logical.width, logical.height, logical, 0, 0, scale);
}

std::vector<RECT> WindowSink::RenderUncovered(gdi::Surface& target, int scale) {
  RenderScaled(target, scale);
  return {RECT{0, 0, target.width, target.height}};
}

void UseDesktop(Desktop* desktop) { current = desktop; }

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
