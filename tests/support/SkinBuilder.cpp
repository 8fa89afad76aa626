#include "tests/support/SkinBuilder.h"

#include <filesystem>
#include <fstream>

#include "host/Files.h"
#include "platform/gdi/Gdi.h"
#include "tests/support/Scenario.h"

namespace test {

SkinBuilder& SkinBuilder::Picture(const std::string& key, int width, int height,
                                  std::uint32_t colorref) {
  return Picture(key, gdi::Surface(width, height, gdi::ColorToPixel(colorref)));
}

SkinBuilder& SkinBuilder::Picture(const std::string& key, const gdi::Surface& pixels) {
  return Value(key, host::PropertyValue::Picture(gdi::EncodeBmp(pixels)));
}

SkinBuilder& SkinBuilder::Number(const std::string& key, std::int32_t value) {
  return Value(key, host::PropertyValue::Of(value));
}

SkinBuilder& SkinBuilder::Colour(const std::string& key, std::uint32_t colorref) {
  return Value(key, host::PropertyValue::Of(static_cast<std::int32_t>(colorref)));
}

SkinBuilder& SkinBuilder::Value(const std::string& key, const host::PropertyValue& value) {
  bag_.WriteProperty(key, value);
  return *this;
}

std::vector<std::uint8_t> SkinBuilder::Bytes() const {
  return host::MakeByteArrayRecord(bag_.Contents());
}

bool SkinBuilder::Write(const std::string& path) const {
  std::error_code ignored;
  const std::filesystem::path file = PathOf(path);
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  const std::vector<std::uint8_t> bytes = Bytes();
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace test
