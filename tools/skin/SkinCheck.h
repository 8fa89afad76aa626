// What `inspect` tells a skin's author: every entry, and what the frame
// needs from the skin and does not find.
#pragma once

#include <string>
#include <vector>

#include "host/PropertyBag.h"

namespace skintool {

// One line an entry: name, kind, and size or value.
std::vector<std::string> DescribeEntries(const host::PropertyBag& skin);

// Missing keys, keys of the wrong kind, pictures that do not decode, numbers
// the caption cannot use, button faces of one button that differ in size,
// bar pieces of different heights and edges without their middle piece.
std::vector<std::string> CheckSkin(const host::PropertyBag& skin);

// What leaves the window without a way to handle it: a caption of no height
// (so no title bar and no buttons) or a close button without a face.
std::vector<std::string> SkinErrors(const host::PropertyBag& skin);

}  // namespace skintool
