// BMP files: the pictures of skins and LoadImageA. Input comes from files
// and skins of unknown origin, so every length is checked against the bytes
// at hand before anything is read or allocated.
#include <cstring>

#include "platform/gdi/Gdi.h"

namespace gdi {

namespace {

constexpr std::size_t FileHeaderBytes = 14;
constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiBitfields = 3;

std::uint16_t U16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::int32_t I32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(U32(p));
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFFu);
  Put16(out, v >> 16);
}

bool KnownInfoHeader(std::uint32_t size) {
  // BITMAPINFOHEADER, its two extensions with masks, V4 and V5.
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// BI_BITFIELDS is accepted for the one layout that is plain BGRA anyway.
bool StandardMasks(const std::uint8_t* data, std::size_t size, std::uint32_t infoSize,
                   bool& alphaMasked) {
  const std::size_t at = FileHeaderBytes + 40;
  if (at + 12 > size) return false;
  if (U32(data + at) != 0x00FF0000u || U32(data + at + 4) != 0x0000FF00u ||
      U32(data + at + 8) != 0x000000FFu) {
    return false;
  }
  alphaMasked = false;
  if (infoSize >= 56) {
    const std::uint32_t alpha = U32(data + at + 12);
    if (alpha != 0 && alpha != 0xFF000000u) return false;
    alphaMasked = alpha != 0;
  }
  return true;
}

}  // namespace

bool DecodeBmp(const std::uint8_t* data, std::size_t size, Surface& out) {
  if (!data || size < FileHeaderBytes + 40 || data[0] != 'B' || data[1] != 'M') return false;
  const std::uint32_t pixelOffset = U32(data + 10);
  const std::uint8_t* info = data + FileHeaderBytes;
  const std::uint32_t infoSize = U32(info);
  if (!KnownInfoHeader(infoSize) || FileHeaderBytes + infoSize > size) return false;
  const std::int32_t width = I32(info + 4);
  const std::int32_t rawHeight = I32(info + 8);
  const std::uint16_t planes = U16(info + 12);
  const std::uint16_t bits = U16(info + 14);
  const std::uint32_t compression = U32(info + 16);
  if (planes != 1 || (bits != 24 && bits != 32)) return false;
  if (width <= 0 || width > MaxBmpSide || rawHeight == 0 || rawHeight < -MaxBmpSide ||
      rawHeight > MaxBmpSide) {
    return false;
  }
  const bool topDown = rawHeight < 0;
  const int height = topDown ? -rawHeight : rawHeight;

  // An alpha byte counts only in 32-bit files whose layout allows one.
  bool alphaAllowed = bits == 32;
  if (compression == BiBitfields) {
    if (bits != 32 || !StandardMasks(data, size, infoSize, alphaAllowed)) return false;
    // With the masks after a plain header there is no alpha mask: the
    // fourth byte is padding.
    if (infoSize == 40) alphaAllowed = false;
  } else if (compression != BiRgb) {
    return false;
  }

  // Both sides are at most MaxBmpSide, so none of this can overflow 64 bits;
  // it is checked against the file before a single pixel is allocated.
  const std::uint64_t bytesPerPixel = bits / 8;
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
  const std::uint64_t lastRow = static_cast<std::uint64_t>(width) * bytesPerPixel;
  const std::uint64_t needed = pixelOffset + stride * (height - 1) + lastRow;
  if (pixelOffset < FileHeaderBytes + infoSize || needed > size) return false;

  Surface decoded(width, height, 0);
  bool anyAlpha = false;
  for (int row = 0; row < height; ++row) {
    const int y = topDown ? row : height - 1 - row;
    const std::uint8_t* p = data + pixelOffset + stride * row;
    std::uint32_t* dst = decoded.Row(y);
    if (bits == 24) {
      for (int x = 0; x < width; ++x, p += 3) {
        dst[x] = 0xFF000000u | static_cast<std::uint32_t>(p[2]) << 16 |
                 static_cast<std::uint32_t>(p[1]) << 8 | p[0];
      }
    } else {
      for (int x = 0; x < width; ++x, p += 4) {
        dst[x] = U32(p);
        anyAlpha |= (p[3] != 0);
      }
    }
  }
  // Many 32-bit files leave the fourth byte at zero: such a picture is
  // opaque, not invisible.
  if (bits == 32 && (!alphaAllowed || !anyAlpha)) {
    for (std::uint32_t& pixel : decoded.pixels) pixel |= 0xFF000000u;
  }
  out = std::move(decoded);
  return true;
}

std::vector<std::uint8_t> EncodeBmp(const Surface& pixels, bool keepAlpha) {
  const int width = pixels.width;
  const int height = pixels.height;
  if (!pixels.HasPixels()) return {};
  const std::uint32_t bits = keepAlpha ? 32 : 24;
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
  const std::uint64_t imageBytes = stride * static_cast<std::uint64_t>(height);
  const std::uint64_t offset = FileHeaderBytes + 40;
  if (offset + imageBytes > 0xFFFFFFFFu) return {};

  std::vector<std::uint8_t> out;
  out.reserve(static_cast<std::size_t>(offset + imageBytes));
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<std::uint32_t>(offset + imageBytes));
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>(offset));
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));  // positive: bottom-up
  Put16(out, 1);
  Put16(out, bits);
  Put32(out, BiRgb);
  Put32(out, static_cast<std::uint32_t>(imageBytes));
  Put32(out, 3780);  // 96 dots per inch
  Put32(out, 3780);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = height - 1; y >= 0; --y) {
    const std::uint32_t* row = pixels.Row(y);
    const std::size_t start = out.size();
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = row[x];
      out.push_back(static_cast<std::uint8_t>(p));
      out.push_back(static_cast<std::uint8_t>(p >> 8));
      out.push_back(static_cast<std::uint8_t>(p >> 16));
      if (keepAlpha) out.push_back(static_cast<std::uint8_t>(p >> 24));
    }
    out.resize(start + stride, 0);
  }
  return out;
}

}  // namespace gdi
