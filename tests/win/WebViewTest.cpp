// The Win32 desktop's web views hold the system's browser control: made and
// activated in place in the view's window, placed at the host's rectangles,
// shown only when asked, sent to the pages as file: URLs, and let go of when
// their window closes. Nothing renders under Wine (no engine there), so the
// pages themselves are not looked at.
#include <gtest/gtest.h>

#include <exdisp.h>
#include <exdispid.h>
#include <mshtmhst.h>
#include <ocidl.h>

#include <chrono>
#include <functional>
#include <string>

#include "platform/win/desktop/PageUrl.h"
#include "platform/win/desktop/WinDesktop.h"
#include "tests/win/MessagePump.h"
#include "tests/win/QuietSink.h"

namespace {

using platform::win::PageUrl;
using platform::win::WinDesktop;

using wintest::QuietSink;

// The location the control reports as it starts a navigation. It lives on
// the test's stack: the control's references do not own it.
class NavigationEvents : public IDispatch {
 public:
  std::wstring url;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    // Arguments arrive last first.
    if (id == DISPID_BEFORENAVIGATE2 && params->cArgs == 7) {
      url = Text(params->rgvarg[5]);
    }
    return S_OK;
  }

 private:
  static std::wstring Text(const VARIANT& v) {
    const VARIANT& inner = (v.vt == (VT_BYREF | VT_VARIANT)) ? *v.pvarVal : v;
    return inner.vt == VT_BSTR && inner.bstrVal ? std::wstring(inner.bstrVal) : std::wstring();
  }
};

using wintest::Pump;

// The control's own window, child of the view's window.
HWND ControlWindow(IWebBrowser2* browser) {
  IOleInPlaceObject* inPlace = nullptr;
  HWND window = nullptr;
  if (SUCCEEDED(browser->QueryInterface(IID_IOleInPlaceObject,
                                        reinterpret_cast<void**>(&inPlace)))) {
    inPlace->GetWindow(&window);
    inPlace->Release();
  }
  return window;
}

// A window's rectangle in its top-level window's client pixels.
RECT InClient(HWND window, HWND topLevel) {
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, topLevel, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

class WebViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = desktop_.CreateTopLevel(sink_, RECT{100, 80, 700, 520});
    ASSERT_NE(window_, nullptr);
  }

  WinDesktop desktop_;
  QuietSink sink_;
  HWND window_ = nullptr;
};

TEST_F(WebViewTest, AViewHoldsTheControlInPlaceAtTheHostsRectangleAndShowsOnlyWhenAsked) {
  const platform::WebViewId content = desktop_.CreateWebView(window_);
  const platform::WebViewId sound = desktop_.CreateWebView(window_);
  IWebBrowser2* browser = desktop_.WebViewBrowser(content);
  ASSERT_NE(browser, nullptr);
  ASSERT_NE(desktop_.WebViewBrowser(sound), nullptr);
  // In place: the control has made its window inside the view's.
  HWND control = ControlWindow(browser);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(GetAncestor(control, GA_ROOT), window_);
  // Pages lay out at the monitor's scale: the site tells the control so.
  IOleObject* object = nullptr;
  IOleClientSite* site = nullptr;
  IDocHostUIHandler* ui = nullptr;
  ASSERT_HRESULT_SUCCEEDED(browser->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)));
  ASSERT_HRESULT_SUCCEEDED(object->GetClientSite(&site));
  ASSERT_HRESULT_SUCCEEDED(site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&ui)));
  DOCHOSTUIINFO info{};
  info.cbSize = sizeof info;
  EXPECT_HRESULT_SUCCEEDED(ui->GetHostInfo(&info));
  EXPECT_TRUE(info.dwFlags & DOCHOSTUIFLAG_DPI_AWARE);
  ui->Release();
  site->Release();
  object->Release();

  desktop_.SetWebViewBounds(content, RECT{30, 40, 330, 240});
  EXPECT_TRUE(InClient(control, window_) == (RECT{30, 40, 330, 240}))
      << Describe(InClient(control, window_));
  // Moved and sized again, partly outside the window as when it is stretched
  // past the edges.
  desktop_.SetWebViewBounds(content, RECT{-2, 30, 602, 442});
  EXPECT_TRUE(InClient(control, window_) == (RECT{-2, 30, 602, 442}))
      << Describe(InClient(control, window_));

  desktop_.Show(window_, true);
  EXPECT_FALSE(IsWindowVisible(control));
  desktop_.ShowWebView(content, true);
  EXPECT_TRUE(IsWindowVisible(control));
  desktop_.ShowWebView(content, false);
  EXPECT_FALSE(IsWindowVisible(control));
  // The sound page's view is made, placed and navigated, never shown.
  desktop_.SetWebViewBounds(sound, RECT{104, 344, 145, 377});
  desktop_.Navigate(sound, "C:\\skinshell/html/sound.html");
  EXPECT_FALSE(IsWindowVisible(ControlWindow(desktop_.WebViewBrowser(sound))));
}

TEST_F(WebViewTest, NavigateHandsTheControlTheLocationAsAFileUrl) {
  const platform::WebViewId view = desktop_.CreateWebView(window_);
  IWebBrowser2* browser = desktop_.WebViewBrowser(view);
  ASSERT_NE(browser, nullptr);
  IConnectionPointContainer* points = nullptr;
  IConnectionPoint* point = nullptr;
  ASSERT_HRESULT_SUCCEEDED(browser->QueryInterface(IID_IConnectionPointContainer,
                                                   reinterpret_cast<void**>(&points)));
  ASSERT_HRESULT_SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &point));
  points->Release();
  NavigationEvents events;
  DWORD cookie = 0;
  ASSERT_HRESULT_SUCCEEDED(point->Advise(&events, &cookie));

  // A program folder with blanks, non-ASCII letters and URL characters in
  // its name, as the host builds the location: UTF-8, mixed separators.
  desktop_.Navigate(view, "C:\\skinshell test\\Pro gram \xC3\xA9\xE5\xAD\x97#1%"
                          "/html/index.html?installation=y");
  ASSERT_TRUE(Pump([&] { return !events.url.empty(); }));
  // The control names a local page by its path, with the URL's escapes
  // undone: the same folder, so the URL kept every character of it.
  EXPECT_EQ(events.url,
            L"C:\\skinshell test\\Pro gram \u00e9\u5b57#1%\\html\\index.html?installation=y");

  point->Unadvise(cookie);
  point->Release();
}

TEST(PageUrlTest, LocationsBecomeFileUrlsWithTheQueryAfterTheFileName) {
  // A drive root keeps its backslash before the forward-slash part.
  EXPECT_EQ(PageUrl("C:\\/html/sound.html"), L"file:///C:/html/sound.html");
  // '?' and '#' in a folder's name are the path's; the query follows the name.
  EXPECT_EQ(PageUrl("C:\\a#b\\html/index.html?installation=y#top x"),
            L"file:///C:/a%23b/html/index.html?installation=y#top%20x");
  EXPECT_EQ(PageUrl("\\\\server\\share\\app/html/index.html"),
            L"file://server/share/app/html/index.html");
  EXPECT_EQ(PageUrl(""), L"about:blank");
  EXPECT_EQ(PageUrl(std::string("C:\\a\0b/html/index.html", 22)), L"about:blank");
}

TEST_F(WebViewTest, ClosingTheWindowLetsGoOfEveryControl) {
  const platform::WebViewId view = desktop_.CreateWebView(window_);
  desktop_.SetWebViewBounds(view, RECT{10, 10, 200, 200});
  desktop_.ShowWebView(view, true);
  desktop_.Navigate(view, "C:\\skinshell/html/index.html");
  IWebBrowser2* browser = desktop_.WebViewBrowser(view);
  ASSERT_NE(browser, nullptr);
  browser->AddRef();
  HWND control = ControlWindow(browser);
  desktop_.DestroyTopLevel(window_);
  EXPECT_FALSE(IsWindow(control));
  EXPECT_EQ(desktop_.WebViewBrowser(view), nullptr);
  // Ours is the last reference.
  EXPECT_EQ(browser->Release(), 0u);
}

}  // namespace
