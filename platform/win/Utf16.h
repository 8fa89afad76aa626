// UTF-8 inside the program, UTF-16 at the system's wide API.
#pragma once

#include <algorithm>
#include <string>

#include "platform/win32.h"

namespace platform::win {

// Invalid bytes become replacement characters rather than a refusal, so a
// damaged caption or path still shows.
inline std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(n, 0)), L'\0');
  if (n > 0) {
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  }
  return wide;
}

inline std::string Utf8(const wchar_t* wide, std::size_t length) {
  if (length == 0) return {};
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(std::max(n, 0)), '\0');
  if (n > 0) {
    WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), utf8.data(), n, nullptr,
                        nullptr);
  }
  return utf8;
}

}  // namespace platform::win
