// Waiting for the files of one folder to change, for a command-line tool
// that has no main loop (the skin tool's watch). Linux inotify here,
// ReadDirectoryChangesW in platform/win/.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace platform {

class FolderChanges {
 public:
  explicit FolderChanges(const std::string& folder);
  ~FolderChanges();
  FolderChanges(const FolderChanges&) = delete;
  FolderChanges& operator=(const FolderChanges&) = delete;

  // False when the folder cannot be watched (missing, not a folder).
  bool Ok() const { return watch_ != nullptr; }

  // Blocks until a file in the folder has been written and closed, made,
  // renamed into it or out of it, or removed, then until quietMs pass with
  // no further change, so that a burst of saves counts once. The names that
  // changed, each once; empty when the folder itself has gone.
  std::vector<std::string> Wait(int quietMs);

 private:
  struct Watch;  // the system's handle on the folder
  std::unique_ptr<Watch> watch_;
};

}  // namespace platform
