// Arbitrary bytes as bag content: loading never reads out of range, every
// loaded entry reads back, and a bag that loads writes back the same bytes.
// Code under test: host/PropertyBag.cpp
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/PropertyBag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  host::PropertyBag bag;
  const bool loaded = bag.LoadContents(data, size);
  if (!loaded && !bag.Empty()) __builtin_trap();
  for (const host::PropertyBag::Entry& entry : bag.Entries()) {
    const host::PropertyValue* value = bag.ReadProperty(entry.name);
    if (value == nullptr) __builtin_trap();
    host::ToLong(*value);
    host::ToInteger(*value);
    host::ToBoolean(*value);
    host::ToText(*value);
    bag.ReadLong(entry.name, 0);
    bag.ReadText(entry.name, "");
  }
  if (loaded) {
    const std::vector<std::uint8_t> contents = bag.Contents();
    if (contents.size() != size || !std::equal(contents.begin(), contents.end(), data)) {
      __builtin_trap();
    }
  }
  return 0;
}
