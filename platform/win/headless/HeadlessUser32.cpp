// The headless desktop on Windows. The code above the platform reaches the
// window manager through user32's own names, and the system knows nothing of
// the headless desktop's windows. A program that drives that desktop (the
// test programs) links this file, which takes over user32's import slots of
// the five window-manager calls: a handle the headless desktop minted, or a
// call naming no window while the headless desktop is in use, reaches that
// desktop with the emulation's checks; everything else reaches the system.
// The shipped program does not link it.
#include <cstdint>

#include "platform/Desktop.h"
#include "platform/WindowTable.h"
#include "platform/headless/HeadlessDesktop.h"

namespace {

bool HeadlessInUse() {
  return dynamic_cast<platform::HeadlessDesktop*>(platform::CurrentDesktop()) != nullptr;
}

bool Headless(HWND hwnd) { return HeadlessInUse() && platform::IsMintedHandle(hwnd); }

template <class Function>
Function System(const char* name) {
  static HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

LRESULT WINAPI RoutedSendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (Headless(hWnd)) return platform::user32::SendMessageA(hWnd, Msg, wParam, lParam);
  static auto system = System<decltype(&SendMessageA)>("SendMessageA");
  return system(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI RoutedReleaseCapture() {
  if (HeadlessInUse()) return platform::user32::ReleaseCapture();
  static auto system = System<decltype(&ReleaseCapture)>("ReleaseCapture");
  return system();
}

BOOL WINAPI RoutedSetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                               UINT uFlags) {
  if (Headless(hWnd)) {
    return platform::user32::SetWindowPos(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
  }
  static auto system = System<decltype(&SetWindowPos)>("SetWindowPos");
  return system(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
}

int WINAPI RoutedSetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw) {
  if (Headless(hWnd)) return platform::user32::SetWindowRgn(hWnd, hRgn, bRedraw);
  static auto system = System<decltype(&SetWindowRgn)>("SetWindowRgn");
  return system(hWnd, hRgn, bRedraw);
}

BOOL WINAPI RoutedSystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam,
                                        UINT fWinIni) {
  if (HeadlessInUse() && uiAction == SPI_GETWORKAREA) {
    return platform::user32::SystemParametersInfoA(uiAction, uiParam, pvParam, fWinIni);
  }
  static auto system = System<decltype(&SystemParametersInfoA)>("SystemParametersInfoA");
  return system(uiAction, uiParam, pvParam, fWinIni);
}

}  // namespace

// The import slots the callers' dllimport calls go through; defined here,
// the linker takes them instead of user32's import library.
extern "C" {
extern decltype(&SendMessageA) const importSendMessageA __asm__("__imp_SendMessageA");
decltype(&SendMessageA) const importSendMessageA = &RoutedSendMessageA;
extern decltype(&ReleaseCapture) const importReleaseCapture __asm__("__imp_ReleaseCapture");
decltype(&ReleaseCapture) const importReleaseCapture = &RoutedReleaseCapture;
extern decltype(&SetWindowPos) const importSetWindowPos __asm__("__imp_SetWindowPos");
decltype(&SetWindowPos) const importSetWindowPos = &RoutedSetWindowPos;
extern decltype(&SetWindowRgn) const importSetWindowRgn __asm__("__imp_SetWindowRgn");
decltype(&SetWindowRgn) const importSetWindowRgn = &RoutedSetWindowRgn;
extern decltype(&SystemParametersInfoA) const importSystemParametersInfoA __asm__(
    "__imp_SystemParametersInfoA");
decltype(&SystemParametersInfoA) const importSystemParametersInfoA =
    &RoutedSystemParametersInfoA;
}
