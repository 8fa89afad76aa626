#include "platform/FolderChanges.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/File.h"

namespace platform {

struct FolderChanges::Watch {
  int fd;
};

FolderChanges::FolderChanges(const std::string& folder) {
  const int fd = ::inotify_init1(IN_CLOEXEC);
  if (fd < 0) return;
  const uint32_t mask = IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM |
                        IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
  if (::inotify_add_watch(fd, folder.c_str(), mask) < 0) {
    ::close(fd);
    return;
  }
  watch_ = std::make_unique<Watch>(Watch{fd});
}

FolderChanges::~FolderChanges() {
  if (watch_) ::close(watch_->fd);
}

std::vector<std::string> FolderChanges::Wait(int quietMs) {
  std::vector<std::string> names;
  if (!watch_) return names;
  const int fd = watch_->fd;
  bool gone = false;
  // Blocks for the first change, then reads on until the folder is quiet.
  int timeout = -1;
  for (;;) {
    pollfd waiting{fd, POLLIN, 0};
    const int ready = ::poll(&waiting, 1, timeout);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    alignas(inotify_event) char buffer[16384];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      gone = true;
      break;
    }
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) gone = true;
      if (event->len > 0) {
        const std::string name(event->name);
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
      }
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
    if (gone) break;
    timeout = quietMs;
  }
  if (gone) names.clear();
  return names;
}

}  // namespace platform
