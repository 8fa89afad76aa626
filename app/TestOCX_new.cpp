#include "app/TestOCX_new.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <memory>

#include "app/AppIcon.h"
#include "app/BrowserLayout.h"
#include "app/FormPlacement.h"
#include "app/Outline.h"
#include "app/ProgramPaths.h"
#include "controls/border/JSBORDER.h"
#include "controls/caption/JSCAPTION.h"
#include "host/App.h"
#include "host/Element.h"
#include "host/Files.h"
#include "platform/File.h"
#include "platform/gdi/Text.h"
#include "skin/builtin/BuiltInSkins.h"

namespace {

// The designed client area, which is also the smallest the window may get.
constexpr int DesignedWidth = 13170;
constexpr int DesignedHeight = 8400;
// A first, much smaller floor applied in the normal state before the real
// minimum; kept because each raise runs the whole layout again in between.
constexpr int FirstMinimumWidth = 4444;
constexpr int FirstMinimumHeight = 2222;

const char* const NormalSkin = "black-1";
const char* const MaximizedSkin = "black-2";
const char* const PlacementSection = "mainwin";

struct Designed {
  int left, top, width, height, tabIndex, align;
};

template <class T>
T& Place(T& control, const Designed& d) {
  control.Move(d.left, d.top, d.width, d.height);
  control.Align(d.align);
  control.TabIndex(d.tabIndex);
  return control;
}

}  // namespace

host::PropertyBag TestOCX_new::DesignedSettings(const std::string& controlName) {
  host::PropertyBag bag;
  if (controlName == "JSBORDER1") bag.WriteProperty("BORDERTYPE", host::PropertyValue::Of(1));
  if (controlName == "JSBORDER2") bag.WriteProperty("BORDERTYPE", host::PropertyValue::Of(2));
  if (controlName == "JSBORDER3") bag.WriteProperty("BORDERTYPE", host::PropertyValue::Of(3));
  if (controlName == "JSCAPTION1") {
    host::Font font;
    font.Name = "宋体";
    font.Size = 9;
    font.Weight = 400;
    font.Charset = 134;
    bag.WriteProperty("Font", host::PropertyValue::Of(font));
    bag.WriteProperty("BackColor", host::PropertyValue::Of(std::int32_t{0x00DC7E5A}));
  }
  return bag;
}

void TestOCX_new::StartPreparingText(int scale) {
  gdi::StartPreparingText(host::Label::Scaled(JSCAPTION::TextFont(), scale), ProductTitle);
}

TestOCX_new::TestOCX_new(platform::Desktop& desktop)
    : host::Form(desktop, "TestOCX_new"),
      skins_(skin::BuiltInSkins(), [](const std::string& line) { std::cerr << line << "\n"; }) {
  Caption(ProductTitle);
  Icon(app::AppIcon());
  Move(0, 0, DesignedWidth, DesignedHeight);
  minimum_ = {DesignedWidth, DesignedHeight};
  MinimumSize(DesignedWidth, DesignedHeight);

  // Creation order is the designer's; the docking order follows from it.
  const host::PropertyBag right = DesignedSettings("JSBORDER2");
  right_ = &Place(Add(std::make_unique<JSBORDER>("JSBORDER2"), &right),
                  {13065, 405, 105, 7890, 2, host::vbAlignRight});
  const host::PropertyBag bottom = DesignedSettings("JSBORDER3");
  bottom_ = &Place(Add(std::make_unique<JSBORDER>("JSBORDER3"), &bottom),
                   {0, 8295, 13170, 105, 3, host::vbAlignBottom});
  const host::PropertyBag caption = DesignedSettings("JSCAPTION1");
  caption_ = &Place(Add(std::make_unique<JSCAPTION>("JSCAPTION1"), &caption),
                    {0, 0, 13170, 405, 1, host::vbAlignTop});
  const host::PropertyBag left = DesignedSettings("JSBORDER1");
  left_ = &Place(Add(std::make_unique<JSBORDER>("JSBORDER1"), &left),
                 {0, 405, 105, 7890, 0, host::vbAlignLeft});
  caption_->Skins(skins_);
  for (JSBORDER* edge : {left_, right_, bottom_}) edge->Skins(skins_);
  // The browsers have no stored settings: they start with their defaults.
  browser_ = &Place(Add(std::make_unique<host::WebBrowser>("WebBrowser")),
                    {4200, 2520, 2655, 1815, 4, host::vbAlignNone});
  soundBrowser_ = &Place(Add(std::make_unique<host::WebBrowser>("WebBrowser1")),
                         {1560, 5160, 615, 495, 5, host::vbAlignNone});
  soundBrowser_->Visible(false);
}

TestOCX_new::~TestOCX_new() = default;

void TestOCX_new::ApplySkin(const std::string& skinName) {
  const std::string folder = host::App::Path();
  caption_->Path(app::SkinFilePath(folder, skinName));
  left_->Path(app::SkinFilePath(folder, skinName));
  right_->Path(app::SkinFilePath(folder, skinName));
  bottom_->Path(app::SkinFilePath(folder, skinName));
  caption_->REDRAW();
}

void TestOCX_new::Form_Load() {
  const std::string folder = host::App::Path();
  soundBrowser_->Navigate(app::SoundPageLocation(folder));
  ApplySkin(NormalSkin);
  // The frame controls read the skin file whenever they compose, so a skin
  // file replaced while the program runs needs only a new composition: a
  // skin's author sees the change without a restart.
  Desktop().WatchFolder(hwnd(), app::SkinFolderPath(folder), [this] { ReloadSkin(); });

  state_ = app::StateFilesForThisUser(folder, &stateWritable_);
  const std::string& lock = state_.LockFile;
  if (host::FileExists(lock)) {
    browser_->Navigate(app::ContentPageLocation(folder));
  } else {
    // Not being able to leave the marker must not keep the user from the
    // program: this start is a first run either way, and so is the next.
    // When neither place was writable that has been said already.
    std::string why;
    if (!host::CreateEmptyFile(lock, &why) && stateWritable_) {
      std::cerr << "skinshell: cannot create the first-run marker " << lock << ": " << why
                << "\n";
    }
    browser_->Navigate(app::FirstRunPageLocation(folder));
  }

  // On a screen smaller than the designed size the window starts as large
  // as the work area, so that it centres with its caption buttons in reach.
  const auto [width, height] = SmallestSize();
  if (Width() > width || Height() > height) {
    Move(Left(), Top(), std::min(Width(), width), std::min(Height(), height));
  }
  app::LoadFormPlacement(*this, PlacementSection, state_);
}

std::pair<int, int> TestOCX_new::SmallestSize() {
  std::int64_t width = DesignedWidth;
  std::int64_t height = DesignedHeight;
  RECT area{};
  if (Desktop().WorkArea(hwnd(), area)) {
    const std::int64_t areaWidth =
        (static_cast<std::int64_t>(area.right) - area.left) * host::Screen::TwipsPerPixelX();
    const std::int64_t areaHeight =
        (static_cast<std::int64_t>(area.bottom) - area.top) * host::Screen::TwipsPerPixelY();
    if (areaWidth > 0) width = std::min(width, areaWidth);
    if (areaHeight > 0) height = std::min(height, areaHeight);
  }
  return {static_cast<int>(width), static_cast<int>(height)};
}

void TestOCX_new::Form_Resize() {
  if (caption_ == nullptr || soundBrowser_ == nullptr) return;

  const bool maximized = caption_->Style2() == caption::Style2::Maximized;
  left_->Visible(!maximized);
  right_->Visible(!maximized);
  bottom_->Visible(!maximized);
  // Every run reapplies the skin, changed or not: the frame controls draw
  // from the file and hold nothing between runs.
  ApplySkin(maximized ? MaximizedSkin : NormalSkin);
  ApplyOutline();

  // Each size assignment below may run this handler again, nested, so the
  // window's size is read afresh at every step.
  if (ScaleWidth() > 0) {
    const app::BrowserRect r = app::NormalBrowserRect(ScaleWidth(), ScaleHeight());
    browser_->Top(r.Top);
    browser_->Left(r.Left);
    browser_->Width(r.Width);
    browser_->Height(r.Height);
  }
  if (caption_->Style2() == caption::Style2::Normal) {
    if (Width() <= FirstMinimumWidth) Width(FirstMinimumWidth);
    if (Height() <= FirstMinimumHeight) Height(FirstMinimumHeight);
  } else if (ScaleWidth() > 0) {
    const app::BrowserRect r = app::OtherBrowserRect(ScaleWidth(), ScaleHeight());
    browser_->Left(r.Left);
    browser_->Width(r.Width);
    browser_->Height(r.Height);
  }
  if (ScaleWidth() > 0) {
    // The work area of the window's monitor may have changed (another
    // monitor, a panel): the desktop is told the floor that holds now.
    const std::pair<int, int> minimum = SmallestSize();
    if (minimum != minimum_) {
      minimum_ = minimum;
      MinimumSize(minimum.first, minimum.second);
    }
    if (Width() < minimum.first) Width(minimum.first);
    if (Height() < minimum.second) Height(minimum.second);
  }
}

void TestOCX_new::Form_Unload(int& Cancel) {
  (void)Cancel;  // closing is never refused
  // Only the normal state is worth restoring: a window held on the work area
  // or minimized keeps the placement saved at the last normal close.
  // Where nothing can be written that has been said once, at start-up.
  if (caption_->Style2() == caption::Style2::Normal && stateWritable_) {
    app::SaveFormPlacement(*this, PlacementSection, state_);
  }
}

void TestOCX_new::ReloadSkin() {
  ApplySkin(caption_->Style2() == caption::Style2::Maximized ? MaximizedSkin : NormalSkin);
}

void TestOCX_new::ApplyOutline() {
  app::ApplyOutline(hwnd(), caption_->Style2(), Width(), Height());
}
