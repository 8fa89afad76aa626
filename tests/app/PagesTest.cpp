// The pages installed beside the program: every file they name is there.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "tests/support/Scenario.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> LocalReferences(const std::string& page) {
  const std::string html = test::ReadFile(page);
  std::vector<std::string> found;
  // Attributes, and sounds that a script makes when they are due.
  const std::regex attribute(R"re((?:src=|href=|Audio\()"([^"#:]+)")re");
  for (auto it = std::sregex_iterator(html.begin(), html.end(), attribute);
       it != std::sregex_iterator(); ++it) {
    found.push_back((*it)[1]);
  }
  return found;
}

TEST(Pages, EveryFileAPageNamesIsBesideIt) {
  const std::string html = test::SourceFolder() + "/html";
  for (const char* page : {"index.html", "sound.html"}) {
    const std::vector<std::string> references = LocalReferences(html + "/" + page);
    EXPECT_FALSE(references.empty()) << page;
    for (const std::string& name : references) {
      EXPECT_TRUE(fs::is_regular_file(html + "/" + name)) << page << " names " << name;
    }
  }
}

TEST(Pages, TheChimeIsAShortPcmWave) {
  const std::string wav = test::ReadFile(test::SourceFolder() + "/html/chime.wav");
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  EXPECT_LT(wav.size(), 64u * 1024);
}

TEST(Pages, TheStartPageScriptFindsEveryElementItLooksFor) {
  const std::string script = test::ReadFile(test::SourceFolder() + "/html/start.js");
  const std::string page = test::ReadFile(test::SourceFolder() + "/html/index.html");
  EXPECT_NE(script.find("\"installation\""), std::string::npos);
  const std::regex lookup(R"re(getElementById\("([^"]+)"\))re");
  int ids = 0;
  for (auto it = std::sregex_iterator(script.begin(), script.end(), lookup);
       it != std::sregex_iterator(); ++it, ++ids) {
    EXPECT_NE(page.find("id=\"" + (*it)[1].str() + "\""), std::string::npos) << (*it)[1];
  }
  EXPECT_GT(ids, 0);
}

}  // namespace
