#include "skin/SkinFile.h"

#include <cstdlib>
#include <vector>

#include "host/Files.h"
#include "platform/File.h"
#include "platform/gdi/Gdi.h"
#include "skin/SkinKeys.h"

namespace skin {

namespace {

// Skin pictures are frame pieces and button faces; anything larger is a
// broken or hostile file, refused before a pixel is allocated.
constexpr std::int32_t MaxPictureSide = 4096;

std::int32_t ReadI32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
      static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

// Width at byte 18 and height at byte 22 of a BMP file with an info header;
// a negative height marks a top-down picture.
bool SizeWithinBounds(const std::vector<std::uint8_t>& bmp) {
  if (bmp.size() < 26) return false;
  const std::int64_t width = ReadI32(bmp.data() + 18);
  const std::int64_t height = std::llabs(ReadI32(bmp.data() + 22));
  return width > 0 && width <= MaxPictureSide && height > 0 && height <= MaxPictureSide;
}

}  // namespace

void ReadSkinFile(const std::string& path, host::PropertyBag& store) {
  store.Clear();
  // Parsed where it was read: a composition reads the whole file each time.
  std::vector<std::uint8_t> bytes;
  if (!platform::ReadWholeFile(path, bytes)) return;
  LoadSkinBytes(bytes.data(), bytes.size(), store);
}

std::string LoadSkinBytes(const std::uint8_t* data, std::size_t size, host::PropertyBag& store) {
  store.Clear();
  if (size == 0) return "the file is empty";
  std::size_t contentSize = 0;
  const std::uint8_t* content = host::ByteArrayRecord(data, size, contentSize);
  if (content == nullptr) {
    return "not a skin file: it does not start with a byte-array record of its length";
  }
  if (!store.LoadContents(content, contentSize)) {
    return "not a skin file: its content is not a property bag (bad magic, version, or an "
           "entry running past the end)";
  }
  return {};
}

bool PictureDecodes(const host::PropertyBag& store, std::string_view key) {
  const host::PropertyValue* value = store.ReadProperty(key);
  if (value == nullptr || value->kind != host::PropertyValue::Kind::Picture) return false;
  if (!SizeWithinBounds(value->bmp)) return false;
  gdi::Surface pixels;
  return gdi::DecodeBmp(value->bmp.data(), value->bmp.size(), pixels);
}

std::vector<std::string> SkippedKeys(const host::PropertyBag& store) {
  std::vector<std::string> skipped;
  for (const SkinKey& key : SkinKeys) {
    if (store.ReadProperty(key.name) == nullptr) continue;  // absent is no failure
    bool fails = false;
    switch (key.kind) {
      case KeyKind::Picture:
        fails = !PictureDecodes(store, key.name);
        break;
      case KeyKind::Number:
        fails = !Number(store, key.name).has_value();
        break;
      case KeyKind::Colour:
        fails = !Colour(store, key.name).has_value();
        break;
    }
    if (fails) skipped.emplace_back(key.name);
  }
  return skipped;
}

bool HoldsFramePicture(const host::PropertyBag& store) {
  for (const SkinKey& key : SkinKeys) {
    if (key.kind == KeyKind::Picture && PictureDecodes(store, key.name)) return true;
  }
  return false;
}

HBITMAP Picture(const host::PropertyBag& store, std::string_view key) {
  const host::PropertyValue* value = store.ReadProperty(key);
  // Only a stored picture yields a bitmap. A number under a picture key must
  // never be taken for a handle: adopting it would delete someone else's
  // object, or nothing at all.
  if (value == nullptr || value->kind != host::PropertyValue::Kind::Picture) return nullptr;
  if (!SizeWithinBounds(value->bmp)) return nullptr;
  return gdi::CreateBitmapFromBmp(value->bmp.data(), value->bmp.size());
}

std::optional<std::int16_t> Number(const host::PropertyBag& store, std::string_view key) {
  const host::PropertyValue* value = store.ReadProperty(key);
  if (value == nullptr) return std::int16_t{0};
  return host::ToInteger(*value);
}

std::optional<std::uint32_t> Colour(const host::PropertyBag& store, std::string_view key) {
  const host::PropertyValue* value = store.ReadProperty(key);
  if (value == nullptr) return std::uint32_t{0};
  const std::optional<std::int32_t> colour = host::ToLong(*value);
  if (!colour) return std::nullopt;
  return static_cast<std::uint32_t>(*colour);
}

}  // namespace skin
