// The Win32 desktop keeps its views on the program's pages: what leaves
// them goes through the shell to the handlers the registry names, here a
// recorder registered for the test's duration. Nothing renders under Wine,
// so the control is driven through its events: navigations the test starts
// on it, and events the test hands the desktop's own sink where the control
// would not fire them.
#include <exdisp.h>
#include <exdispid.h>
#include <gtest/gtest.h>
#include <mshtmhst.h>
#include <ocidl.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/win/Utf16.h"
#include "platform/win/desktop/WinDesktop.h"
#include "tests/win/MessagePump.h"
#include "tests/win/QuietSink.h"

namespace {

using platform::win::Utf8;
using platform::win::Wide;
using platform::win::WinDesktop;

using wintest::QuietSink;

void SetClass(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

// A class of the registry opened by `command` while it lives; what was
// there comes back after. Wine's classes are the machine's: it reads no
// user's classes before them.
class RecordedClass {
 public:
  RecordedClass(const std::wstring& name, const std::wstring& command, bool protocol)
      : name_(name), command_(name + L"\\shell\\open\\command") {
    wchar_t old[1024];
    DWORD size = sizeof old;
    if (RegGetValueW(HKEY_CLASSES_ROOT, command_.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, old,
                     &size) == ERROR_SUCCESS) {
      old_ = old;
    }
    SetClass(command_, nullptr, command);
    if (protocol) SetClass(name, L"URL Protocol", L"");
  }
  ~RecordedClass() {
    if (old_.empty()) RegDeleteTreeW(HKEY_CLASSES_ROOT, name_.c_str());
    if (!old_.empty()) SetClass(command_, nullptr, old_);
  }

 private:
  std::wstring name_;
  std::wstring command_;
  std::wstring old_;
};

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"skinshell-pages-" + std::to_wstring(GetCurrentProcessId());
}

void WriteFile(const std::wstring& path) {
  std::ofstream(path.c_str()) << "<p>page</p>\n";
}

std::wstring FileUrl(std::wstring path) {
  for (wchar_t& c : path) {
    if (c == L'\\') c = L'/';
  }
  return L"file:///" + path;
}

// A recorder stands for the user's default programs: each line it writes
// is what the shell gave one of them.
class PageRuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = TempFolder();
    CreateDirectoryW(folder_.c_str(), nullptr);
    CreateDirectoryW((folder_ + L"\\html").c_str(), nullptr);
    WriteFile(folder_ + L"\\html\\index.html");
    WriteFile(folder_ + L"\\html\\sound.html");
    WriteFile(folder_ + L"\\html\\other.html");
    WriteFile(folder_ + L"\\notes.skinshelltest");
    record_ = folder_ + L"\\record.txt";
    const std::wstring recorder = L"cmd /c echo %1>>\"" + record_ + L"\"";
    for (const wchar_t* scheme : {L"http", L"mailto"}) {
      classes_.emplace_back(std::make_unique<RecordedClass>(scheme, recorder, true));
    }
    classes_.emplace_back(std::make_unique<RecordedClass>(L"skinshell.testfile", recorder, false));
    SetClass(L".skinshelltest", nullptr, L"skinshell.testfile");

    window_ = desktop_.CreateTopLevel(sink_, RECT{100, 80, 700, 520});
    ASSERT_NE(window_, nullptr);
    desktop_.SetTitle(window_, "Skin Shell Test");
    desktop_.Show(window_, true);
    sound_ = desktop_.CreateWebView(window_);
    content_ = desktop_.CreateWebView(window_);
    desktop_.SetWebViewBounds(content_, RECT{10, 30, 590, 430});
    desktop_.ShowWebView(content_, true);
    const std::string html = Utf8(folder_.data(), folder_.size()) + "\\html";
    desktop_.Navigate(sound_, html + "/sound.html");
    desktop_.Navigate(content_, html + "/index.html?installation=y");
    browser_ = desktop_.WebViewBrowser(content_);
    ASSERT_NE(browser_, nullptr);
    errors_ = std::cerr.rdbuf(said_.rdbuf());
  }

  void TearDown() override {
    std::cerr.rdbuf(errors_);
    if (window_) desktop_.DestroyTopLevel(window_);
    classes_.clear();
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".skinshelltest");
    for (const wchar_t* file : {L"\\html\\index.html", L"\\html\\sound.html", L"\\html\\other.html",
                                L"\\notes.skinshelltest", L"\\record.txt"}) {
      DeleteFileW((folder_ + file).c_str());
    }
    RemoveDirectoryW((folder_ + L"\\html").c_str());
    RemoveDirectoryW(folder_.c_str());
  }

  // What the handlers were given, once `expected` have come; what comes in
  // the half second after them too.
  std::set<std::string> Handed(std::size_t expected) {
    std::set<std::string> lines;
    auto read = [&] {
      lines.clear();
      std::ifstream in(record_.c_str());
      for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        lines.insert(line);
      }
      return lines.size() >= expected;
    };
    wintest::Pump(read);
    wintest::Pump([] { return false; }, std::chrono::milliseconds(500));
    read();
    return lines;
  }

  // One of the interfaces the control's site answers.
  template <typename T>
  static T* SiteAs(IWebBrowser2* browser) {
    IOleObject* object = nullptr;
    IOleClientSite* site = nullptr;
    T* answer = nullptr;
    browser->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object));
    object->GetClientSite(&site);
    site->QueryInterface(__uuidof(T), reinterpret_cast<void**>(&answer));
    site->Release();
    object->Release();
    return answer;
  }

  // The desktop's own event sink on a control: the first to connect.
  static IDispatch* SiteEvents(IWebBrowser2* browser) {
    IConnectionPointContainer* points = nullptr;
    IConnectionPoint* point = nullptr;
    IEnumConnections* connections = nullptr;
    browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points));
    points->FindConnectionPoint(DIID_DWebBrowserEvents2, &point);
    points->Release();
    point->EnumConnections(&connections);
    point->Release();
    CONNECTDATA first{};
    connections->Next(1, &first, nullptr);
    connections->Release();
    IDispatch* sink = nullptr;
    if (first.pUnk) {
      first.pUnk->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&sink));
      first.pUnk->Release();
    }
    return sink;
  }

  // Hands the sink an event as the control raises it; true when the sink
  // cancelled it.
  static bool Fire(IDispatch* sink, DISPID id, std::vector<VARIANT> lastFirst, std::size_t cancel) {
    VARIANT_BOOL cancelled = VARIANT_FALSE;
    lastFirst[cancel].vt = VT_BYREF | VT_BOOL;
    lastFirst[cancel].pboolVal = &cancelled;
    DISPPARAMS params{lastFirst.data(), nullptr, static_cast<UINT>(lastFirst.size()), 0};
    sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    return cancelled != VARIANT_FALSE;
  }

  static VARIANT Text(BSTR text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text;
    return v;
  }

  // BeforeNavigate2 of the frame `frame` to url.
  static bool BeforeNavigate(IDispatch* sink, IDispatch* frame, const std::wstring& url) {
    BSTR text = SysAllocStringLen(url.data(), static_cast<UINT>(url.size()));
    VARIANT location = Text(text);
    std::vector<VARIANT> args(7);
    for (VARIANT& v : args) VariantInit(&v);
    args[6].vt = VT_DISPATCH;
    args[6].pdispVal = frame;
    args[5].vt = VT_BYREF | VT_VARIANT;
    args[5].pvarVal = &location;
    const bool cancelled = Fire(sink, DISPID_BEFORENAVIGATE2, args, 0);
    SysFreeString(text);
    return cancelled;
  }

  WinDesktop desktop_;
  QuietSink sink_;
  HWND window_ = nullptr;
  platform::WebViewId sound_ = 0;
  platform::WebViewId content_ = 0;
  IWebBrowser2* browser_ = nullptr;
  std::wstring folder_;
  std::wstring record_;
  std::vector<std::unique_ptr<RecordedClass>> classes_;
  std::ostringstream said_;
  std::streambuf* errors_ = nullptr;
};

bool Navigate(IWebBrowser2* browser, const std::wstring& url) {
  VARIANT location;
  VariantInit(&location);
  location.vt = VT_BSTR;
  location.bstrVal = SysAllocString(url.c_str());
  VARIANT none;
  VariantInit(&none);
  const HRESULT result = browser->Navigate2(&location, &none, &none, &none, &none);
  VariantClear(&location);
  return SUCCEEDED(result);
}

TEST_F(PageRuleTest, LinksAndFilesOutsideGoToTheirHandlersAndThePagesInsideStay) {
  IDispatch* events = SiteEvents(browser_);
  ASSERT_NE(events, nullptr);
  // Started on the control as a page's link or script would, one at a time:
  // the recorders would share the file.
  const std::string notes = Utf8(folder_.data(), folder_.size()) + "\\notes.skinshelltest";
  ASSERT_TRUE(Navigate(browser_, L"http://example.com/a?b=1"));
  EXPECT_EQ(Handed(1), (std::set<std::string>{"http://example.com/a?b=1"})) << said_.str();
  ASSERT_TRUE(Navigate(browser_, L"MAILTO:someone@example.com"));
  EXPECT_EQ(Handed(2),
            (std::set<std::string>{"http://example.com/a?b=1", "mailto:someone@example.com"}))
      << said_.str();
  ASSERT_TRUE(Navigate(browser_, FileUrl(folder_ + L"\\html\\..\\notes.skinshelltest")));
  // The program's own page goes ahead in the view; the handlers get nothing.
  EXPECT_FALSE(BeforeNavigate(events, browser_, folder_ + L"\\html\\other.html?x=1"));
  // A frame inside the page, which has a browser object of its own, is not
  // the page: its navigations are its own.
  EXPECT_FALSE(BeforeNavigate(events, desktop_.WebViewBrowser(sound_), L"http://example.com/f"));
  EXPECT_EQ(Handed(3), (std::set<std::string>{"http://example.com/a?b=1",
                                              "mailto:someone@example.com", notes}))
      << said_.str();
  events->Release();
}

TEST_F(PageRuleTest, ALinkNoProgramTakesSaysWhyOnceAndBadURLsGoNowhere) {
  RecordedClass broken(L"x-skinshell-broken", L"C:\\nowhere\\missing.exe %1", true);
  ASSERT_TRUE(Navigate(browser_, L"x-skinshell-none:thing"));
  ASSERT_TRUE(Navigate(browser_, L"x-skinshell-broken:thing"));
  auto said = [&](const char* text) { return said_.str().find(text) != std::string::npos; };
  EXPECT_TRUE(wintest::Pump([&] { return said("no program here opens x-skinshell-none: links"); }))
      << said_.str();
  EXPECT_TRUE(wintest::Pump([&] { return said("no program took the x-skinshell-broken: link: "); }))
      << said_.str();

  IDispatch* events = SiteEvents(browser_);
  ASSERT_NE(events, nullptr);
  // A NUL inside the control's string, and a URL of 100 kB.
  EXPECT_TRUE(BeforeNavigate(events, browser_, std::wstring(L"http://example.com/\0.html", 25)));
  EXPECT_TRUE(BeforeNavigate(events, browser_, L"http://example.com/" + std::wstring(100000, L'a')));
  EXPECT_TRUE(Handed(0).empty());
  events->Release();

  // A handler that takes half a minute to end holds up nothing: the next
  // link reaches its own while it still runs, before it writes its line.
  RecordedClass hangs(L"x-skinshell-hangs",
                      L"cmd /c \"ping -n 30 127.0.0.1 >nul & echo hung>>\"" + record_ + L"\"\"",
                      true);
  ASSERT_TRUE(Navigate(browser_, L"x-skinshell-hangs:thing"));
  ASSERT_TRUE(Navigate(browser_, L"http://example.com/after"));
  EXPECT_EQ(Handed(1), (std::set<std::string>{"http://example.com/after"})) << said_.str();
}

TEST_F(PageRuleTest, NewWindowsAndDownloadsNeverOpenInTheControl) {
  IDispatch* events = SiteEvents(browser_);
  ASSERT_NE(events, nullptr);
  // NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl), as for a
  // target="_blank" link or window.open().
  auto newWindow = [&](const wchar_t* url) {
    std::vector<VARIANT> args(5);
    for (VARIANT& v : args) VariantInit(&v);
    args[0] = Text(SysAllocString(url));
    const bool cancelled = Fire(events, DISPID_NEWWINDOW3, args, 3);
    SysFreeString(args[0].bstrVal);
    return cancelled;
  };
  EXPECT_TRUE(newWindow(L"http://example.com/new"));
  // FileDownload(ActiveDocument, Cancel) after the navigation that led to it.
  auto download = [&](VARIANT_BOOL active) {
    std::vector<VARIANT> args(2);
    for (VARIANT& v : args) VariantInit(&v);
    args[1].vt = VT_BOOL;
    args[1].boolVal = active;
    return Fire(events, DISPID_FILEDOWNLOAD, args, 0);
  };
  ASSERT_FALSE(BeforeNavigate(events, browser_, folder_ + L"\\html\\other.html"));
  EXPECT_FALSE(download(VARIANT_TRUE)) << "a page the control shows is no download";
  EXPECT_TRUE(download(VARIANT_FALSE));
  EXPECT_NE(said_.str().find("the program's own pages are not downloaded"), std::string::npos)
      << said_.str();
  // A URL that is no well-formed UTF-16 (an unpaired surrogate) goes
  // nowhere, whatever the rest would name.
  EXPECT_TRUE(BeforeNavigate(events, browser_, std::wstring(L"http://example.com/\xD800x")));
  EXPECT_NE(said_.str().find("not valid UTF-16"), std::string::npos) << said_.str();
  EXPECT_EQ(Handed(1), (std::set<std::string>{"http://example.com/new"})) << said_.str();
  events->Release();
}

TEST_F(PageRuleTest, TheHiddenSoundViewStaysOnItsPageAndSaysNothing) {
  IDispatch* events = SiteEvents(desktop_.WebViewBrowser(sound_));
  IDispatch* frame = nullptr;
  desktop_.WebViewBrowser(sound_)->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&frame));
  EXPECT_FALSE(BeforeNavigate(events, frame, folder_ + L"\\html\\sound.html"));
  EXPECT_TRUE(BeforeNavigate(events, frame, folder_ + L"\\html\\index.html"));
  EXPECT_TRUE(BeforeNavigate(events, frame, L"http://example.com/"));
  EXPECT_EQ(said_.str(), "");
  EXPECT_TRUE(Handed(0).empty());
  frame->Release();
  events->Release();
}

// The first top-level window of the class that this process shows, once it
// shows.
HWND ShownWindow(const wchar_t* windowClass) {
  for (int i = 0; i < 500; ++i) {
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, windowClass, nullptr)) != nullptr) {
      DWORD process = 0;
      GetWindowThreadProcessId(found, &process);
      if (process == GetCurrentProcessId() && IsWindowVisible(found)) return found;
    }
    Sleep(20);
  }
  return nullptr;
}

TEST_F(PageRuleTest, AScriptDialogIsTitledAsTheWindowAndHoldsItUntilAnswered) {
  IDocHostShowUI* show = SiteAs<IDocHostShowUI>(browser_);
  ASSERT_NE(show, nullptr);
  std::wstring title;
  HWND owner = nullptr;
  bool held = false;
  std::thread answer([&] {
    HWND box = ShownWindow(L"#32770");
    if (!box) return;
    wchar_t text[256] = {};
    GetWindowTextW(box, text, 256);
    title = text;
    owner = GetWindow(box, GW_OWNER);
    held = !IsWindowEnabled(window_);
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  });
  LRESULT result = 0;
  EXPECT_EQ(show->ShowMessage(nullptr, const_cast<LPOLESTR>(L"Sure?"),
                              const_cast<LPOLESTR>(L"file:///C:/program/html/index.html"),
                              MB_OKCANCEL | MB_ICONQUESTION, nullptr, 0, &result),
            S_OK);
  answer.join();
  EXPECT_EQ(title, L"Skin Shell Test");
  EXPECT_EQ(owner, window_);
  EXPECT_TRUE(held) << "the dialog is modal to the program's window";
  EXPECT_EQ(result, IDCANCEL);
  show->Release();
}

// A page's element as its script object: named properties, nothing else.
class Element : public IDispatch {
 public:
  std::wstring href;
  IDispatch* parent = nullptr;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IDispatch ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID,
                                          DISPID* id) override {
    const std::wstring name = names[0];
    *id = name == L"href" && !href.empty() ? 1 : name == L"parentElement" && parent ? 2 : -1;
    return *id == -1 ? DISP_E_UNKNOWNNAME : S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (id == 1) {
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocString(href.c_str());
    } else {
      result->vt = VT_DISPATCH;
      result->pdispVal = parent;
    }
    return S_OK;
  }
};

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

TEST_F(PageRuleTest, TheContextMenuHoldsNoNavigationAndALinksMenuOnlyCopiesIt) {
  IDocHostUIHandler* ui = SiteAs<IDocHostUIHandler>(browser_);
  ASSERT_NE(ui, nullptr);
  POINT at{300, 200};
  // S_OK: the host showed the menu, here none; S_FALSE: the control's own.
  EXPECT_EQ(ui->ShowContextMenu(CONTEXT_MENU_DEFAULT, &at, nullptr, nullptr), S_OK);
  EXPECT_EQ(ui->ShowContextMenu(CONTEXT_MENU_IMAGE, &at, nullptr, nullptr), S_OK);
  EXPECT_EQ(ui->ShowContextMenu(CONTEXT_MENU_CONTROL, &at, nullptr, nullptr), S_FALSE);
  EXPECT_EQ(ui->ShowContextMenu(CONTEXT_MENU_TEXTSELECT, &at, nullptr, nullptr), S_FALSE);

  // A picture inside a link.
  Element link;
  link.href = L"http://example.com/linked";
  Element picture;
  picture.parent = &link;
  int items = 0;
  wchar_t first[64] = {};
  std::thread pick([&] {
    HWND menu = ShownWindow(L"#32768");
    if (!menu) return;
    HMENU handle = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
    items = GetMenuItemCount(handle);
    GetMenuStringW(handle, 0, first, 64, MF_BYPOSITION);
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  });
  EXPECT_EQ(ui->ShowContextMenu(CONTEXT_MENU_ANCHOR, &at, nullptr, &picture), S_OK);
  pick.join();
  EXPECT_EQ(items, 1);
  EXPECT_EQ(std::wstring(first), L"Copy Link");
  EXPECT_EQ(ClipboardText(), link.href);
  ui->Release();
}

// The control's own drop target: it hands the page its drop events, and
// opens a file the page does not take in the view.
class ControlDrops : public IDropTarget {
 public:
  IWebBrowser2* browser = nullptr;
  std::wstring file;
  bool dropped = false;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IDropTarget ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    dropped = true;
    *effect = DROPEFFECT_COPY;
    return Navigate(browser, file) ? S_OK : E_FAIL;
  }
};

TEST_F(PageRuleTest, AFileDroppedOnThePageReachesThePageButNeverOpensInTheView) {
  IDocHostUIHandler* ui = SiteAs<IDocHostUIHandler>(browser_);
  ASSERT_NE(ui, nullptr);
  ControlDrops control;
  control.browser = browser_;
  control.file = FileUrl(folder_ + L"\\notes.skinshelltest");
  IDropTarget* page = nullptr;
  ASSERT_EQ(ui->GetDropTarget(&control, &page), S_OK);
  DWORD effect = DROPEFFECT_COPY;
  EXPECT_EQ(page->DragEnter(nullptr, MK_LBUTTON, POINTL{50, 50}, &effect), S_OK);
  EXPECT_EQ(page->Drop(nullptr, 0, POINTL{50, 50}, &effect), S_OK);
  EXPECT_TRUE(control.dropped);
  page->Release();
  // The control starts its navigations from posted messages here.
  wintest::Pump([] { return false; }, std::chrono::milliseconds(300));
  // A link afterwards still goes out; the dropped file went nowhere.
  ASSERT_TRUE(Navigate(browser_, L"http://example.com/after"));
  EXPECT_EQ(Handed(1), (std::set<std::string>{"http://example.com/after"})) << said_.str();
  EXPECT_EQ(said_.str(), "");
  ui->Release();
}

// The view's window as the control made it, with the messages that reach it
// in order.
std::vector<UINT>* arrived = nullptr;
WNDPROC controlProc = nullptr;

LRESULT CALLBACK Recording(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (arrived && (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == WM_XBUTTONUP)) {
    arrived->push_back(msg == WM_XBUTTONUP ? msg : static_cast<UINT>(wParam));
  }
  return CallWindowProcW(controlProc, hwnd, msg, wParam, lParam);
}

TEST_F(PageRuleTest, KeysAndMouseButtonsThatWouldLeaveThePageNeverReachTheControl) {
  IOleWindow* inPlace = nullptr;
  HWND control = nullptr;
  browser_->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&inPlace));
  inPlace->GetWindow(&control);
  inPlace->Release();
  ASSERT_NE(control, nullptr);
  std::vector<UINT> seen;
  arrived = &seen;
  controlProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Recording)));
  PostMessageW(control, WM_XBUTTONUP, MAKEWPARAM(0, XBUTTON1), 0);
  PostMessageW(control, WM_KEYDOWN, VK_BACK, 0);
  PostMessageW(control, WM_SYSKEYDOWN, VK_LEFT, 1 << 29);  // Alt+Left
  PostMessageW(control, WM_KEYDOWN, VK_BROWSER_BACK, 0);
  PostMessageW(control, WM_KEYDOWN, VK_LEFT, 0);
  PostMessageW(control, WM_KEYDOWN, VK_F5, 0);
  desktop_.Quit(0);
  desktop_.Run();
  SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc));
  arrived = nullptr;
  // The caret's and scrolling's keys, and a reload, keep the page.
  EXPECT_EQ(seen, (std::vector<UINT>{VK_LEFT, VK_F5}));
}

}  // namespace
