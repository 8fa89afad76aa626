#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/Files.h"
#include "platform/gdi/Gdi.h"
#include "skin/SkinFile.h"
#include "skin/clsBitmap.h"
#include "tests/support/Scenario.h"
#include "tests/support/SkinBuilder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// A bag by hand, so that its framing can be broken on purpose.
Bytes Bag(std::uint16_t count, const std::vector<Bytes>& entries, const char* magic = "SSPB") {
  Bytes b(magic, magic + 4);
  Put16(b, 1);
  Put16(b, count);
  for (const Bytes& e : entries) b.insert(b.end(), e.begin(), e.end());
  return b;
}
Bytes Entry(const std::string& name, std::uint8_t kind, const Bytes& value,
            std::uint32_t claimedLength) {
  Bytes b{static_cast<std::uint8_t>(name.size())};
  b.insert(b.end(), name.begin(), name.end());
  b.push_back(kind);
  Put32(b, claimedLength);
  b.insert(b.end(), value.begin(), value.end());
  return b;
}
Bytes Entry(const std::string& name, std::uint8_t kind, const Bytes& value) {
  return Entry(name, kind, value, static_cast<std::uint32_t>(value.size()));
}
Bytes IntegerValue(std::int32_t v) {
  Bytes b;
  Put32(b, static_cast<std::uint32_t>(v));
  return b;
}

class SkinFile : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(gdi::LiveCount(gdi::Kind::DC), dcs);
    EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), bitmaps);
  }
  // Loads the bytes as a whole file, the way the controls read it.
  host::PropertyBag Load(const Bytes& file) {
    const std::string path = folder / "skin.jss";
    test::WriteFile(path, file);
    host::PropertyBag store;
    store.WriteProperty("STALE", host::PropertyValue::Of(1));
    skin::ReadSkinFile(path, store);
    return store;
  }
  test::TempFolder folder;
  int dcs = gdi::LiveCount(gdi::Kind::DC);
  int bitmaps = gdi::LiveCount(gdi::Kind::Bitmap);
};

TEST_F(SkinFile, KeysAreFoundWhateverTheirStoredLetterCase) {
  const Bytes bmp = gdi::EncodeBmp(gdi::Surface(6, 4, 0xFF102030u));
  const host::PropertyBag store = Load(host::MakeByteArrayRecord(
      Bag(2, {Entry("lefttop", 3, bmp), Entry("FromRight", 1, IntegerValue(9))})));
  clsBitmap surface;
  ASSERT_TRUE(surface.LoadResource(skin::Picture(store, "LEFTTOP")));
  EXPECT_EQ(surface.Width(), 6);
  EXPECT_EQ(skin::Number(store, "FROMRIGHT"), 9);
}

TEST_F(SkinFile, AMissingFileGivesAnEmptyStoreAndIsNotCreated) {
  host::PropertyBag store;
  store.WriteProperty("STALE", host::PropertyValue::Of(1));
  skin::ReadSkinFile(folder / "stype/none.jss", store);
  EXPECT_TRUE(store.Empty());
  EXPECT_FALSE(test::Exists(folder / "stype/none.jss"));
  EXPECT_FALSE(test::Exists(folder / "stype"));
}

TEST_F(SkinFile, BrokenFilesGiveAnEmptyStore) {
  const Bytes goodBag = Bag(1, {Entry("XOFFSET", 1, IntegerValue(5))});
  Bytes textRecord;  // a single text value: type 8, length, characters
  Put16(textRecord, 8);
  Put32(textRecord, 5);
  for (char c : std::string("hello")) textRecord.push_back(static_cast<std::uint8_t>(c));
  Bytes wrongTag = host::MakeByteArrayRecord(goodBag);
  wrongTag[0] = 0x11;
  wrongTag[1] = 0x20 ^ 0x40;
  Bytes countTooLarge = host::MakeByteArrayRecord(goodBag);
  countTooLarge[4] = static_cast<std::uint8_t>(countTooLarge[4] + 1);
  Bytes hugeCount = host::MakeByteArrayRecord(goodBag);
  hugeCount[4] = hugeCount[5] = hugeCount[6] = hugeCount[7] = 0xFF;
  Bytes shortHeader = host::MakeByteArrayRecord(goodBag);
  shortHeader.resize(7);

  const std::vector<std::pair<std::string, Bytes>> cases = {
      {"an empty file", {}},
      {"a single text value", textRecord},
      {"a wrong type tag", wrongTag},
      {"an element count one past the file", countTooLarge},
      {"an element count of 4 GB", hugeCount},
      {"a record cut inside its header", shortHeader},
      {"a bag with bad magic",
       host::MakeByteArrayRecord(Bag(1, {Entry("XOFFSET", 1, IntegerValue(5))}, "SSPX"))},
      {"an entry length past the end",
       host::MakeByteArrayRecord(Bag(1, {Entry("XOFFSET", 1, IntegerValue(5), 0x7FFFFFFF)}))},
      {"an unknown kind",
       host::MakeByteArrayRecord(Bag(1, {Entry("XOFFSET", 9, IntegerValue(5))}))},
      {"more entries claimed than held",
       host::MakeByteArrayRecord(Bag(2, {Entry("XOFFSET", 1, IntegerValue(5))}))},
      {"an integer of two bytes", host::MakeByteArrayRecord(Bag(1, {Entry("XOFFSET", 1, {1, 2})}))},
  };
  for (const auto& [what, bytes] : cases) {
    EXPECT_TRUE(Load(bytes).Empty()) << what;
    host::PropertyBag fromMemory;
    skin::LoadSkinBytes(bytes.data(), bytes.size(), fromMemory);
    EXPECT_TRUE(fromMemory.Empty()) << what;
  }
  EXPECT_FALSE(Load(host::MakeByteArrayRecord(goodBag)).Empty()) << "the good bag itself loads";
}

TEST_F(SkinFile, BytesAfterTheRecordAreNotRead) {
  Bytes file = host::MakeByteArrayRecord(Bag(1, {Entry("YOFFSET", 1, IntegerValue(3))}));
  file.insert(file.end(), {'j', 'u', 'n', 'k'});
  EXPECT_EQ(skin::Number(Load(file), "YOFFSET"), 3);
}

TEST_F(SkinFile, PicturesThatLieAboutTheirSizeReadAsAbsent) {
  Bytes tooBig = gdi::EncodeBmp(gdi::Surface(2, 2, 0xFF000000u));
  // Claim 100000 x 100000 pixels in the info header.
  for (int at : {18, 22}) {
    tooBig[at] = 0xA0;
    tooBig[at + 1] = 0x86;
    tooBig[at + 2] = 0x01;
    tooBig[at + 3] = 0x00;
  }
  Bytes truncated = gdi::EncodeBmp(gdi::Surface(40, 40, 0xFF000000u));
  truncated.resize(truncated.size() / 2);
  Bytes wide = gdi::EncodeBmp(gdi::Surface(2, 2, 0xFF000000u));
  wide[18] = 0x01;
  wide[19] = 0x10;  // 4097 pixels wide
  const host::PropertyBag store = Load(
      host::MakeByteArrayRecord(Bag(4, {Entry("CLOSE", 3, tooBig), Entry("MAX", 3, truncated),
                                        Entry("MIN", 3, wide), Entry("ONTOP1", 3, {'B', 'M'})})));
  ASSERT_FALSE(store.Empty());
  for (const char* key : {"CLOSE", "MAX", "MIN", "ONTOP1"}) {
    EXPECT_EQ(skin::Picture(store, key), nullptr) << key;
  }
}

TEST_F(SkinFile, EveryReadOfAPictureIsANewBitmapOfItsOwn) {
  test::SkinBuilder builder;
  builder.Picture("CLOSE", 4, 3, 0x000000FF);
  const host::PropertyBag store = Load(builder.Bytes());
  auto first = std::make_unique<clsBitmap>();
  clsBitmap second;
  ASSERT_TRUE(first->LoadResource(skin::Picture(store, "CLOSE")));
  ASSERT_TRUE(second.LoadResource(skin::Picture(store, "CLOSE")));
  EXPECT_NE(first->hdc(), second.hdc());
  first.reset();
  ASSERT_NE(gdi::SurfaceOf(second.hdc()), nullptr);
  EXPECT_EQ(gdi::SurfaceOf(second.hdc())->At(3, 2), gdi::ColorToPixel(0x000000FF));
}

TEST_F(SkinFile, AbsentKeysReadAsZeroAndUnconvertibleValuesAsNothing) {
  test::SkinBuilder builder;
  builder.Number("XOFFSET", 70000)
      .Value("YOFFSET", host::PropertyValue::Of(std::string("twelve")))
      .Value("FROMTOP", host::PropertyValue::Of(std::string("7")))
      .Colour("FORECOLOR", 0x80000012)
      .Number("CLOSE", 12345);
  const host::PropertyBag store = Load(builder.Bytes());
  EXPECT_EQ(skin::Number(store, "ICONSPACE"), 0);
  EXPECT_EQ(skin::Colour(store, "BackColor"), 0u);
  EXPECT_EQ(skin::Picture(store, "MIN"), nullptr);
  EXPECT_EQ(skin::Number(store, "XOFFSET"), std::nullopt);
  EXPECT_EQ(skin::Number(store, "YOFFSET"), std::nullopt);
  EXPECT_EQ(skin::Number(store, "FROMTOP"), 7);
  EXPECT_EQ(skin::Colour(store, "FORECOLOR"), 0x80000012u);
  // A number where a picture belongs is never taken for a bitmap handle.
  EXPECT_EQ(skin::Picture(store, "CLOSE"), nullptr);
}

TEST_F(SkinFile, ReadingAgainReplacesTheWholeStore) {
  test::SkinBuilder first;
  first.Number("XOFFSET", 4).Number("YOFFSET", 2);
  test::SkinBuilder second;
  second.Number("XOFFSET", 8);
  host::PropertyBag store;
  const std::string path = folder / "a.jss";
  ASSERT_TRUE(first.Write(path));
  skin::ReadSkinFile(path, store);
  ASSERT_TRUE(second.Write(path));
  skin::ReadSkinFile(path, store);
  EXPECT_EQ(skin::Number(store, "XOFFSET"), 8);
  EXPECT_EQ(store.ReadProperty("YOFFSET"), nullptr);
}

}  // namespace
