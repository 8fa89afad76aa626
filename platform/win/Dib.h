// The one pixel layout the program hands to GDI: 32 bits a pixel, rows top
// down, the bytes of gdi::Surface's 0xAARRGGBB words.
#pragma once

#include "platform/win32.h"

namespace platform::win {

inline BITMAPINFO TopDownDib(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace platform::win
