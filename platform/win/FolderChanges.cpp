// The skin tool's watch on Windows: ReadDirectoryChangesW on an overlapped
// handle, so that the wait for a quiet folder can time out.
#include "platform/FolderChanges.h"

#include <algorithm>
#include <cstdint>

#include "platform/File.h"
#include "platform/win/Utf16.h"
#include "platform/win32.h"

namespace platform {

struct FolderChanges::Watch {
  std::wstring path;
  HANDLE folder = INVALID_HANDLE_VALUE;
  HANDLE done = nullptr;
  OVERLAPPED overlapped{};
  alignas(DWORD) std::uint8_t buffer[16384];

  // Changes are kept for us only while a read is pending, so one is always
  // pending from the start: a save before the first Wait still counts.
  bool Read() {
    overlapped = OVERLAPPED{};
    overlapped.hEvent = done;
    constexpr DWORD filter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                             FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;
    return ReadDirectoryChangesW(folder, buffer, sizeof buffer, FALSE, filter, nullptr,
                                 &overlapped, nullptr) != 0;
  }

  bool Gone() const {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  ~Watch() {
    if (folder != INVALID_HANDLE_VALUE) {
      // The pending read must end before its buffer goes.
      CancelIo(folder);
      DWORD ignored = 0;
      GetOverlappedResult(folder, &overlapped, &ignored, TRUE);
      CloseHandle(folder);
    }
    if (done) CloseHandle(done);
  }
};

FolderChanges::FolderChanges(const std::string& folder) {
  auto watch = std::make_unique<Watch>();
  watch->path = win::Wide(NativePath(folder));
  if (watch->Gone()) return;
  // Sharing delete too, so that the author can still remove or rename the
  // folder while it is watched.
  watch->folder = CreateFileW(watch->path.c_str(), FILE_LIST_DIRECTORY,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                              nullptr);
  if (watch->folder == INVALID_HANDLE_VALUE) return;
  watch->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!watch->done || !watch->Read()) return;
  watch_ = std::move(watch);
}

FolderChanges::~FolderChanges() = default;

std::vector<std::string> FolderChanges::Wait(int quietMs) {
  std::vector<std::string> names;
  if (!watch_) return names;
  Watch& w = *watch_;
  bool gone = false;
  bool changed = false;
  // Blocks for the first change, then reads on until the folder is quiet.
  // A folder removed does not always end the pending read, so the wait
  // looks for it in slices and once more when the folder has gone quiet.
  constexpr DWORD Slice = 500;
  for (;;) {
    const DWORD waited =
        WaitForSingleObject(w.done, changed ? static_cast<DWORD>(quietMs) : Slice);
    if (waited == WAIT_TIMEOUT) {
      if (w.Gone()) gone = true;
      if (gone || changed) break;
      continue;
    }
    if (waited != WAIT_OBJECT_0) {
      gone = true;
      break;
    }
    DWORD size = 0;
    if (!GetOverlappedResult(w.folder, &w.overlapped, &size, FALSE) || w.Gone()) {
      gone = true;
      break;
    }
    // size 0: more changed than the buffer held; the names are lost, as
    // with an overflowing inotify queue.
    for (DWORD at = 0; size > 0 && at < size;) {
      const auto* event = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(w.buffer + at);
      const std::string name = win::Utf8(event->FileName, event->FileNameLength / sizeof(wchar_t));
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
      if (event->NextEntryOffset == 0) break;
      at += event->NextEntryOffset;
    }
    if (!w.Read()) {
      gone = true;
      break;
    }
    changed = true;
  }
  if (gone) names.clear();
  return names;
}

}  // namespace platform
