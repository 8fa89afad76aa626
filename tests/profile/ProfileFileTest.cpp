#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/profile/Profile.h"
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

[[maybe_unused]] std::vector<std::string> Names(const TempFolder& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path(""))) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(GetPrivateProfileString, ReadsAStoredPlacement) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path("html"));
  TempFolder::Write(folder.Path("html/size.ini"),
                    "[mainwin]\r\nTestOCX_new=1200,2400,8400,13170\r\n");
  EXPECT_EQ(Get(folder.Path("html/size.ini"), "mainwin", "TestOCX_new"),
            "1200,2400,8400,13170");
}

// The same entry in each encoding Windows reads, and the bytes it writes
// back when the entry changes: the encoding and every other line are kept.
TEST(ProfileFiles, AByteOrderMarkIsReadAsWindowsReadsItAndKeptOnWriting) {
  const std::string before = "; \xC3\xA9\xF0\x9F\x98\x80\r\n[mainwin]\r\nTestOCX_new=1,2,3,4\r\n";
  const std::string after = "; \xC3\xA9\xF0\x9F\x98\x80\r\n[mainwin]\r\nTestOCX_new=5,6,7,8\r\n";
  TempFolder folder;
  const std::string file = folder.Path("size.ini");
  for (auto encoding : {profile::Encoding::Utf8Bom, profile::Encoding::Utf16LE,
                        profile::Encoding::Utf16BE}) {
    TempFolder::Write(file, *profile::Encode(encoding, before));
    EXPECT_EQ(Get(file, "mainwin", "TestOCX_new"), "1,2,3,4");
    EXPECT_EQ(WritePrivateProfileStringA("mainwin", "TestOCX_new", "5,6,7,8", file.c_str()), TRUE);
    EXPECT_EQ(TempFolder::Read(file), *profile::Encode(encoding, after));
  }
#ifndef _WIN32
  // UTF-16 that would not come back byte for byte (an odd last byte, an
  // unpaired surrogate) is not rewritten: rewriting would lose those bytes.
  // Windows rewrites it all the same.
  for (const std::string& bad : {std::string("\xFF\xFE[\0s\0]\0\n\0k\0=\0""1\0\n", 17),
                                 std::string("\xFF\xFE\x00\xD8[\0s\0]\0\n\0", 12)}) {
    TempFolder::Write(file, bad);
    EXPECT_EQ(WritePrivateProfileStringA("s", "k", "2", file.c_str()), FALSE);
    EXPECT_EQ(TempFolder::Read(file), bad);
  }
#endif
}

// The emulation's own mends of the replace-by-rename write: file modes and
// owners, and its temporary file, are POSIX matters that Windows' in-place
// write does not have.
#ifndef _WIN32
TEST(WritePrivateProfileString, RefusesAReadOnlyFileAndKeepsTheModeAndOwnerOfOneItReplaces) {
  TempFolder folder;
  const std::string file = folder.Path("size.ini");
  TempFolder::Write(file, "[s]\r\nk=1\r\n");
  ::chmod(file.c_str(), 0444);
  EXPECT_EQ(WritePrivateProfileStringA("s", "k", "2", file.c_str()), FALSE);
  EXPECT_EQ(TempFolder::Read(file), "[s]\r\nk=1\r\n");
  EXPECT_EQ(Names(folder), std::vector<std::string>{"size.ini"});

  ::chmod(file.c_str(), 0640);
  struct stat info {};
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(file.c_str(), 4321, 4322), 0);
  }
  EXPECT_EQ(WritePrivateProfileStringA("s", "k", "3", file.c_str()), TRUE);
  EXPECT_EQ(TempFolder::Read(file), "[s]\r\nk=3\r\n");
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 4322u);
  }
}

TEST(WritePrivateProfileString, KeepsOneTemporaryFileAtMostAndNoneAfterAFailedWrite) {
  TempFolder folder;
  const std::string file = folder.Path("size.ini");
  // The leftover of a write killed before its rename is taken over.
  TempFolder::Write(file + ".tmp", "[s]\r\nk=half");
  EXPECT_EQ(WritePrivateProfileStringA("s", "k", "1", file.c_str()), TRUE);
  EXPECT_EQ(Names(folder), std::vector<std::string>{"size.ini"});

  // A write that fails half way (here at a file size limit) keeps the old
  // content and removes what it had written.
  const std::string big(4096, '7');
  std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit saved {};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const BOOL written = WritePrivateProfileStringA("s", "k", big.c_str(), file.c_str());
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(written, FALSE);
  EXPECT_EQ(TempFolder::Read(file), "[s]\r\nk=1\r\n");
  EXPECT_EQ(Names(folder), std::vector<std::string>{"size.ini"});
}
#endif  // _WIN32

TEST(GetPrivateProfileString, CopiesTheDefaultWithoutTrailingBlanksWhenTheEntryIsAbsent) {
  TempFolder folder;
  const std::string file = folder.Path("size.ini");
  // Trailing spaces go, a tab before them stays.
  EXPECT_EQ(Get(file, "mainwin", "TestOCX_new", "  fallback \t "), "  fallback \t");
  EXPECT_EQ(Get(file, "mainwin", "TestOCX_new", nullptr), "");
  EXPECT_FALSE(std::filesystem::exists(file));
  TempFolder::Write(file, "[mainwin]\nother=1\n");
  EXPECT_EQ(Get(file, "mainwin", "TestOCX_new"), "<default>");
  EXPECT_EQ(Get(file, "absent", "other"), "<default>");
  EXPECT_EQ(Get(folder.Path(""), "mainwin", "other"), "<default>");
}

TEST(GetPrivateProfileString, ListsSectionsAndKeysEachEndingInAZeroAndTheListInAnother) {
  TempFolder folder;
  const std::string file = folder.Path("list.ini");
  TempFolder::Write(file, "[mainwin]\nother=1\n second = 2\n;c=3\n[b]\nx=1\n[Mainwin]\ny=2\n");
  char buffer[32];
  auto list = [&](const char* section, DWORD size, const std::string& path) {
    std::fill(std::begin(buffer), std::end(buffer), '#');
    const DWORD n = GetPrivateProfileStringA(section, section ? nullptr : "other", "<d>", buffer,
                                             size, path.c_str());
    return std::string(buffer, n + 2);
  };
  // Every header in order; the keys of the first section of the name only.
  EXPECT_EQ(list(nullptr, 32, file), std::string("mainwin\0b\0Mainwin\0\0#", 20));
  EXPECT_EQ(list("mainwin", 32, file), std::string("other\0second\0\0#", 15));
  // Too long a list keeps size - 2 characters and one zero.
  EXPECT_EQ(list("mainwin", 8, file), std::string("other\0\0#", 8));
  EXPECT_EQ(list(nullptr, 7, file), std::string("mainw\0#", 7));
  // Keys of an absent section read as the default; no file lists nothing.
  EXPECT_EQ(list("absent", 32, file), std::string("<d>\0#", 5));
  EXPECT_EQ(list(nullptr, 32, folder.Path("none.ini")), std::string("\0#", 2));
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
  const std::string missing = folder.Path("html/size.ini");
  EXPECT_EQ(WritePrivateProfileStringA("mainwin", "k", "1", missing.c_str()), FALSE);
  EXPECT_FALSE(std::filesystem::exists(folder.Path("html")));
  TempFolder::Write(folder.Path("plain"), "data");
  const std::string below = folder.Path("plain") + "/size.ini";
  EXPECT_EQ(WritePrivateProfileStringA("mainwin", "k", "1", below.c_str()), FALSE);
  EXPECT_EQ(TempFolder::Read(folder.Path("plain")), "data");
}

TEST(WritePrivateProfileString, RefusesToReplaceAFileItCannotRead) {
  TempFolder folder;
#ifndef _WIN32
  // Larger than the reader takes in; replacing it would keep only the new
  // entry. (The system reads a file of any size.)
  const std::string big = folder.Path("big.ini");
  TempFolder::Write(big, "[mainwin]\nk=1\n");
  std::filesystem::resize_file(big, std::uintmax_t{65} << 20);
  EXPECT_EQ(WritePrivateProfileStringA("mainwin", "k", "2", big.c_str()), FALSE);
  EXPECT_EQ(std::filesystem::file_size(big), std::uintmax_t{65} << 20);
  std::string head(14, '\0');
  std::ifstream(big, std::ios::binary).read(head.data(), 14);
  EXPECT_EQ(head, "[mainwin]\nk=1\n");
#endif
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
#ifndef _WIN32
  // A mend of the emulation: the system writes such entries as they come.
  // The program writes only its own numbers there.
  EXPECT_EQ(WritePrivateProfileStringA("s", "k", "2\n[evil]\nx=1", file.c_str()), FALSE);
  EXPECT_EQ(WritePrivateProfileStringA("s", "a=b", "2", file.c_str()), FALSE);
#endif
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
