#include "tools/skin/KeyLookup.h"

#include "platform/NoCase.h"
#include "host/PropertyBag.h"

namespace skintool {

const SkinKey* FindKey(std::string_view name) {
  for (const SkinKey& key : SkinKeys) {
    if (platform::EqualNoCase(key.name, name)) return &key;
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
