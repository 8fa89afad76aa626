// Reading a skin file into a property store, and the typed reads of its
// keys. Everything here runs skip-on-failure: a failed step leaves the store
// empty or the value absent, and nothing is reported.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/PropertyBag.h"
#include "platform/win32.h"

namespace skin {

// Replaces the store's content with the skin file's. A missing, empty, short
// or malformed file leaves the store empty; the file is never created.
void ReadSkinFile(const std::string& path, host::PropertyBag& store);
// The same from bytes already in memory (the whole file). Empty when the
// store loaded; otherwise why the bytes are no skin (the store stays empty).
std::string LoadSkinBytes(const std::uint8_t* data, std::size_t size, host::PropertyBag& store);

// Whether the key holds a picture that Picture() turns into a bitmap; no
// bitmap is made to find out.
bool PictureDecodes(const host::PropertyBag& store, std::string_view key);
// The frame's keys that the store holds but a composition has to skip: a
// picture that does not decode, a number or colour that does not convert.
std::vector<std::string> SkippedKeys(const host::PropertyBag& store);
// Whether at least one of the frame's pictures decodes.
bool HoldsFramePicture(const host::PropertyBag& store);

// A new bitmap the caller owns, or 0 when the key is absent or its picture
// does not decode.
HBITMAP Picture(const host::PropertyBag& store, std::string_view key);
// A layout number: 0 when absent; nullopt when the value does not convert
// to a 16-bit signed integer (the caller keeps its old value then).
std::optional<std::int16_t> Number(const host::PropertyBag& store, std::string_view key);
// A colour 0x00BBGGRR: 0 when absent; nullopt when it does not convert.
std::optional<std::uint32_t> Colour(const host::PropertyBag& store, std::string_view key);

}  // namespace skin
