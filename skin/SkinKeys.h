// Every key the frame controls read from a skin, with the kind of value the
// readers expect under it.
#pragma once

#include <array>
#include <string_view>

namespace skin {

enum class KeyKind { Picture, Number, Colour };

struct SkinKey {
  std::string_view name;
  KeyKind kind;
  std::string_view meaning;
};

inline constexpr std::array<SkinKey, 33> SkinKeys{{
    {"LEFTTOP", KeyKind::Picture, "left edge, top piece"},
    {"LEFTMID", KeyKind::Picture, "left edge, middle piece"},
    {"RIGHTTOP", KeyKind::Picture, "right edge, top piece"},
    {"RIGHTMID", KeyKind::Picture, "right edge, middle piece"},
    {"LEFTBOT", KeyKind::Picture, "bottom edge, left corner"},
    {"RIGHTBOT", KeyKind::Picture, "bottom edge, right corner"},
    {"BOTTOM", KeyKind::Picture, "bottom edge, middle piece"},
    {"TOPLEFT", KeyKind::Picture, "caption bar, left piece"},
    {"TOPMID", KeyKind::Picture, "caption bar, middle piece"},
    {"TOPRIGHT", KeyKind::Picture, "caption bar, right piece"},
    {"CLOSE", KeyKind::Picture, "close button"},
    {"CLOSE2", KeyKind::Picture, "close button, pressed"},
    {"CLOSE3", KeyKind::Picture, "close button, hover"},
    {"MAX", KeyKind::Picture, "maximize button"},
    {"MAX2", KeyKind::Picture, "maximize button, pressed"},
    {"MAX3", KeyKind::Picture, "maximize button, hover"},
    {"RES1", KeyKind::Picture, "restore button"},
    {"RES2", KeyKind::Picture, "restore button, hover"},
    {"RES3", KeyKind::Picture, "restore button, pressed"},
    {"MIN", KeyKind::Picture, "minimize button"},
    {"MIN2", KeyKind::Picture, "minimize button, pressed"},
    {"MIN3", KeyKind::Picture, "minimize button, hover"},
    {"ONTOP1", KeyKind::Picture, "pin button, not pinned"},
    {"ONTOP3", KeyKind::Picture, "pin button, pinned"},
    {"XOFFSET", KeyKind::Number, "caption text position"},
    {"XOFFSET2", KeyKind::Number, "icon position"},
    {"YOFFSET", KeyKind::Number, "caption text and icon top"},
    {"FROMRIGHT", KeyKind::Number, "gap right of the close button"},
    {"FROMTOP", KeyKind::Number, "top of the buttons"},
    {"ICONSPACE", KeyKind::Number, "gap between buttons"},
    {"FORECOLOR", KeyKind::Colour, "caption text colour"},
    {"BackColor", KeyKind::Colour, "caption text shadow colour"},
    {"PARENTBACKCOLOR", KeyKind::Colour, "window background colour"},
}};

}  // namespace skin
