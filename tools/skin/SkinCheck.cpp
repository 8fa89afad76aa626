#include "tools/skin/SkinCheck.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/NoCase.h"
#include "platform/gdi/Gdi.h"
#include "tools/skin/SkinFolder.h"
#include "tools/skin/KeyLookup.h"

namespace skintool {

namespace {

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

std::string Text(Size s) {
  return std::to_string(s.width) + "x" + std::to_string(s.height);
}

// The size the frame will see for a picture key; nullopt when the key is
// absent, not a picture, or does not decode (all read as an empty face).
std::optional<Size> PictureSize(const host::PropertyBag& skin, std::string_view key) {
  const host::PropertyValue* value = skin.ReadProperty(key);
  if (value == nullptr || value->kind != host::PropertyValue::Kind::Picture) return std::nullopt;
  gdi::Surface pixels;
  if (!gdi::DecodeBmp(value->bmp.data(), value->bmp.size(), pixels)) return std::nullopt;
  if (pixels.width > 4096 || pixels.height > 4096) return std::nullopt;
  return Size{pixels.width, pixels.height};
}

std::string_view KindOf(const host::PropertyValue& value) {
  switch (value.kind) {
    case host::PropertyValue::Kind::Integer:
      return "integer";
    case host::PropertyValue::Kind::Text:
      return "text";
    case host::PropertyValue::Kind::Picture:
      return "picture";
    case host::PropertyValue::Kind::Font:
      return "font";
  }
  return "?";
}

bool KindFits(KeyKind expected, const host::PropertyValue& value) {
  if (expected == KeyKind::Picture) return value.kind == host::PropertyValue::Kind::Picture;
  return host::ToLong(value).has_value();
}

void CheckSameSize(const host::PropertyBag& skin, std::string_view what,
                   std::initializer_list<std::string_view> keys,
                   std::vector<std::string>& warnings) {
  std::vector<std::pair<std::string_view, Size>> present;
  for (std::string_view key : keys) {
    if (std::optional<Size> size = PictureSize(skin, key)) present.emplace_back(key, *size);
  }
  const bool differ = std::any_of(present.begin(), present.end(),
                                  [&](const auto& p) { return !(p.second == present[0].second); });
  if (!differ) return;
  std::string line = std::string(what) + " differ in size:";
  for (const auto& [key, size] : present) line += " " + std::string(key) + " " + Text(size);
  warnings.push_back(line);
}

}  // namespace

std::vector<std::string> DescribeEntries(const host::PropertyBag& skin) {
  std::vector<std::string> lines;
  for (const host::PropertyBag::Entry& entry : skin.Entries()) {
    std::string detail;
    const host::PropertyValue& value = entry.value;
    switch (value.kind) {
      case host::PropertyValue::Kind::Picture: {
        gdi::Surface pixels;
        if (gdi::DecodeBmp(value.bmp.data(), value.bmp.size(), pixels)) {
          detail = Text({pixels.width, pixels.height});
        } else {
          detail = "does not decode";
        }
        detail += ", " + std::to_string(value.bmp.size()) + " bytes";
        break;
      }
      case host::PropertyValue::Kind::Integer:
        detail = FormatValue(entry.name, value.integer);
        break;
      case host::PropertyValue::Kind::Text:
        detail = "\"" + Printable(value.text) + "\"";
        break;
      case host::PropertyValue::Kind::Font:
        detail = Printable(value.font.Name) + " " + std::to_string(value.font.Size) + " pt";
        break;
    }
    const SkinKey* key = FindKey(entry.name);
    std::string kind(key != nullptr ? KindName(key->kind) : KindOf(value));
    char line[512];
    std::snprintf(line, sizeof line, "%-16s %-8s %s", Printable(entry.name).c_str(), kind.c_str(),
                  detail.c_str());
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> CheckSkin(const host::PropertyBag& skin) {
  std::vector<std::string> warnings;
  std::vector<std::string> seen;
  for (const host::PropertyBag::Entry& entry : skin.Entries()) {
    if (std::any_of(seen.begin(), seen.end(),
                    [&](const std::string& s) { return platform::EqualNoCase(s, entry.name); })) {
      warnings.push_back(Printable(entry.name) + " is stored twice; readers take the first");
    }
    seen.push_back(entry.name);
  }
  for (const SkinKey& key : SkinKeys) {
    const host::PropertyValue* value = skin.ReadProperty(key.name);
    const std::string name(key.name);
    if (value == nullptr) {
      warnings.push_back("missing " + name + " (" + std::string(key.meaning) + ")");
      continue;
    }
    if (!KindFits(key.kind, *value)) {
      warnings.push_back(name + " should be a " + std::string(KindName(key.kind)) +
                         " but holds a " + std::string(KindOf(*value)) + "; it reads as absent");
      continue;
    }
    if (key.kind == KeyKind::Picture && !PictureSize(skin, key.name)) {
      warnings.push_back(name +
                         " does not decode (an uncompressed 24- or 32-bit BMP of at most "
                         "4096x4096 pixels); it reads as an empty face");
    }
    if (key.kind == KeyKind::Number && !host::ToInteger(*value)) {
      warnings.push_back(name + " does not fit a 16-bit number; the caption keeps its old value");
    }
  }

  CheckSameSize(skin, "close button faces", {"CLOSE", "CLOSE2", "CLOSE3"}, warnings);
  CheckSameSize(skin, "maximize button faces", {"MAX", "MAX2", "MAX3"}, warnings);
  CheckSameSize(skin, "restore button faces", {"RES1", "RES2", "RES3"}, warnings);
  CheckSameSize(skin, "minimize button faces", {"MIN", "MIN2", "MIN3"}, warnings);
  CheckSameSize(skin, "pin button faces", {"ONTOP1", "ONTOP3"}, warnings);

  const std::optional<Size> close = PictureSize(skin, "CLOSE");
  if (close) {
    // The buttons react within the close face's height only.
    for (std::string_view face : {"MAX", "RES1", "MIN", "ONTOP1", "ONTOP3"}) {
      const std::optional<Size> size = PictureSize(skin, face);
      if (size && size->height > close->height) {
        warnings.push_back(std::string(face) +
                           " is taller than CLOSE; its lower part does not "
                           "react to the mouse");
      }
    }
  }

  std::vector<std::pair<std::string_view, Size>> bar;
  for (std::string_view piece : {"TOPLEFT", "TOPMID", "TOPRIGHT"}) {
    if (std::optional<Size> size = PictureSize(skin, piece)) bar.emplace_back(piece, *size);
  }
  if (std::any_of(bar.begin(), bar.end(),
                  [&](const auto& p) { return p.second.height != bar[0].second.height; })) {
    std::string line = "caption bar pieces differ in height:";
    for (const auto& [key, size] : bar) line += " " + std::string(key) + " " + Text(size);
    warnings.push_back(line + "; the bar is as high as TOPLEFT");
  }

  struct Edge {
    std::string_view what;
    std::string_view top;
    std::string_view middle;
  };
  for (const Edge& edge :
       {Edge{"left edge", "LEFTTOP", "LEFTMID"}, Edge{"right edge", "RIGHTTOP", "RIGHTMID"}}) {
    const std::optional<Size> top = PictureSize(skin, edge.top);
    const std::optional<Size> middle = PictureSize(skin, edge.middle);
    if (top && !middle) {
      warnings.push_back(std::string(edge.what) + " has " + std::string(edge.top) + " but no " +
                         std::string(edge.middle) +
                         ": below the top piece it shows the background colour");
    } else if (top && middle && middle->width < top->width) {
      warnings.push_back(std::string(edge.middle) + " is narrower than " + std::string(edge.top) +
                         ": a strip of background colour shows");
    }
  }
  const bool corners = PictureSize(skin, "LEFTBOT") || PictureSize(skin, "RIGHTBOT");
  if (corners && !PictureSize(skin, "BOTTOM")) {
    warnings.push_back(
        "bottom edge has its corners but no BOTTOM: its height is 0 and nothing "
        "of it shows");
  }
  return warnings;
}

std::vector<std::string> SkinErrors(const host::PropertyBag& skin) {
  std::vector<std::string> errors;
  if (!PictureSize(skin, "TOPLEFT")) {
    errors.push_back(
        "TOPLEFT gives no picture: the caption would have no height, leaving the window "
        "without a title bar or buttons");
  }
  if (!PictureSize(skin, "CLOSE")) {
    errors.push_back("CLOSE gives no picture: the close button would have no face");
  }
  return errors;
}

}  // namespace skintool
