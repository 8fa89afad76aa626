// One line of text drawn with Pango onto a GDI surface.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32.h"

namespace gdi {

struct Font {
  std::string Name = "Sans";
  double Size = 9.0;  // points
  int Weight = 400;
  int Charset = 0;
  bool Italic = false;
  bool Underline = false;
  bool Strikethrough = false;

  bool operator==(const Font&) const = default;
};

// Draws text at (x, y), its layout box's top-left corner, clipped to the box
// of w x h pixels (and to clip, when given), in the colour (0x00BBGGRR or a
// system colour) with a transparent background. Faces missing from the
// system fall back through fontconfig. Returns false when nothing could be
// drawn.
bool DrawTextLine(HDC hdc, int x, int y, int w, int h, const std::string& utf8, const Font& font,
                  std::uint32_t color, const RECT* clip = nullptr);

// Starts finding the font's faces ahead of its first text, so that text
// finds them ready. Nothing is drawn or measured; any font is fine. While a
// text preparer (below) is at work, nothing is done.
void PrepareFont(const Font& font);

// Draws the text once in the font, on a thread of its own, so that its
// first drawing on the user-interface thread finds the font's faces loaded
// and the glyphs drawn. Every text call waits for that thread to end. Only
// a call from the user-interface thread before any other text call counts.
void StartPreparingText(const Font& font, const std::string& utf8);

// The size in pixels that the text takes in that font.
void MeasureText(const std::string& utf8, const Font& font, int& width, int& height);

}  // namespace gdi
