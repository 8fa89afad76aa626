#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/PropertyBag.h"
#include "platform/gdi/Gdi.h"

namespace {

using host::PropertyBag;
using host::PropertyValue;
using Bytes = std::vector<std::uint8_t>;

// Writes bag bytes field by field, so that tests can break any one field.
struct BagBytes {
  Bytes bytes;

  void U8(std::uint32_t v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
  void U16(std::uint32_t v) { U8(v), U8(v >> 8); }
  void U32(std::uint32_t v) { U16(v), U16(v >> 16); }
  void Raw(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); }

  BagBytes& Header(std::uint32_t count, const std::string& magic = "SSPB", int version = 1) {
    Raw(magic);
    U16(version);
    U16(count);
    return *this;
  }
  BagBytes& Entry(const std::string& name, int kind, const std::string& value) {
    U8(static_cast<std::uint32_t>(name.size()));
    Raw(name);
    U8(kind);
    U32(static_cast<std::uint32_t>(value.size()));
    Raw(value);
    return *this;
  }
  BagBytes& Integer(const std::string& name, std::uint32_t v) {
    return Entry(name, 1,
                 {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                  static_cast<char>(v >> 24)});
  }
};

bool Loads(const Bytes& bytes) {
  PropertyBag bag;
  bag.WriteProperty("before", PropertyValue::Of(1));
  bool loaded = bag.LoadContents(bytes.data(), bytes.size());
  // Whatever happens, nothing from before survives a load.
  EXPECT_EQ(bag.ReadProperty("before"), nullptr);
  if (!loaded) {
    EXPECT_TRUE(bag.Empty());
  }
  return loaded;
}

// size 9.75 pt, weight 700, charset 134, italic and strikethrough, a UTF-8 face
const std::string FontBytes = std::string("\xDC\x7C\x01\x00\xBC\x02\x86\x00\x05", 9) +
                              "\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91";

TEST(PropertyBagFraming, AWellFormedBagLoadsAndWritesBackByteForByte) {
  BagBytes good;
  good.Header(5)
      .Integer("XOFFSET", 0xFFFFFFF6u)
      .Entry("Caption", 2, "caption \xE6\xA0\x87")
      .Entry("CLOSE", 3, "not a bitmap, kept as bytes")
      .Entry("Font", 4, FontBytes)
      .Integer("xoffset", 7);
  PropertyBag bag;
  ASSERT_TRUE(bag.LoadContents(good.bytes.data(), good.bytes.size()));
  EXPECT_EQ(bag.Contents(), good.bytes);
  EXPECT_EQ(bag.ReadLong("XOffset", 0), -10);
  const PropertyValue* font = bag.ReadProperty("font");
  ASSERT_NE(font, nullptr);
  EXPECT_DOUBLE_EQ(font->font.Size, 9.75);
  EXPECT_EQ(font->font.Weight, 700);
  EXPECT_EQ(font->font.Charset, 134);
  EXPECT_TRUE(font->font.Italic);
  EXPECT_FALSE(font->font.Underline);
  EXPECT_TRUE(font->font.Strikethrough);
  EXPECT_EQ(font->font.Name, "\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91");
}

TEST(PropertyBagFraming, AnEmptyBagLoadsAndAFullOneAtTheLimitToo) {
  EXPECT_TRUE(Loads(BagBytes().Header(0).bytes));
  BagBytes full;
  full.Header(4096);
  for (int i = 0; i < 4096; ++i) full.Integer("K" + std::to_string(i), i);
  EXPECT_TRUE(Loads(full.bytes));
  BagBytes over;
  over.Header(4097);
  for (int i = 0; i < 4097; ++i) over.Integer("K" + std::to_string(i), i);
  EXPECT_FALSE(Loads(over.bytes));
}

TEST(PropertyBagFraming, BrokenFramingOfAnyKindLoadsNothing) {
  auto one = [](const std::string& name, int kind, const std::string& value) {
    return BagBytes().Header(1).Entry(name, kind, value).bytes;
  };
  EXPECT_FALSE(Loads({}));
  EXPECT_FALSE(Loads(Bytes{'S', 'S', 'P', 'B', 1, 0, 0}));          // short header
  EXPECT_FALSE(Loads(BagBytes().Header(0, "SSPX").bytes));          // magic
  EXPECT_FALSE(Loads(BagBytes().Header(0, "SSPB", 2).bytes));       // version
  EXPECT_FALSE(Loads(BagBytes().Header(2).Integer("A", 1).bytes));  // fewer entries than counted
  EXPECT_FALSE(Loads(one("", 1, std::string("\1\0\0\0", 4))));      // empty name
  EXPECT_FALSE(Loads(one("caf\xC3\xA9", 2, "x")));                  // name not ASCII
  EXPECT_FALSE(Loads(one(std::string("a\0b", 3), 2, "x")));         // NUL in name
  EXPECT_FALSE(Loads(one("A", 0, "x")));                            // kind 0
  EXPECT_FALSE(Loads(one("A", 5, "x")));                            // kind 5
  EXPECT_FALSE(Loads(one("A", 1, std::string("\1\0\0", 3))));       // integer of 3 bytes
  EXPECT_FALSE(Loads(one("A", 1, std::string("\1\0\0\0\0", 5))));   // integer of 5 bytes
  EXPECT_FALSE(Loads(one("A", 4, FontBytes.substr(0, 8))));         // font too short
  std::string badFlags = FontBytes;
  badFlags[8] = 8;
  EXPECT_FALSE(Loads(one("A", 4, badFlags)));  // unknown font flag

  Bytes nameCut = one("NAME", 2, "x");
  nameCut.resize(11);  // name length says 4, two bytes follow
  EXPECT_FALSE(Loads(nameCut));
  Bytes valueCut = one("A", 2, "value");
  valueCut.pop_back();
  EXPECT_FALSE(Loads(valueCut));
  Bytes huge = one("A", 2, "v");
  huge[11] = huge[12] = huge[13] = huge[14] = 0xFF;  // value length 4 GiB - 1
  EXPECT_FALSE(Loads(huge));
  Bytes trailing = one("A", 2, "v");
  trailing.push_back(0);
  EXPECT_FALSE(Loads(trailing));
}

TEST(PropertyBagStore, LooksNamesUpWithoutRegardToCaseAndTheFirstMatchWins) {
  BagBytes bytes;
  bytes.Header(2).Integer("lefttop", 1).Integer("LEFTTOP", 2);
  PropertyBag bag;
  ASSERT_TRUE(bag.LoadContents(bytes.bytes.data(), bytes.bytes.size()));
  EXPECT_EQ(bag.ReadLong("LeftTop", 0), 1);
  EXPECT_EQ(bag.ReadLong("LEFTTOPX", 99), 99);
  EXPECT_EQ(bag.ReadProperty("LEFTTO"), nullptr);
}

TEST(PropertyBagStore, AValueEqualToItsDefaultIsNotStoredAndRemovesOlderEntries) {
  BagBytes bytes;
  bytes.Header(3).Integer("ONTOP", 0).Integer("Style", 5).Integer("ontop", 0xFFFFFFFFu);
  PropertyBag bag;
  ASSERT_TRUE(bag.LoadContents(bytes.bytes.data(), bytes.bytes.size()));
  bag.WriteProperty("OnTop", PropertyValue::Of(0), PropertyValue::Of(0));
  EXPECT_EQ(bag.ReadProperty("ONTOP"), nullptr);  // the duplicate went too
  bag.WriteProperty("Caption", PropertyValue::Of("x"), PropertyValue::Of("x"));
  EXPECT_EQ(bag.Entries().size(), 1u);
  // A value of another kind is not equal to the default, even if it reads the same.
  bag.WriteProperty("Style", PropertyValue::Of("5"), PropertyValue::Of(5));
  EXPECT_EQ(bag.ReadProperty("style")->kind, PropertyValue::Kind::Text);
}

TEST(PropertyBagStore, AWriteReplacesTheFirstMatchInPlaceAndAppendsOtherwise) {
  PropertyBag bag;
  bag.WriteProperty("A", PropertyValue::Of(1));
  bag.WriteProperty("B", PropertyValue::Of(2));
  bag.WriteProperty("a", PropertyValue::Of(3), PropertyValue::Of(0));
  ASSERT_EQ(bag.Entries().size(), 2u);
  EXPECT_EQ(bag.Entries()[0].value, PropertyValue::Of(3));
  EXPECT_EQ(bag.Entries()[1].name, "B");
}

TEST(PropertyBagStore, NamesThatCouldNotBeWrittenBackAreNotStored) {
  PropertyBag bag;
  bag.WriteProperty("", PropertyValue::Of(1));
  bag.WriteProperty(std::string(256, 'N'), PropertyValue::Of(1));
  bag.WriteProperty("caf\xC3\xA9", PropertyValue::Of(1));
  bag.WriteProperty(std::string(255, 'N'), PropertyValue::Of(1));
  EXPECT_EQ(bag.Entries().size(), 1u);
  for (int i = 0; i < 4200; ++i) bag.WriteProperty("K" + std::to_string(i), PropertyValue::Of(i));
  EXPECT_EQ(bag.Entries().size(), PropertyBag::MaxEntries);
  Bytes contents = bag.Contents();
  PropertyBag again;
  EXPECT_TRUE(again.LoadContents(contents.data(), contents.size()));
}

TEST(PropertyValueConversion, TextConvertsOnlyWhenItIsAWholeNumber) {
  EXPECT_EQ(host::ToLong(PropertyValue::Of("12")), 12);
  EXPECT_EQ(host::ToLong(PropertyValue::Of(" \t12 ")), 12);
  EXPECT_EQ(host::ToLong(PropertyValue::Of("-2147483648")), -2147483647 - 1);
  EXPECT_EQ(host::ToLong(PropertyValue::Of("+7")), 7);
  EXPECT_EQ(host::ToLong(PropertyValue::Of("abc")), std::nullopt);
  EXPECT_EQ(host::ToLong(PropertyValue::Of("12abc")), std::nullopt);
  EXPECT_EQ(host::ToLong(PropertyValue::Of("+-1")), std::nullopt);
  EXPECT_EQ(host::ToLong(PropertyValue::Of("2147483648")), std::nullopt);
  EXPECT_EQ(host::ToLong(PropertyValue::Picture({1, 2})), std::nullopt);
}

TEST(PropertyValueConversion, IntegersKeepToSixteenBitsAndBooleansFollowTheirRules) {
  EXPECT_EQ(host::ToInteger(PropertyValue::Of(32767)), 32767);
  EXPECT_EQ(host::ToInteger(PropertyValue::Of(32768)), std::nullopt);
  EXPECT_EQ(host::ToInteger(PropertyValue::Of(-32769)), std::nullopt);
  EXPECT_EQ(host::ToBoolean(PropertyValue::Of(-1)), true);
  EXPECT_EQ(host::ToBoolean(PropertyValue::Of(0)), false);
  EXPECT_EQ(host::ToBoolean(PropertyValue::Of("True")), true);
  EXPECT_EQ(host::ToBoolean(PropertyValue::Of("FALSE")), false);
  EXPECT_EQ(host::ToBoolean(PropertyValue::Of(" 0 ")), false);
  EXPECT_EQ(host::ToBoolean(PropertyValue::Of("yes")), std::nullopt);
  EXPECT_EQ(host::ToText(PropertyValue::Of(-1)), "-1");
  EXPECT_EQ(host::ToText(PropertyValue::Picture({})), std::nullopt);
}

TEST(PropertyBagPicture, EachReadDecodesANewBitmapAndBadPicturesReadAsAbsent) {
  // A 1 x 1 bottom-up 24-bit file: one red pixel, its row padded to 4 bytes.
  BagBytes bmp;
  bmp.Raw("BM");
  bmp.U32(58), bmp.U32(0), bmp.U32(54);
  bmp.U32(40), bmp.U32(1), bmp.U32(1), bmp.U16(1), bmp.U16(24);
  bmp.U32(0), bmp.U32(4), bmp.U32(2835), bmp.U32(2835), bmp.U32(0), bmp.U32(0);
  bmp.U8(0), bmp.U8(0), bmp.U8(0xFF), bmp.U8(0);
  PropertyBag bag;
  bag.WriteProperty("CLOSE", PropertyValue::Picture(bmp.bytes));
  bag.WriteProperty("BROKEN", PropertyValue::Picture({'B', 'M', 1}));
  bag.WriteProperty("NUMBER", PropertyValue::Of(5));
  const int before = gdi::LiveCount(gdi::Kind::Bitmap);
  HBITMAP first = bag.ReadPicture("close");
  HBITMAP second = bag.ReadPicture("CLOSE");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  if (gdi::LiveCountPerKind) {
    EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), before + 2);
  }
  DeleteObject(first);
  ASSERT_NE(gdi::BitmapPixels(second), nullptr);
  EXPECT_EQ(gdi::PixelToColor(gdi::BitmapPixels(second)->At(0, 0)), 0x0000FFu);
  DeleteObject(second);
  EXPECT_EQ(bag.ReadPicture("BROKEN"), nullptr);
  EXPECT_EQ(bag.ReadPicture("NUMBER"), nullptr);
  EXPECT_EQ(bag.ReadPicture("ABSENT"), nullptr);
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), before);
}

}  // namespace
