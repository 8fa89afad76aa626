// The scenario harness: a headless desktop installed for the test, temporary
// program folders, and small file and pixel helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/headless/HeadlessDesktop.h"

namespace test {

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes. The prefix may hold any characters
// a folder name can (spaces, non-ASCII letters, '#', '%', '?').
class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix = "skinshell");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A UTF-8 path as the file system takes it (on Windows the narrow string
// of a std::filesystem::path is in the ANSI code page, not UTF-8), and back.
std::filesystem::path PathOf(const std::string& utf8);
std::string Utf8Of(const std::filesystem::path& path);

void WriteFile(const std::string& path, const std::string& bytes);
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// Copies a folder's content, leaving out the first-run marker and the stored
// placement that a run of the program leaves there.
void CopyTree(const std::string& from, const std::string& to);

// The build's program folder (html/ and stype/ as the build lays them out).
std::string DistFolder();
std::string SourceFolder();

// A test with a headless desktop installed as the current desktop.
class HeadlessTest : public ::testing::Test {
 protected:
  HeadlessTest();
  ~HeadlessTest() override;
  platform::HeadlessDesktop desktop;
};

// A temporary program folder with copies of the build's pages and skins,
// set as the program folder for the test's lifetime.
class ProgramFolder {
 public:
  explicit ProgramFolder(const std::string& prefix = "skinshell", bool withPages = true,
                         bool withSkins = true);
  ~ProgramFolder();
  const std::string& Path() const { return folder_.Path(); }
  std::string operator/(const std::string& name) const { return folder_ / name; }

 private:
  TempFolder folder_;
};

// The colour 0x00BBGGRR of a pixel, for comparisons with skin colours.
std::uint32_t ColorAt(const gdi::Surface& pixels, int x, int y);

}  // namespace test
