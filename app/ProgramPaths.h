// Where the main window finds its files, all derived from the program folder.
// The page locations keep the folder's own name and add forward slashes;
// the file paths add the platform's separators (backslashes on Windows)
// after the folder's name, which is never changed.
#pragma once

#include <string>

namespace app {

// The folder the lock file hangs from: the program folder with one separator
// after it, unless it already ends in one (a root such as "/" or "C:\").
std::string BaseFolder(const std::string& programFolder);

std::string LockFilePath(const std::string& programFolder);
std::string PlacementFilePath(const std::string& programFolder);
std::string SkinFolderPath(const std::string& programFolder);
std::string SkinFilePath(const std::string& programFolder, const std::string& skinName);

std::string SoundPageLocation(const std::string& programFolder);
std::string ContentPageLocation(const std::string& programFolder);
std::string FirstRunPageLocation(const std::string& programFolder);

}  // namespace app
