// Arbitrary file bytes with a section, key and value taken from its first
// bytes: decoding round-trips, lookups never read out of range, and a write
// changes only its own entry.
// Code under test: platform/profile/Profile.cpp
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile/Profile.h"

namespace {

// The input's lines with their endings, so that they can be compared whole.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    end = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  return lines;
}

std::string_view Field(std::string_view& input) {
  std::size_t length = input.empty() ? 0 : static_cast<std::uint8_t>(input.front()) % 16;
  if (!input.empty()) input.remove_prefix(1);
  length = std::min(length, input.size());
  std::string_view field = input.substr(0, length);
  input.remove_prefix(length);
  return field;
}

bool GainedEnding(std::string_view before, std::string_view after) {
  if (!before.empty() && before.back() == '\n') return false;
  if (after.substr(0, before.size()) != before) return false;
  std::string_view ending = after.substr(before.size());
  return ending == "\n" || ending == "\r\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view section = Field(input);
  const std::string_view key = Field(input);
  const std::string_view value = Field(input);
  // The file's bytes as the profile functions read them: a file with a byte
  // order mark is text in that encoding, and one that decodes exactly must
  // encode back to the same bytes, or a write would change what it did not
  // touch.
  const profile::DecodedText decoded = profile::Decode(input);
  if (decoded.exact) {
    const std::optional<std::string> again = profile::Encode(decoded.encoding, decoded.text);
    if (!again || *again != input) __builtin_trap();
  }
  const std::string_view text = decoded.text;

  std::string before;
  const bool had = profile::Lookup(text, section, key, before);
  profile::RemoveKey(text, section, key);
  profile::RemoveSection(text, section);
  if (!profile::Writable(section, key, value)) return 0;

  const std::string out = profile::Replace(text, section, key, value);
  std::string after;
  if (!profile::Lookup(out, section, key, after)) __builtin_trap();
  // A value in quotes or with outer blanks reads back without them.
  const bool plain = value.find_first_of("\"' \t") == std::string_view::npos;
  if (plain && after != value) __builtin_trap();

  // Every line of the input survives, in order, except the entry's own line;
  // only the line before an insertion may gain a line ending.
  std::vector<std::string_view> oldLines = Lines(text);
  std::vector<std::string_view> newLines = Lines(out);
  // A replaced key keeps the line count; a new key adds its line, a new
  // section its header too.
  const std::size_t added = newLines.size() - std::min(newLines.size(), oldLines.size());
  if (newLines.size() < oldLines.size() || (had && added != 0) ||
      (!had && added != 1 && added != 2)) {
    __builtin_trap();
  }
  std::size_t i = 0;
  std::size_t j = 0;
  int differing = 0;
  while (i < oldLines.size() && j < newLines.size()) {
    if (oldLines[i] == newLines[j]) {
      ++i, ++j;
    } else if (i + 1 == oldLines.size() && GainedEnding(oldLines[i], newLines[j])) {
      ++i, ++j;  // the unfinished last line got its ending
    } else {
      ++differing;
      if (had) {
        ++i, ++j;  // the replaced line
      } else {
        ++j;  // an inserted line
      }
    }
  }
  differing += static_cast<int>(newLines.size() - j);
  if (i != oldLines.size()) __builtin_trap();
  if (had ? differing > 1 : differing != static_cast<int>(added)) __builtin_trap();
  return 0;
}
