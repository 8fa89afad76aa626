// Where the first-run marker and the placement are kept. A copy of the
// program whose html folder can be written (a portable copy) keeps them
// there, beside the pages. An installed copy cannot, so they go to the
// user's state folder instead, under the same names and in the same format.
#pragma once

#include <string>

namespace app {

struct StateFiles {
  std::string LockFile;
  // Written at shutdown and read first at start-up.
  std::string PlacementFile;
  // The placement whoever installed the program shipped with it, read when
  // PlacementFile has none; empty for a portable copy, where both are one.
  std::string ShippedPlacementFile;
};

// The user's state folder for this program: $XDG_STATE_HOME/skinshell, or
// ~/.local/state/skinshell when that is unset, empty or not absolute. Empty
// when there is no usable home either. Either argument may be null.
std::string UserStateFolder(const char* stateHome, const char* home);

StateFiles ChooseStateFiles(const std::string& programFolder, bool htmlWritable,
                            const std::string& userStateFolder);

// The choice for this process: tests the html folder, reads the environment
// (on Windows %LOCALAPPDATA%\skinshell is the state folder) and makes the
// state folder when it is needed. Says so once on stderr when
// neither place can be written, in which case writable is false.
StateFiles StateFilesForThisUser(const std::string& programFolder, bool* writable = nullptr);

}  // namespace app
