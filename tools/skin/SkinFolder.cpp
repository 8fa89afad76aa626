#include "tools/skin/SkinFolder.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "host/Files.h"
#include "platform/File.h"
#include "platform/NoCase.h"
#include "platform/gdi/Gdi.h"
#include "skin/SkinFile.h"

namespace fs = std::filesystem;

namespace skintool {

namespace {

constexpr int MaxPictureSide = 4096;
constexpr std::string_view IniName = "skin.ini";

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool IsColourKey(std::string_view name) {
  const SkinKey* key = FindKey(name);
  return key != nullptr && key->kind == KeyKind::Colour;
}

// One entry to be packed: the name as it will be stored, and its value.
struct Pending {
  std::string name;
  std::string source;  // where it came from, for messages
  host::PropertyValue value;
  int order;  // index in the key table, or past its end
};

bool ReadPicture(const fs::path& file, bool isPng, std::vector<std::uint8_t>& bmp,
                 Messages& messages) {
  const std::string shown = Utf8(file.filename());
  gdi::Surface pixels;
  if (isPng) {
    if (!gdi::ReadPng(Utf8(file), pixels)) {
      messages.errors.push_back(shown + ": not a readable PNG picture");
      return false;
    }
  } else {
    if (!platform::ReadWholeFile(Utf8(file), bmp) ||
        !gdi::DecodeBmp(bmp.data(), bmp.size(), pixels)) {
      messages.errors.push_back(shown + ": not an uncompressed 24- or 32-bit BMP picture");
      return false;
    }
  }
  if (pixels.width < 1 || pixels.height < 1 || pixels.width > MaxPictureSide ||
      pixels.height > MaxPictureSide) {
    messages.errors.push_back(shown + ": pictures must be 1 to 4096 pixels a side");
    return false;
  }
  if (isPng) {
    const bool transparent = std::any_of(pixels.pixels.begin(), pixels.pixels.end(),
                                         [](std::uint32_t p) { return (p >> 24) != 0xFF; });
    if (transparent) {
      messages.warnings.push_back(shown +
                                  ": has transparent pixels; skin pictures are drawn opaque, "
                                  "so those pixels show dark");
    }
    bmp = gdi::EncodeBmp(pixels);
  }
  // BMP files are stored as they are, so that unpacking gives them back
  // byte for byte.
  return true;
}

}  // namespace

std::optional<std::int32_t> ParseValue(std::string_view text) {
  text = Trim(text);
  if (text.size() == 7 && text[0] == '#') {
    std::uint32_t rgb = 0;
    for (std::size_t i = 1; i < 7; ++i) {
      const int d = HexDigit(text[i]);
      if (d < 0) return std::nullopt;
      rgb = rgb << 4 | static_cast<std::uint32_t>(d);
    }
    const std::uint32_t bgr = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    return static_cast<std::int32_t>(bgr);
  }
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (text.size() > 10) return std::nullopt;
    std::uint32_t v = 0;
    for (std::size_t i = 2; i < text.size(); ++i) {
      const int d = HexDigit(text[i]);
      if (d < 0) return std::nullopt;
      v = v << 4 | static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(v);
  }
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

std::string FormatValue(std::string_view name, std::int32_t value) {
  char text[16];
  const auto u = static_cast<std::uint32_t>(value);
  if (IsColourKey(name)) {
    if (u <= 0xFFFFFF) {
      std::snprintf(text, sizeof text, "#%02X%02X%02X", u & 0xFF, u >> 8 & 0xFF, u >> 16 & 0xFF);
    } else {
      std::snprintf(text, sizeof text, "0x%08" PRIX32, u);
    }
  } else {
    std::snprintf(text, sizeof text, "%" PRId32, value);
  }
  return text;
}

bool IsPortableName(std::string_view name) {
  if (name.empty() || name.size() > 255) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
  });
}

namespace {

// The length of the UTF-8 sequence at the start of text, 0 when it is not
// one (overlong, a surrogate, past U+10FFFF, or cut short).
std::size_t Utf8Length(std::string_view text) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = at(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || at(1) < low || at(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (at(i) < 0x80 || at(i) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  auto escape = [&](unsigned char c) {
    static const char Hex[] = "0123456789ABCDEF";
    out += "\\x";
    out += Hex[c >> 4];
    out += Hex[c & 0xF];
  };
  while (!text.empty()) {
    const auto c = static_cast<unsigned char>(text[0]);
    const std::size_t length = Utf8Length(text);
    // U+0080..U+009F are controls too; some terminals act on them.
    const bool c1 = length == 2 && c == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0;
    if (length == 0 || c < 0x20 || c == 0x7F || c1) {
      escape(c);
      if (c1) escape(static_cast<unsigned char>(text[1]));
      text.remove_prefix(c1 ? 2 : 1);
      continue;
    }
    out.append(text.substr(0, length));
    text.remove_prefix(length);
  }
  return out;
}

fs::path FsPath(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

bool MakeNewFolder(const std::string& dir, Messages& messages) {
  std::error_code ec;
  const fs::path folder = FsPath(dir);
  if (fs::exists(folder, ec) &&
      (!fs::is_directory(folder, ec) || !fs::is_empty(folder, ec))) {
    messages.errors.push_back(dir + ": exists and is not an empty folder; nothing written");
    return false;
  }
  fs::create_directories(folder, ec);
  if (ec) {
    messages.errors.push_back(dir + ": cannot create the folder (" + ec.message() + ")");
    return false;
  }
  return true;
}

bool ParseValuesIni(std::string_view text, std::vector<NamedValue>& values, Messages& messages) {
  const std::size_t errorsBefore = messages.errors.size();
  std::string section;
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    const std::string where = "skin.ini line " + std::to_string(lineNumber) + ": ";
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      if (line.back() != ']') {
        messages.errors.push_back(where + "a section name must end with ']'");
        continue;
      }
      section = Trim(line.substr(1, line.size() - 2));
      if (!platform::EqualNoCase(section, "values")) {
        messages.warnings.push_back(where + "section [" +
                                    std::string(line.substr(1, line.size() - 2)) +
                                    "] is not read; only [values] is");
      }
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      messages.errors.push_back(where + "expected NAME=VALUE");
      continue;
    }
    if (section.empty()) {
      messages.errors.push_back(where + "a value outside the [values] section");
      continue;
    }
    if (!platform::EqualNoCase(section, "values")) continue;
    const std::string name(Trim(line.substr(0, equals)));
    const std::string_view valueText = Trim(line.substr(equals + 1));
    if (!IsPortableName(name)) {
      messages.errors.push_back(where + "'" + name + "' is not a valid key name");
      continue;
    }
    const std::optional<std::int32_t> value = ParseValue(valueText);
    if (!value) {
      messages.errors.push_back(where + name + "=" + std::string(valueText) +
                                ": expected a number (12, -3, 0x80000012) or a colour (#RRGGBB)");
      continue;
    }
    const bool repeated = std::any_of(values.begin(), values.end(),
                                      [&](const NamedValue& v) { return platform::EqualNoCase(v.first, name); });
    if (repeated) {
      messages.errors.push_back(where + name + " is given twice");
      continue;
    }
    values.emplace_back(name, *value);
  }
  return messages.errors.size() == errorsBefore;
}

std::string MakeValuesIni(const std::vector<NamedValue>& values) {
  std::string text =
      "; Layout numbers are pixels. Colours are #RRGGBB, or 0x80000000 + n for the\n"
      "; system colour n.\n"
      "[values]\n";
  for (const NamedValue& v : values) {
    text += v.first + "=" + FormatValue(v.first, v.second) + "\n";
  }
  return text;
}

bool PackFolder(const std::string& dir, std::vector<std::uint8_t>& contents, Messages& messages) {
  std::error_code ec;
  if (!fs::is_directory(FsPath(dir), ec)) {
    messages.errors.push_back(dir + ": not a folder");
    return false;
  }
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(FsPath(dir), ec)) {
    files.push_back(entry.path());
  }
  if (ec) {
    messages.errors.push_back(dir + ": cannot list the folder (" + ec.message() + ")");
    return false;
  }
  std::sort(files.begin(), files.end());

  std::vector<Pending> pending;
  auto add = [&](std::string name, std::string source, host::PropertyValue value) {
    for (const Pending& p : pending) {
      if (platform::EqualNoCase(p.name, name)) {
        messages.errors.push_back(source + ": " + p.name + " is already given by " + p.source);
        return;
      }
    }
    const SkinKey* key = FindKey(name);
    int order = static_cast<int>(SkinKeys.size());
    if (key != nullptr) {
      order = static_cast<int>(key - SkinKeys.data());
      name = std::string(key->name);  // stored in the spelling the readers use
    } else {
      messages.warnings.push_back(source + ": " + name +
                                  " is not a key the frame reads; packed all the same");
    }
    pending.push_back({std::move(name), std::move(source), std::move(value), order});
  };

  bool sawIni = false;
  for (const fs::path& file : files) {
    const std::string fileName = Utf8(file.filename());
    if (platform::EqualNoCase(fileName, IniName) && fs::is_regular_file(file, ec)) {
      sawIni = true;
      std::vector<std::uint8_t> bytes;
      if (!platform::ReadWholeFile(Utf8(file), bytes)) {
        messages.errors.push_back(fileName + ": cannot be read");
        continue;
      }
      std::vector<NamedValue> values;
      ParseValuesIni(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                     values, messages);
      for (NamedValue& v : values) {
        const SkinKey* key = FindKey(v.first);
        const std::string source = "skin.ini " + v.first;
        if (key != nullptr && key->kind == KeyKind::Picture) {
          messages.errors.push_back(source + ": " + std::string(key->name) +
                                    " is a picture; give it as " + std::string(key->name) + ".png");
          continue;
        }
        if (key != nullptr && key->kind == KeyKind::Number &&
            (v.second < INT16_MIN || v.second > INT16_MAX)) {
          messages.errors.push_back(source + ": a layout number must lie in -32768..32767");
          continue;
        }
        add(v.first, source, host::PropertyValue::Of(v.second));
      }
      continue;
    }
    const std::string stem = Utf8(file.stem());
    const std::string extension = Utf8(file.extension());
    const bool isPng = platform::EqualNoCase(extension, ".png");
    if ((!isPng && !platform::EqualNoCase(extension, ".bmp")) || !fs::is_regular_file(file, ec)) {
      messages.warnings.push_back(fileName +
                                  ": ignored; a skin folder holds KEY.png or KEY.bmp pictures "
                                  "and skin.ini");
      continue;
    }
    if (!IsPortableName(stem)) {
      messages.errors.push_back(fileName + ": a picture is named after its key (CLOSE.png)");
      continue;
    }
    const SkinKey* key = FindKey(stem);
    if (key != nullptr && key->kind != KeyKind::Picture) {
      messages.errors.push_back(fileName + ": " + std::string(key->name) + " is a " +
                                std::string(KindName(key->kind)) + "; give it in skin.ini");
      continue;
    }
    std::vector<std::uint8_t> bmp;
    if (!ReadPicture(file, isPng, bmp, messages)) continue;
    add(stem, fileName, host::PropertyValue::Picture(std::move(bmp)));
  }
  if (!sawIni) messages.warnings.push_back("no skin.ini: the skin has no numbers or colours");
  if (pending.size() > host::PropertyBag::MaxEntries) {
    messages.errors.push_back("more than 4096 entries");
  }
  if (!messages.Ok()) return false;

  std::stable_sort(pending.begin(), pending.end(), [](const Pending& a, const Pending& b) {
    if (a.order != b.order) return a.order < b.order;
    return Upper(a.name) < Upper(b.name);
  });
  host::PropertyBag bag;
  for (const Pending& p : pending) bag.WriteProperty(p.name, p.value);
  contents = bag.Contents();
  return true;
}

bool UnpackToFolder(const host::PropertyBag& skin, const std::string& dir, Messages& messages) {
  if (!MakeNewFolder(dir, messages)) return false;
  std::vector<NamedValue> values;
  std::vector<std::string> written;
  for (const host::PropertyBag::Entry& entry : skin.Entries()) {
    const std::string& name = entry.name;
    const bool repeated = std::any_of(written.begin(), written.end(),
                                      [&](const std::string& w) { return platform::EqualNoCase(w, name); });
    if (repeated) {
      messages.warnings.push_back(Printable(name) +
                                  ": a second entry of that name; readers never see it, "
                                  "so it is left out");
      continue;
    }
    if (!IsPortableName(name)) {
      messages.warnings.push_back("'" + Printable(name) +
                                  "': not a usable file or key name; left out");
      continue;
    }
    switch (entry.value.kind) {
      case host::PropertyValue::Kind::Picture: {
        const std::string path = Utf8(FsPath(dir) / (name + ".bmp"));
        std::string error;
        if (!platform::WriteFileAtomic(path, entry.value.bmp.data(), entry.value.bmp.size(),
                                       &error)) {
          messages.errors.push_back(path + ": " + error);
          continue;
        }
        break;
      }
      case host::PropertyValue::Kind::Integer:
        values.emplace_back(name, entry.value.integer);
        break;
      default:
        messages.warnings.push_back(name +
                                    ": a text or font value, which skins do not use; "
                                    "left out");
        continue;
    }
    written.push_back(name);
  }
  const std::string ini = MakeValuesIni(values);
  std::string error;
  if (!platform::WriteFileAtomic(Utf8(FsPath(dir) / IniName), ini.data(), ini.size(),
                                 &error)) {
    messages.errors.push_back(std::string(IniName) + ": " + error);
  }
  return messages.Ok();
}

std::string LoadSkinWithReason(const std::vector<std::uint8_t>& file, host::PropertyBag& skin) {
  return skin::LoadSkinBytes(file.data(), file.size(), skin);
}

}  // namespace skintool
