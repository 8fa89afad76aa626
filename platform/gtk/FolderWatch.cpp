#include "platform/gtk/FolderWatch.h"

#include "platform/File.h"
#include "platform/gtk/GtkDesktop.h"

// After the Win32 subset, which GLib's TRUE and FALSE macros would break.
#include <gio/gio.h>

namespace platform::gtk {

FolderWatch::FolderWatch(const std::string& folder, std::function<void()> changed)
    : changed_(std::move(changed)) {
  GFile* file = g_file_new_for_path(folder.c_str());
  // With moves watched, a rename into the folder arrives as one event at
  // once instead of a delete and a create.
  monitor_ = g_file_monitor_directory(file, G_FILE_MONITOR_WATCH_MOVES, nullptr, nullptr);
  g_object_unref(file);
  if (monitor_ != nullptr) {
    g_signal_connect(monitor_, "changed", G_CALLBACK(OnChanged), this);
  }
}

FolderWatch::~FolderWatch() {
  if (timer_ != 0) g_source_remove(timer_);
  if (monitor_ != nullptr) {
    g_signal_handlers_disconnect_by_data(monitor_, this);
    g_file_monitor_cancel(monitor_);
    g_object_unref(monitor_);
  }
}

void FolderWatch::OnChanged(GFileMonitor*, void*, void*, int event, void* data) {
  auto* self = static_cast<FolderWatch*>(data);
  switch (static_cast<GFileMonitorEvent>(event)) {
    // A plain "changed" comes while a file is still being written; the
    // write's end is "changes done".
    case G_FILE_MONITOR_EVENT_CHANGES_DONE_HINT:
    case G_FILE_MONITOR_EVENT_CREATED:
    case G_FILE_MONITOR_EVENT_DELETED:
    case G_FILE_MONITOR_EVENT_RENAMED:
    case G_FILE_MONITOR_EVENT_MOVED_IN:
    case G_FILE_MONITOR_EVENT_MOVED_OUT:
      break;
    default:
      return;
  }
  if (self->timer_ != 0) g_source_remove(self->timer_);
  self->timer_ = g_timeout_add(QuietMs, reinterpret_cast<GSourceFunc>(OnQuiet), self);
}

int FolderWatch::OnQuiet(void* data) {
  auto* self = static_cast<FolderWatch*>(data);
  self->timer_ = 0;
  g_log("skinshell", G_LOG_LEVEL_DEBUG, "folder changed");
  if (self->changed_) self->changed_();
  return G_SOURCE_REMOVE;
}

void GtkDesktop::WatchFolderImpl(HWND hwnd, const std::string& folder,
                                 std::function<void()> changed) {
  folderWatches_.erase(hwnd);
  g_log("skinshell", G_LOG_LEVEL_DEBUG, "watching %s", folder.c_str());
  folderWatches_[hwnd] = std::make_unique<FolderWatch>(folder, std::move(changed));
}

}  // namespace platform::gtk
