#include <gtest/gtest.h>

#include <string>

#include "platform/profile/Profile.h"

namespace {

std::string Value(std::string_view text, std::string_view section, std::string_view key) {
  std::string value;
  return profile::Lookup(text, section, key, value) ? value : "<absent>";
}

TEST(ProfileLookup, FindsSectionsAndKeysWithoutRegardToCaseAndTakesTheFirstMatch) {
  const std::string text =
      "[MainWin]\nTestOCX_New=first\ntestocx_new=second\n[mainwin]\nTestOCX_new=third\nlater=x\n";
  EXPECT_EQ(Value(text, "mainwin", "TESTOCX_NEW"), "first");
  // The first section of a name is the section: a later one is not searched.
  EXPECT_EQ(Value(text, "MAINWIN", "later"), "<absent>");
}

TEST(ProfileLookup, TrimsBlanksAndRemovesOnePairOfMatchingQuotes) {
  const std::string text =
      "  [ mainwin ]  \n"
      "\t key \t=  1200, 2400 \t\n"
      "double=\"quoted value\"\n"
      "single=  'x'  \n"
      "mixed=\"x'\n"
      "twice=\"\"x\"\"\n"
      "lone=\"\n"
      "empty=\n"
      "equals=a=b\n";
  EXPECT_EQ(Value(text, "mainwin", "key"), "1200, 2400");
  EXPECT_EQ(Value(text, "mainwin", "double"), "quoted value");
  EXPECT_EQ(Value(text, "mainwin", "single"), "x");
  EXPECT_EQ(Value(text, "mainwin", "mixed"), "\"x'");
  EXPECT_EQ(Value(text, "mainwin", "twice"), "\"x\"");
  EXPECT_EQ(Value(text, "mainwin", "lone"), "\"");
  EXPECT_EQ(Value(text, "mainwin", "empty"), "");
  EXPECT_EQ(Value(text, "mainwin", "equals"), "a=b");
}

TEST(ProfileLookup, CommentsLinesWithoutEqualsAndKeysOutsideASectionAreNotEntries) {
  const std::string text = "top=1\n[s]\n;k=1\n  ; j=2\nbare\n=nokey\n";
  EXPECT_EQ(Value(text, "s", "k"), "<absent>");
  EXPECT_EQ(Value(text, "s", "; j"), "<absent>");
  EXPECT_EQ(Value(text, "s", "bare"), "<absent>");
  EXPECT_EQ(Value(text, "", "top"), "<absent>");
}

TEST(ProfileLookup, AHeaderWithoutItsBracketNamesTheSectionWithTheRestOfItsLine) {
  EXPECT_EQ(Value("[mainwin  \nk=1\n", "mainwin", "k"), "1");
  EXPECT_EQ(Value("[a] trailing words\nk=2\n", "a", "k"), "2");
}

TEST(ProfileLookup, ReadsAroundJunkLongLinesMixedEndingsAndAMissingFinalNewline) {
  std::string text("\xff\xfe\x00\x01junk\r\n", 10);
  text += std::string(1 << 20, 'x') + "\n";
  text += "[s]\r\nk=v\r\r\nj=w\nlast=end";
  EXPECT_EQ(Value(text, "s", "j"), "w");
  EXPECT_EQ(Value(text, "s", "last"), "end");
  EXPECT_EQ(Value(text, "s", "k"), "v");
  // A stray CR at the very end does not make the header name another section.
  EXPECT_EQ(profile::Replace("[s]\nk=1\n[t\r", "t", "j", "2"), "[s]\nk=1\n[t\r\nj=2\n");
}

TEST(ProfileReplace, ReplacesTheValueInPlaceAndKeepsEveryOtherByte) {
  const std::string text =
      "; top\r\n[other]\r\nB=1\r\n[mainwin]\r\nA=1\r\n  b = old ; note\r\n\r\n[last]\r\nz=9";
  EXPECT_EQ(profile::Replace(text, "MAINWIN", "B", "3"),
            "; top\r\n[other]\r\nB=1\r\n[mainwin]\r\nA=1\r\nb=3\r\n\r\n[last]\r\nz=9");
}

TEST(ProfileReplace, AddsAMissingKeyAfterTheLastLineOfItsSectionWithTheFirstLineEnding) {
  const std::string text = "[mainwin]\nA=1\r\n\r\n[last]\r\nz=9\r\n";
  EXPECT_EQ(profile::Replace(text, "mainwin", "C", "4"),
            "[mainwin]\nA=1\r\nC=4\n\r\n[last]\r\nz=9\r\n");
}

TEST(ProfileReplace, AddsAMissingSectionAtTheEndEndingAnUnfinishedLastLineFirst) {
  EXPECT_EQ(profile::Replace("[a]\nx=1", "b", "y", "2"), "[a]\nx=1\n[b]\ny=2\n");
  EXPECT_EQ(profile::Replace("[a]\nx=1", "a", "y", "2"), "[a]\nx=1\ny=2\n");
  EXPECT_EQ(profile::Replace("[a]", "a", "y", "2"), "[a]\r\ny=2\r\n");
  EXPECT_EQ(profile::Replace("", "mainwin", "TestOCX_new", "1,2,3,4"),
            "[mainwin]\r\nTestOCX_new=1,2,3,4\r\n");
}

TEST(ProfileReplace, KeepsAOneMebibyteLineAndBinaryJunkByteForByte) {
  std::string head("\x00\xff[\x01=\n", 6);
  head += std::string(1 << 20, '\x7f') + "\r\n[s]\nk=1\n";
  const std::string tail = "[t]\nq=\"kept\"";
  const std::string out = profile::Replace(head + tail, "s", "k", "2");
  EXPECT_EQ(out, head.substr(0, head.size() - 4) + "k=2\n" + tail);
}

TEST(ProfileRemove, RemovesOneKeyLineOrAWholeSectionAndNothingElse) {
  const std::string text = "[a]\r\nk=1\r\nj=2\r\n[b]\nx=1\n\n[c]\ny=3";
  EXPECT_EQ(profile::RemoveKey(text, "A", "K"), "[a]\r\nj=2\r\n[b]\nx=1\n\n[c]\ny=3");
  EXPECT_EQ(profile::RemoveSection(text, "b"), "[a]\r\nk=1\r\nj=2\r\n[c]\ny=3");
  EXPECT_EQ(profile::RemoveSection(text, "c"), "[a]\r\nk=1\r\nj=2\r\n[b]\nx=1\n\n");
  EXPECT_EQ(profile::RemoveKey(text, "a", "missing"), text);
  EXPECT_EQ(profile::RemoveSection(text, "missing"), text);
}

TEST(ProfileWritable, RefusesEntriesThatWouldNotReadBackAsWritten) {
  EXPECT_TRUE(profile::Writable("mainwin", "TestOCX_new", "1,2,3,4"));
  EXPECT_FALSE(profile::Writable("mainwin", "k", "a\nb"));
  EXPECT_FALSE(profile::Writable("a]b", "k", "1"));
  EXPECT_FALSE(profile::Writable("s", "a=b", "1"));
  EXPECT_FALSE(profile::Writable("s", " ", "1"));
  EXPECT_FALSE(profile::Writable("s", ";k", "1"));
}

}  // namespace
