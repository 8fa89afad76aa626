// A skin's editable form: a folder with one picture a key (KEY.png or
// KEY.bmp) and skin.ini, whose [values] section holds the numbers and
// colours. Packing turns it into the bytes of a skin file; unpacking is the
// reverse, and packing an unpacked folder gives back the same bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/PropertyBag.h"
#include "tools/skin/KeyLookup.h"

namespace skintool {

// Paths are UTF-8 inside the program. std::filesystem takes a narrow string
// in the system's code page, which on Windows is not UTF-8, so every path
// crosses into it and back through these.
std::filesystem::path FsPath(const std::string& utf8);
std::string Utf8(const std::filesystem::path& path);

// What a command has to tell the skin's author. Errors stop the command;
// warnings do not.
struct Messages {
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  bool Ok() const { return errors.empty(); }
};

using NamedValue = std::pair<std::string, std::int32_t>;

// A value as skin.ini writes it: decimal, 0x12345678, or #RRGGBB for a
// colour (stored as 0x00BBGGRR). Nullopt for anything else.
std::optional<std::int32_t> ParseValue(std::string_view text);
// The text skin.ini holds for a value of that key: #RRGGBB for a plain
// colour, 0x%08X for a system colour, decimal otherwise.
std::string FormatValue(std::string_view name, std::int32_t value);

// The [values] section of skin.ini, in the order written.
bool ParseValuesIni(std::string_view text, std::vector<NamedValue>& values, Messages& messages);
std::string MakeValuesIni(const std::vector<NamedValue>& values);

// Names that can be a file name and an ini key on every platform.
bool IsPortableName(std::string_view name);

// Text from a skin file made safe to print on a terminal: control bytes
// (C0, DEL and C1) and bytes that are not UTF-8 become \xNN, so a hostile
// file cannot send escape sequences.
std::string Printable(std::string_view text);

// Makes dir ready to take new files: creates it when missing, and refuses
// (an error, false) when it is a file or already holds something, so nothing
// of the author's is overwritten or left to clash with the new files.
bool MakeNewFolder(const std::string& dir, Messages& messages);

// The property-bag bytes (no outer record) for the folder's skin, entries in
// the order of the key table and then unknown names in alphabetical order,
// so the result does not depend on the order of the folder listing.
bool PackFolder(const std::string& dir, std::vector<std::uint8_t>& contents, Messages& messages);
// Writes the skin's entries as files into dir, which must be missing or
// empty so nothing of the author's is overwritten.
bool UnpackToFolder(const host::PropertyBag& skin, const std::string& dir, Messages& messages);

// The stage at which a file fails to be a skin, in words; empty on success.
std::string LoadSkinWithReason(const std::vector<std::uint8_t>& file, host::PropertyBag& skin);

}  // namespace skintool
