// The thin layer that touches the file system. Every function here turns
// '\' into '/' first, so the Windows-style paths of the code above work
// unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

std::string NativePath(const std::string& path);

// Reads the whole file with one read. False for a missing or unreadable
// file, a folder, or a file larger than maxBytes (nothing is allocated for
// it then).
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                   std::size_t maxBytes = std::size_t{64} << 20);

// Replaces the file's content atomically: a temporary file beside it, then a
// rename, so a failure leaves the old content whole. False when the folder
// is missing or not writable; error then says why.
bool WriteFileAtomic(const std::string& path, const void* data, std::size_t size,
                     std::string* error = nullptr);

// True when the path names an ordinary file (never a folder).
bool IsRegularFile(const std::string& path);

// Creates the file empty, or truncates it. False with the reason in error.
bool CreateEmptyFile(const std::string& path, std::string* error = nullptr);

// The folder of the resolved executable: no trailing separator, except for
// the root "/".
std::string ExecutableFolder();

}  // namespace platform
