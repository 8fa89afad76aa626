#include "platform/LocalPath.h"

#include <vector>

#include "platform/win/Utf16.h"

namespace platform {

namespace {

bool IsAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Unlike Wide(), a path that is not UTF-8 is refused: a replacement
// character would name another file.
std::optional<std::wstring> StrictWide(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                    static_cast<int>(utf8.size()), nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                      wide.data(), n);
  return wide;
}

// "C:\..." as it stands, "/C:/..." (a file URL's path) without its first
// slash, "\\server\share\..." and "//server/share/..." as UNC paths, made
// absolute the system's way ("..", trailing dots and blanks taken away).
std::optional<std::wstring> FullPath(const std::string& path) {
  std::string p = path;
  for (char& c : p) {
    if (c == '/') c = '\\';
  }
  if (p.size() >= 4 && p[0] == '\\' && IsAlpha(p[1]) && p[2] == ':' && p[3] == '\\') p.erase(0, 1);
  const bool drive = p.size() >= 3 && IsAlpha(p[0]) && p[1] == ':' && p[2] == '\\';
  const bool unc =
      p.size() >= 3 && p[0] == '\\' && p[1] == '\\' && p[2] != '\\' && p[2] != '?' && p[2] != '.';
  if (!drive && !unc) return std::nullopt;
  // A ':' past the drive names a stream of a file, not a file.
  if (p.find(':', drive ? 2 : 0) != std::string::npos) return std::nullopt;
  const std::optional<std::wstring> wide = StrictWide(p);
  if (!wide || wide->find(L'\0') != std::wstring::npos) return std::nullopt;
  const DWORD size = GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
  if (size == 0) return std::nullopt;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(wide->c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return std::nullopt;
  full.resize(length);
  return full;
}

std::string Portable(std::wstring path) {
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    path = L"\\\\" + path.substr(8);
  } else if (path.rfind(L"\\\\?\\", 0) == 0) {
    path = path.substr(4);
  }
  std::string utf8 = win::Utf8(path.data(), path.size());
  for (char& c : utf8) {
    if (c == '\\') c = '/';
  }
  if (utf8.size() > 3 && utf8.back() == '/') utf8.pop_back();
  return utf8;
}

// An existing file or folder as the system names it once opened: links and
// junctions followed, short names made long, each name in its stored case.
std::optional<LocalPath> Opened(const std::wstring& path, bool& missing) {
  missing = false;
  HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return std::nullopt;
  }
  std::optional<LocalPath> result;
  std::wstring final(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length >= final.size()) {
    final.resize(length + 1);
    length = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()),
                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (length != 0 && length < final.size() && GetFileInformationByHandle(file, &info)) {
    final.resize(length);
    LocalPath::Kind kind = LocalPath::Kind::File;
    // A device ("con", "nul") opens too, but is no file.
    if (GetFileType(file) != FILE_TYPE_DISK) {
      kind = LocalPath::Kind::Other;
    } else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      kind = LocalPath::Kind::Folder;
    }
    result = LocalPath{Portable(final), kind};
  }
  CloseHandle(file);
  return result;
}

}  // namespace

std::optional<LocalPath> ResolveLocalPath(const std::string& path) {
  if (path.find('\0') != std::string::npos) return std::nullopt;
  const std::optional<std::wstring> full = FullPath(path);
  if (!full) return std::nullopt;
  bool missing = false;
  if (std::optional<LocalPath> opened = Opened(*full, missing)) return opened;
  if (!missing) return std::nullopt;

  // The longest part that exists is resolved; the rest follows as written.
  std::wstring parent = *full;
  std::vector<std::wstring> rest;
  for (;;) {
    const std::size_t separator = parent.find_last_of(L'\\');
    if (separator == std::wstring::npos || separator < 2) return std::nullopt;
    rest.push_back(parent.substr(separator + 1));
    parent.resize(separator);
    std::optional<LocalPath> opened = Opened(parent + L"\\", missing);
    if (!opened) {
      if (missing) continue;
      return std::nullopt;
    }
    if (opened->What != LocalPath::Kind::Folder) return std::nullopt;
    // A name that has attributes but does not open is a link to nothing.
    if (GetFileAttributesW((parent + L"\\" + rest.back()).c_str()) != INVALID_FILE_ATTRIBUTES) {
      return std::nullopt;
    }
    std::string result = opened->Path;
    if (result.back() == '/') result.pop_back();
    for (auto name = rest.rbegin(); name != rest.rend(); ++name) {
      result += "/" + win::Utf8(name->data(), name->size());
    }
    return LocalPath{result, LocalPath::Kind::Missing};
  }
}

}  // namespace platform
