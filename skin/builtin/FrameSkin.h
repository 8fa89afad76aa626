// The skin a frame control draws from. A skin file the frame cannot use at
// all falls back on the built-in copy of the skin of that name, and the
// program says so on stderr, once for each file and reason.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "host/PropertyBag.h"

namespace skin {

// The name of the skin a path holds: its last component without ".jss".
std::string SkinName(const std::string& path);

// The whole packed file of the built-in skin of that name; "black-1" for a
// name that is not built in.
std::span<const std::uint8_t> BuiltInSkinBytes(std::string_view name);

// Fills the store from the skin file at path, as the frame controls read it
// on every composition. The file is used as it stands when it is a skin that
// holds at least one of the frame's pictures; its keys that a composition
// has to skip are named once on stderr. A file that cannot be read, is no
// skin, or holds none of the frame's pictures gives the built-in skin of its
// name instead, with one line on stderr saying which file and why. An empty
// path names no file: the store stays empty and nothing is said.
void ReadFrameSkin(const std::string& path, host::PropertyBag& store);

}  // namespace skin
