// The file layer on Windows: the wide API at the boundary, UTF-8 inside, so
// that folders with names outside the ANSI code page work.
#include "platform/File.h"

#include <algorithm>
#include <cwchar>

#include "platform/win/Utf16.h"
#include "platform/win32.h"

// After windows.h, which it needs.
#include <shellapi.h>

namespace platform {

namespace {

using win::Utf8;
using win::Wide;

std::wstring WidePath(const std::string& path) {
  return Wide(NativePath(path));
}

thread_local std::string lastError;

void SetError(std::string* error, DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = n ? Utf8(text, n) : "error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == '.' || message.back() == ' ')) {
    message.pop_back();
  }
  lastError = message;
  if (error) *error = message;
}

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (valid()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  void close() {
    if (valid()) CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

}  // namespace

// '\' is the system's own separator.
std::string NativePath(const std::string& path) {
  return path;
}

std::string LastFileError() {
  // The system's profile functions leave their reason where every system
  // function does, read here straight after the call that failed.
  if (lastError.empty()) {
    const DWORD code = GetLastError();
    if (code != ERROR_SUCCESS) SetError(nullptr, code);
  }
  return lastError;
}

void LastFileError(const std::string& reason) {
  lastError = reason;
}

std::string TemporaryPath(const std::string& path) {
  return path + ".tmp";
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                   std::size_t maxBytes) {
  bytes.clear();
  Handle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  const std::uint64_t size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  if (size > maxBytes) return false;
  bytes.resize(static_cast<std::size_t>(size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD n = 0;
    if (!ReadFile(file.get(), bytes.data() + done, chunk, &n, nullptr) || n == 0) break;
    done += n;
  }
  bytes.resize(done);
  return true;
}

bool WriteFileAtomic(const std::string& path, const void* data, std::size_t size,
                     std::string* error) {
  const std::wstring target = WidePath(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    lastError = "the file is read-only";
    if (error) *error = lastError;
    return false;
  }
  // A leftover of a write that died is reused.
  const std::wstring temp = WidePath(TemporaryPath(path));
  Handle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    SetError(error, GetLastError());
    return false;
  }
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::size_t done = 0;
  bool ok = true;
  while (done < size) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
    DWORD n = 0;
    if (!WriteFile(file.get(), bytes + done, chunk, &n, nullptr) || n == 0) {
      ok = false;
      break;
    }
    done += n;
  }
  if (ok && !FlushFileBuffers(file.get())) ok = false;
  DWORD code = ok ? 0 : GetLastError();
  file.close();
  if (ok && !MoveFileExW(temp.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    code = GetLastError();
  }
  if (!ok) {
    DeleteFileW(temp.c_str());
    SetError(error, code);
  }
  return ok;
}

bool IsRegularFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

bool IdentifyFile(const std::string& path, FileIdentity& identity) {
  // Opened for no access at all, so that a file another program holds open
  // for writing can still be identified.
  Handle file(CreateFileW(WidePath(path).c_str(), 0,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  FILE_BASIC_INFO times{};
  if (!GetFileInformationByHandle(file.get(), &info) ||
      !GetFileInformationByHandleEx(file.get(), FileBasicInfo, &times, sizeof times) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))) {
    return false;
  }
  // File times count 100 ns since 1601.
  constexpr std::int64_t From1601To1970 = 116444736000000000;
  const auto ns = [](std::int64_t fileTime) { return (fileTime - From1601To1970) * 100; };
  identity.device = info.dwVolumeSerialNumber;
  identity.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  identity.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  identity.modifiedNs = ns(times.LastWriteTime.QuadPart);
  identity.changedNs = ns(times.ChangeTime.QuadPart);
  return true;
}

bool CreateEmptyFile(const std::string& path, std::string* error) {
  Handle file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    SetError(error, GetLastError());
    return false;
  }
  return true;
}

bool IsWritableFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  // A folder's read-only attribute says nothing about its access rights
  // (Program Files has none set), so only making a file there tells.
  const std::wstring probe = WidePath(path) + L"\\.skinshell-probe";
  Handle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return file.valid();
}

bool MakeFolders(const std::string& path, std::string* error) {
  const std::string native = NativePath(path);
  // Each parent in turn, so that the one that fails is the one named; a
  // drive ("C:") is never made.
  for (std::size_t at = native.find_first_of("\\/", 1);; at = native.find_first_of("\\/", at + 1)) {
    const std::string part = native.substr(0, at);
    const bool drive = part.size() == 2 && part[1] == ':';
    if (!part.empty() && !drive) {
      const DWORD attributes = GetFileAttributesW(Wide(part).c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (!CreateDirectoryW(Wide(part).c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
          const DWORD code = GetLastError();
          SetError(error, code);
          if (error) *error = part + ": " + *error;
          return false;
        }
      } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetError(error, ERROR_DIRECTORY);
        if (error) *error = part + ": " + *error;
        return false;
      }
    }
    if (at == std::string::npos) return true;
  }
}

std::vector<std::string> CommandLineArguments(int, char**) {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8(wide[i], wcslen(wide[i])));
  LocalFree(wide);
  return arguments;
}

std::string ExecutableFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return ".";
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  const std::string path = Utf8(buffer.data(), buffer.size());
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  // Keep the separator after a drive ("C:\").
  if (slash == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, slash);
}

}  // namespace platform
