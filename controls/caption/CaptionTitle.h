// The elements over the caption bar: the container's icon and its caption
// text twice, the second copy a pixel up and left as a shadow.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/caption/CaptionBar.h"
#include "host/Control.h"
#include "host/Element.h"
#include "platform/Desktop.h"

namespace caption {

class CaptionTitle {
 public:
  // The font the caption's text is drawn in, at scale 1.
  static host::Font TextFont();

  // Boxes and fonts fixed in twips, and the stored default colours.
  CaptionTitle();
  // Adds the elements to the control. Label1 goes last so that it draws
  // above Label2 and takes the mouse.
  void AddTo(host::Control& control);

  // The stored defaults of the main and of the second text's colour.
  static constexpr std::uint32_t DefaultForeColor = 0x00FFFFFF;
  static constexpr std::uint32_t DefaultBackColor = 0x80000012;  // the system's button-text colour

  // The text at the skin's offsets. An offset at the very end of the 16-bit
  // range would overflow the sums; the text then stays where it was.
  void PlaceText(const CaptionLayout& layout);
  void Text(const std::string& text);
  void PlaceIcon(const CaptionLayout& layout);
  // The container's icon image nearest to the icon box, and every image
  // for drawing at a higher scale.
  void ShowIcon(const std::vector<platform::IconImage>& icon);

  host::Image Image1;
  host::Label Label2;
  host::Label Label1;
};

}  // namespace caption
