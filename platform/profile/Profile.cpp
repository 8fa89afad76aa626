#include "platform/profile/Profile.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/NoCase.h"

namespace profile {

namespace {

// Offsets of one line: [begin, end) is its content, [end, next) its line
// ending ("\n", "\r\n" or nothing at the end of the text).
struct Line {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t next = 0;
};

Line LineAt(std::string_view text, std::size_t begin) {
  Line line;
  line.begin = begin;
  std::size_t newline = text.find('\n', begin);
  if (newline == std::string_view::npos) {
    line.end = line.next = text.size();
    return line;
  }
  line.next = newline + 1;
  line.end = (newline > begin && text[newline - 1] == '\r') ? newline - 1 : newline;
  return line;
}

// A stray CR (a CRLF file converted twice, a last line ending in CR alone)
// trims like a blank, so that it never becomes part of a name or a value.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

struct Parsed {
  enum class Kind { Other, Section, Key } kind = Kind::Other;
  std::string_view name;   // section or key, trimmed
  std::string_view value;  // key only, trimmed, quotes still on
};

Parsed ParseLine(std::string_view content) {
  Parsed parsed;
  std::string_view t = Trim(content);
  if (t.empty() || t.front() == ';') return parsed;
  if (t.front() == '[') {
    // A header that lost its ']' still names a section: the rest of the line.
    std::string_view name = t.substr(1);
    std::size_t close = name.find(']');
    if (close != std::string_view::npos) name = name.substr(0, close);
    parsed.kind = Parsed::Kind::Section;
    parsed.name = Trim(name);
    return parsed;
  }
  std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return parsed;
  std::string_view key = Trim(t.substr(0, eq));
  if (key.empty()) return parsed;
  parsed.kind = Parsed::Kind::Key;
  parsed.name = key;
  parsed.value = Trim(t.substr(eq + 1));
  return parsed;
}

std::string_view StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Where the first section of a name lies in the text.
struct SectionSpan {
  bool found = false;
  std::size_t header = 0;  // start of the header line
  std::size_t body = 0;    // start of the line after the header
  std::size_t end = 0;     // start of the next header line, or the text's end
  std::size_t append = 0;  // after the last non-blank line of the section
};

SectionSpan FindSection(std::string_view text, std::string_view section) {
  SectionSpan span;
  section = Trim(section);
  std::size_t pos = 0;
  while (pos < text.size()) {
    Line line = LineAt(text, pos);
    Parsed parsed = ParseLine(text.substr(line.begin, line.end - line.begin));
    if (parsed.kind == Parsed::Kind::Section) {
      if (span.found) {
        span.end = line.begin;
        return span;
      }
      if (platform::EqualNoCase(parsed.name, section)) {
        span.found = true;
        span.header = line.begin;
        span.body = span.append = line.next;
      }
    } else if (span.found && !Trim(text.substr(line.begin, line.end - line.begin)).empty()) {
      span.append = line.next;
    }
    pos = line.next;
  }
  span.end = text.size();
  return span;
}

// The first line of key inside the span; false when the section lacks it.
bool FindKey(std::string_view text, const SectionSpan& span, std::string_view key, Line& found,
             Parsed& parsed) {
  key = Trim(key);
  std::size_t pos = span.body;
  while (pos < span.end) {
    Line line = LineAt(text, pos);
    Parsed p = ParseLine(text.substr(line.begin, line.end - line.begin));
    if (p.kind == Parsed::Kind::Key && platform::EqualNoCase(p.name, key)) {
      found = line;
      parsed = p;
      return true;
    }
    pos = line.next;
  }
  return false;
}

// New lines follow the text's first line ending; a text without one gets
// CRLF, as a new file does on Windows.
std::string_view LineEnding(std::string_view text) {
  std::size_t newline = text.find('\n');
  if (newline == std::string_view::npos) return "\r\n";
  return (newline > 0 && text[newline - 1] == '\r') ? "\r\n" : "\n";
}

std::string KeyLine(std::string_view key, std::string_view value) {
  std::string line(key);
  line += '=';
  line += value;
  return line;
}

}  // namespace

bool Lookup(std::string_view text, std::string_view section, std::string_view key,
            std::string& value) {
  SectionSpan span = FindSection(text, section);
  if (!span.found) return false;
  Line line;
  Parsed parsed;
  if (!FindKey(text, span, key, line, parsed)) return false;
  value.assign(StripQuotes(parsed.value));
  return true;
}

std::string Replace(std::string_view text, std::string_view section, std::string_view key,
                    std::string_view value) {
  const std::string_view eol = LineEnding(text);
  section = Trim(section);
  key = Trim(key);
  SectionSpan span = FindSection(text, section);
  std::string out;
  out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
  if (!span.found) {
    out.append(text);
    if (!out.empty() && out.back() != '\n') out.append(eol);
    out += '[';
    out.append(section);
    out += ']';
    out.append(eol);
    out.append(KeyLine(key, value));
    out.append(eol);
    return out;
  }
  Line line;
  Parsed parsed;
  if (FindKey(text, span, key, line, parsed)) {
    // The key keeps its spelling in the file; only its line's content changes.
    out.append(text.substr(0, line.begin));
    out.append(KeyLine(parsed.name, value));
    out.append(text.substr(line.end));
    return out;
  }
  out.append(text.substr(0, span.append));
  // The section may end the text without a final line ending.
  if (span.append > 0 && text[span.append - 1] != '\n') out.append(eol);
  out.append(KeyLine(key, value));
  out.append(eol);
  out.append(text.substr(span.append));
  return out;
}

std::string RemoveKey(std::string_view text, std::string_view section, std::string_view key) {
  SectionSpan span = FindSection(text, section);
  Line line;
  Parsed parsed;
  if (!span.found || !FindKey(text, span, key, line, parsed)) return std::string(text);
  std::string out(text.substr(0, line.begin));
  out.append(text.substr(line.next));
  return out;
}

std::string RemoveSection(std::string_view text, std::string_view section) {
  SectionSpan span = FindSection(text, section);
  if (!span.found) return std::string(text);
  std::string out(text.substr(0, span.header));
  out.append(text.substr(span.end));
  return out;
}

bool Writable(std::string_view section, std::string_view key, std::string_view value) {
  auto breaksLine = [](std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
  };
  if (breaksLine(section) || breaksLine(key) || breaksLine(value)) return false;
  if (section.find(']') != std::string_view::npos) return false;
  key = Trim(key);
  if (key.empty() || key.find('=') != std::string_view::npos) return false;
  return key.front() != '[' && key.front() != ';';
}

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LEMark = "\xFF\xFE";
constexpr std::string_view Utf16BEMark = "\xFE\xFF";

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The next code point of UTF-8 text, or nothing for an invalid sequence.
std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
  if (length == 0 || i + length > text.size()) return std::nullopt;
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  static constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  i += length;
  return c;
}

}  // namespace

DecodedText Decode(std::string_view bytes) {
  DecodedText decoded;
  if (bytes.substr(0, 3) == Utf8Mark) {
    decoded.encoding = Encoding::Utf8Bom;
    decoded.text = bytes.substr(3);
    return decoded;
  }
  const bool little = bytes.substr(0, 2) == Utf16LEMark;
  if (!little && bytes.substr(0, 2) != Utf16BEMark) {
    decoded.text = bytes;
    return decoded;
  }
  decoded.encoding = little ? Encoding::Utf16LE : Encoding::Utf16BE;
  const auto unit = [&](std::size_t at) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[at]);
    const auto b = static_cast<unsigned char>(bytes[at + 1]);
    return little ? (b << 8 | a) : (a << 8 | b);
  };
  std::size_t at = 2;
  for (; at + 1 < bytes.size(); at += 2) {
    char32_t c = unit(at);
    if (c >= 0xD800 && c <= 0xDBFF && at + 3 < bytes.size() && unit(at + 2) >= 0xDC00 &&
        unit(at + 2) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(at + 2) - 0xDC00);
      at += 2;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
      decoded.exact = false;
    }
    AppendUtf8(decoded.text, c);
  }
  if (at < bytes.size()) decoded.exact = false;
  return decoded;
}

std::optional<std::string> Encode(Encoding encoding, std::string_view text) {
  switch (encoding) {
    case Encoding::Plain:
      return std::string(text);
    case Encoding::Utf8Bom:
      return std::string(Utf8Mark) + std::string(text);
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
      break;
  }
  const bool little = encoding == Encoding::Utf16LE;
  std::string out(little ? Utf16LEMark : Utf16BEMark);
  const auto put = [&](char32_t u) {
    const char high = static_cast<char>(u >> 8);
    const char low = static_cast<char>(u & 0xFF);
    out += little ? low : high;
    out += little ? high : low;
  };
  for (std::size_t i = 0; i < text.size();) {
    std::optional<char32_t> c = NextUtf8(text, i);
    if (!c) return std::nullopt;
    if (*c >= 0x10000) {
      put(0xD800 + ((*c - 0x10000) >> 10));
      put(0xDC00 + ((*c - 0x10000) & 0x3FF));
    } else {
      put(*c);
    }
  }
  return out;
}

std::vector<std::string> SectionNames(std::string_view text) {
  std::vector<std::string> names;
  for (std::size_t pos = 0; pos < text.size();) {
    const Line line = LineAt(text, pos);
    const Parsed parsed = ParseLine(text.substr(line.begin, line.end - line.begin));
    if (parsed.kind == Parsed::Kind::Section) names.emplace_back(parsed.name);
    pos = line.next;
  }
  return names;
}

bool KeyNames(std::string_view text, std::string_view section, std::vector<std::string>& names) {
  names.clear();
  const SectionSpan span = FindSection(text, section);
  if (!span.found) return false;
  for (std::size_t pos = span.body; pos < span.end;) {
    const Line line = LineAt(text, pos);
    const Parsed parsed = ParseLine(text.substr(line.begin, line.end - line.begin));
    if (parsed.kind == Parsed::Kind::Key) names.emplace_back(parsed.name);
    pos = line.next;
  }
  return true;
}

std::size_t CopyList(const std::vector<std::string>& names, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  std::string list;
  for (const std::string& name : names) list.append(name).push_back('\0');
  if (list.size() + 1 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    return list.size();
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  return size - 2;
}

std::size_t CopyTruncated(const std::string& value, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  std::size_t count = std::min(value.size(), size - 1);
  std::memcpy(buffer, value.data(), count);
  buffer[count] = '\0';
  return count;
}

}  // namespace profile
