// A bitmap surface: one GDI bitmap selected into a memory DC of its own,
// copied onto other DCs with one blit.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32.h"

class clsBitmap {
 public:
  clsBitmap() = default;
  ~clsBitmap();
  clsBitmap(const clsBitmap&) = delete;
  clsBitmap& operator=(const clsBitmap&) = delete;

  bool LoadFile(const std::string& FileName);
  // Adopts the bitmap handle: the surface deletes it when released.
  bool LoadResource(HBITMAP ResourceID);
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  HDC hdc() const { return memoryDc_; }
  void Paint(HDC destdc, std::int32_t DestX, std::int32_t DestY) const;

 private:
  bool AttachBitmap();
  void ReleaseBitmap();

  HDC memoryDc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ priorBitmap_ = nullptr;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
};
