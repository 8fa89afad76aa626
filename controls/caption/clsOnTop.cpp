#include "controls/caption/clsOnTop.h"

// Only the z-order changes: the window keeps its place and size.
constexpr UINT KeepPlaceAndSize = SWP_NOMOVE | SWP_NOSIZE;

void clsOnTop::MakeNormal(HWND hwnd) {
  SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, KeepPlaceAndSize);
}

void clsOnTop::MakeTopMost(HWND hwnd) {
  SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, KeepPlaceAndSize);
}
