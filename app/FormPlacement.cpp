#include "app/FormPlacement.h"

#include <charconv>
#include <cmath>
#include <iostream>
#include <limits>

#include "app/ProgramPaths.h"
#include "host/App.h"
#include "host/Form.h"
#include "platform/File.h"

namespace app {

namespace {

// The profile value is read into a buffer of this many characters, so at
// most one less is ever seen.
constexpr DWORD ValueBufferSize = 128;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// A stored window larger than this many screens is no placement this
// program saved for a screen still there, and its pixels alone could
// exhaust memory.
constexpr std::int64_t MaxScreensPerSide = 2;

}  // namespace

std::string NextToken(std::int32_t& position, const std::string& text,
                      const std::string& delimiters) {
  const std::size_t start = position < 1 ? 1 : static_cast<std::size_t>(position);
  // Each delimiter found cuts the searched text before it, so a later
  // delimiter character only counts when it comes earlier still.
  std::size_t searched = text.size();
  std::size_t found = 0;
  for (char delimiter : delimiters) {
    if (start > searched) continue;
    const std::size_t at = text.find(delimiter, start - 1);
    if (at != std::string::npos && at < searched) {
      found = at + 1;
      searched = at;
    }
  }
  if (found != 0) {
    position = static_cast<std::int32_t>(found + 1);
    return text.substr(start - 1, found - start);
  }
  position = 0;
  return start - 1 < text.size() ? text.substr(start - 1) : std::string();
}

std::string FormatSingle(float value) {
  char buffer[32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
  std::string text(buffer, result.ptr);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

std::optional<float> ParseSingle(std::string_view field) {
  while (!field.empty() && IsBlank(field.front())) field.remove_prefix(1);
  while (!field.empty() && IsBlank(field.back())) field.remove_suffix(1);
  const bool plus = !field.empty() && field.front() == '+';
  if (plus) field.remove_prefix(1);
  // from_chars takes a '-' of its own, which would read "+-1" as -1.
  if (field.empty() || (plus && field.front() == '-')) return std::nullopt;
  float value = 0;
  // from_chars never looks at the locale, so a stored "." reads the same
  // under every user setting.
  const auto result =
      std::from_chars(field.data(), field.data() + field.size(), value, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != field.data() + field.size()) return std::nullopt;
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<Placement> ParsePlacement(const std::string& value, std::string* error) {
  static const char* const names[] = {"Top", "Left", "Height", "Width"};
  int fields[4] = {};
  std::int32_t position = 1;
  for (int i = 0; i < 4; ++i) {
    const std::string token = NextToken(position, value, ",");
    const std::optional<float> number = ParseSingle(token);
    if (!number) {
      if (error) *error = std::string(names[i]) + " \"" + token + "\" is not a number of twips";
      return std::nullopt;
    }
    if (std::fabs(*number) >= 2147483648.0f) {
      if (error) *error = std::string(names[i]) + " " + token + " twips is out of range";
      return std::nullopt;
    }
    fields[i] = static_cast<int>(std::lrint(*number));
    if (i >= 2 && fields[i] < 0) {
      if (error) *error = std::string(names[i]) + " " + token + " is negative";
      return std::nullopt;
    }
  }
  return Placement{fields[0], fields[1], fields[2], fields[3]};
}

bool OnSomeMonitor(const Placement& placement, const std::vector<RECT>& monitors) {
  if (monitors.empty()) return true;
  const int twips = host::Screen::TwipsPerPixelX();
  const std::int64_t left = host::TwipsToPixels(placement.Left, twips);
  const std::int64_t top = host::TwipsToPixels(placement.Top, host::Screen::TwipsPerPixelY());
  // A window is at least one pixel a side on screen, whatever was stored.
  const std::int64_t right =
      left + std::max<std::int64_t>(1, host::TwipsToPixels(placement.Width, twips));
  const std::int64_t bottom =
      top + std::max<std::int64_t>(
                1, host::TwipsToPixels(placement.Height, host::Screen::TwipsPerPixelY()));
  for (const RECT& m : monitors) {
    if (left < m.right && m.left < right && top < m.bottom && m.top < bottom) return true;
  }
  return false;
}

void SaveFormPlacement(host::Form& form, const std::string& section) {
  SaveFormPlacement(form, section, ChooseStateFiles(host::App::Path(), true, ""));
}

void SaveFormPlacement(host::Form& form, const std::string& section, const StateFiles& files) {
  if (form.WindowState() == 1) return;
  const std::string& file = files.PlacementFile;
  const std::string value = FormatSingle(static_cast<float>(form.Top())) + "," +
                            FormatSingle(static_cast<float>(form.Left())) + "," +
                            FormatSingle(static_cast<float>(form.Height())) + "," +
                            FormatSingle(static_cast<float>(form.Width()));
  // A refused write (a read-only file the user locked) leaves the stored
  // placement as it was; the user hears of it once, with this write's
  // reason and no earlier one.
  platform::LastFileError(std::string());
  if (!WritePrivateProfileStringA(section.c_str(), form.Name().c_str(), value.c_str(),
                                  file.c_str())) {
    const std::string why = platform::LastFileError();
    std::cerr << "skinshell: cannot save the placement of " << form.Name() << " in " << file
              << (why.empty() ? "" : ": " + why) << "\n";
  }
}

void LoadFormPlacement(host::Form& form, const std::string& section) {
  LoadFormPlacement(form, section, ChooseStateFiles(host::App::Path(), true, ""));
}

void LoadFormPlacement(host::Form& form, const std::string& section, const StateFiles& files) {
  std::string file = files.PlacementFile;
  char buffer[ValueBufferSize] = {};
  DWORD count = GetPrivateProfileStringA(section.c_str(), form.Name().c_str(), "", buffer,
                                         ValueBufferSize, file.c_str());
  if (count == 0 && !files.ShippedPlacementFile.empty()) {
    file = files.ShippedPlacementFile;
    count = GetPrivateProfileStringA(section.c_str(), form.Name().c_str(), "", buffer,
                                     ValueBufferSize, file.c_str());
  }
  if (count == 0) {
    CenterForm(form);
    return;
  }
  const std::string value(buffer, std::min<DWORD>(count, ValueBufferSize - 1));

  // Every field is checked before the first is applied: a broken entry then
  // leaves the window whole and centred instead of half moved.
  std::string problem;
  std::optional<Placement> placement = ParsePlacement(value, &problem);
  if (placement) {
    const std::int64_t maxWidth = MaxScreensPerSide * form.Screen().Width();
    const std::int64_t maxHeight = MaxScreensPerSide * form.Screen().Height();
    if (placement->Width > maxWidth || placement->Height > maxHeight) {
      problem = "the size " + std::to_string(placement->Width) + " x " +
                std::to_string(placement->Height) + " twips is larger than the screen allows";
      placement.reset();
    }
  }
  if (!placement) {
    std::cerr << "skinshell: ignoring the stored placement of " << form.Name() << " in " << file
              << ": " << problem << "; centring the window\n";
    CenterForm(form);
    return;
  }
  // A window saved on a monitor that has since gone would open where no one
  // can see it or reach its caption.
  if (!OnSomeMonitor(*placement, form.Desktop().Monitors())) {
    CenterForm(form);
    return;
  }
  // One field at a time: each size change runs the window's resize handling
  // (and its minimum size) before the next field is applied.
  form.Top(placement->Top);
  form.Left(placement->Left);
  form.Height(placement->Height);
  form.Width(placement->Width);
}

void CenterForm(host::Form& form) {
  const double left = (form.Screen().Width() - static_cast<double>(form.Width())) / 2;
  const double top = (form.Screen().Height() - static_cast<double>(form.Height())) / 2;
  form.Move(static_cast<int>(std::lrint(left)), static_cast<int>(std::lrint(top)));
}

}  // namespace app
