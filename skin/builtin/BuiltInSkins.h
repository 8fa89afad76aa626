// The shipped skins, compiled into the program from the packed files the
// build lays out, so that a frame never has to go without a skin. A library
// of its own above the skin layer: the skin tool that packs the files reads
// skins through the same frame controls and must not wait for its output.
#pragma once

#include <span>

#include "skin/FrameSkins.h"

namespace skin {

// Every shipped skin; generated at build time.
std::span<const BuiltInSkin> BuiltInSkins();

}  // namespace skin
