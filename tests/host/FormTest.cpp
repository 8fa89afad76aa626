#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/Element.h"
#include "host/Form.h"
#include "host/WebBrowser.h"
#include "platform/gdi/Gdi.h"
#include "tests/support/Scenario.h"

namespace {

// A control that writes down every event it receives.
class Recorder : public host::Control {
 public:
  Recorder(std::string name, std::vector<std::string>& log) : Control(std::move(name)), log_(log) {}
  void UserControl_Initialize() override { Note("Initialize"); }
  void UserControl_InitProperties() override { Note("InitProperties"); }
  void UserControl_ReadProperties(host::PropertyBag& bag) override {
    Note("ReadProperties " + std::to_string(bag.ReadLong("X", 0)));
  }
  void UserControl_Paint() override { Note("Paint"); }
  void UserControl_Resize() override {
    Note("Resize " + std::to_string(ScaleWidth()) + "x" + std::to_string(ScaleHeight()));
    if (onResize) onResize();
  }
  void UserControl_Terminate() override { Note("Terminate"); }
  void UserControl_MouseDown(int b, int, float x, float y) override {
    Note("MouseDown " + std::to_string(b) + " " + Pos(x, y));
    if (onMouseDown) onMouseDown();
  }
  void UserControl_MouseMove(int, int, float x, float y) override {
    if (logMoves) Note("MouseMove " + Pos(x, y));
  }
  void UserControl_MouseUp(int b, int, float x, float y) override {
    Note("MouseUp " + std::to_string(b) + " " + Pos(x, y));
  }
  void UserControl_Click() override { Note("Click"); }
  void UserControl_DblClick() override { Note("DblClick"); }

  std::function<void()> onResize;
  std::function<void()> onMouseDown;
  bool logMoves = false;

 private:
  static std::string Pos(float x, float y) {
    return std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y));
  }
  void Note(const std::string& what) { log_.push_back(Name() + " " + what); }
  std::vector<std::string>& log_;
};

class Window : public host::Form {
 public:
  Window(platform::Desktop& desktop, std::vector<std::string>& log)
      : Form(desktop, "Window"), log_(log) {}
  void Form_Load() override { log_.push_back("Form Load"); }
  void Form_Resize() override {
    log_.push_back("Form Resize " + std::to_string(ScaleWidth() / 15) + "x" +
                   std::to_string(ScaleHeight() / 15));
    if (onResize) onResize();
  }
  void Form_Unload(int& Cancel) override {
    log_.push_back("Form Unload");
    Cancel = cancel;
  }
  std::function<void()> onResize;
  int cancel = 0;

 private:
  std::vector<std::string>& log_;
};

class FormTest : public test::HeadlessTest {
 protected:
  std::vector<std::string> log;
  Window form{desktop, log};

  Recorder& AddRecorder(const std::string& name, int align, int thicknessPx) {
    auto& c = form.Add(std::make_unique<Recorder>(name, log));
    if (align == host::vbAlignTop || align == host::vbAlignBottom) {
      c.Height(thicknessPx * 15);
    } else {
      c.Width(thicknessPx * 15);
    }
    c.Align(align);
    return c;
  }
  bool Logged(const std::string& line) const {
    return std::find(log.begin(), log.end(), line) != log.end();
  }
};

TEST_F(FormTest, DockingPutsTopAndBottomFirstAndSidesBetweenThem) {
  form.Move(0, 0, 800 * 15, 600 * 15);
  auto& top = AddRecorder("top", host::vbAlignTop, 27);
  auto& bottom = AddRecorder("bottom", host::vbAlignBottom, 5);
  auto& left = AddRecorder("left", host::vbAlignLeft, 6);
  auto& right = AddRecorder("right", host::vbAlignRight, 7);

  EXPECT_EQ(top.PixelLeft(), 0);
  EXPECT_EQ(top.PixelTop(), 0);
  EXPECT_EQ(top.ScaleWidth(), 800);
  EXPECT_EQ(bottom.PixelTop(), 595);
  EXPECT_EQ(bottom.ScaleWidth(), 800);
  EXPECT_EQ(left.PixelLeft(), 0);
  EXPECT_EQ(left.PixelTop(), 27);
  EXPECT_EQ(left.ScaleHeight(), 600 - 27 - 5);
  EXPECT_EQ(right.PixelLeft(), 793);
  EXPECT_EQ(right.ScaleHeight(), 568);

  // A docked control that changes its own thickness moves its neighbours.
  top.Height(30 * 15);
  EXPECT_EQ(left.PixelTop(), 30);
  EXPECT_EQ(left.ScaleHeight(), 565);
  right.Width(10 * 15);
  EXPECT_EQ(right.PixelLeft(), 790);

  form.Width(500 * 15);
  EXPECT_EQ(top.ScaleWidth(), 500);
  EXPECT_EQ(right.PixelLeft(), 490);
}

TEST_F(FormTest, SizeAssignmentRaisesResizeBeforeItReturnsAndNestedRunsFinishFirst) {
  form.Move(0, 0, 400 * 15, 300 * 15);
  form.Show();
  log.clear();
  const int requests = desktop.BoundsRequests();
  bool inside = false;
  form.onResize = [&] {
    // The outer run assigns the width, then the height, each running the
    // handler again nested; the nested runs change nothing more.
    if (inside) return;
    inside = true;
    form.Width(300 * 15);
    form.Height(250 * 15);
    inside = false;
  };
  form.Move(0, 0, 200 * 15, 200 * 15);
  EXPECT_EQ(log, (std::vector<std::string>{"Form Resize 200x200", "Form Resize 300x200",
                                          "Form Resize 300x250"}));
  // The desktop follows once, with the settled size.
  EXPECT_EQ(desktop.BoundsRequests(), requests + 1);
  EXPECT_EQ(desktop.Find(form.hwnd())->bounds.right, 300);
  EXPECT_EQ(desktop.Find(form.hwnd())->bounds.bottom, 250);
}

TEST_F(FormTest, GeometryIsHeldInWholePixels) {
  form.Width(100);
  EXPECT_EQ(form.Width(), 105);
  auto& c = form.Add(std::make_unique<Recorder>("c", log));
  c.Width(-30);
  EXPECT_EQ(c.Width(), 0);
  c.Left(-30);
  EXPECT_EQ(c.Left(), -30);
  c.Height(7);
  EXPECT_EQ(c.Height(), 0);
  c.Height(8);
  EXPECT_EQ(c.Height(), 15);
}

TEST_F(FormTest, ControlsAreCreatedWithTheirStoredSettingsOrSetUpAfresh) {
  host::PropertyBag stored;
  stored.WriteProperty("X", host::PropertyValue::Of(7));
  form.Add(std::make_unique<Recorder>("a", log), &stored);
  form.Add(std::make_unique<Recorder>("b", log));
  EXPECT_EQ(log, (std::vector<std::string>{"a Initialize", "a ReadProperties 7", "b Initialize",
                                          "b InitProperties"}));
}

TEST_F(FormTest, LoadComesOnceBeforeTheFirstShowAndUnloadEndsEveryControl) {
  AddRecorder("c", host::vbAlignTop, 10);
  form.Move(0, 0, 100 * 15, 100 * 15);
  log.clear();
  form.Show();
  form.Show();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Form Load"), 1);
  EXPECT_TRUE(Logged("c Paint"));
  EXPECT_TRUE(desktop.Find(form.hwnd())->visible);

  form.cancel = 1;
  form.Unload();
  EXPECT_FALSE(form.Unloaded());
  form.cancel = 0;
  log.clear();
  desktop.UserClose(form.hwnd());
  EXPECT_EQ(log, (std::vector<std::string>{"Form Unload", "c Terminate"}));
  EXPECT_EQ(desktop.Find(form.hwnd()), nullptr);
  EXPECT_TRUE(desktop.QuitRequested());
}

TEST(FormCount, UnloadingTheLastFormOfADesktopEndsThatDesktopAlone) {
  std::vector<std::string> log;
  platform::HeadlessDesktop first;
  platform::HeadlessDesktop second;
  Window a(first, log);
  Window b(first, log);
  Window elsewhere(second, log);
  a.Unload();
  EXPECT_FALSE(first.QuitRequested());
  // The form still open on the other desktop does not keep this one going.
  b.Unload();
  EXPECT_TRUE(first.QuitRequested());
  EXPECT_FALSE(second.QuitRequested());
}

class FormInputTest : public FormTest {
 protected:
  void SetUp() override {
    form.Move(100 * 15, 50 * 15, 400 * 15, 300 * 15);
    target = &AddRecorder("target", host::vbAlignTop, 30);
    other = &AddRecorder("other", host::vbAlignBottom, 30);
    form.Show();
    log.clear();
  }
  // Red text on the target control, laid out as the caption's is.
  void AddText(int left) {
    text.Caption = "Skinshell";
    text.ForeColor = 0x000000FF;
    text.Left = left;
    text.Width = 200;
    text.Height = 20;
    target->AddElement(text);
  }
  Recorder* target = nullptr;
  Recorder* other = nullptr;
  host::Label text;
};

TEST_F(FormInputTest, AClickArrivesAsPressReleaseClickInControlPixels) {
  desktop.QueueClick(110, 60);
  desktop.Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"target MouseDown 1 10,10", "target MouseUp 1 10,10",
                                          "target Click"}));
}

TEST_F(FormInputTest, ADoubleClickArrivesAsPressReleaseClickDoubleClickRelease) {
  desktop.QueueClick(110, 60);
  desktop.QueueDoubleClick(110, 60);
  desktop.Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"target MouseDown 1 10,10", "target MouseUp 1 10,10",
                                          "target Click", "target DblClick",
                                          "target MouseUp 1 10,10"}));
}

TEST_F(FormInputTest, APressCapturesTheMouseUntilReleaseOrReleaseCapture) {
  target->logMoves = true;
  desktop.QueueMove(110, 60);
  desktop.QueuePress(110, 60);
  desktop.QueueMove(110, 330);  // over the other control
  desktop.QueueRelease(110, 330);
  desktop.QueueMove(110, 331);
  desktop.Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"target MouseMove 10,10", "target MouseDown 1 10,10",
                                          "target MouseMove 10,280", "target MouseUp 1 10,280"}));

  log.clear();
  target->onMouseDown = [] { ReleaseCapture(); };
  desktop.QueuePress(110, 60);
  desktop.QueueRelease(110, 331);
  desktop.Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"target MouseDown 1 10,10", "other MouseUp 1 10,11"}));
}

TEST_F(FormInputTest, HiddenControlsGetNoInputAndAreNotDrawn) {
  gdi::FillRect(const_cast<gdi::Surface&>(target->Pixels()), 0, 0, 400, 30, 0xFFFF0000u);
  target->Visible(false);
  form.BackColor(0x00FFFFFF);
  desktop.QueueClick(110, 60);
  desktop.Pump();
  EXPECT_TRUE(log.empty());
  gdi::Surface shot = desktop.Capture(form.hwnd());
  EXPECT_EQ(test::ColorAt(shot, 10, 10), 0x00FFFFFFu);
}

TEST_F(FormInputTest, LabelsWithHandlersTakeTheMouseOverThem) {
  host::Label label;
  label.Left = 50;
  label.Top = 5;
  label.Width = 100;
  label.Height = 20;
  std::vector<std::string> seen;
  label.MouseDown = [&](int, int, float x, float y) {
    seen.push_back("label down " + std::to_string(int(x)) + "," + std::to_string(int(y)));
  };
  target->AddElement(label);
  desktop.QueueClick(160, 60);  // control (60,10), label (10,5)
  desktop.QueueClick(110, 60);
  desktop.Pump();
  EXPECT_EQ(seen, (std::vector<std::string>{"label down 10,5"}));
  EXPECT_EQ(log, (std::vector<std::string>{"target MouseDown 1 10,10", "target MouseUp 1 10,10",
                                          "target Click"}));
}

TEST_F(FormInputTest, AReleaseJustPastTheRightEdgeClicksNothing) {
  desktop.QueuePress(110, 60);
  desktop.QueueRelease(500, 60);  // x = 400, the control's width
  desktop.Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"target MouseDown 1 10,10", "target MouseUp 1 400,10"}));
}

TEST_F(FormInputTest, AnElementWithOnlyAPressHandlerKeepsMovesFromItsControl) {
  host::Label label;
  label.Width = 100;
  label.Height = 20;
  label.MouseDown = [](int, int, float, float) {};
  target->AddElement(label);
  target->logMoves = true;
  desktop.QueueMove(110, 60);
  desktop.QueueMove(300, 60);  // off the label
  desktop.Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"target MouseMove 200,10"}));
}

TEST_F(FormInputTest, TheCursorFollowsTheControlUnderThePointer) {
  other->MousePointer(host::vbSizeNS);
  desktop.QueueMove(110, 340);
  desktop.Pump();
  EXPECT_EQ(desktop.Find(form.hwnd())->cursor, platform::Cursor::SizeNS);
  desktop.QueueMove(110, 60);
  desktop.Pump();
  EXPECT_EQ(desktop.Find(form.hwnd())->cursor, platform::Cursor::Default);
}

TEST_F(FormInputTest, ThePixelsOfControlsShowWithoutInvalidation) {
  // Drawn through GDI, as the controls draw: on Windows the DC holds pixels
  // of its own until the control's are needed.
  HBITMAP red = gdi::CreateBitmapFromSurface(gdi::Surface(5, 5, gdi::ColorToPixel(0x000000FF)));
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ prior = SelectObject(source, red);
  BitBlt(target->hDC(), 0, 0, 5, 5, source, 0, 0, SRCCOPY);
  SelectObject(source, prior);
  DeleteDC(source);
  DeleteObject(red);
  gdi::Surface shot = desktop.Capture(form.hwnd());
  EXPECT_EQ(test::ColorAt(shot, 2, 2), 0x000000FFu);
}

TEST_F(FormTest, TheWindowManagersChangesEnterTheSameResizePath) {
  form.Move(0, 0, 400 * 15, 300 * 15);
  auto& top = AddRecorder("top", host::vbAlignTop, 20);
  form.Show();
  log.clear();
  desktop.UserResize(form.hwnd(), RECT{0, 0, 500, 350});
  EXPECT_EQ(top.ScaleWidth(), 500);
  EXPECT_TRUE(Logged("Form Resize 500x350"));

  desktop.UserMinimize(form.hwnd());
  EXPECT_EQ(form.WindowState(), 1);
  EXPECT_EQ(form.ScaleWidth(), 0);
  EXPECT_TRUE(Logged("Form Resize 0x0"));

  desktop.UserRestore(form.hwnd());
  EXPECT_EQ(form.WindowState(), 0);
  EXPECT_EQ(form.ScaleWidth(), 500 * 15);

  desktop.SetWorkArea(RECT{0, 0, 1920, 1040});
  desktop.UserMaximize(form.hwnd());
  EXPECT_EQ(form.WindowState(), 2);
  EXPECT_EQ(form.Width(), 1920 * 15);
  EXPECT_EQ(form.Height(), 1040 * 15);
  // Back to normal returns to the bounds from before the maximize.
  form.WindowState(0);
  EXPECT_EQ(form.Width(), 500 * 15);
  EXPECT_EQ(desktop.Find(form.hwnd())->bounds.right, 500);
}

TEST_F(FormTest, WebBrowsersFollowTheirRectangleAndVisibility) {
  form.Move(0, 0, 400 * 15, 300 * 15);
  auto& browser = form.Add(std::make_unique<host::WebBrowser>("WebBrowser"));
  auto& hidden = form.Add(std::make_unique<host::WebBrowser>("WebBrowser1"));
  hidden.Visible(false);
  browser.Move(-30, 390, 400 * 15 + 60, 300 * 15 - 360);
  browser.Navigate("/a/html/index.html?x=1");
  form.Show();
  const auto view = desktop.FindWebView(browser.View());
  ASSERT_TRUE(view.has_value());
  EXPECT_TRUE(view->visible);
  EXPECT_EQ(view->bounds.left, -2);
  EXPECT_EQ(view->bounds.top, 26);
  EXPECT_EQ(view->bounds.right, 402);
  EXPECT_EQ(view->locations, std::vector<std::string>{"/a/html/index.html?x=1"});
  EXPECT_FALSE(desktop.FindWebView(hidden.View())->visible);
}

// The live-resize path: a backend that shows web views above the frame asks
// only for what they leave uncovered, and must get exactly Render's pixels
// there, or a stale strip shows at the new size.
TEST_F(FormInputTest, WhatNoWebViewCoversIsDrawnAsRenderDrawsItAndWhatOneCoversIsLeftAlone) {
  AddText(0);
  gdi::FillRect(const_cast<gdi::Surface&>(other->Pixels()), 0, 0, 400, 30, 0xFF00FF00u);
  form.BackColor(0x00FF8000);
  auto& browser = form.Add(std::make_unique<host::WebBrowser>("WebBrowser"));
  browser.Move(10 * 15, 40 * 15, 370 * 15, 200 * 15);  // a gap of back colour all round
  auto& hidden = form.Add(std::make_unique<host::WebBrowser>("WebBrowser1"));
  hidden.Visible(false);
  hidden.Move(0, 0, 400 * 15, 300 * 15);
  constexpr std::uint32_t Untouched = 0xFF123456u;
  // 1.5 as Windows scales at 150 %: each pixel covers one or two device
  // pixels in turn.
  for (platform::DeviceScale scale :
       {platform::DeviceScale(1), platform::DeviceScale(2), platform::DeviceScale(3, 2)}) {
    SCOPED_TRACE(scale.Numerator());
    gdi::Surface reference(scale.Device(400), scale.Device(300));
    form.RenderScaled(reference, scale);
    gdi::Surface drawn(scale.Device(400), scale.Device(300), Untouched);
    const std::vector<RECT> parts = form.RenderUncovered(drawn, scale);
    int wrong = 0;
    for (int y = 0; y < drawn.height; ++y) {
      for (int x = 0; x < drawn.width; ++x) {
        const bool covered =
            x >= scale.Device(10) && x < scale.Device(380) && y >= scale.Device(40) &&
            y < scale.Device(240);
        const auto in = [&](const RECT& r) {
          return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
        };
        const bool listed = std::any_of(parts.begin(), parts.end(), in);
        const std::uint32_t expected = covered ? Untouched : reference.At(x, y);
        wrong += listed == covered || drawn.At(x, y) != expected;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(FormTest, ControlsReleaseTheirDeviceContexts) {
  const int dcs = gdi::LiveCount(gdi::Kind::DC);
  {
    std::vector<std::string> localLog;
    Window local(desktop, localLog);
    auto& c = local.Add(std::make_unique<Recorder>("c", localLog));
    c.Move(0, 0, 150, 150);
    EXPECT_NE(c.hDC(), nullptr);
    EXPECT_EQ(c.hDC(), c.hDC());
  }
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::DC), dcs);
}

}  // namespace

namespace {

class Thrower : public host::Control {
 public:
  Thrower() : Control("thrower") {}
  void UserControl_MouseDown(int, int, float, float) override { throw host::Error("no container"); }
};

TEST_F(FormInputTest, AnErrorInAHandlerEndsTheProgramWithItsReport) {
  auto& thrower = form.Add(std::make_unique<Thrower>());
  thrower.Move(0, 100 * 15, 50 * 15, 50 * 15);
  testing::internal::CaptureStderr();
  desktop.QueueClick(110, 160);
  desktop.Pump();
  const std::string report = testing::internal::GetCapturedStderr();
  EXPECT_NE(report.find("no container"), std::string::npos);
  EXPECT_TRUE(desktop.QuitRequested());
  EXPECT_EQ(desktop.Run(), 1);
}

TEST_F(FormInputTest, ElementsNeverDrawOutsideTheirControl) {
  AddText(2);
  form.BackColor(0x00FFFFFF);
  target->BackColor(0x00FFFFFF);
  auto count = [&](const gdi::Surface& shot) {
    int red = 0;
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 200; ++x) red += test::ColorAt(shot, x, y) != 0x00FFFFFFu;
    }
    return red;
  };
  EXPECT_GT(count(desktop.Capture(form.hwnd())), 0);
  // A bar of no height shows no caption text at all.
  target->Height(0);
  EXPECT_EQ(count(desktop.Capture(form.hwnd())), 0);
}

}  // namespace
