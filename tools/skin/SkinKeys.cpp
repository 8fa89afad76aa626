#include "tools/skin/SkinKeys.h"

namespace skintool {

bool SameKey(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

const SkinKey* FindKey(std::string_view name) {
  for (const SkinKey& key : SkinKeys) {
    if (SameKey(key.name, name)) return &key;
  }
  return nullptr;
}

std::string_view KindName(KeyKind kind) {
  switch (kind) {
    case KeyKind::Picture:
      return "picture";
    case KeyKind::Number:
      return "number";
    case KeyKind::Colour:
      return "colour";
  }
  return "?";
}

}  // namespace skintool
