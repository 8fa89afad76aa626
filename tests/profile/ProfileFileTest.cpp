#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32.h"
#include "tests/profile/TempFolder.h"

namespace {

std::string Get(const std::string& file, const char* section, const char* key,
                const char* fallback = "<default>") {
  char buffer[256];
  DWORD n = GetPrivateProfileStringA(section, key, fallback, buffer, sizeof buffer, file.c_str());
  EXPECT_EQ(n, std::string(buffer).size());
  return buffer;
}

TEST(GetPrivateProfileString, ReadsAStoredPlacementThroughAWindowsStylePath) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path("html"));
  TempFolder::Write(folder.Path("html/size.ini"),
                    "[mainwin]\r\nTestOCX_new=1200,2400,8400,13170\r\n");
  EXPECT_EQ(Get(folder.Path("html") + "\\size.ini", "mainwin", "TestOCX_new"),
            "1200,2400,8400,13170");
}

TEST(GetPrivateProfileString, CopiesTheDefaultWithoutTrailingBlanksWhenTheEntryIsAbsent) {
  TempFolder folder;
  const std::string file = folder.Path("size.ini");
  EXPECT_EQ(Get(file, "mainwin", "TestOCX_new", "  fallback \t "), "  fallback");
  EXPECT_EQ(Get(file, "mainwin", "TestOCX_new", nullptr), "");
  EXPECT_FALSE(std::filesystem::exists(file));
  TempFolder::Write(file, "[mainwin]\nother=1\n");
  EXPECT_EQ(Get(file, "mainwin", "TestOCX_new"), "<default>");
  EXPECT_EQ(Get(file, "absent", "other"), "<default>");
  EXPECT_EQ(Get(folder.Path(""), "mainwin", "other"), "<default>");
  // Listing sections or keys is not supported: it reads as absent, safely.
  EXPECT_EQ(Get(file, nullptr, "other"), "<default>");
  EXPECT_EQ(Get(file, "mainwin", nullptr), "<default>");
}

TEST(GetPrivateProfileString, TruncatesAtTheBufferAndReturnsTheCountCopied) {
  TempFolder folder;
  const std::string file = folder.Path("size.ini");
  TempFolder::Write(file, "[s]\nk=123456789\n");
  char buffer[6] = {'#', '#', '#', '#', '#', '#'};
  EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", buffer, 5, file.c_str()), 4u);
  EXPECT_STREQ(buffer, "1234");
  EXPECT_EQ(buffer[5], '#');
  buffer[0] = '#';
  EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", buffer, 0, file.c_str()), 0u);
  EXPECT_EQ(buffer[0], '#');
  EXPECT_EQ(GetPrivateProfileStringA("s", "absent", "abcdefgh", buffer, 3, file.c_str()), 2u);
  EXPECT_STREQ(buffer, "ab");
}

TEST(WritePrivateProfileString, CreatesANewFileWithItsSectionInCrlf) {
  TempFolder folder;
  const std::string file = folder.Path("size.ini");
  EXPECT_EQ(
      WritePrivateProfileStringA("mainwin", "TestOCX_new", "900,1200,6000,8000", file.c_str()),
      TRUE);
  EXPECT_EQ(TempFolder::Read(file), "[mainwin]\r\nTestOCX_new=900,1200,6000,8000\r\n");
  EXPECT_EQ(WritePrivateProfileStringA("mainwin", "TestOCX_new", "1,2,3,4", file.c_str()), TRUE);
  EXPECT_EQ(TempFolder::Read(file), "[mainwin]\r\nTestOCX_new=1,2,3,4\r\n");
  EXPECT_EQ(Get(file, "mainwin", "testocx_new"), "1,2,3,4");
}

TEST(WritePrivateProfileString, FailsIntoAMissingFolderOrBelowAFileAndCreatesNothing) {
  TempFolder folder;
  const std::string missing = folder.Path("html") + "\\size.ini";
  EXPECT_EQ(WritePrivateProfileStringA("mainwin", "k", "1", missing.c_str()), FALSE);
  EXPECT_FALSE(std::filesystem::exists(folder.Path("html")));
  TempFolder::Write(folder.Path("plain"), "data");
  const std::string below = folder.Path("plain") + "/size.ini";
  EXPECT_EQ(WritePrivateProfileStringA("mainwin", "k", "1", below.c_str()), FALSE);
  EXPECT_EQ(TempFolder::Read(folder.Path("plain")), "data");
}

TEST(WritePrivateProfileString, RefusesToReplaceAFileItCannotRead) {
  TempFolder folder;
  // Larger than the reader takes in; replacing it would keep only the new entry.
  const std::string big = folder.Path("big.ini");
  TempFolder::Write(big, "[mainwin]\nk=1\n");
  std::filesystem::resize_file(big, std::uintmax_t{65} << 20);
  EXPECT_EQ(WritePrivateProfileStringA("mainwin", "k", "2", big.c_str()), FALSE);
  EXPECT_EQ(std::filesystem::file_size(big), std::uintmax_t{65} << 20);
  std::string head(14, '\0');
  std::ifstream(big, std::ios::binary).read(head.data(), 14);
  EXPECT_EQ(head, "[mainwin]\nk=1\n");
  // A folder in the file's place stays a folder.
  const std::string dir = folder.Path("dir.ini");
  std::filesystem::create_directory(dir);
  EXPECT_EQ(WritePrivateProfileStringA("mainwin", "k", "2", dir.c_str()), FALSE);
  EXPECT_TRUE(std::filesystem::is_directory(dir));
}

TEST(WritePrivateProfileString, RefusesAValueThatWouldBreakTheFileAndLeavesItAlone) {
  TempFolder folder;
  const std::string file = folder.Path("size.ini");
  TempFolder::Write(file, "[s]\nk=1\n");
  EXPECT_EQ(WritePrivateProfileStringA("s", "k", "2\n[evil]\nx=1", file.c_str()), FALSE);
  EXPECT_EQ(WritePrivateProfileStringA("s", "a=b", "2", file.c_str()), FALSE);
  EXPECT_EQ(WritePrivateProfileStringA(nullptr, "k", "2", file.c_str()), FALSE);
  EXPECT_EQ(TempFolder::Read(file), "[s]\nk=1\n");
}

TEST(WritePrivateProfileString, ANullValueDeletesTheKeyAndANullKeyTheSection) {
  TempFolder folder;
  const std::string file = folder.Path("size.ini");
  TempFolder::Write(file, "[a]\r\nk=1\r\nj=2\r\n[b]\r\nx=1\r\n");
  EXPECT_EQ(WritePrivateProfileStringA("a", "K", nullptr, file.c_str()), TRUE);
  EXPECT_EQ(TempFolder::Read(file), "[a]\r\nj=2\r\n[b]\r\nx=1\r\n");
  EXPECT_EQ(WritePrivateProfileStringA("A", nullptr, nullptr, file.c_str()), TRUE);
  EXPECT_EQ(TempFolder::Read(file), "[b]\r\nx=1\r\n");
  const std::string missing = folder.Path("none.ini");
  EXPECT_EQ(WritePrivateProfileStringA("a", "k", nullptr, missing.c_str()), TRUE);
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
