#include "app/ProgramPaths.h"

#include "platform/File.h"

namespace app {

namespace {

// The program folder is joined as the system reported it; only the
// separators written here become the platform's own, so a folder whose name
// holds a '\' (legal outside Windows) still names itself.
std::string Join(const std::string& folder, const std::string& tail) {
  return folder + platform::NativePath(tail);
}

}  // namespace

std::string BaseFolder(const std::string& programFolder) {
  // A length rule ("longer than a drive root") cannot tell a root on a
  // system whose only root is "/": "/ab" is shorter than "C:\" yet no root.
  // A trailing separator is what marks a root on both.
  const std::string separator = platform::NativePath("\\");
  if (!programFolder.empty() &&
      (programFolder.back() == '/' || programFolder.back() == separator.back())) {
    return programFolder;
  }
  return Join(programFolder, "\\");
}

std::string LockFilePath(const std::string& programFolder) {
  return BaseFolder(programFolder) + platform::NativePath("html\\installation.lock");
}

std::string PlacementFilePath(const std::string& programFolder) {
  return Join(programFolder, "\\html\\size.ini");
}

std::string SkinFolderPath(const std::string& programFolder) {
  return Join(programFolder, "\\stype");
}

std::string SkinFilePath(const std::string& programFolder, const std::string& skinName) {
  return Join(programFolder, "\\stype\\" + skinName + ".jss");
}

std::string SoundPageLocation(const std::string& programFolder) {
  return programFolder + "/html/sound.html";
}

std::string ContentPageLocation(const std::string& programFolder) {
  return programFolder + "/html/index.html";
}

std::string FirstRunPageLocation(const std::string& programFolder) {
  return programFolder + "/html/index.html?installation=y";
}

}  // namespace app
