// Builds small skin files for tests: pictures, numbers and colours under
// their keys, packed as the program reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/PropertyBag.h"
#include "platform/gdi/Surface.h"

namespace test {

class SkinBuilder {
 public:
  // A picture of one colour (0x00BBGGRR).
  SkinBuilder& Picture(const std::string& key, int width, int height, std::uint32_t colorref);
  SkinBuilder& Picture(const std::string& key, const gdi::Surface& pixels);
  // Numbers and colours are both stored as integers.
  SkinBuilder& Number(const std::string& key, std::int32_t value);
  SkinBuilder& Colour(const std::string& key, std::uint32_t colorref);
  // Any value, for malformed entries (a text where a number belongs).
  SkinBuilder& Value(const std::string& key, const host::PropertyValue& value);

  const host::PropertyBag& Bag() const { return bag_; }
  // The whole file: the outer byte-array record around the store.
  std::vector<std::uint8_t> Bytes() const;
  // Writes the file, creating its folder; false when it cannot be written.
  bool Write(const std::string& path) const;

 private:
  host::PropertyBag bag_;
};

}  // namespace test
