// Typed reads of a control's stored settings, shared by the frame controls.
#pragma once

#include <cstdint>
#include <string>

#include "host/PropertyBag.h"

namespace host {

// Each read gives the default when the name is absent and raises host::Error
// when the stored value does not convert: the load ends there, and the
// settings read before it keep their new values.
class StoredSettings {
 public:
  // owner names the control in the error text; empty leaves it out.
  explicit StoredSettings(const PropertyBag& bag, std::string owner = {});

  // A 16-bit Boolean: -1 true, 0 false.
  std::int16_t Boolean(const char* name, std::int16_t defaultValue) const;
  std::int32_t Long(const char* name, std::int32_t defaultValue) const;
  // A colour is stored as a 32-bit number; its bits are kept as they are.
  std::uint32_t Colour(const char* name, std::uint32_t defaultValue) const;
  std::string Text(const char* name, const std::string& defaultValue) const;
  Font FontValue(const char* name, const Font& defaultValue) const;

 private:
  [[noreturn]] void Fail(const char* name, const char* kind) const;

  const PropertyBag& bag_;
  std::string owner_;
};

// The stored forms of a 16- or 32-bit number and of a colour, for writing.
PropertyValue StoredNumber(std::int32_t value);
PropertyValue StoredColour(std::uint32_t value);

}  // namespace host
