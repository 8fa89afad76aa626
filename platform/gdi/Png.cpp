// PNG files through libpng's simplified interface. Pixels are written and
// read as straight (not premultiplied) alpha, as BMP pictures carry it.
#include <png.h>

#include <bit>
#include <cstring>

#include "platform/File.h"
#include "platform/gdi/Gdi.h"

namespace gdi {

namespace {

// 0xAARRGGBB words in memory order.
constexpr png_uint_32 PixelFormat =
    std::endian::native == std::endian::little ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;

}  // namespace

bool WritePng(const Surface& pixels, const std::string& path) {
  if (!pixels.HasPixels()) return false;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(pixels.width);
  image.height = static_cast<png_uint_32>(pixels.height);
  image.format = PixelFormat;
  png_alloc_size_t bytes = 0;
  // Encode in memory first, so that a failed write never leaves half a
  // file behind.
  if (!png_image_write_to_memory(&image, nullptr, &bytes, 0, pixels.pixels.data(), 0, nullptr)) {
    return false;
  }
  std::vector<std::uint8_t> encoded(bytes);
  if (!png_image_write_to_memory(&image, encoded.data(), &bytes, 0, pixels.pixels.data(), 0,
                                 nullptr)) {
    return false;
  }
  return platform::WriteFileAtomic(path, encoded.data(), bytes);
}

bool ReadPng(const std::string& path, Surface& out) {
  std::vector<std::uint8_t> bytes;
  if (!platform::ReadWholeFile(path, bytes)) return false;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
  // The header's size is checked before anything is allocated for it.
  if (image.width == 0 || image.height == 0 || image.width > MaxBmpSide ||
      image.height > MaxBmpSide) {
    png_image_free(&image);
    return false;
  }
  image.format = PixelFormat;
  Surface decoded(static_cast<int>(image.width), static_cast<int>(image.height), 0);
  if (!png_image_finish_read(&image, nullptr, decoded.pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  out = std::move(decoded);
  return true;
}

}  // namespace gdi
