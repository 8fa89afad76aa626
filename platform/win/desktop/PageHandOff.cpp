#include "platform/win/desktop/PageHandOff.h"

#include <iostream>
#include <string>

#include "platform/win/Utf16.h"

#include <shellapi.h>
#include <shlwapi.h>

namespace platform::win {

namespace {

// The registry names a way to open the scheme: a command, or a program
// that takes it by COM (as the system's store programs do). ASSOCF_IS_PROTOCOL
// has the answer follow the user's choice of default program (Windows 8 and
// later); a system that does not know the flag is asked without it.
bool NamesOpener(const std::wstring& scheme) {
  for (ASSOCF flags : {ASSOCF_IS_PROTOCOL, ASSOCF_NONE}) {
    for (ASSOCSTR what : {ASSOCSTR_COMMAND, ASSOCSTR_DELEGATEEXECUTE}) {
      wchar_t text[1024];
      DWORD size = ARRAYSIZE(text);
      const HRESULT result = AssocQueryStringW(flags, what, scheme.c_str(), L"open", text, &size);
      if (result == S_OK || result == E_POINTER) return true;
    }
  }
  return false;
}

// The classes key holds file types' own names (txtfile, htmlfile) beside
// the schemes, and those have open commands too; only a name declared a URL
// protocol is a scheme the shell opens links of.
bool HasHandler(const std::string& scheme) {
  const std::wstring name = Wide(scheme);
  if (RegGetValueW(HKEY_CLASSES_ROOT, name.c_str(), L"URL Protocol", RRF_RT_ANY, nullptr, nullptr,
                   nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return NamesOpener(name);
}

// The system's words for an error, on one line.
std::string Words(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string words = length != 0 ? Utf8(text, length) : std::string();
  if (text) LocalFree(text);
  for (char& c : words) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  while (!words.empty() && (words.back() == ' ' || words.back() == '.')) words.pop_back();
  return words.empty() ? "error " + std::to_string(error) : words;
}

}  // namespace

PageDesktop ShellPageDesktop() {
  PageDesktop desktop;
  desktop.HasHandler = HasHandler;
  return desktop;
}

void HandOff(const PageAnswer& answer) {
  std::string target = answer.Url;
  std::string scheme = target.substr(0, target.find(':'));
  if (target.empty()) {
    // A file opens by its path: the shell reads a file URL's escapes in the
    // ANSI code page, not as UTF-8.
    target = answer.File;
    for (char& c : target) {
      if (c == '/') c = '\\';
    }
    scheme = "file";
  }
  const std::wstring wide = Wide(target);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  // No dialog of the shell's for a failure: the line below says it. No
  // process handle either, so nothing is there to wait on.
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = wide.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) {
    const DWORD error = GetLastError();
    std::cerr << "skinshell: no program took the " << scheme << ": link: " << Words(error) << "\n";
  }
}

bool CarryOut(const PageAnswer& answer) {
  switch (answer.Verdict) {
    case PageVerdict::Allow:
      return true;
    case PageVerdict::HandOff:
      HandOff(answer);
      return false;
    case PageVerdict::Refuse:
      if (!answer.Reason.empty()) std::cerr << "skinshell: " << answer.Reason << "\n";
      return false;
  }
  return false;
}

}  // namespace platform::win
