#include "app/ProgramPaths.h"

namespace app {

std::string BaseFolder(const std::string& programFolder) {
  // A length rule ("longer than a drive root") cannot tell a root on a
  // system whose only root is "/": "/ab" is shorter than "C:\" yet no root.
  // A trailing separator is what marks a root on both.
  if (!programFolder.empty() && (programFolder.back() == '/' || programFolder.back() == '\\')) {
    return programFolder;
  }
  return programFolder + "\\";
}

std::string LockFilePath(const std::string& programFolder) {
  return BaseFolder(programFolder) + "html\\installation.lock";
}

std::string PlacementFilePath(const std::string& programFolder) {
  return programFolder + "\\html\\size.ini";
}

std::string SkinFilePath(const std::string& programFolder, const std::string& skinName) {
  return programFolder + "\\stype\\" + skinName + ".jss";
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
