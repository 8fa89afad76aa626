#include "skin/clsBitmap.h"

clsBitmap::~clsBitmap() {
  ReleaseBitmap();
}

bool clsBitmap::LoadFile(const std::string& FileName) {
  ReleaseBitmap();
  // The file's own size, no colour mapping and no DIB section: the bitmap is
  // only ever blitted whole.
  bitmap_ = static_cast<HBITMAP>(
      LoadImageA(nullptr, FileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (bitmap_ == nullptr) return false;
  return AttachBitmap();
}

bool clsBitmap::LoadResource(HBITMAP ResourceID) {
  ReleaseBitmap();
  bitmap_ = ResourceID;
  if (bitmap_ == nullptr) return false;
  return AttachBitmap();
}

void clsBitmap::Paint(HDC destdc, std::int32_t DestX, std::int32_t DestY) const {
  BitBlt(destdc, DestX, DestY, width_, height_, memoryDc_, 0, 0, SRCCOPY);
}

bool clsBitmap::AttachBitmap() {
  HDC screen = GetDC(nullptr);
  memoryDc_ = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (memoryDc_ == nullptr) return false;
  priorBitmap_ = SelectObject(memoryDc_, bitmap_);
  // The result is deliberately not tested: a handle that is not a bitmap
  // leaves the record zeroed and the surface 0 by 0.
  BITMAP info{};
  GetObjectA(bitmap_, sizeof(info), &info);
  width_ = info.bmWidth;
  height_ = info.bmHeight;
  return true;
}

void clsBitmap::ReleaseBitmap() {
  if (memoryDc_ == nullptr) {
    // An orphan (a bitmap adopted without a DC to hold it) still belongs to
    // the surface; deleting it here is what keeps a failed attach from
    // leaking.
    if (bitmap_ != nullptr) {
      DeleteObject(bitmap_);
      bitmap_ = nullptr;
    }
    return;
  }
  if (bitmap_ != nullptr) {
    // The bitmap must leave the DC before it can be deleted.
    SelectObject(memoryDc_, priorBitmap_);
    DeleteObject(bitmap_);
    bitmap_ = nullptr;
  }
  priorBitmap_ = nullptr;
  DeleteDC(memoryDc_);
  memoryDc_ = nullptr;
}
