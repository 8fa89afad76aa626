// Names the program looks up without regard to case: skin keys, stored
// settings, profile sections and keys, file extensions. Only ASCII letters
// fold, as the stored files are written; other bytes compare as they are.
#pragma once

#include <algorithm>
#include <string_view>

namespace platform {

constexpr char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

}  // namespace platform
