// Text through the system's GDI. GDI writes zero into the alpha byte of what
// it draws on a 32-bit bitmap, so the glyphs are drawn white on black into a
// mask of their box and blended onto the surface here: the surface keeps its
// alpha, and the text its colour.
#include "platform/gdi/Text.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi/Gdi.h"
#include "platform/win/Utf16.h"

namespace gdi {

namespace {

using platform::win::Wide;

// The stored font maps onto a LOGFONTW field by field; sizes are points at
// 96 dots per inch, as the skins were designed.
HFONT MakeFont(const Font& font) {
  LOGFONTW log{};
  log.lfHeight = -static_cast<LONG>(std::lround(std::clamp(font.Size, 1.0, 1000.0) * 96.0 / 72.0));
  log.lfWeight = std::clamp(font.Weight, 100, 1000);
  log.lfItalic = font.Italic;
  log.lfUnderline = font.Underline;
  log.lfStrikeOut = font.Strikethrough;
  log.lfCharSet = static_cast<BYTE>(font.Charset);
  log.lfQuality = ANTIALIASED_QUALITY;
  const std::wstring face = Wide(font.Name.empty() ? std::string("Tahoma") : font.Name);
  std::wcsncpy(log.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirectW(&log);
}

std::uint32_t Mix(std::uint32_t under, std::uint32_t over, std::uint32_t coverage) {
  std::uint32_t out = under & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t a = (under >> shift) & 0xFF;
    const std::uint32_t b = (over >> shift) & 0xFF;
    out |= ((a * (255 - coverage) + b * coverage + 127) / 255) << shift;
  }
  return out;
}

}  // namespace

// GDI finds a face when the font is made, which is at the first text.
void PrepareFont(const Font&) {}
void StartPreparingText(const Font&, const std::string&) {}

bool DrawTextLine(HDC hdc, int x, int y, int w, int h, const std::string& utf8, const Font& font,
                  std::uint32_t color, const RECT* clip) {
  Surface* target = SurfaceOf(hdc);
  RECT box{};
  if (!target || !ClipBox(*target, x, y, w, h, clip, box)) return false;
  if (utf8.empty()) return true;

  const int boxW = box.right - box.left;
  const int boxH = box.bottom - box.top;
  Surface black(boxW, boxH, 0);
  HBITMAP mask = CreateBitmapFromSurface(black);
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT hfont = MakeFont(font);
  if (!mask || !dc || !hfont) {
    if (mask) DeleteObject(mask);
    if (dc) DeleteDC(dc);
    if (hfont) DeleteObject(hfont);
    return false;
  }
  HGDIOBJ priorBitmap = SelectObject(dc, mask);
  HGDIOBJ priorFont = SelectObject(dc, hfont);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  const std::wstring text = Wide(utf8);
  const bool ok = TextOutW(dc, static_cast<int>(static_cast<long long>(x) - box.left),
                           static_cast<int>(static_cast<long long>(y) - box.top), text.c_str(),
                           static_cast<int>(text.size()));
  SelectObject(dc, priorFont);
  SelectObject(dc, priorBitmap);
  DeleteObject(hfont);
  DeleteDC(dc);

  const Surface* coverage = BitmapPixels(mask);
  if (ok && coverage) {
    const std::uint32_t ink = ColorToPixel(color);
    for (int j = 0; j < boxH; ++j) {
      const std::uint32_t* in = coverage->Row(j);
      std::uint32_t* out = target->Row(box.top + j) + box.left;
      for (int i = 0; i < boxW; ++i) {
        const std::uint32_t c = in[i];
        const std::uint32_t a = std::max({(c >> 16) & 0xFFu, (c >> 8) & 0xFFu, c & 0xFFu});
        if (a) out[i] = Mix(out[i], ink, a);
      }
    }
    SurfaceToDC(hdc);
  }
  DeleteObject(mask);
  return ok;
}

void MeasureText(const std::string& utf8, const Font& font, int& width, int& height) {
  width = 0;
  height = 0;
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT hfont = MakeFont(font);
  if (dc && hfont) {
    HGDIOBJ prior = SelectObject(dc, hfont);
    const std::wstring text = Wide(utf8);
    SIZE size{};
    if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size)) {
      width = size.cx;
    }
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(dc, &metrics)) height = metrics.tmHeight;
    SelectObject(dc, prior);
  }
  if (hfont) DeleteObject(hfont);
  if (dc) DeleteDC(dc);
}

}  // namespace gdi
