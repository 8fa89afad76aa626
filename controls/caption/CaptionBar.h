// The bar behind the caption's text and buttons: its three pieces from the
// skin, and the skin's layout values. The pieces live only for one
// composition; the bar exists as drawn pixels after it.
#pragma once

#include <cstdint>
#include <memory>

#include "host/PropertyBag.h"
#include "platform/win32.h"
#include "skin/clsBitmap.h"

namespace caption {

// Layout values of the last composition, in pixels, named as the skin names
// them. A value the skin lacks or cannot hold keeps the one before.
struct CaptionLayout {
  std::int16_t XOFFSET = 0;
  std::int16_t XOFFSET2 = 0;
  std::int16_t YOFFSET = 0;
  std::int16_t FROMRIGHT = 0;
  std::int16_t FROMTOP = 0;
  std::int16_t ICONSPACE = 0;
};

class CaptionBar {
 public:
  CaptionBar();
  ~CaptionBar();

  // Fresh empty pieces, then each piece loaded in a step of its own.
  void NewPieces();
  void LoadPieces(const host::PropertyBag& skin);
  void ReleasePieces();
  // Each value read in a step of its own.
  void ReadLayout(const host::PropertyBag& skin);
  // The height of the left piece, which the bar takes; raises host::Error
  // when there is no left piece.
  std::int32_t Height() const;
  // The middle piece tiled across, then the left and right pieces over it.
  void Draw(HDC target, double barWidth) const;

  const CaptionLayout& Layout() const { return layout_; }

 private:
  std::unique_ptr<clsBitmap> left_;
  std::unique_ptr<clsBitmap> middle_;
  std::unique_ptr<clsBitmap> right_;
  CaptionLayout layout_;
};

}  // namespace caption
