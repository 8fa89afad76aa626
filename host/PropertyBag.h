// Named, typed values: a control instance's stored settings and the content
// of a skin file share this store and its byte form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/Text.h"
#include "platform/win32.h"

namespace host {

using Font = gdi::Font;

struct PropertyValue {
  enum class Kind : std::uint8_t { Integer = 1, Text = 2, Picture = 3, Font = 4 };
  Kind kind = Kind::Integer;
  std::int32_t integer = 0;
  std::string text;                // Text
  std::vector<std::uint8_t> bmp;   // Picture: one whole BMP file
  Font font;                       // Font

  static PropertyValue Of(std::int32_t v);
  static PropertyValue Of(std::string v);
  static PropertyValue Of(const Font& v);
  static PropertyValue Picture(std::vector<std::uint8_t> bmpFile);
};


// Conversions as the readers make them; nullopt when the value does not
// convert (a text that is not a whole number, a picture, a font).
std::optional<std::int32_t> ToLong(const PropertyValue& value);
std::optional<std::int16_t> ToInteger(const PropertyValue& value);  // 16-bit range only
std::optional<bool> ToBoolean(const PropertyValue& value);
std::optional<std::string> ToText(const PropertyValue& value);

class PropertyBag {
 public:
  static constexpr std::size_t MaxEntries = 4096;

  // Replaces every entry with the serialised store in bytes. Broken framing
  // of any kind loads nothing: the bag is left empty and false returned.
  bool LoadContents(const std::uint8_t* data, std::size_t size);
  std::vector<std::uint8_t> Contents() const;

  // The first entry whose name matches without regard to case, or null.
  const PropertyValue* ReadProperty(std::string_view name) const;
  // A value equal to its default is not stored (and an old entry of that
  // name goes); otherwise the entry is replaced in place or appended.
  void WriteProperty(std::string_view name, const PropertyValue& value,
                     const PropertyValue& defaultValue);
  void WriteProperty(std::string_view name, const PropertyValue& value);

  // Typed reads with a default for absent names.
  std::int32_t ReadLong(std::string_view name, std::int32_t defaultValue) const;
  std::string ReadText(std::string_view name, const std::string& defaultValue) const;
  // A new bitmap each call, owned by the caller; 0 when absent or when the
  // picture does not decode.
  HBITMAP ReadPicture(std::string_view name) const;

  struct Entry {
    std::string name;
    PropertyValue value;
  };
  const std::vector<Entry>& Entries() const { return entries_; }
  bool Empty() const { return entries_.empty(); }
  void Clear() { entries_.clear(); }

 private:
  std::vector<Entry> entries_;
};

bool operator==(const PropertyValue& a, const PropertyValue& b);

}  // namespace host
