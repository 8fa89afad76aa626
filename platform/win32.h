// The Win32 subset that the code above the platform is written against.
// On Windows this header includes <windows.h> instead; keep it to what the
// callers use so that both builds agree.
#pragma once

#ifdef _WIN32
// std::min and std::max stay usable, and the header stays small.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else

#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPVOID = void*;
using PVOID = void*;
using LPCSTR = const char*;
using LPSTR = char*;
using COLORREF = DWORD;

// Handles are distinct pointer types, as with STRICT on Windows, so a DC can
// never be passed where a bitmap is expected.
#define SKINSHELL_DECLARE_HANDLE(name) \
  struct name##__ {                    \
    int unused;                        \
  };                                   \
  using name = name##__*
SKINSHELL_DECLARE_HANDLE(HWND);
SKINSHELL_DECLARE_HANDLE(HDC);
SKINSHELL_DECLARE_HANDLE(HBITMAP);
SKINSHELL_DECLARE_HANDLE(HRGN);
SKINSHELL_DECLARE_HANDLE(HINSTANCE);
SKINSHELL_DECLARE_HANDLE(HCURSOR);
#undef SKINSHELL_DECLARE_HANDLE
using HANDLE = void*;
using HGDIOBJ = void*;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

struct POINT {
  LONG x;
  LONG y;
};

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};

// 24 bytes on a 32-bit build, as the callers size it; the pointer makes it
// larger here, which GetObjectA accepts.
struct BITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
};

// Window messages and hit-test codes.
constexpr UINT WM_NCLBUTTONDOWN = 0xA1;
constexpr WPARAM HTCAPTION = 2;
constexpr WPARAM HTLEFT = 10;
constexpr WPARAM HTRIGHT = 11;
constexpr WPARAM HTBOTTOM = 15;
constexpr WPARAM HTBOTTOMLEFT = 16;
constexpr WPARAM HTBOTTOMRIGHT = 17;

// System parameters.
constexpr UINT SPI_GETWORKAREA = 48;

// SetWindowPos.
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-2));
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;

// Regions.
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

// GDI.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT LR_LOADFROMFILE = 0x0010;

// The standard sizing cursors, by their resource numbers.
constexpr int IDC_ARROW = 32512;
constexpr int IDC_SIZENWSE = 32642;
constexpr int IDC_SIZENESW = 32643;
constexpr int IDC_SIZEWE = 32644;
constexpr int IDC_SIZENS = 32645;

// user32
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL ReleaseCapture();
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw);
BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni);
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
HANDLE LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad);

// gdi32
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
BOOL DeleteObject(HGDIOBJ ho);
int GetObjectA(HANDLE h, int c, LPVOID pv);
HRGN CreatePolygonRgn(const POINT* pptl, int cPoint, int iMode);

// kernel32
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                               LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName);
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                LPCSTR lpFileName);

#endif
