// The frame's keys as the skin tool looks them up: by a name in any letter
// case, as the readers find them.
#pragma once

#include <string_view>

#include "skin/SkinKeys.h"

namespace skintool {

using skin::KeyKind;
using skin::SkinKey;
using skin::SkinKeys;

// The table entry for a name in any letter case, or null.
const SkinKey* FindKey(std::string_view name);
std::string_view KindName(KeyKind kind);

}  // namespace skintool
