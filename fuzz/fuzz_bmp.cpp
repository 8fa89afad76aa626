// Arbitrary bytes as a BMP file: decoding never reads out of range, never
// allocates more than the input can fill, and a bitmap made from it is the
// size the decoder reported.
// Code under test: platform/gdi/Bmp.cpp
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/Gdi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gdi::Surface pixels;
  const bool decoded = gdi::DecodeBmp(data, size, pixels);
  if (decoded && (pixels.width <= 0 || pixels.height <= 0 ||
                  static_cast<std::size_t>(pixels.width) * pixels.height > size)) {
    std::abort();
  }
  const int before = gdi::LiveCount(gdi::Kind::Bitmap);
  HBITMAP bitmap = gdi::CreateBitmapFromBmp(data, size);
  if ((bitmap != nullptr) != decoded) std::abort();
  if (bitmap) {
    BITMAP record{};
    GetObjectA(bitmap, sizeof record, &record);
    if (record.bmWidth != pixels.width || record.bmHeight != pixels.height) std::abort();
    if (!DeleteObject(bitmap)) std::abort();
  }
  if (gdi::LiveCount(gdi::Kind::Bitmap) != before) std::abort();
  return 0;
}
