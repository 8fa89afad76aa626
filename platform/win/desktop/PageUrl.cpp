#include "platform/win/desktop/PageUrl.h"

#include <cwchar>

#include "platform/win/Utf16.h"

namespace platform::win {

namespace {

void Escape(std::wstring& url, wchar_t c) {
  wchar_t hex[4];
  std::swprintf(hex, 4, L"%%%02X", static_cast<unsigned>(c));
  url += hex;
}

// Characters a path keeps in a URL; '%', '#', '?' and blanks would end the
// path or change what it names.
bool KeptInPath(wchar_t c) {
  if (c >= 0x80) return true;
  if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) {
    return true;
  }
  return std::wcschr(L"-._~/:!$&'()*+,;=@", c) != nullptr;
}

std::wstring Absolute(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return {};
  full.resize(length);
  return full;
}

// Where the query starts: after the file name, so '?' and '#' in a folder's
// name stay part of the path.
std::size_t SuffixStart(const std::string& location) {
  const std::size_t separator = location.find_last_of("/\\");
  const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  return location.find_first_of("?#", nameStart);
}

}  // namespace

std::string PageFolder(const std::string& location) {
  if (location.empty() || location.find('\0') != std::string::npos) return {};
  const std::wstring path = Absolute(Wide(location.substr(0, SuffixStart(location))));
  const std::size_t separator = path.find_last_of(L'\\');
  if (separator == std::wstring::npos) return {};
  // A drive's root keeps its separator: "C:" alone is a drive's current folder.
  const bool root = separator == 2 && path[1] == L':';
  return Utf8(path.data(), root ? separator + 1 : separator);
}

std::wstring PageUrl(const std::string& location) {
  if (location.empty() || location.find('\0') != std::string::npos) return L"about:blank";
  const std::size_t suffixStart = SuffixStart(location);
  const std::wstring path = Absolute(Wide(location.substr(0, suffixStart)));
  if (path.empty()) return L"about:blank";

  std::wstring url = L"file://";
  std::size_t from = 0;
  if (path.rfind(L"\\\\", 0) == 0) {
    // \\server\share\... names its host after the scheme's slashes.
    from = 2;
  } else {
    url += L'/';
  }
  for (std::size_t i = from; i < path.size(); ++i) {
    const wchar_t c = path[i] == L'\\' ? L'/' : path[i];
    if (KeptInPath(c)) {
      url += c;
    } else {
      Escape(url, c);
    }
  }
  if (suffixStart != std::string::npos) {
    // The query as given, but with no blank or control character in it.
    for (wchar_t c : Wide(location.substr(suffixStart))) {
      if (c <= L' ' || c == 0x7F) {
        Escape(url, c);
      } else {
        url += c;
      }
    }
  }
  return url;
}

}  // namespace platform::win
