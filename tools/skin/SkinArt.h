// Draws the shipped skins' pictures and values, so that their sources can be
// regenerated and changed in one place.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"
#include "tools/skin/SkinFolder.h"

namespace skintool {

struct SkinArt {
  std::map<std::string, gdi::Surface> pictures;  // by key
  std::vector<NamedValue> values;                // in key-table order
};

// "black-1" (the normal window) or "black-2" (maximized, edges hidden);
// false for another name.
bool DrawSkinArt(const std::string& name, SkinArt& art);

// Writes KEY.png for every picture and skin.ini into dir, which must be
// missing or empty.
bool WriteSkinArt(const SkinArt& art, const std::string& dir, Messages& messages);

}  // namespace skintool
