#include "host/Screen.h"

namespace host {

int TwipsToPixels(int twips, int twipsPerPixel) {
  const long long t = twips;
  const long long half = twipsPerPixel / 2;
  return static_cast<int>(t >= 0 ? (t + half) / twipsPerPixel : -((-t + half) / twipsPerPixel));
}

}  // namespace host
