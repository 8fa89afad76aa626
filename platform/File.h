// The thin layer that touches the file system. Paths are taken as they
// stand: a '\' in a folder's name is part of that name on this system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A path the program writes itself, with '\' between its parts, in the
// platform's own separators. Only such tails are converted: a folder name
// that comes from the system (the program folder) is joined unchanged.
std::string NativePath(const std::string& path);

// Reads the whole file with one read. False for a missing or unreadable
// file, a folder, or a file larger than maxBytes (nothing is allocated for
// it then).
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                   std::size_t maxBytes = std::size_t{64} << 20);

// Replaces the file's content atomically: a temporary file beside it, then a
// rename, so a failure leaves the old content whole. The temporary file is
// always TemporaryPath(path): a leftover of a write that died is reused, and
// a write that fails removes it. The new file keeps the old one's mode and
// owner. False, with the reason in error, when the folder is missing or not
// writable, or the file is read-only (no write permission for anyone).
bool WriteFileAtomic(const std::string& path, const void* data, std::size_t size,
                     std::string* error = nullptr);

std::string TemporaryPath(const std::string& path);

// Why the last file function that failed on this thread failed; the
// profile functions set it too, for their own refusals. On Windows, where
// those are the system's, it is the system's last error when nothing else
// was set.
std::string LastFileError();
void LastFileError(const std::string& reason);

// True when the path names an ordinary file (never a folder).
bool IsRegularFile(const std::string& path);

// What tells one version of a file from another without reading it. Every
// write, rename over it or change of its times gives another identity; the
// times are nanoseconds since 1970 on the system clock, as the file system
// keeps them (its ticks may be coarse).
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;  // the last change of content or attributes
  bool operator==(const FileIdentity&) const = default;
};
// False, leaving identity alone, when the path names no ordinary file.
bool IdentifyFile(const std::string& path, FileIdentity& identity);

// Creates the file empty, or truncates it. False with the reason in error.
bool CreateEmptyFile(const std::string& path, std::string* error = nullptr);

// True when this process may make files in the folder (false for a missing
// one). Root passes the permission bits; a read-only mount or an immutable
// folder still says no.
bool IsWritableFolder(const std::string& path);

// Makes the folder and any missing parents, new ones private to the user.
// True when it is there afterwards; false with the reason in error.
bool MakeFolders(const std::string& path, std::string* error = nullptr);

// The arguments after the program's name, in UTF-8 like every path inside
// the program. On Windows argv holds them in the ANSI code page, which
// cannot spell every file name, so they are taken from the wide command line.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// The folder of the resolved executable: no trailing separator, except for
// the root "/".
std::string ExecutableFolder();

}  // namespace platform
