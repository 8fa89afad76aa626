#include "platform/profile/Profile.h"

#include <algorithm>
#include <cstring>

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

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
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
      if (EqualNoCase(parsed.name, section)) {
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
    if (p.kind == Parsed::Kind::Key && EqualNoCase(p.name, key)) {
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

std::size_t CopyTruncated(const std::string& value, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  std::size_t count = std::min(value.size(), size - 1);
  std::memcpy(buffer, value.data(), count);
  buffer[count] = '\0';
  return count;
}

}  // namespace profile
