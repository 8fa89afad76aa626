#include "platform/LocalPath.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace platform {

namespace {

// realpath's answer, with errno telling why when there is none.
std::optional<std::string> RealPath(const std::string& path) {
  errno = 0;
  char* real = realpath(path.c_str(), nullptr);
  if (real == nullptr) return std::nullopt;
  std::string result = real;
  std::free(real);
  return result;
}

LocalPath::Kind KindOf(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return LocalPath::Kind::Other;
  if (S_ISDIR(status.st_mode)) return LocalPath::Kind::Folder;
  if (S_ISREG(status.st_mode)) return LocalPath::Kind::File;
  return LocalPath::Kind::Other;
}

std::vector<std::string> Names(const std::string& path) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

}  // namespace

std::optional<LocalPath> ResolveLocalPath(const std::string& path) {
  if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos) {
    return std::nullopt;
  }
  // A path that starts with two slashes is how a file URL names another
  // machine; nothing here opens it.
  if (path.compare(0, 2, "//") == 0) return std::nullopt;
  if (std::optional<std::string> real = RealPath(path)) return LocalPath{*real, KindOf(*real)};
  if (errno != ENOENT) return std::nullopt;

  // Something on the way does not exist: the longest part that does is
  // resolved, and what follows it must be plain names.
  const std::vector<std::string> names = Names(path);
  for (std::size_t existing = names.size(); existing-- > 0;) {
    std::string prefix;
    for (std::size_t i = 0; i < existing; ++i) prefix += "/" + names[i];
    std::optional<std::string> real = RealPath(prefix.empty() ? "/" : prefix);
    if (!real) {
      if (errno == ENOENT) continue;
      return std::nullopt;
    }
    if (KindOf(*real) != LocalPath::Kind::Folder) return std::nullopt;
    if (real->back() == '/') real->pop_back();
    std::string result = *real;
    for (std::size_t i = existing; i < names.size(); ++i) {
      if (names[i] == "." || names[i] == "..") return std::nullopt;
      result += "/" + names[i];
    }
    // The first missing name may be a link whose target is missing.
    struct stat status {};
    if (lstat((*real + "/" + names[existing]).c_str(), &status) == 0) return std::nullopt;
    return LocalPath{result, LocalPath::Kind::Missing};
  }
  return std::nullopt;
}

}  // namespace platform
