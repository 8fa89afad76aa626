// The main window on the Win32 desktop as an assistive tool finds it: its
// client object from AccessibleObjectFromWindow, in process (Wine marshals
// no accessible objects between processes), with the caption's buttons as
// its first children, worked through their default actions.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/TestOCX_new.h"
#include "host/PropertyBag.h"
#include "platform/win/desktop/WinDesktop.h"
#include "skin/SkinFile.h"
#include "tests/support/Scenario.h"
#include "tests/win/MessagePump.h"

namespace {

using wintest::Pump;

void Settle() {
  Pump([] { return false; }, std::chrono::milliseconds(500));
}

VARIANT Child(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::wstring Name(IAccessible* object, LONG id) {
  BSTR name = nullptr;
  if (object->get_accName(Child(id), &name) != S_OK || name == nullptr) return L"";
  std::wstring text(name, SysStringLen(name));
  SysFreeString(name);
  return text;
}

LONG IntOf(HRESULT result, const VARIANT& v) {
  return result == S_OK && v.vt == VT_I4 ? v.lVal : -1;
}

LONG Role(IAccessible* object, LONG id) {
  VARIANT role;
  return IntOf(object->get_accRole(Child(id), &role), role);
}

LONG State(IAccessible* object, LONG id) {
  VARIANT state;
  return IntOf(object->get_accState(Child(id), &state), state);
}

RECT Location(IAccessible* object, LONG id) {
  LONG left = 0, top = 0, width = 0, height = 0;
  object->accLocation(&left, &top, &width, &height, Child(id));
  return RECT{left, top, left + width, top + height};
}

class AccessibleFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UseDesktop(&desktop_);
    window_ = std::make_unique<TestOCX_new>(desktop_);
    window_->Show();
    hwnd_ = window_->hwnd();
    ASSERT_TRUE(Pump([&] { return IsWindowVisible(hwnd_) != FALSE; }));
    Settle();  // the first frame, and the views' windows
  }

  void TearDown() override {
    window_.reset();
    platform::UseDesktop(nullptr);
  }

  IAccessible* ClientObject() {
    IAccessible* object = nullptr;
    EXPECT_EQ(AccessibleObjectFromWindow(hwnd_, static_cast<DWORD>(OBJID_CLIENT),
                                         __uuidof(IAccessible), reinterpret_cast<void**>(&object)),
              S_OK);
    return object;
  }

  // The share of the face's pixels the window shows at the screen
  // rectangle a tool was given for it.
  double FaceShown(const std::string& skinName, const char* face, const RECT& onScreen) {
    host::PropertyBag skin;
    skin::ReadSkinFile(folder_ / ("stype/" + skinName + ".jss"), skin);
    HBITMAP picture = skin::Picture(skin, face);
    if (picture == nullptr) return 0;
    BITMAP info{};
    GetObjectW(picture, sizeof info, &info);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, picture);
    HDC shown = GetDC(hwnd_);
    POINT origin{0, 0};
    ClientToScreen(hwnd_, &origin);
    int same = 0;
    for (int y = 0; y < info.bmHeight; ++y) {
      for (int x = 0; x < info.bmWidth; ++x) {
        same += GetPixel(memory, x, y) ==
                GetPixel(shown, onScreen.left - origin.x + x, onScreen.top - origin.y + y);
      }
    }
    ReleaseDC(hwnd_, shown);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(picture);
    const bool sized = info.bmWidth == onScreen.right - onScreen.left &&
                       info.bmHeight == onScreen.bottom - onScreen.top;
    return sized ? static_cast<double>(same) / (info.bmWidth * info.bmHeight) : 0;
  }

  test::ProgramFolder folder_{"skinshell-a11y"};
  platform::win::WinDesktop desktop_;
  std::unique_ptr<TestOCX_new> window_;
  HWND hwnd_ = nullptr;
};

TEST_F(AccessibleFrameTest, TheCaptionButtonsAreChildrenNamedAtTheirFacesAndWorkAsClicks) {
  IAccessible* client = ClientObject();
  ASSERT_NE(client, nullptr);
  LONG children = 0;
  ASSERT_EQ(client->get_accChildCount(&children), S_OK);
  EXPECT_GE(children, 3);  // the three buttons, then the web views' windows
  EXPECT_EQ(Name(client, CHILDID_SELF), L"Skinshell");
  const wchar_t* names[] = {L"Close", L"Maximize", L"Minimize"};
  const char* faces[] = {"CLOSE", "MAX", "MIN"};
  for (LONG id = 1; id <= 3; ++id) {
    EXPECT_EQ(Name(client, id), names[id - 1]);
    EXPECT_EQ(Role(client, id), ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(State(client, id), 0);
    EXPECT_EQ(FaceShown("black-1", faces[id - 1], Location(client, id)), 1.0) << faces[id - 1];
  }
  // After the buttons, the standard object's own children (the hidden
  // sound view's window is one of them, but not shown).
  EXPECT_NE(Role(client, 4), ROLE_SYSTEM_PUSHBUTTON);

  // A maximize through the tool is the caption's own: onto the work area,
  // in the maximized skin, the button then the restore button.
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ASSERT_EQ(client->accDoDefaultAction(Child(2)), S_OK);
  Settle();
  EXPECT_EQ(window_->Width() / 15, work.right - work.left);
  EXPECT_EQ(Name(client, 2), L"Restore");
  EXPECT_EQ(FaceShown("black-2", "RES1", Location(client, 2)), 1.0);
  ASSERT_EQ(client->accDoDefaultAction(Child(2)), S_OK);
  EXPECT_EQ(window_->Width() / 15, 878);
  EXPECT_EQ(Name(client, 2), L"Maximize");

  ASSERT_EQ(client->accDoDefaultAction(Child(3)), S_OK);
  EXPECT_TRUE(Pump([&] { return IsIconic(hwnd_) != FALSE; }));
  ShowWindow(hwnd_, SW_RESTORE);
  EXPECT_TRUE(Pump([&] { return window_->WindowState() == 0; }));

  // The close writes the placement as a click does; the object a tool
  // still holds answers, as disconnected, without the window.
  ASSERT_EQ(client->accDoDefaultAction(Child(1)), S_OK);
  EXPECT_TRUE(window_->Unloaded());
  EXPECT_NE(test::ReadFile(folder_ / "html/size.ini").find("TestOCX_new="), std::string::npos);
  EXPECT_EQ(Name(client, 1), L"");
  EXPECT_EQ(client->accDoDefaultAction(Child(1)), RPC_E_DISCONNECTED);
  client->Release();
}

}  // namespace
