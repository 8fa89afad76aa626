// A folder watched through GIO's file monitor (inotify on Linux): a burst of
// changes, such as an editor's write to a temporary file and its rename into
// place, becomes one call on the main loop a moment after the last of them.
#pragma once

#include <functional>
#include <string>

typedef struct _GFileMonitor GFileMonitor;

namespace platform::gtk {

class FolderWatch {
 public:
  // Quiet time after a change before changed is called, in milliseconds.
  static constexpr unsigned QuietMs = 40;

  FolderWatch(const std::string& folder, std::function<void()> changed);
  ~FolderWatch();
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

 private:
  static void OnChanged(GFileMonitor* monitor, void* file, void* other, int event, void* data);
  static int OnQuiet(void* data);

  std::function<void()> changed_;
  GFileMonitor* monitor_ = nullptr;
  unsigned timer_ = 0;
};

}  // namespace platform::gtk
