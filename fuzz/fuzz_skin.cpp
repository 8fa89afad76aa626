// The whole path a skin file takes into the frame: the outer record, the
// property bag, and every key read as a picture into a surface.
// Code under test: host/Files.cpp host/PropertyBag.cpp platform/gdi/Bmp.cpp
// Code under test: skin/SkinFile.cpp skin/clsBitmap.cpp
#include <cstddef>
#include <cstdint>

#include "host/PropertyBag.h"
#include "skin/SkinFile.h"
#include "skin/clsBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  host::PropertyBag store;
  skin::LoadSkinBytes(data, size, store);
  // What the frame checks before it uses a skin it has read.
  (void)skin::HoldsFramePicture(store);
  (void)skin::SkippedKeys(store);
  for (const host::PropertyBag::Entry& entry : store.Entries()) {
    clsBitmap surface;
    surface.LoadResource(skin::Picture(store, entry.name));
    (void)skin::Number(store, entry.name);
    (void)skin::Colour(store, entry.name);
  }
  return 0;
}
