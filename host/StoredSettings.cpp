#include "host/StoredSettings.h"

#include <utility>

#include "host/Control.h"

namespace host {

StoredSettings::StoredSettings(const PropertyBag& bag, std::string owner)
    : bag_(bag), owner_(std::move(owner)) {}

void StoredSettings::Fail(const char* name, const char* kind) const {
  const std::string prefix = owner_.empty() ? std::string() : owner_ + ": ";
  throw Error(prefix + "the stored setting " + name + " is not " + kind);
}

std::int16_t StoredSettings::Boolean(const char* name, std::int16_t defaultValue) const {
  const PropertyValue* value = bag_.ReadProperty(name);
  if (!value) return defaultValue;
  const auto converted = ToBoolean(*value);
  if (!converted) Fail(name, "a Boolean");
  return *converted ? std::int16_t{-1} : std::int16_t{0};
}

std::int32_t StoredSettings::Long(const char* name, std::int32_t defaultValue) const {
  const PropertyValue* value = bag_.ReadProperty(name);
  if (!value) return defaultValue;
  const auto converted = ToLong(*value);
  if (!converted) Fail(name, "a number");
  return *converted;
}

std::uint32_t StoredSettings::Colour(const char* name, std::uint32_t defaultValue) const {
  return static_cast<std::uint32_t>(Long(name, static_cast<std::int32_t>(defaultValue)));
}

std::string StoredSettings::Text(const char* name, const std::string& defaultValue) const {
  const PropertyValue* value = bag_.ReadProperty(name);
  if (!value) return defaultValue;
  auto converted = ToText(*value);
  if (!converted) Fail(name, "a text");
  return std::move(*converted);
}

Font StoredSettings::FontValue(const char* name, const Font& defaultValue) const {
  const PropertyValue* value = bag_.ReadProperty(name);
  if (!value) return defaultValue;
  if (value->kind != PropertyValue::Kind::Font) Fail(name, "a font");
  return value->font;
}

PropertyValue StoredNumber(std::int32_t value) {
  return PropertyValue::Of(value);
}

PropertyValue StoredColour(std::uint32_t value) {
  return PropertyValue::Of(static_cast<std::int32_t>(value));
}

}  // namespace host
