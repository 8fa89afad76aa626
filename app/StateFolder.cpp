#include "app/StateFolder.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "app/ProgramPaths.h"
#include "platform/File.h"

namespace app {

namespace {

// A drive-letter path is absolute on Windows.
bool IsAbsolute(const char* path) {
  return path != nullptr && *path != '\0' && std::filesystem::path(path).is_absolute();
}

}  // namespace

std::string UserStateFolder(const char* stateHome, const char* home) {
  // A relative XDG base folder is to be ignored, as if it were unset.
  if (IsAbsolute(stateHome)) return std::string(stateHome) + "/skinshell";
  if (IsAbsolute(home)) return std::string(home) + "/.local/state/skinshell";
  return "";
}

StateFiles ChooseStateFiles(const std::string& programFolder, bool htmlWritable,
                            const std::string& userStateFolder) {
  if (htmlWritable || userStateFolder.empty()) {
    return {LockFilePath(programFolder), PlacementFilePath(programFolder), ""};
  }
  return {userStateFolder + "/installation.lock", userStateFolder + "/size.ini",
          PlacementFilePath(programFolder)};
}

StateFiles StateFilesForThisUser(const std::string& programFolder, bool* writable) {
  const bool htmlWritable = platform::IsWritableFolder(BaseFolder(programFolder) + "html");
#ifdef _WIN32
  // Windows keeps a user's program state in the local application data
  // folder; HOME, where it is set at all, is no place of Windows' own.
  const std::string stateFolder = UserStateFolder(std::getenv("LOCALAPPDATA"), nullptr);
#else
  const std::string stateFolder =
      UserStateFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
#endif
  StateFiles files = ChooseStateFiles(programFolder, htmlWritable, stateFolder);
  bool ok = htmlWritable;
  if (!htmlWritable) {
    std::string why;
    if (stateFolder.empty()) {
      why = "there is no home folder";
    } else if (platform::MakeFolders(stateFolder, &why) && !platform::IsWritableFolder(stateFolder)) {
      why = stateFolder + " is read-only";
    }
    ok = why.empty();
    if (!ok) {
      std::cerr << "skinshell: cannot keep the first-run marker or the placement: "
                << BaseFolder(programFolder) << "html is not writable and " << why
                << "; every start will be a first run\n";
    }
  }
  if (writable) *writable = ok;
  return files;
}

}  // namespace app
