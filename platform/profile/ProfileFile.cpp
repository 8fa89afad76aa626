// The Win32 profile entry points: read the whole file, work on its bytes,
// write it back atomically. On Windows the system provides these.
#ifndef _WIN32

#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/File.h"
#include "platform/profile/Profile.h"
#include "platform/win32.h"

namespace {

std::string_view AsText(const std::vector<std::uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Windows drops trailing spaces (not tabs) from the default string.
std::string DefaultValue(LPCSTR lpDefault) {
  std::string value = lpDefault ? lpDefault : "";
  while (!value.empty() && value.back() == ' ') value.pop_back();
  return value;
}

enum class Existing { Missing, Read, Unreadable };

// A file that exists but cannot be read must not be replaced by a file
// holding only the new entry: that would lose everything else in it.
Existing ReadExisting(const std::string& path, std::vector<std::uint8_t>& bytes) {
  if (platform::ReadWholeFile(path, bytes)) return Existing::Read;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 && errno == ENOENT) {
    return Existing::Missing;
  }
  return Existing::Unreadable;
}

BOOL Refuse(const char* reason) {
  platform::LastFileError(reason);
  return FALSE;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                               LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) {
  if (lpReturnedString == nullptr || nSize == 0) return 0;
  std::vector<std::uint8_t> bytes;
  const bool read = lpFileName && platform::ReadWholeFile(lpFileName, bytes);
  const std::string text = read ? profile::Decode(AsText(bytes)).text : std::string();
  // A null section lists the sections, a null key the keys of the section.
  if (lpAppName == nullptr) {
    return static_cast<DWORD>(
        profile::CopyList(read ? profile::SectionNames(text) : std::vector<std::string>{},
                          lpReturnedString, nSize));
  }
  if (lpKeyName == nullptr) {
    std::vector<std::string> keys;
    if (read && profile::KeyNames(text, lpAppName, keys)) {
      return static_cast<DWORD>(profile::CopyList(keys, lpReturnedString, nSize));
    }
    return static_cast<DWORD>(
        profile::CopyTruncated(DefaultValue(lpDefault), lpReturnedString, nSize));
  }
  std::string value;
  const bool found = read && profile::Lookup(text, lpAppName, lpKeyName, value);
  if (!found) value = DefaultValue(lpDefault);
  return static_cast<DWORD>(profile::CopyTruncated(value, lpReturnedString, nSize));
}

BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                LPCSTR lpFileName) {
  platform::LastFileError("");
  if (lpAppName == nullptr || lpFileName == nullptr) return Refuse("no section or file named");
  if (lpKeyName && lpString && !profile::Writable(lpAppName, lpKeyName, lpString)) {
    return Refuse("the entry would not read back as written");
  }
  const std::string path = lpFileName;
  std::vector<std::uint8_t> bytes;
  Existing existing = ReadExisting(path, bytes);
  if (existing == Existing::Unreadable) return Refuse("the file cannot be read");
  const profile::DecodedText decoded = profile::Decode(AsText(bytes));
  if (!decoded.exact) return Refuse("the file's UTF-16 would not be written back unchanged");
  const std::string_view text = decoded.text;

  std::string updated;
  if (lpKeyName == nullptr) {
    updated = profile::RemoveSection(text, lpAppName);
  } else if (lpString == nullptr) {
    updated = profile::RemoveKey(text, lpAppName, lpKeyName);
  } else {
    updated = profile::Replace(text, lpAppName, lpKeyName, lpString);
  }
  // Deleting what is not there changes nothing and creates no file.
  if (lpKeyName == nullptr || lpString == nullptr) {
    if (updated == text) return TRUE;
  }
  const std::optional<std::string> encoded = profile::Encode(decoded.encoding, updated);
  if (!encoded) return Refuse("the entry is not valid UTF-8 for a UTF-16 file");
  return platform::WriteFileAtomic(path, encoded->data(), encoded->size()) ? TRUE : FALSE;
}

#endif
