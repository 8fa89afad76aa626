// Writes the program's icon into a hicolor theme folder, drawn by the code
// that draws the window's icon, so that the menu and the window show the
// same picture. Run at build time; not installed.
//
//     skinshell-icons DIR    writes DIR/<n>x<n>/apps/skinshell.png
#include <algorithm>
#include <cstdint>
#include <iostream>
#include <string>

#include "app/AppIcon.h"
#include "platform/File.h"
#include "platform/gdi/Gdi.h"

namespace {

// The window's icon is premultiplied, as Cairo draws; PNG files carry
// straight alpha.
gdi::Surface Straight(const gdi::Surface& premultiplied) {
  gdi::Surface out = premultiplied;
  for (std::uint32_t& p : out.pixels) {
    const std::uint32_t a = p >> 24;
    if (a == 0 || a == 255) continue;
    auto channel = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a); };
    p = a << 24 | channel(p >> 16 & 0xFF) << 16 | channel(p >> 8 & 0xFF) << 8 | channel(p & 0xFF);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: skinshell-icons DIR\n";
    return 2;
  }
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const std::string side = std::to_string(size);
    const std::string folder = std::string(argv[1]) + "/" + side + "x" + side + "/apps";
    std::string why;
    if (!platform::MakeFolders(folder, &why) ||
        !gdi::WritePng(Straight(app::DrawAppIcon(size, 32).pixels), folder + "/skinshell.png")) {
      std::cerr << "skinshell-icons: cannot write " << folder << "/skinshell.png " << why << "\n";
      return 1;
    }
  }
  return 0;
}
