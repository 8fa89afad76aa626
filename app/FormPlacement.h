// The window placement store: a window's position and size kept between
// runs in the profile file html\size.ini beside the program, one entry per
// window under the caller's section, keyed by the window's name, valued
// "Top,Left,Height,Width" in twips.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/StateFolder.h"
#include "platform/win32.h"

namespace host {
class Form;
}

namespace app {

// Writes the window's entry; a minimized window writes nothing. A failed
// write is not reported and leaves the previous entry. Without files, the
// program folder's placement file.
void SaveFormPlacement(host::Form& form, const std::string& section);
void SaveFormPlacement(host::Form& form, const std::string& section, const StateFiles& files);

// Applies the window's stored entry field by field (each size change runs
// the window's resize handling before the next). Centres the window instead
// when there is no entry, when the entry cannot be used (one line on stderr
// says why), or when it would put the window on no monitor at all.
// The entry is read from the files' placement file, else from the shipped
// one.
void LoadFormPlacement(host::Form& form, const std::string& section);
void LoadFormPlacement(host::Form& form, const std::string& section, const StateFiles& files);

// Centres the window on the whole screen, keeping its size.
void CenterForm(host::Form& form);

// The field of text that starts at position (1-based; below 1 counts as 1)
// and ends before the first of the delimiter characters. Moves position past
// that delimiter, or to 0 after the last field, so that the next call starts
// over with the first field.
std::string NextToken(std::int32_t& position, const std::string& text,
                      const std::string& delimiters);

// A 32-bit float as the store writes it: up to 7 significant digits, whole
// numbers without a decimal part, '.' as the decimal separator.
std::string FormatSingle(float value);
// The reverse, accepting blanks around the number; nullopt for anything that
// is not a finite number.
std::optional<float> ParseSingle(std::string_view field);

struct Placement {
  int Top = 0;
  int Left = 0;
  int Height = 0;
  int Width = 0;
};

// The four fields of a stored value, read as the store reads them (fewer
// fields repeat from the first, more are ignored); nullopt with the reason
// in error when a field is not a whole-twips number or a size is negative.
std::optional<Placement> ParsePlacement(const std::string& value, std::string* error = nullptr);

// True when the placement's rectangle (twips) overlaps at least one monitor
// (pixels). With no monitors known, everything counts as on screen.
bool OnSomeMonitor(const Placement& placement, const std::vector<RECT>& monitors);

}  // namespace app
