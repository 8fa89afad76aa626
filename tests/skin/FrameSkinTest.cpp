// The skin the frame controls draw from: a file they cannot use gives the
// built-in skin of its name, and what went wrong is said once.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "host/Files.h"
#include "platform/gdi/Gdi.h"
#include "skin/SkinFile.h"
#include "skin/builtin/FrameSkin.h"
#include "tests/support/Scenario.h"
#include "tests/support/SkinBuilder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

int Lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

Bytes BuiltInContents(const std::string& name) {
  const std::span<const std::uint8_t> bytes = skin::BuiltInSkinBytes(name);
  host::PropertyBag bag;
  EXPECT_EQ(skin::LoadSkinBytes(bytes.data(), bytes.size(), bag), "") << name;
  EXPECT_TRUE(skin::PictureDecodes(bag, "TOPLEFT")) << name;
  return bag.Contents();
}

Bytes FrameContents(const std::string& path) {
  host::PropertyBag store;
  skin::ReadFrameSkin(path, store);
  return store.Contents();
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

TEST(FrameSkin, AFileTheFrameCannotUseGivesTheBuiltInSkinOfItsNameSaidOncePerFileAndReason) {
  test::TempFolder folder;
  const Bytes black1 = BuiltInContents("black-1");
  const Bytes black2 = BuiltInContents("black-2");
  ASSERT_NE(black1, black2);
  const std::string shipped = test::DistFolder() + "/stype/black-1.jss";
  const std::string packed = test::ReadFile(shipped);
  ASSERT_FALSE(packed.empty());

  testing::internal::CaptureStderr();
  EXPECT_EQ(FrameContents(folder / "stype/black-1.jss"), black1);
  EXPECT_EQ(FrameContents(folder / "stype/black-2.jss"), black2);
  EXPECT_EQ(FrameContents(folder / "stype/other.jss"), black1);
  test::WriteFile(folder / "stype", std::string("a file where the folder belongs"));
  EXPECT_EQ(FrameContents(folder / "stype/black-2.jss"), black2);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(folder / "stype/black-1.jss: it cannot be read (No such file"),
            std::string::npos)
      << err;
#ifdef _WIN32
  // Windows calls a path below a file missing too, which was said already.
  EXPECT_EQ(Lines(err), 3) << err;
#else
  EXPECT_EQ(Lines(err), 4) << err;
  EXPECT_NE(err.find("(Not a directory); the frame is drawn from the built-in skin black-2"),
            std::string::npos)
      << err;
#endif

  // Cut anywhere, the file is no skin; every paint of it says nothing new.
  const std::string cut = folder / "black-1.jss";
  testing::internal::CaptureStderr();
  for (std::size_t size = 0; size < packed.size(); size += size < 64 ? 1 : 97) {
    test::WriteFile(cut, packed.substr(0, size));
    ASSERT_EQ(FrameContents(cut), black1) << size;
    ASSERT_EQ(FrameContents(cut), black1) << size;
  }
  err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(Lines(err), 2) << err;  // empty, then never a whole record
  EXPECT_NE(err.find("the file is empty"), std::string::npos) << err;

  std::mt19937 random(13);
  std::string noise(4096, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  test::WriteFile(folder / "noise.jss", noise);
  ASSERT_TRUE(test::SkinBuilder().Number("XOFFSET", 4).Write(folder / "black-2.jss"));
  testing::internal::CaptureStderr();
  EXPECT_EQ(FrameContents(folder / "noise.jss"), black1);
  EXPECT_EQ(FrameContents(folder / "black-2.jss"), black2);
  err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("it holds none of the frame's pictures"), std::string::npos) << err;

  // An empty path names no file at all.
  testing::internal::CaptureStderr();
  EXPECT_EQ(FrameContents(""), host::PropertyBag().Contents());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(std::filesystem::exists(folder / "stype/other.jss"));
}

TEST(FrameSkin, ASkinWithBrokenPicturesIsUsedAsItStandsAndItsSkippedKeysAreNamedOnce) {
  test::TempFolder folder;
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

  testing::internal::CaptureStderr();
  for (int paint = 0; paint < 3; ++paint) EXPECT_EQ(FrameContents(path), skin.Bag().Contents());
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(Lines(err), 1) << err;
  EXPECT_NE(err.find(path + " has keys the frame skips"), std::string::npos) << err;
  EXPECT_NE(err.find(": TOPLEFT, CLOSE, MIN, FROMTOP\n"), std::string::npos) << err;

  // A file replaced between paints shows at the next one.
  skin.Picture("TOPLEFT", 8, 27, 0).Picture("CLOSE", 20, 18, 0);
  ASSERT_TRUE(skin.Write(path));
  testing::internal::CaptureStderr();
  EXPECT_EQ(FrameContents(path), skin.Bag().Contents());
  err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(": MIN, FROMTOP\n"), std::string::npos) << err;
}

}  // namespace
