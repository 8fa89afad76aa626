#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <sstream>
#include <thread>

#include "host/Files.h"
#include "platform/File.h"
#include "platform/FolderChanges.h"
#include "platform/gdi/Gdi.h"
#include "skin/SkinFile.h"
#include "tests/support/Scenario.h"
#include "tests/support/SkinBuilder.h"
#include "tools/skin/SkinArt.h"
#include "tools/skin/SkinCheck.h"
#include "tools/skin/SkinFolder.h"
#include "tools/skin/SkinTool.h"

namespace {

using skintool::Messages;
using Bytes = std::vector<std::uint8_t>;

struct Outcome {
  int code;
  std::string info;
  std::string err;
};

Outcome RunTool(const std::vector<std::string>& args) {
  std::ostringstream info, err;
  const int code = skintool::Run(args, info, err);
  return {code, info.str(), err.str()};
}

std::string ShippedSource(const std::string& name) {
  return test::SourceFolder() + "/skins/" + name;
}

bool Mentions(const std::vector<std::string>& lines, const std::string& text) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

void WritePng(const std::string& path, int w, int h, std::uint32_t argb) {
  ASSERT_TRUE(gdi::WritePng(gdi::Surface(w, h, argb), path));
}

TEST(SkinValues, ColoursAndNumbersAreReadAsWritten) {
  EXPECT_EQ(skintool::ParseValue("#FF0000"), 0x000000FF);
  EXPECT_EQ(skintool::ParseValue("#0a1B2c"), 0x002C1B0A);
  EXPECT_EQ(skintool::ParseValue(" -12 "), -12);
  EXPECT_EQ(skintool::ParseValue("0x80000012"), static_cast<std::int32_t>(0x80000012u));
  EXPECT_EQ(skintool::ParseValue("2147483647"), 2147483647);
  for (const char* bad :
       {"", "#12345", "#GGGGGG", "12px", "0x", "0x123456789", "2147483648", "--1", "1.5"}) {
    EXPECT_EQ(skintool::ParseValue(bad), std::nullopt) << bad;
  }
  for (std::int32_t v : {0, 0x00E4E6EB, static_cast<std::int32_t>(0x80000012u), -1}) {
    EXPECT_EQ(skintool::ParseValue(skintool::FormatValue("FORECOLOR", v)), v);
  }
  EXPECT_EQ(skintool::FormatValue("FORECOLOR", 0x000000FF), "#FF0000");
  EXPECT_EQ(skintool::FormatValue("XOFFSET", -3), "-3");
}

TEST(SkinValues, TheIniReportsBadLinesByNumber) {
  std::vector<skintool::NamedValue> values;
  Messages messages;
  EXPECT_FALSE(skintool::ParseValuesIni(
      "; comment\n[values]\nXOFFSET=4\nnonsense\nYOFFSET=abc\nxoffset=5\n[other]\nA=1\n", values,
      messages));
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0], (skintool::NamedValue{"XOFFSET", 4}));
  EXPECT_TRUE(Mentions(messages.errors, "line 4"));
  EXPECT_TRUE(Mentions(messages.errors, "line 5"));
  EXPECT_TRUE(Mentions(messages.errors, "given twice"));
  EXPECT_TRUE(Mentions(messages.warnings, "[other]"));

  Messages outside;
  values.clear();
  EXPECT_FALSE(skintool::ParseValuesIni("XOFFSET=4\n", values, outside));
}

TEST(SkinPacking, PackThenUnpackThenPackGivesTheSameFileByteForByte) {
  test::TempFolder folder;
  const std::string first = folder / "first.jss";
  const std::string again = folder / "again.jss";
  for (const char* name : {"black-1", "black-2"}) {
    Outcome packed = RunTool({"pack", ShippedSource(name), first});
    ASSERT_EQ(packed.code, 0) << packed.err;
    EXPECT_EQ(packed.err, "") << "the shipped sources pack without a warning";
    const std::string dir = folder / (std::string(name) + "-unpacked");
    Outcome unpacked = RunTool({"unpack", first, dir});
    ASSERT_EQ(unpacked.code, 0) << unpacked.err;
    EXPECT_EQ(unpacked.err, "");
    ASSERT_EQ(RunTool({"pack", dir, again}).code, 0);
    EXPECT_EQ(test::ReadFile(first), test::ReadFile(again)) << name;
  }
}

TEST(SkinPacking, PicturesOfAnyCaseAndEitherFormatAreStoredAsBmpUnderTheirKey) {
  test::TempFolder dir;
  WritePng(dir / "close.PNG", 5, 4, 0xFF00FF00u);
  const Bytes bmp = gdi::EncodeBmp(gdi::Surface(3, 2, 0xFFFF0000u), true);
  test::WriteFile(dir / "TopMid.bmp", bmp);
  test::WriteFile(dir / "skin.ini", std::string("[values]\nforecolor=#FF8000\nICONSPACE=-2\n"));
  Bytes contents;
  Messages messages;
  ASSERT_TRUE(skintool::PackFolder(dir.Path(), contents, messages));
  EXPECT_TRUE(messages.warnings.empty());
  host::PropertyBag bag;
  ASSERT_TRUE(bag.LoadContents(contents.data(), contents.size()));
  ASSERT_EQ(bag.Entries().size(), 4u);
  // The order and spelling of the key table, whatever the folder's.
  EXPECT_EQ(bag.Entries()[0].name, "TOPMID");
  EXPECT_EQ(bag.Entries()[1].name, "CLOSE");
  EXPECT_EQ(bag.Entries()[2].name, "ICONSPACE");
  EXPECT_EQ(bag.Entries()[3].name, "FORECOLOR");
  EXPECT_EQ(bag.Entries()[0].value.bmp, bmp) << "a BMP is kept as it is";
  gdi::Surface close;
  ASSERT_TRUE(
      gdi::DecodeBmp(bag.Entries()[1].value.bmp.data(), bag.Entries()[1].value.bmp.size(), close));
  EXPECT_EQ(close.width, 5);
  EXPECT_EQ(gdi::PixelToColor(close.At(4, 3)), 0x0000FF00u);
  EXPECT_EQ(skin::Colour(bag, "FORECOLOR"), 0x000080FFu);
  EXPECT_EQ(skin::Number(bag, "ICONSPACE"), -2);
}

TEST(SkinPacking, UnknownNamesAreReportedAndNotDropped) {
  test::TempFolder dir;
  WritePng(dir / "CLOSE4.png", 2, 2, 0xFF000000u);
  test::WriteFile(dir / "notes.txt", std::string("hello"));
  test::WriteFile(dir / "skin.ini", std::string("[values]\nXOFSET=3\n"));
  Bytes contents;
  Messages messages;
  ASSERT_TRUE(skintool::PackFolder(dir.Path(), contents, messages));
  EXPECT_TRUE(Mentions(messages.warnings, "CLOSE4"));
  EXPECT_TRUE(Mentions(messages.warnings, "XOFSET"));
  EXPECT_TRUE(Mentions(messages.warnings, "notes.txt"));
  host::PropertyBag bag;
  ASSERT_TRUE(bag.LoadContents(contents.data(), contents.size()));
  EXPECT_NE(bag.ReadProperty("CLOSE4"), nullptr);
  EXPECT_NE(bag.ReadProperty("XOFSET"), nullptr);
}

TEST(SkinPacking, BadFoldersFailWithAMessageAndWriteNothing) {
  struct Case {
    std::string what;
    std::function<void(const test::TempFolder&)> make;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"one key twice",
       [](const test::TempFolder& d) {
         WritePng(d / "CLOSE.png", 2, 2, 0xFF000000u);
         test::WriteFile(d / "close.bmp", gdi::EncodeBmp(gdi::Surface(2, 2)));
       },
       "already given"},
      {"a picture that is not one",
       [](const test::TempFolder& d) { test::WriteFile(d / "MIN.png", std::string("text")); },
       "MIN.png"},
      {"a BMP that is compressed or cut",
       [](const test::TempFolder& d) {
         Bytes bmp = gdi::EncodeBmp(gdi::Surface(8, 8));
         bmp.resize(60);
         test::WriteFile(d / "MIN.bmp", bmp);
       },
       "MIN.bmp"},
      {"a number given as a picture",
       [](const test::TempFolder& d) { WritePng(d / "XOFFSET.png", 2, 2, 0xFF000000u); },
       "skin.ini"},
      {"a picture given as a number",
       [](const test::TempFolder& d) {
         test::WriteFile(d / "skin.ini", std::string("[values]\nCLOSE=3\n"));
       },
       "CLOSE.png"},
      {"a layout number beyond 16 bits",
       [](const test::TempFolder& d) {
         test::WriteFile(d / "skin.ini", std::string("[values]\nFROMTOP=40000\n"));
       },
       "-32768..32767"},
      {"a malformed colour",
       [](const test::TempFolder& d) {
         test::WriteFile(d / "skin.ini", std::string("[values]\nFORECOLOR=#12\n"));
       },
       "line 2"},
  };
  for (const Case& c : cases) {
    test::TempFolder dir;
    c.make(dir);
    const std::string out = dir / "out.jss";
    const Outcome outcome = RunTool({"pack", dir.Path(), out});
    EXPECT_EQ(outcome.code, 1) << c.what;
    EXPECT_NE(outcome.err.find(c.message), std::string::npos) << c.what << ": " << outcome.err;
    EXPECT_FALSE(test::Exists(out)) << c.what;
  }
  EXPECT_EQ(RunTool({"pack", "/nonexistent/skin", "/tmp/x.jss"}).code, 1);
  EXPECT_EQ(RunTool({"pack"}).code, 2);
  EXPECT_EQ(RunTool({"frobnicate", "a", "b"}).code, 2);
}

TEST(SkinPacking, UnpackNeverWritesIntoAFolderThatHoldsFiles) {
  test::TempFolder folder;
  ASSERT_EQ(RunTool({"pack", ShippedSource("black-1"), folder / "b.jss"}).code, 0);
  std::filesystem::create_directories(folder / "mine");
  test::WriteFile(folder / "mine/CLOSE.bmp", std::string("the author's own"));
  const Outcome outcome = RunTool({"unpack", folder / "b.jss", folder / "mine"});
  EXPECT_EQ(outcome.code, 1);
  EXPECT_EQ(test::ReadFile(folder / "mine/CLOSE.bmp"), "the author's own");
}

TEST(SkinPacking, UnpackSaysWhyAFileWillNotPackBackTheSame) {
  test::TempFolder folder;
  auto unpack = [&](const std::string& name, const Bytes& file) {
    test::WriteFile(folder / (name + ".jss"), file);
    const Outcome outcome = RunTool({"unpack", folder / (name + ".jss"), folder / name});
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    return outcome.err;
  };

  test::SkinBuilder outOfOrder;
  outOfOrder.Number("YOFFSET", 2).Picture("CLOSE", 2, 2, 0);
  std::string err = unpack("order", outOfOrder.Bytes());
  EXPECT_NE(err.find("would not give the same bytes"), std::string::npos) << err;
  EXPECT_NE(err.find("not in the order pack writes"), std::string::npos) << err;
  EXPECT_TRUE(test::Exists(folder / "order/CLOSE.bmp"));

  test::SkinBuilder withText;
  withText.Picture("CLOSE", 2, 2, 0).Value("TITLE", host::PropertyValue::Of(std::string("t")));
  err = unpack("text", withText.Bytes());
  EXPECT_NE(err.find("TITLE"), std::string::npos) << err;
  EXPECT_NE(err.find("1 entries left out"), std::string::npos) << err;
  EXPECT_EQ(err.find("order"), std::string::npos) << err;

  test::SkinBuilder broken;
  broken.Value("CLOSE", host::PropertyValue::Picture({'B', 'M', 1, 2, 3}));
  err = unpack("broken", broken.Bytes());
  EXPECT_NE(err.find("does not pack"), std::string::npos) << err;
  EXPECT_NE(err.find("CLOSE.bmp: not an uncompressed"), std::string::npos) << err;
  EXPECT_EQ(err.find("order"), std::string::npos) << err;

  test::SkinBuilder inOrder;
  inOrder.Picture("CLOSE", 2, 2, 0).Number("YOFFSET", 2);
  Bytes trailing = inOrder.Bytes();
  EXPECT_EQ(unpack("same", trailing), "");
  trailing.insert(trailing.end(), {1, 2, 3});
  err = unpack("trailing", trailing);
  EXPECT_NE(err.find("3 bytes after the skin's record"), std::string::npos) << err;
  EXPECT_EQ(err.find("order"), std::string::npos) << err;
}

TEST(SkinInspection, TheShippedSkinsHaveEveryKeyAndNoWarnings) {
  for (const char* name : {"black-1", "black-2"}) {
    Bytes contents;
    Messages messages;
    ASSERT_TRUE(skintool::PackFolder(ShippedSource(name), contents, messages));
    host::PropertyBag bag;
    ASSERT_TRUE(bag.LoadContents(contents.data(), contents.size()));
    EXPECT_EQ(skintool::CheckSkin(bag), std::vector<std::string>{}) << name;
    for (const skintool::SkinKey& key : skintool::SkinKeys) {
      EXPECT_NE(bag.ReadProperty(key.name), nullptr) << name << " " << key.name;
    }
  }
}

TEST(SkinInspection, WarnsOfWhatTheFrameNeedsAndLacks) {
  test::SkinBuilder builder;
  builder.Picture("CLOSE", 20, 18, 0)
      .Picture("CLOSE2", 20, 18, 0)
      .Picture("CLOSE3", 22, 18, 0)
      .Picture("MAX", 20, 24, 0)
      .Picture("TOPLEFT", 8, 27, 0)
      .Picture("TOPMID", 16, 26, 0)
      .Picture("LEFTTOP", 6, 8, 0)
      .Picture("RIGHTTOP", 6, 8, 0)
      .Picture("RIGHTMID", 4, 8, 0)
      .Picture("LEFTBOT", 6, 5, 0)
      .Number("XOFFSET", 40000)
      .Number("ONTOP1", 7);
  const std::vector<std::string> warnings = skintool::CheckSkin(builder.Bag());
  const std::vector<std::string> expected = {
      "missing TOPRIGHT",
      "missing FORECOLOR",
      "close button faces differ in size: CLOSE 20x18 CLOSE2 20x18 CLOSE3 22x18",
      "MAX is taller than CLOSE",
      "caption bar pieces differ in height: TOPLEFT 8x27 TOPMID 16x26",
      "left edge has LEFTTOP but no LEFTMID",
      "RIGHTMID is narrower than RIGHTTOP",
      "bottom edge has its corners but no BOTTOM",
      "XOFFSET does not fit a 16-bit number",
      "ONTOP1 should be a picture but holds a integer",
  };
  for (const std::string& e : expected) EXPECT_TRUE(Mentions(warnings, e)) << e;
  EXPECT_FALSE(Mentions(warnings, "missing CLOSE "));
  EXPECT_FALSE(Mentions(warnings, "minimize button faces")) << "absent faces do not differ";
}

TEST(SkinInspection, PrintsControlBytesAndBrokenUtf8FromTheFileEscaped) {
  EXPECT_EQ(skintool::Printable("caf\xC3\xA9 \xE2\x82\xAC ok"), "caf\xC3\xA9 \xE2\x82\xAC ok");
  EXPECT_EQ(skintool::Printable("a\x1B[2J\x07\x7F\n"), "a\\x1B[2J\\x07\\x7F\\x0A");
  EXPECT_EQ(skintool::Printable("\xC2\x9B"
                                "1m"),
            "\\xC2\\x9B"
            "1m")
      << "the 8-bit CSI";
  EXPECT_EQ(skintool::Printable("\xFF\xC3(\xE2\x82\xC0\x80\xED\xA0\x80"),
            "\\xFF\\xC3(\\xE2\\x82\\xC0\\x80\\xED\\xA0\\x80");

  test::TempFolder folder;
  test::SkinBuilder builder;
  builder.Value("TITLE\x1B]0;owned\x07", host::PropertyValue::Of(std::string("x\x1B[2J\xFF")))
      .Number("XOFFSET\x1B[31m", 1)
      .Picture("TOPLEFT", 8, 27, 0)
      .Picture("CLOSE", 20, 18, 0);
  ASSERT_TRUE(builder.Write(folder / "hostile.jss"));
  const Outcome outcome = RunTool({"inspect", folder / "hostile.jss"});
  EXPECT_EQ(outcome.code, 0) << outcome.err;
  for (const char* raw : {"\x1B", "\x07", "\xFF"}) {
    EXPECT_EQ(outcome.info.find(raw), std::string::npos) << outcome.info;
  }
  EXPECT_NE(outcome.info.find("TITLE\\x1B]0;owned\\x07"), std::string::npos) << outcome.info;
  EXPECT_NE(outcome.info.find("\"x\\x1B[2J\\xFF\""), std::string::npos) << outcome.info;
  EXPECT_NE(outcome.info.find("XOFFSET\\x1B[31m"), std::string::npos) << outcome.info;
}

TEST(SkinInspection, ListsEveryEntryAndRefusesFilesThatAreNoSkin) {
  test::TempFolder folder;
  test::SkinBuilder builder;
  builder.Picture("CLOSE", 28, 20, 0)
      .Picture("TOPLEFT", 8, 27, 0)
      .Colour("FORECOLOR", 0x00EBE6E4);
  ASSERT_TRUE(builder.Write(folder / "s.jss"));
  const Outcome outcome = RunTool({"inspect", folder / "s.jss"});
  EXPECT_EQ(outcome.code, 0) << outcome.err;
  EXPECT_NE(outcome.info.find("CLOSE            picture  28x20"), std::string::npos)
      << outcome.info;
  EXPECT_NE(outcome.info.find("FORECOLOR        colour   #E4E6EB"), std::string::npos);
  EXPECT_NE(outcome.info.find("warning: missing MIN"), std::string::npos);

  test::WriteFile(folder / "empty.jss", std::string());
  test::WriteFile(folder / "text.jss", std::string("[values]\n"));
  for (const char* bad : {"empty.jss", "text.jss", "missing.jss"}) {
    const Outcome refused = RunTool({"inspect", folder / bad});
    EXPECT_EQ(refused.code, 1) << bad;
    EXPECT_NE(refused.err.find("error:"), std::string::npos) << bad;
  }
}

TEST(SkinInspection, FailsASkinThatLeavesTheWindowWithoutACaptionOrACloseFace) {
  test::TempFolder folder;
  Bytes lying = gdi::EncodeBmp(gdi::Surface(2, 2, 0xFF000000u));
  lying[19] = lying[23] = 0xEA;  // 60000 x 60000 pixels, says the header
  lying[18] = lying[22] = 0x60;
  test::SkinBuilder noBar;
  noBar.Picture("CLOSE", 28, 20, 0).Value("TOPLEFT", host::PropertyValue::Picture(lying));
  ASSERT_TRUE(noBar.Write(folder / "nobar.jss"));
  test::SkinBuilder noClose;
  noClose.Picture("TOPLEFT", 8, 27, 0).Picture("CLOSE", 0, 20, 0);
  ASSERT_TRUE(noClose.Write(folder / "noclose.jss"));
  const Outcome bar = RunTool({"inspect", folder / "nobar.jss"});
  EXPECT_EQ(bar.code, 1);
  EXPECT_NE(bar.err.find("error: " + folder / "nobar.jss" + ": TOPLEFT gives no picture"),
            std::string::npos)
      << bar.err;
  EXPECT_EQ(bar.err.find("CLOSE"), std::string::npos) << bar.err;
  const Outcome close = RunTool({"inspect", folder / "noclose.jss"});
  EXPECT_EQ(close.code, 1);
  EXPECT_NE(close.err.find("CLOSE gives no picture"), std::string::npos) << close.err;
  EXPECT_EQ(close.err.find("TOPLEFT"), std::string::npos) << close.err;
}

TEST(SkinPreviewing, NeverWritesOverASkinWhenThePictureIsForgottenOrMisnamed) {
  test::TempFolder folder;
  test::SkinBuilder builder;
  builder.Picture("CLOSE", 6, 5, 0);
  ASSERT_TRUE(builder.Write(folder / "a.jss"));
  ASSERT_TRUE(builder.Write(folder / "b.jss"));
  ASSERT_TRUE(builder.Write(folder / "skin.png"));  // a skin under an odd name
  const std::string b = test::ReadFile(folder / "b.jss");
  const std::vector<std::vector<std::string>> refused = {
      {"preview", folder / "a.jss", folder / "b.jss", "480"},
      {"preview", folder / "a.jss", folder / "b.jss"},
      {"preview", folder / "a.jss", "480"},
      {"preview", folder / "skin.png", folder / "sub/../skin.png"},
      {"preview", folder / "a.jss", folder / "skin.png", folder / "./skin.png"},
  };
  for (const std::vector<std::string>& args : refused) {
    const Outcome outcome = RunTool(args);
    EXPECT_EQ(outcome.code, 1) << args.back();
    EXPECT_NE(outcome.err.find("nothing written"), std::string::npos) << outcome.err;
  }
  EXPECT_EQ(test::ReadFile(folder / "b.jss"), b);
  EXPECT_EQ(test::ReadFile(folder / "skin.png"), b);
  EXPECT_FALSE(test::Exists(folder / "480"));

  const Outcome drawn = RunTool({"preview", folder / "a.jss", folder / "b.jss", folder / "p.PNG"});
  EXPECT_EQ(drawn.code, 0) << drawn.err;
  gdi::Surface picture;
  EXPECT_TRUE(gdi::ReadPng(folder / "p.PNG", picture));
}

TEST(SkinPreviewing, DrawsTheBarButtonsAndEdgesWhereTheFrameWould) {
  test::SkinBuilder builder;
  builder.Picture("TOPLEFT", 4, 10, 0x000000FF)
      .Picture("TOPMID", 3, 10, 0x0000FF00)
      .Picture("TOPRIGHT", 4, 10, 0x00FF0000)
      .Picture("CLOSE", 6, 5, 0x00FFFFFF)
      .Picture("MAX", 7, 5, 0x00808080)
      .Picture("MIN", 5, 5, 0x00404040)
      .Picture("ONTOP1", 4, 5, 0x00505050)
      .Number("FROMRIGHT", 5)
      .Number("FROMTOP", 2)
      .Number("ICONSPACE", 3)
      .Picture("LEFTTOP", 2, 4, 0x00FF00FF)
      .Picture("LEFTMID", 2, 4, 0x00FFFF00)
      .Picture("BOTTOM", 5, 3, 0x0000FFFF)
      .Colour("PARENTBACKCOLOR", 0x00102030)
      .Number("XOFFSET", 300)  // text and icon out of the way
      .Number("XOFFSET2", 300);
  test::TempFolder folder;
  ASSERT_TRUE(builder.Write(folder / "skin.jss"));
  const Outcome drawn = RunTool({"preview", folder / "skin.jss", folder / "skin.png", "100"});
  ASSERT_EQ(drawn.code, 0) << drawn.err;
  EXPECT_EQ(drawn.err, "");
  gdi::Surface p;
  ASSERT_TRUE(gdi::ReadPng(folder / "skin.png", p));
  auto at = [&](int x, int y) { return test::ColorAt(p, x, y); };
  EXPECT_EQ(at(0, 0), 0x000000FFu);
  EXPECT_EQ(at(50, 9), 0x0000FF00u);
  EXPECT_EQ(at(99, 0), 0x00FF0000u);
  // Close at 100 - 6 - 5 = 89, maximize at 89 - 3 - 7 = 79.
  EXPECT_EQ(at(89, 2), 0x00FFFFFFu);
  EXPECT_EQ(at(94, 6), 0x00FFFFFFu);
  EXPECT_EQ(at(88, 2), 0x0000FF00u);
  EXPECT_EQ(at(79, 2), 0x00808080u);
  EXPECT_EQ(at(86, 2), 0x0000FF00u);
  // Minimize at 79 - 3 - 5 = 71, always-on-top at 71 - 3 - 4 = 64.
  EXPECT_EQ(at(71, 2), 0x00404040u);
  EXPECT_EQ(at(64, 2), 0x00505050u);
  EXPECT_EQ(at(67, 6), 0x00505050u);
  EXPECT_EQ(at(63, 2), 0x0000FF00u);
  EXPECT_EQ(at(1, 10), 0x00FF00FFu);
  EXPECT_EQ(at(1, 14), 0x00FFFF00u);
  EXPECT_EQ(at(2, 14), 0x00102030u);
  const int frameBottom = 10 + 120 - 1;
  EXPECT_EQ(at(50, frameBottom), 0x0000FFFFu);
  EXPECT_EQ(at(1, frameBottom - 3), 0x00FFFF00u) << "the side edge stops above the bottom";
  // Below, on a strip of bar 12 pixels down, every face at the skin's
  // distance from the top, the close face first.
  const int strip = frameBottom + 1 + 12;
  EXPECT_EQ(at(12, strip + 1), 0x0000FF00u);
  EXPECT_EQ(at(12, strip + 2), 0x00FFFFFFu);
  EXPECT_EQ(at(17, strip + 6), 0x00FFFFFFu);
  EXPECT_EQ(at(12, strip + 7), 0x0000FF00u);
}

TEST(ShippedSkins, FitTheMainWindowsMargins) {
  for (const char* name : {"black-1", "black-2"}) {
    skintool::SkinArt art;
    ASSERT_TRUE(skintool::DrawSkinArt(name, art));
    auto& p = art.pictures;
    const int bar = p["TOPLEFT"].height;
    EXPECT_EQ(bar, std::string(name) == "black-1" ? 27 : 26);
    EXPECT_EQ(p["TOPMID"].height, bar);
    EXPECT_EQ(p["TOPRIGHT"].height, bar);
    EXPECT_EQ(p["LEFTTOP"].width, 6);
    EXPECT_EQ(p["RIGHTTOP"].width, 6);
    EXPECT_EQ(p["BOTTOM"].height, 5);
    EXPECT_EQ(p["LEFTBOT"].width, 6);
    EXPECT_EQ(p["LEFTBOT"].height, 5);
    EXPECT_GE(p["TOPMID"].width, 16) << "tiles cheaply";
    EXPECT_GE(p["LEFTMID"].height, 16);
    EXPECT_GE(p["BOTTOM"].width, 16);
  }
}

TEST(ShippedSkins, FacesBlendIntoTheBarAndTheCloseHoverIsRed) {
  for (const char* name : {"black-1", "black-2"}) {
    skintool::SkinArt art;
    ASSERT_TRUE(skintool::DrawSkinArt(name, art));
    auto& p = art.pictures;
    int fromTop = -1;
    for (const auto& [key, value] : art.values) {
      if (key == "FROMTOP") fromTop = value;
    }
    // Faces are copied opaquely, so a normal face's corner must be the bar
    // itself, or each button would show as a box.
    for (const char* face : {"CLOSE", "MAX", "RES1", "MIN", "ONTOP1"}) {
      for (int y : {0, p[face].height - 1}) {
        EXPECT_EQ(p[face].At(0, y), p["TOPMID"].At(0, fromTop + y)) << name << " " << face;
      }
    }
    const gdi::Surface& hover = p["CLOSE3"];
    const std::uint32_t middle = gdi::PixelToColor(hover.At(3, hover.height / 2));
    EXPECT_GE(middle & 0xFF, 0xC0u) << "red";
    EXPECT_LE(middle >> 8 & 0xFF, 0x40u);
    for (const auto& group : {std::vector<const char*>{"CLOSE", "CLOSE2", "CLOSE3"},
                              {"MAX", "MAX2", "MAX3"},
                              {"RES1", "RES2", "RES3"},
                              {"MIN", "MIN2", "MIN3"},
                              {"ONTOP1", "ONTOP3"}}) {
      for (std::size_t i = 1; i < group.size(); ++i) {
        EXPECT_NE(p[group[0]].pixels, p[group[i]].pixels) << name << " " << group[i];
        for (std::size_t j = 1; j < i; ++j) {
          EXPECT_NE(p[group[j]].pixels, p[group[i]].pixels) << name << " " << group[i];
        }
      }
    }
  }
}

TEST(ShippedSkins, TheCommittedSourcesAreWhatTheGeneratorDraws) {
  test::TempFolder folder;
  for (const char* name : {"black-1", "black-2"}) {
    const Outcome outcome = RunTool({"generate", name, folder / name});
    ASSERT_EQ(outcome.code, 0) << outcome.err;
    Bytes drawn, committed;
    Messages messages;
    ASSERT_TRUE(skintool::PackFolder(folder / name, drawn, messages));
    ASSERT_TRUE(skintool::PackFolder(ShippedSource(name), committed, messages));
    EXPECT_EQ(drawn, committed) << name << ": run `rm -r skins/" << name
                                << " && skinshell-skin generate " << name << " skins/" << name
                                << "` and commit";
    // The Windows program folder takes the Linux build's packed skins: the
    // tool must pack the same bytes on either system.
    const Bytes file = host::MakeByteArrayRecord(committed);
    EXPECT_EQ(test::ReadFile(test::DistFolder() + "/stype/" + name + ".jss"),
              std::string(file.begin(), file.end()))
        << name;
  }
  EXPECT_EQ(RunTool({"generate", "white-9", folder / "w"}).code, 1);
}

// The watch behind pack --watch: a read is pending from the start, so a save
// between the first pack and the first wait is not lost; a folder that goes
// ends the watch. Should the first save be lost, the guard's later one ends
// the wait, so the test fails rather than hangs.
TEST(SkinWatching, ASaveBeforeTheFirstWaitCountsAndAFolderThatGoesEndsTheWatch) {
  test::TempFolder root;
  const std::string dir = root / "src";
  std::filesystem::create_directories(dir);
  platform::FolderChanges changes(dir);
  ASSERT_TRUE(changes.Ok());
  test::WriteFile(dir + "/CLOSE.png", std::string("x"));
  std::mutex mutex;
  std::condition_variable woken;
  bool answered = false;
  std::thread guard([&] {
    std::unique_lock lock(mutex);
    if (!woken.wait_for(lock, std::chrono::seconds(10), [&] { return answered; })) {
      test::WriteFile(dir + "/guard.txt", std::string("x"));
    }
  });
  const std::vector<std::string> names = changes.Wait(30);
  {
    std::lock_guard lock(mutex);
    answered = true;
  }
  woken.notify_one();
  guard.join();
  EXPECT_EQ(names, std::vector<std::string>{"CLOSE.png"});
#ifndef _WIN32
  // Wine keeps a folder removed through its own API while a handle is open
  // on it (delete pending) until that handle closes.
  std::filesystem::remove_all(dir);
  EXPECT_EQ(changes.Wait(30), std::vector<std::string>{});
#endif
  EXPECT_FALSE(platform::FolderChanges(root / "missing").Ok());
}

// Checked through the file layer, not std::filesystem: on Windows a path
// that crossed into std::filesystem in the ANSI code page lands in a folder
// of another name, which the tool alone would read back consistently.
TEST(SkinPaths, FoldersNamedOutsideAsciiAreWrittenAndReadWhereNamed) {
  test::TempFolder folder;
  const std::string source = folder / "скин-ü";
  ASSERT_EQ(RunTool({"generate", "black-1", source}).code, 0);
  EXPECT_TRUE(platform::IsRegularFile(source + "/CLOSE.png"));
  EXPECT_TRUE(platform::IsRegularFile(source + "/skin.ini"));
  const Outcome pack = RunTool({"pack", source, folder / "ж.jss"});
  ASSERT_EQ(pack.code, 0) << pack.err;
  EXPECT_TRUE(pack.err.empty()) << pack.err;
  EXPECT_EQ(RunTool({"unpack", folder / "ж.jss", folder / "ж"}).code, 0);
  EXPECT_TRUE(platform::IsRegularFile(folder / "ж/CLOSE.bmp"));
  EXPECT_EQ(RunTool({"preview", folder / "ж.jss", folder / "ж.png"}).code, 0);
  EXPECT_TRUE(platform::IsRegularFile(folder / "ж.png"));
}

TEST(ShippedSkins, TheGeneratorWritesOnlyIntoAnEmptyOrNewFolder) {
  test::TempFolder folder;
  std::filesystem::create_directories(folder / "old");
  test::WriteFile(folder / "old/close.png", std::string("the author's own"));
  const Outcome refused = RunTool({"generate", "black-1", folder / "old"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_NE(refused.err.find("not an empty folder"), std::string::npos) << refused.err;
  EXPECT_EQ(test::ReadFile(folder / "old/close.png"), "the author's own");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "old"), {}), 1);

  test::WriteFile(folder / "file", std::string("x"));
  EXPECT_EQ(RunTool({"generate", "black-1", folder / "file"}).code, 1);
  EXPECT_EQ(test::ReadFile(folder / "file"), "x");

  std::filesystem::create_directories(folder / "empty");
  EXPECT_EQ(RunTool({"generate", "black-2", folder / "empty"}).code, 0);
  EXPECT_TRUE(test::Exists(folder / "empty/CLOSE.png"));
}

}  // namespace
