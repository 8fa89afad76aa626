// The page rule over a real program folder on disk: what stays in the web
// view, what goes to the default handler, and what is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/PagePolicy.h"
#include "tests/support/Scenario.h"

namespace {

namespace fs = std::filesystem;
using platform::PageAnswer;
using platform::PageRequest;
using platform::PageVerdict;
using platform::PageView;
using Urls = std::vector<std::string>;

class PagePolicyTest : public ::testing::Test {
 protected:
  PagePolicyTest() {
    fs::create_directories(test::PathOf(folder_ / "html/sub"));
    fs::create_directories(test::PathOf(folder_ / "outside/folder"));
    for (const char* page :
         {"html/index.html", "html/sound.html", "html/sub/page.html", "outside/doc.pdf"}) {
      test::WriteFile(folder_ / page, "x");
    }
  }

  // A file URL as the backends make one: the absolute path with the
  // characters that would end or change it escaped.
  std::string Url(const std::string& name) const {
    std::string url = "file://";
    std::string path = folder_ / name;
    if (path.front() != '/') url += '/';
    for (char c : path) {
      if (c == ' ' || c == '#' || c == '%' || c == '?') {
        static constexpr char Hex[] = "0123456789ABCDEF";
        url += '%';
        url += Hex[static_cast<unsigned char>(c) >> 4];
        url += Hex[c & 0xF];
      } else {
        url += c == '\\' ? '/' : c;
      }
    }
    return url;
  }

  std::string Real(const std::string& name) const {
    std::string path = test::Utf8Of(fs::canonical(test::PathOf(folder_ / name)));
    for (char& c : path) c = c == '\\' ? '/' : c;
    return path;
  }

  PageAnswer Ask(const std::string& url, PageRequest request = PageRequest::Navigation,
                 PageView view = PageView::Main) const {
    const platform::PagePolicy policy(
        html_, {[](const std::string& scheme) { return !scheme.ends_with("+none"); }});
    const std::string own = Url("html/sound.html");
    return policy.Decide({view, request, url, own});
  }

  bool MakeLink(const std::string& target, const std::string& link) {
    std::error_code error;
    fs::create_symlink(test::PathOf(folder_ / target), test::PathOf(folder_ / link), error);
    return !error;
  }

  test::TempFolder folder_{"pages #%"};
  std::string html_ = folder_ / "html";
};

void ExpectRefused(const PageAnswer& answer, bool saysWhy, const std::string& url) {
  EXPECT_EQ(answer.Verdict, PageVerdict::Refuse) << url;
  EXPECT_TRUE(answer.Url.empty() && answer.File.empty()) << url;
  EXPECT_EQ(!answer.Reason.empty(), saysWhy) << url << ": " << answer.Reason;
  EXPECT_LT(answer.Reason.size(), 300u) << url;
  for (char c : answer.Reason) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << url;
}

TEST_F(PagePolicyTest, PagesUnderHtmlStayInTheViewWithTheirQueriesAndSpellings) {
  const std::string index = Url("html/index.html");
  for (const std::string& url :
       Urls{index, index + "?installation=y", Url("html/sub/page.html") + "#top",
            Url("html/sub/../index.html"), Url("html/sub") + "/%2e%2e/index.html",
            Url("html/not-yet.html"), "FILE:" + index.substr(5),
            "file://LocalHost" + index.substr(7), "about:blank", "javascript:void(0)"}) {
    EXPECT_EQ(Ask(url).Verdict, PageVerdict::Allow) << url;
  }
}

TEST_F(PagePolicyTest, LinksOutOfTheProgramGoToTheDefaultHandlerAndTheViewStays) {
  for (const std::string& url : Urls{"http://example.org/a?b=c#d", "https://[::1]:8080/",
                                     "mailto:someone@example.org", "tel:+4930123", "irc:x"}) {
    const PageAnswer answer = Ask(url);
    EXPECT_EQ(answer.Verdict, PageVerdict::HandOff) << url;
    EXPECT_EQ(answer.Url, url);
  }
  EXPECT_EQ(Ask("HTTPS://Example.ORG/").Url, "https://Example.ORG/");
  // Local files outside html/, however the URL climbs out to them.
  for (const std::string& url : Urls{Url("outside/doc.pdf"), Url("html/../outside/doc.pdf"),
                                     Url("html/sub") + "/%2E%2E/%2e%2e/outside/doc.pdf"}) {
    const PageAnswer answer = Ask(url);
    EXPECT_EQ(answer.Verdict, PageVerdict::HandOff) << url;
    EXPECT_EQ(answer.File, Real("outside/doc.pdf")) << url;
    EXPECT_TRUE(answer.Url.empty());
  }
}

TEST_F(PagePolicyTest, ALinkUnderHtmlThatLeadsOutIsOutsideAndAProgramFolderReachedByALinkIsNot) {
  if (!MakeLink("outside/doc.pdf", "html/doc.pdf") || !MakeLink("outside", "html/out") ||
      !MakeLink("outside/gone.html", "html/gone.html") || !MakeLink("html", "html-link")) {
    GTEST_SKIP() << "this system makes no symbolic links here";
  }
  EXPECT_EQ(Ask(Url("html/doc.pdf")).File, Real("outside/doc.pdf"));
  EXPECT_EQ(Ask(Url("html/out/doc.pdf")).File, Real("outside/doc.pdf"));
  // The engine takes ".." away from the URL before it follows any link.
  EXPECT_EQ(Ask(Url("html/out/../index.html")).Verdict, PageVerdict::Allow);
  ExpectRefused(Ask(Url("html/out/")), true, "a folder out of html/");
  ExpectRefused(Ask(Url("html/out/none.html")), true, "a missing file out of html/");
  ExpectRefused(Ask(Url("html/gone.html")), true, "a link to nothing");
  // The program's pages named through the link stay in, and its html
  // folder given through the link holds the pages named directly.
  EXPECT_EQ(Ask(Url("html-link/index.html")).Verdict, PageVerdict::Allow);
  html_ = folder_ / "html-link";
  EXPECT_EQ(Ask(Url("html/index.html")).Verdict, PageVerdict::Allow);
}

TEST_F(PagePolicyTest, OnWindowsPathsTheBrowserControlGivesAndAnyCaseNameThePages) {
  const std::string folder = folder_.Path();
  if (folder.size() < 3 || folder[1] != ':') GTEST_SKIP() << "no drive letters here";
  std::string windows = folder + "\\HTML\\Index.Html";
  for (char& c : windows) c = c == '/' ? '\\' : c;
  for (const std::string& url :
       Urls{windows + "?installation=y", Url("HTML/SUB/../index.html"), Url("html./index.html")}) {
    EXPECT_EQ(Ask(url).Verdict, PageVerdict::Allow) << url;
  }
  EXPECT_EQ(Ask(Url("HTML/Sound.html"), PageRequest::Navigation, PageView::Sound).Verdict,
            PageVerdict::Allow);
  EXPECT_EQ(Ask(Url("Outside/Doc.PDF")).File, Real("outside/doc.pdf"));
  ExpectRefused(Ask(Url("html/index.html:stream")), true, "a stream of a page");
}

TEST_F(PagePolicyTest, NewWindowsAndDownloadsNeverReplaceThePage) {
  const PageAnswer page = Ask(Url("html/index.html"), PageRequest::NewWindow);
  EXPECT_EQ(page.Verdict, PageVerdict::HandOff);
  EXPECT_EQ(page.File, Real("html/index.html"));
  for (PageRequest request : {PageRequest::NewWindow, PageRequest::Download}) {
    EXPECT_EQ(Ask("https://example.org/f.zip", request).Url, "https://example.org/f.zip");
    EXPECT_EQ(Ask(Url("outside/doc.pdf"), request).File, Real("outside/doc.pdf"));
  }
  for (const char* url : {"javascript:open()", "about:blank"}) {
    ExpectRefused(Ask(url, PageRequest::NewWindow), false, url);
  }
  ExpectRefused(Ask("data:text/plain,x", PageRequest::NewWindow), true, "data: in a window");
  ExpectRefused(Ask(Url("html/index.html"), PageRequest::Download), true, "an own page");
  ExpectRefused(Ask("blob:" + Url("html/x"), PageRequest::Download), true, "a blob");
}

TEST_F(PagePolicyTest, ContentSchemesFoldersAndSchemesWithoutAHandlerStayWhereTheyAre) {
  // The desktop claims a handler for every scheme here but those ending in +none.
  for (const std::string& url :
       Urls{"data:text/html,<b>x</b>", "blob:" + Url("html/x"), "about:config", "about:blankx",
            "view-source:http://example.org/"}) {
    ExpectRefused(Ask(url), false, url);
  }
  for (const std::string& url : Urls{"web+none:thing", Url("html/sub/"), Url("html"),
                                     Url("outside/folder"), Url("outside/none.pdf")}) {
    ExpectRefused(Ask(url), true, url);
  }
}

TEST_F(PagePolicyTest, TheSoundViewGoesNowhereButItsPageAndOpensNothing) {
  EXPECT_EQ(Ask(Url("html/sound.html"), PageRequest::Navigation, PageView::Sound).Verdict,
            PageVerdict::Allow);
  EXPECT_EQ(Ask(Url("html/sub/../sound.html") + "?again", PageRequest::Navigation, PageView::Sound)
                .Verdict,
            PageVerdict::Allow);
  for (PageRequest request :
       {PageRequest::Navigation, PageRequest::NewWindow, PageRequest::Download}) {
    for (const std::string& url : Urls{Url("html/index.html"), Url("outside/doc.pdf"),
                                       "http://example.org/", "about:blank", "javascript:1"}) {
      ExpectRefused(Ask(url, request, PageView::Sound), false, url);
    }
  }
}

TEST_F(PagePolicyTest, MalformedURLsAreRefusedWithAShortLineAndReachNoHandler) {
  const std::string page = Url("html/index.html");
  const std::string bad[] = {
      "http://example.org/" + std::string(100 * 1024, 'a'),
      "http://example.org/" + std::string(300, '\xff'),
      std::string(300, 'x') + "+none:thing",
      std::string("http://example.org/\0x", 21),
      "http://example.org/\x01",
      page + "\n",
      "http://example.org/%zz",
      "http://example.org/%4",
      "http://example.org/\xff\xfe",
      "http://example.org/a\"b",
      "http://example.org/a b",
      "http://",
      "https:///path",
      "http://user@:80/",
      "mailto:",
      " http://example.org/",
      "1http://example.org/",
      "no scheme at all",
      Url("html") + "/%00.html",
      Url("html") + "/%zz.html",
      Url("html") + "/a%2Fb.html",
      "file://server/share/doc.pdf",
      "file:relative/doc.pdf",
      "C:relative\\notepad.exe",
      "\\\\server\\share\\doc.pdf",
  };
  for (const std::string& url : bad) {
    for (PageRequest request : {PageRequest::Navigation, PageRequest::Download}) {
      ExpectRefused(Ask(url, request), true, url.substr(0, 60));
    }
  }
}

}  // namespace
