#include "host/PropertyBag.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/NoCase.h"
#include "platform/gdi/Gdi.h"

namespace host {

namespace {

constexpr std::uint8_t Magic[4] = {'S', 'S', 'P', 'B'};
constexpr std::uint16_t Version = 1;
constexpr std::size_t MaxNameLength = 255;
constexpr std::size_t FontFixedBytes = 9;  // size i32, weight u16, charset u16, flags u8
constexpr std::uint8_t FontItalic = 1;
constexpr std::uint8_t FontUnderline = 2;
constexpr std::uint8_t FontStrikethrough = 4;

// Reads little-endian fields and never past the end; a read that does not
// fit fails and leaves the position where it was.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t Left() const { return size_ - pos_; }

  bool Bytes(std::size_t n, const std::uint8_t*& out) {
    if (n > Left()) return false;
    out = data_ + pos_;
    pos_ += n;
    return true;
  }
  bool U8(std::uint8_t& out) { return Unsigned(1, out); }
  bool U16(std::uint16_t& out) { return Unsigned(2, out); }
  bool U32(std::uint32_t& out) { return Unsigned(4, out); }

 private:
  template <typename T>
  bool Unsigned(std::size_t n, T& out) {
    const std::uint8_t* p = nullptr;
    if (!Bytes(n, p)) return false;
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v |= std::uint32_t{p[i]} << (8 * i);
    out = static_cast<T>(v);
    return true;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t v, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Names are ASCII without NUL, so that every stored name can be asked for.
bool ValidName(std::string_view name) {
  if (name.empty() || name.size() > MaxNameLength) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    auto u = static_cast<unsigned char>(c);
    return u != 0 && u < 0x80;
  });
}

std::int32_t ClampToI32(double v) {
  if (std::isnan(v)) return 0;
  v = std::round(v);
  if (v <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
    return std::numeric_limits<std::int32_t>::min();
  }
  if (v >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(v);
}

std::uint16_t ClampToU16(int v) {
  return static_cast<std::uint16_t>(std::clamp(v, 0, 0xFFFF));
}

// Unknown flag bits could not be written back, so they break the value.
bool DecodeFont(const std::uint8_t* p, std::size_t size, Font& font) {
  if (size < FontFixedBytes) return false;
  Reader r(p, size);
  std::uint32_t tenThousandths = 0;
  std::uint16_t weight = 0;
  std::uint16_t charset = 0;
  std::uint8_t flags = 0;
  r.U32(tenThousandths);
  r.U16(weight);
  r.U16(charset);
  r.U8(flags);
  if (flags & ~(FontItalic | FontUnderline | FontStrikethrough)) return false;
  font.Size = static_cast<std::int32_t>(tenThousandths) / 10000.0;
  font.Weight = weight;
  font.Charset = charset;
  font.Italic = flags & FontItalic;
  font.Underline = flags & FontUnderline;
  font.Strikethrough = flags & FontStrikethrough;
  font.Name.assign(reinterpret_cast<const char*>(p + FontFixedBytes), size - FontFixedBytes);
  return true;
}

std::vector<std::uint8_t> EncodeFont(const Font& font) {
  std::vector<std::uint8_t> out;
  PutLE(out, static_cast<std::uint32_t>(ClampToI32(font.Size * 10000.0)), 4);
  PutLE(out, ClampToU16(font.Weight), 2);
  PutLE(out, ClampToU16(font.Charset), 2);
  std::uint8_t flags = (font.Italic ? FontItalic : 0) | (font.Underline ? FontUnderline : 0) |
                       (font.Strikethrough ? FontStrikethrough : 0);
  out.push_back(flags);
  out.insert(out.end(), font.Name.begin(), font.Name.end());
  return out;
}

bool DecodeValue(std::uint8_t kind, const std::uint8_t* p, std::size_t size, PropertyValue& value) {
  switch (kind) {
    case 1: {
      if (size != 4) return false;
      Reader r(p, size);
      std::uint32_t v = 0;
      r.U32(v);
      value = PropertyValue::Of(static_cast<std::int32_t>(v));
      return true;
    }
    case 2:
      value = PropertyValue::Of(std::string(reinterpret_cast<const char*>(p), size));
      return true;
    case 3:
      value = PropertyValue::Picture(std::vector<std::uint8_t>(p, p + size));
      return true;
    case 4: {
      Font font;
      if (!DecodeFont(p, size, font)) return false;
      value = PropertyValue::Of(font);
      return true;
    }
    default:
      return false;
  }
}

// The value's bytes, or false when they cannot be framed (over 4 GiB).
bool EncodeValue(const PropertyValue& value, std::vector<std::uint8_t>& out) {
  switch (value.kind) {
    case PropertyValue::Kind::Integer:
      out.clear();
      PutLE(out, static_cast<std::uint32_t>(value.integer), 4);
      break;
    case PropertyValue::Kind::Text:
      out.assign(value.text.begin(), value.text.end());
      break;
    case PropertyValue::Kind::Picture:
      out = value.bmp;
      break;
    case PropertyValue::Kind::Font:
      out = EncodeFont(value.font);
      break;
  }
  return out.size() <= std::numeric_limits<std::uint32_t>::max();
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
  std::string_view t = TrimBlanks(text);
  // from_chars takes '-' but not '+'.
  if (t.size() > 1 && t.front() == '+' && t[1] != '-') t.remove_prefix(1);
  std::int32_t v = 0;
  auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || error != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return v;
}

}  // namespace

PropertyValue PropertyValue::Of(std::int32_t v) {
  PropertyValue value;
  value.kind = Kind::Integer;
  value.integer = v;
  return value;
}

PropertyValue PropertyValue::Of(std::string v) {
  PropertyValue value;
  value.kind = Kind::Text;
  value.text = std::move(v);
  return value;
}

PropertyValue PropertyValue::Of(const Font& v) {
  PropertyValue value;
  value.kind = Kind::Font;
  value.font = v;
  return value;
}

PropertyValue PropertyValue::Picture(std::vector<std::uint8_t> bmpFile) {
  PropertyValue value;
  value.kind = Kind::Picture;
  value.bmp = std::move(bmpFile);
  return value;
}

bool operator==(const PropertyValue& a, const PropertyValue& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case PropertyValue::Kind::Integer:
      return a.integer == b.integer;
    case PropertyValue::Kind::Text:
      return a.text == b.text;
    case PropertyValue::Kind::Picture:
      return a.bmp == b.bmp;
    case PropertyValue::Kind::Font:
      return a.font == b.font;
  }
  return false;
}

std::optional<std::int32_t> ToLong(const PropertyValue& value) {
  switch (value.kind) {
    case PropertyValue::Kind::Integer:
      return value.integer;
    case PropertyValue::Kind::Text:
      return ParseWholeNumber(value.text);
    default:
      return std::nullopt;
  }
}

std::optional<std::int16_t> ToInteger(const PropertyValue& value) {
  std::optional<std::int32_t> v = ToLong(value);
  if (!v || *v < std::numeric_limits<std::int16_t>::min() ||
      *v > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(*v);
}

std::optional<bool> ToBoolean(const PropertyValue& value) {
  if (value.kind == PropertyValue::Kind::Text) {
    std::string_view t = TrimBlanks(value.text);
    if (platform::EqualNoCase(t, "true")) return true;
    if (platform::EqualNoCase(t, "false")) return false;
  }
  std::optional<std::int32_t> v = ToLong(value);
  if (!v) return std::nullopt;
  return *v != 0;
}

std::optional<std::string> ToText(const PropertyValue& value) {
  switch (value.kind) {
    case PropertyValue::Kind::Integer:
      return std::to_string(value.integer);
    case PropertyValue::Kind::Text:
      return value.text;
    default:
      return std::nullopt;
  }
}

bool PropertyBag::LoadContents(const std::uint8_t* data, std::size_t size) {
  entries_.clear();
  if (data == nullptr) return false;
  Reader r(data, size);
  const std::uint8_t* magic = nullptr;
  std::uint16_t version = 0;
  std::uint16_t count = 0;
  if (!r.Bytes(4, magic) || !std::equal(magic, magic + 4, Magic) || !r.U16(version) ||
      version != Version || !r.U16(count) || count > MaxEntries) {
    return false;
  }
  std::vector<Entry> loaded;
  loaded.reserve(count);
  for (std::uint16_t i = 0; i < count; ++i) {
    std::uint8_t nameLength = 0;
    const std::uint8_t* name = nullptr;
    std::uint8_t kind = 0;
    std::uint32_t valueLength = 0;
    const std::uint8_t* valueBytes = nullptr;
    if (!r.U8(nameLength) || !r.Bytes(nameLength, name) || !r.U8(kind) || !r.U32(valueLength) ||
        !r.Bytes(valueLength, valueBytes)) {
      return false;
    }
    Entry entry;
    entry.name.assign(reinterpret_cast<const char*>(name), nameLength);
    if (!ValidName(entry.name) || !DecodeValue(kind, valueBytes, valueLength, entry.value)) {
      return false;
    }
    loaded.push_back(std::move(entry));
  }
  // Bytes after the last entry mean the count and the content disagree.
  if (r.Left() != 0) return false;
  entries_ = std::move(loaded);
  return true;
}

std::vector<std::uint8_t> PropertyBag::Contents() const {
  std::vector<std::uint8_t> out(std::begin(Magic), std::end(Magic));
  PutLE(out, Version, 2);
  PutLE(out, static_cast<std::uint32_t>(entries_.size()), 2);
  std::vector<std::uint8_t> bytes;
  for (const Entry& entry : entries_) {
    EncodeValue(entry.value, bytes);
    out.push_back(static_cast<std::uint8_t>(entry.name.size()));
    out.insert(out.end(), entry.name.begin(), entry.name.end());
    out.push_back(static_cast<std::uint8_t>(entry.value.kind));
    PutLE(out, static_cast<std::uint32_t>(bytes.size()), 4);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

const PropertyValue* PropertyBag::ReadProperty(std::string_view name) const {
  for (const Entry& entry : entries_) {
    if (platform::EqualNoCase(entry.name, name)) return &entry.value;
  }
  return nullptr;
}

void PropertyBag::WriteProperty(std::string_view name, const PropertyValue& value,
                                const PropertyValue& defaultValue) {
  if (value == defaultValue) {
    // Every entry of the name goes, or a later duplicate would show through.
    std::erase_if(entries_, [&](const Entry& entry) { return platform::EqualNoCase(entry.name, name); });
    return;
  }
  WriteProperty(name, value);
}

void PropertyBag::WriteProperty(std::string_view name, const PropertyValue& value) {
  // Whatever is stored must frame again: a name or value that could not be
  // written back, or an entry past the limit, is not stored.
  std::vector<std::uint8_t> bytes;
  if (!ValidName(name) || !EncodeValue(value, bytes)) return;
  for (Entry& entry : entries_) {
    if (platform::EqualNoCase(entry.name, name)) {
      entry.name = std::string(name);
      entry.value = value;
      return;
    }
  }
  if (entries_.size() >= MaxEntries) return;
  entries_.push_back(Entry{std::string(name), value});
}

std::int32_t PropertyBag::ReadLong(std::string_view name, std::int32_t defaultValue) const {
  const PropertyValue* value = ReadProperty(name);
  if (value == nullptr) return defaultValue;
  return ToLong(*value).value_or(defaultValue);
}

std::string PropertyBag::ReadText(std::string_view name, const std::string& defaultValue) const {
  const PropertyValue* value = ReadProperty(name);
  if (value == nullptr) return defaultValue;
  return ToText(*value).value_or(defaultValue);
}

HBITMAP PropertyBag::ReadPicture(std::string_view name) const {
  const PropertyValue* value = ReadProperty(name);
  if (value == nullptr || value->kind != PropertyValue::Kind::Picture) return nullptr;
  return gdi::CreateBitmapFromBmp(value->bmp.data(), value->bmp.size());
}

}  // namespace host
