// The shipped skins, compiled into the program from the packed files the
// build lays out, so that a frame never has to go without a skin.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace skin {

struct BuiltInSkin {
  std::string_view name;  // as in stype/<name>.jss
  std::span<const std::uint8_t> bytes;  // the whole packed file
};

// Every shipped skin; generated at build time.
std::span<const BuiltInSkin> BuiltInSkins();

}  // namespace skin
