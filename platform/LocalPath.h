// Local paths resolved as the platform opens them, so that the page rule can
// tell what a file: URL really names. This is the one part of that rule that
// touches the disk; its Windows twin is platform/win/LocalPath.cpp.
#pragma once

#include <optional>
#include <string>

namespace platform {

struct LocalPath {
  enum class Kind { File, Folder, Missing, Other };
  // Absolute, with '/' between names, links followed, "." and ".." taken as
  // the platform takes them and, where names ignore case, the existing part
  // spelled as the file system stores it, so that two spellings of one
  // existing folder come back equal.
  std::string Path;
  // Other is what is neither a plain file nor a folder (a device, a pipe).
  Kind What = Kind::Missing;
};

// The path as the platform would open it, or nullopt for one it would not
// open as a local file: a relative path, one with a NUL inside, one whose
// existing part cannot be read, and here a network name ("//host/..."). On
// Windows "\\server\share\..." and "//server/share/..." are UNC paths and
// resolve like any other, and so do "C:\..." and "/C:/..." (the path of a
// file: URL). A name that does not exist is Missing: its existing part
// resolved, the rest appended as written. A link whose target is missing is
// nullopt, since the link may yet be given a target.
std::optional<LocalPath> ResolveLocalPath(const std::string& path);

}  // namespace platform
