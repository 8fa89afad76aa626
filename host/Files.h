// The file services the controls and the main window use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace host {

// A directory lookup of one exact path: true only for an ordinary file.
bool FileExists(const std::string& path);

// Creates the file empty (or truncates it); false with the reason in error.
bool CreateEmptyFile(const std::string& path, std::string* error = nullptr);

// The content of a variant record holding a one-dimensional byte array:
// type tag 0x2011, one dimension, element count, lower bound 0, then the
// bytes. Null when the record is short, of another type, or claims more
// bytes than there are; bytes after the record are ignored.
const std::uint8_t* ByteArrayRecord(const std::uint8_t* data, std::size_t size,
                                    std::size_t& contentSize);
std::vector<std::uint8_t> MakeByteArrayRecord(const std::vector<std::uint8_t>& content);

// Reads the file whole with one read and returns the record's content;
// false for a missing, unreadable or malformed file.
bool ReadByteArrayFile(const std::string& path, std::vector<std::uint8_t>& content);

}  // namespace host
