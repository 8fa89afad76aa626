// Profile (INI) files with the behaviour of the Windows profile service in
// what the program uses. Parsing and editing work on bytes; the Win32 entry
// points in ProfileFile.cpp are the thin layer that touches the disk.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

// The value of key in section, with blanks trimmed and one pair of
// surrounding quotes removed; false when the section or key is absent.
// Sections and keys are found without regard to case; the first match wins.
bool Lookup(std::string_view text, std::string_view section, std::string_view key,
            std::string& value);

// The text with key in section set to value: an existing key's line is
// replaced in place, a missing key is added at the end of its section, a
// missing section at the end of the text. Every other byte is kept, line
// endings included; new lines use the text's own line ending.
std::string Replace(std::string_view text, std::string_view section, std::string_view key,
                    std::string_view value);

// The text without the first line of key in section; unchanged when absent.
std::string RemoveKey(std::string_view text, std::string_view section, std::string_view key);

// The text without the first section of that name: its header and every line
// up to the next header. Unchanged when absent.
std::string RemoveSection(std::string_view text, std::string_view section);

// Whether an entry can be written so that it reads back as written: no line
// breaks anywhere, a section name without ']', a key that is not blank, holds
// no '=' and does not start like a header or a comment.
bool Writable(std::string_view section, std::string_view key, std::string_view value);

// How a file's bytes hold its text. Like Windows, a file that starts with a
// UTF-16 byte order mark is read as UTF-16 and written back so, and a UTF-8
// byte order mark is kept but is no part of the first line.
enum class Encoding { Plain, Utf8Bom, Utf16LE, Utf16BE };

struct DecodedText {
  Encoding encoding = Encoding::Plain;
  std::string text;  // UTF-8 for the UTF-16 encodings; the bytes otherwise
  // False when UTF-16 held what UTF-8 cannot carry (an unpaired surrogate, an
  // odd last byte): writing the text back would change those bytes.
  bool exact = true;
};

DecodedText Decode(std::string_view bytes);

// The bytes of a text in an encoding, byte order mark included; nothing when
// UTF-16 is asked for a text that is not valid UTF-8.
std::optional<std::string> Encode(Encoding encoding, std::string_view text);
// The names of every section header, in order, as written (trimmed).
std::vector<std::string> SectionNames(std::string_view text);
// The names of the keys of the first section of that name; false when there
// is no such section.
bool KeyNames(std::string_view text, std::string_view section, std::vector<std::string>& names);

// Copies names as a list, each ending in a zero and the list in one more,
// as the profile service lists them; a list too long for the buffer keeps
// its first size - 2 characters and one zero. Returns the characters copied
// without the list's last zero.
std::size_t CopyList(const std::vector<std::string>& names, char* buffer, std::size_t size);

// Copies at most size - 1 characters of value and a terminating zero into
// buffer; returns the count copied.
std::size_t CopyTruncated(const std::string& value, char* buffer, std::size_t size);

}  // namespace profile
