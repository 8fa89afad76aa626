// Where the content browser goes inside the frame, as numbers only.
#pragma once

namespace app {

struct BrowserRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

// In the normal state the browser keeps inside the skinned edges: 90 twips
// each side, 390 at the top under the caption and 70 at the bottom.
BrowserRect NormalBrowserRect(int clientWidth, int clientHeight);

// Maximized or minimized, the edges are hidden and the browser reaches 30
// twips past the left, right and bottom so that its own border lies outside
// the window.
BrowserRect OtherBrowserRect(int clientWidth, int clientHeight);

}  // namespace app
