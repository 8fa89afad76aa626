// The skin the frame controls draw from: a file they cannot use gives the
// built-in skin of its name, what went wrong is said once, and a file
// changed on disk shows at the next read.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "host/Files.h"
#include "platform/gdi/Gdi.h"
#include "skin/FrameSkins.h"
#include "skin/SkinFile.h"
#include "skin/builtin/BuiltInSkins.h"
#include "tests/support/Scenario.h"
#include "tests/support/SkinBuilder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A reader as the main window makes one, whose lines are kept.
struct Reader {
  std::vector<std::string> lines;
  skin::FrameSkins skins{skin::BuiltInSkins(), [this](const std::string& l) { lines.push_back(l); }};

  Bytes Contents(const std::string& path) {
    host::PropertyBag store;
    skins.Read(path, store);
    return store.Contents();
  }
  std::string Said() {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    lines.clear();
    return text;
  }
};

int Lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

Bytes BuiltInContents(const std::string& name) {
  for (const skin::BuiltInSkin& builtIn : skin::BuiltInSkins()) {
    if (builtIn.name != name) continue;
    host::PropertyBag bag;
    EXPECT_EQ(skin::LoadSkinBytes(builtIn.bytes.data(), builtIn.bytes.size(), bag), "") << name;
    EXPECT_TRUE(skin::PictureDecodes(bag, "TOPLEFT")) << name;
    return bag.Contents();
  }
  ADD_FAILURE() << "no built-in " << name;
  return {};
}

// A BMP whose info header says something else than its pixels hold.
Bytes LyingBmp(std::int32_t width, std::int32_t height) {
  Bytes bmp = gdi::EncodeBmp(gdi::Surface(2, 2, 0xFF000000u));
  for (int i = 0; i < 4; ++i) {
    bmp[18 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(width) >> (8 * i));
    bmp[22 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(height) >> (8 * i));
  }
  return bmp;
}

TEST(FrameSkins, AFileTheFrameCannotUseGivesTheBuiltInSkinOfItsNameSaidOncePerFileAndReason) {
  test::TempFolder folder;
  Reader reader;
  const Bytes black1 = BuiltInContents("black-1");
  const Bytes black2 = BuiltInContents("black-2");
  ASSERT_NE(black1, black2);
  const std::string shipped = test::DistFolder() + "/stype/black-1.jss";
  const std::string packed = test::ReadFile(shipped);
  ASSERT_FALSE(packed.empty());

  EXPECT_EQ(reader.Contents(folder / "stype/black-1.jss"), black1);
  EXPECT_EQ(reader.Contents(folder / "stype/black-2.jss"), black2);
  EXPECT_EQ(reader.Contents(folder / "stype/other.jss"), black1);
  test::WriteFile(folder / "stype", std::string("a file where the folder belongs"));
  EXPECT_EQ(reader.Contents(folder / "stype/black-2.jss"), black2);
  std::string said = reader.Said();
  EXPECT_NE(said.find(folder / "stype/black-1.jss: it cannot be read (No such file"),
            std::string::npos)
      << said;
#ifdef _WIN32
  // Windows calls a path below a file missing too, which was said already.
  EXPECT_EQ(Lines(said), 3) << said;
#else
  EXPECT_EQ(Lines(said), 4) << said;
  EXPECT_NE(said.find("(Not a directory); the frame is drawn from the built-in skin black-2"),
            std::string::npos)
      << said;
#endif
  // What one reader has said, another, for another window, says again.
  Reader other;
  EXPECT_EQ(other.Contents(folder / "stype/black-1.jss"), black1);
  EXPECT_EQ(Lines(other.Said()), 1);

  // Cut anywhere, the file is no skin; every paint of it says nothing new.
  const std::string cut = folder / "black-1.jss";
  for (std::size_t size = 0; size < packed.size(); size += size < 64 ? 1 : 97) {
    test::WriteFile(cut, packed.substr(0, size));
    ASSERT_EQ(reader.Contents(cut), black1) << size;
    ASSERT_EQ(reader.Contents(cut), black1) << size;
  }
  said = reader.Said();
  EXPECT_EQ(Lines(said), 2) << said;  // empty, then never a whole record
  EXPECT_NE(said.find("the file is empty"), std::string::npos) << said;

  std::mt19937 random(13);
  std::string noise(4096, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  test::WriteFile(folder / "noise.jss", noise);
  ASSERT_TRUE(test::SkinBuilder().Number("XOFFSET", 4).Write(folder / "black-2.jss"));
  EXPECT_EQ(reader.Contents(folder / "noise.jss"), black1);
  EXPECT_EQ(reader.Contents(folder / "black-2.jss"), black2);
  said = reader.Said();
  EXPECT_NE(said.find("it holds none of the frame's pictures"), std::string::npos) << said;

  // An empty path names no file at all.
  EXPECT_EQ(reader.Contents(""), host::PropertyBag().Contents());
  EXPECT_EQ(reader.Said(), "");
  EXPECT_FALSE(std::filesystem::exists(folder / "stype/other.jss"));
}

TEST(FrameSkins, ASkinWithBrokenPicturesIsUsedAsItStandsAndItsSkippedKeysAreNamedOnce) {
  test::TempFolder folder;
  Reader reader;
  const std::string path = folder / "black-1.jss";
  Bytes noPixels = LyingBmp(4096, 4096);
  test::SkinBuilder skin;
  skin.Picture("LEFTTOP", 6, 8, 0x0000FF)
      .Value("TOPLEFT", host::PropertyValue::Picture(LyingBmp(60000, 60000)))
      .Value("CLOSE", host::PropertyValue::Picture(LyingBmp(20, INT32_MIN)))
      .Value("MIN", host::PropertyValue::Picture(noPixels))
      .Value("FROMTOP", host::PropertyValue::Of(std::string("high")))
      .Picture("MAX", 20, 18, 0x00FF00);
  ASSERT_TRUE(skin.Write(path));

  for (int paint = 0; paint < 3; ++paint) EXPECT_EQ(reader.Contents(path), skin.Bag().Contents());
  std::string said = reader.Said();
  EXPECT_EQ(Lines(said), 1) << said;
  EXPECT_NE(said.find(path + " has keys the frame skips"), std::string::npos) << said;
  EXPECT_NE(said.find(": TOPLEFT, CLOSE, MIN, FROMTOP\n"), std::string::npos) << said;

  skin.Picture("TOPLEFT", 8, 27, 0).Picture("CLOSE", 20, 18, 0);
  ASSERT_TRUE(skin.Write(path));
  EXPECT_EQ(reader.Contents(path), skin.Bag().Contents());
  said = reader.Said();
  EXPECT_NE(said.find(": MIN, FROMTOP\n"), std::string::npos) << said;
}

// Settled: read again long after it was written, when the file system's
// times alone tell whether it changed.
TEST(FrameSkins, AFileReplacedOrDeletedShowsAtTheNextReadNewOrSettled) {
  test::TempFolder folder;
  Reader reader;
  const std::string path = folder / "black-2.jss";
  // The two differ in one colour only: same size, same layout.
  const auto skinOf = [](std::uint32_t colour) {
    return test::SkinBuilder().Picture("TOPLEFT", 8, 27, colour).Number("FROMTOP", 3);
  };
  for (const bool settled : {false, true}) {
    SCOPED_TRACE(settled);
    ASSERT_TRUE(skinOf(0x000000FF).Write(path));
    if (settled) std::this_thread::sleep_for(std::chrono::milliseconds(3100));
    EXPECT_EQ(reader.Contents(path), skinOf(0x000000FF).Bag().Contents());
    EXPECT_EQ(reader.Contents(path), skinOf(0x000000FF).Bag().Contents());
    // Rewritten in place, then replaced by another file.
    test::WriteFile(path, skinOf(0x0000FF00).Bytes());
    EXPECT_EQ(reader.Contents(path), skinOf(0x0000FF00).Bag().Contents());
    ASSERT_TRUE(skinOf(0x00FF0000).Write(folder / "new.jss"));
    std::filesystem::rename(folder / "new.jss", path);
    EXPECT_EQ(reader.Contents(path), skinOf(0x00FF0000).Bag().Contents());
    std::filesystem::remove(path);
    EXPECT_EQ(reader.Contents(path), BuiltInContents("black-2"));
    EXPECT_EQ(Lines(reader.Said()), settled ? 0 : 1) << "said once, for the first deletion";
  }
}

TEST(FrameSkins, AFileRewrittenAtItsSizeAndDatedBackIsReadAgainWhileNotSettled) {
  test::TempFolder folder;
  Reader reader;
  const std::string path = folder / "black-2.jss";
  const auto skinOf = [](std::uint32_t colour) {
    return test::SkinBuilder().Picture("TOPLEFT", 8, 27, colour);
  };
  // Tried a few times: the rewrite must fall within the file system's time
  // resolution of the first write for the times alone to look unchanged.
  for (int round = 0; round < 20; ++round) {
    ASSERT_TRUE(skinOf(0x000000FF).Write(path));
    ASSERT_EQ(reader.Contents(path), skinOf(0x000000FF).Bag().Contents());
    const auto written = std::filesystem::last_write_time(path);
    test::WriteFile(path, skinOf(0x0000FF00).Bytes());
    std::filesystem::last_write_time(path, written);
    ASSERT_EQ(reader.Contents(path), skinOf(0x0000FF00).Bag().Contents()) << round;
  }
}

TEST(FrameSkins, WhatWasSaidAboutTheFourLatestPathsIsNotSaidAgain) {
  test::TempFolder folder;
  Reader reader;
  for (const char* name : {"1.jss", "2.jss", "3.jss", "4.jss", "5.jss"}) {
    reader.Contents(folder / name);  // missing: each says so
  }
  EXPECT_EQ(Lines(reader.Said()), 5);
  reader.Contents(folder / "4.jss");
  reader.Contents(folder / "2.jss");
  EXPECT_EQ(reader.Said(), "");
  reader.Contents(folder / "1.jss");  // forgotten: said anew
  EXPECT_EQ(Lines(reader.Said()), 1);
}

}  // namespace
