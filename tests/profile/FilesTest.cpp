#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/Files.h"
#include "tests/profile/TempFolder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Record(std::uint16_t tag, std::uint16_t dims, std::uint32_t count, std::uint32_t lower,
             const std::string& content) {
  Bytes out;
  auto put = [&](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  put(tag, 2), put(dims, 2), put(count, 4), put(lower, 4);
  out.insert(out.end(), content.begin(), content.end());
  return out;
}

const std::uint8_t* Content(const Bytes& bytes, std::size_t& size) {
  size = 12345;
  return host::ByteArrayRecord(bytes.data(), bytes.size(), size);
}

TEST(ByteArrayRecord, GivesTheContentOfAWellFormedRecordAndIgnoresBytesAfterIt) {
  Bytes bytes = Record(0x2011, 1, 3, 0, "abcTRAILING");
  std::size_t size = 0;
  const std::uint8_t* content = Content(bytes, size);
  ASSERT_EQ(content, bytes.data() + 12);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(host::MakeByteArrayRecord({'a', 'b', 'c'}), Record(0x2011, 1, 3, 0, "abc"));
  Bytes empty = host::MakeByteArrayRecord({});
  EXPECT_NE(Content(empty, size), nullptr);
  EXPECT_EQ(size, 0u);
}

TEST(ByteArrayRecord, RejectsShortRecordsOtherTypesAndCountsPastTheEnd) {
  std::size_t size = 0;
  EXPECT_EQ(Content({}, size), nullptr);
  EXPECT_EQ(size, 0u);
  Bytes header = Record(0x2011, 1, 0, 0, "");
  header.pop_back();
  EXPECT_EQ(Content(header, size), nullptr);
  // A file holding a single text value: a length-prefixed string, not an array.
  Bytes text = {0x08, 0x00, 0x05, 0x00, 'h', 'e', 'l', 'l', 'o', 0, 0, 0, 0, 0};
  EXPECT_EQ(Content(text, size), nullptr);
  EXPECT_EQ(Content(Record(0x2002, 1, 1, 0, "a"), size), nullptr);  // array of 16-bit values
  EXPECT_EQ(Content(Record(0x2011, 2, 1, 0, "a"), size), nullptr);
  EXPECT_EQ(Content(Record(0x2011, 1, 1, 1, "a"), size), nullptr);
  EXPECT_EQ(Content(Record(0x2011, 1, 4, 0, "abc"), size), nullptr);
  EXPECT_EQ(Content(Record(0x2011, 1, 0xFFFFFFFFu, 0, "abc"), size), nullptr);
  EXPECT_EQ(size, 0u);
}

TEST(ReadByteArrayFile, ReadsTheContentAndFailsForMissingEmptyOrMalformedFiles) {
  TempFolder folder;
  Bytes content;
  const std::string good = folder.Path("black-1.jss");
  Bytes record = Record(0x2011, 1, 2, 0, "xyEXTRA");
  TempFolder::Write(good, std::string(record.begin(), record.end()));
  ASSERT_TRUE(host::ReadByteArrayFile(folder.Path("black-1.jss"), content));
  EXPECT_EQ(content, (Bytes{'x', 'y'}));

  const std::string missing = folder.Path("missing.jss");
  EXPECT_FALSE(host::ReadByteArrayFile(missing, content));
  EXPECT_TRUE(content.empty());
  EXPECT_FALSE(std::filesystem::exists(missing));
  TempFolder::Write(folder.Path("empty.jss"), "");
  EXPECT_FALSE(host::ReadByteArrayFile(folder.Path("empty.jss"), content));
  record = Record(0x2011, 1, 9, 0, "xy");
  TempFolder::Write(folder.Path("short.jss"), std::string(record.begin(), record.end()));
  EXPECT_FALSE(host::ReadByteArrayFile(folder.Path("short.jss"), content));
  EXPECT_FALSE(host::ReadByteArrayFile(folder.Path(""), content));
}

TEST(FileExists, IsTrueOnlyForOrdinaryFiles) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path("html"));
  EXPECT_FALSE(host::FileExists(folder.Path("html/installation.lock")));
  EXPECT_FALSE(host::FileExists(folder.Path("html")));
  ASSERT_TRUE(host::CreateEmptyFile(folder.Path("html/installation.lock")));
  EXPECT_TRUE(host::FileExists(folder.Path("html/installation.lock")));
  EXPECT_EQ(std::filesystem::file_size(folder.Path("html/installation.lock")), 0u);
  std::string error;
  EXPECT_FALSE(host::CreateEmptyFile(folder.Path("none/installation.lock"), &error));
  EXPECT_FALSE(error.empty());
}

// On Windows a backslash is a separator, not part of a name.
#ifndef _WIN32
TEST(FileExists, TakesABackslashAsPartOfAName) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path("html"));
  ASSERT_TRUE(host::CreateEmptyFile(folder.Path("html\\installation.lock")));
  EXPECT_TRUE(std::filesystem::is_regular_file(folder.Path("html\\installation.lock")));
  EXPECT_FALSE(host::FileExists(folder.Path("html/installation.lock")));
}
#endif

}  // namespace
