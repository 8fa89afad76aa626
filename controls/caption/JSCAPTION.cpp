#include "controls/caption/JSCAPTION.h"

#include <algorithm>
#include <utility>

#include "controls/caption/CaptionGeometry.h"
#include "controls/caption/CompositionStep.h"
#include "host/Form.h"
#include "host/Screen.h"
#include "host/StoredSettings.h"
#include "skin/SkinFile.h"
#include "skin/FrameSkins.h"

namespace {

constexpr std::int16_t True = -1;
constexpr std::int16_t False = 0;

// The height the control takes in a designer, where no skin is drawn.
constexpr int DesignHeight = 400;

// The control's own colours before its first composition.
constexpr std::uint32_t StartForeColor = 0x00FFFFFF;
constexpr std::uint32_t StartBackColor = 0x00DC7E5A;
// Stored defaults; those of the text colours are the title's own.
constexpr std::int32_t DefaultStyle = 1;

// Room left between the work-area failure text and the buttons, in pixels.
constexpr int FailureTextGap = 4;
const std::string WorkAreaFailureText = "调用 SystemParametersInfo 失败";

}  // namespace

host::Font JSCAPTION::TextFont() {
  return caption::CaptionTitle::TextFont();
}

JSCAPTION::JSCAPTION(std::string name) : host::Control(std::move(name)) {
  Title.AddTo(*this);
  // The caption text hands its pointer on as if it were the bar's own, but
  // at a fixed point near the bar's top-left corner: over the text the
  // buttons only see a move at (1, 1). Its click goes nowhere, so a click on
  // the text never works a button.
  host::Label& text = Title.Label1;
  text.MouseDown = [this](int, int, float, float) { UserControl_MouseDown(1, 1, 1.0f, 1.0f); };
  text.MouseMove = [this](int, int, float, float) { UserControl_MouseMove(1, 1, 1.0f, 1.0f); };
  text.MouseUp = [this](int, int, float, float) { UserControl_MouseUp(1, 1, 1.0f, 1.0f); };
  text.DblClick = [this] { UserControl_DblClick(); };
  host::Control::ForeColor(StartForeColor);
  host::Control::BackColor(StartBackColor);
}

JSCAPTION::~JSCAPTION() = default;

// Properties

void JSCAPTION::ControlBox(std::int16_t newvalue) {
  ControlBox_ = newvalue;
  PropertyChanged("ControlBox");
}

void JSCAPTION::Movable(std::int16_t newvalue) {
  Movable_ = newvalue;
  PropertyChanged("Movable");
}

void JSCAPTION::ONTOP(std::int16_t newvalue) {
  ONTOP_ = newvalue;
  ApplyOnTop();
  PropertyChanged("ONTOP");
}

void JSCAPTION::Path(const std::string& NewPath) {
  Path_ = NewPath;
  PropertyChanged("Path");
  Recompose();
}

void JSCAPTION::ShowIcon(std::int16_t newvalue) {
  ShowIcon_ = newvalue;
  PropertyChanged("ShowIcon");
}

void JSCAPTION::SHOWONTOP(std::int16_t newvalue) {
  SHOWONTOP_ = newvalue;
  PropertyChanged("SHOWONTOP");
}

void JSCAPTION::Style(std::int32_t newstyle) {
  Style_ = newstyle;
  PropertyChanged("Style");
}

void JSCAPTION::Style2(caption::Style2 newstyle2) {
  Hold.State(newstyle2);
  PropertyChanged("Style2");
}

void JSCAPTION::REDRAW() {
  Refresh();
}

void JSCAPTION::Font(const host::Font& New_Font) {
  Font_ = New_Font;
  PropertyChanged("Font");
  Recompose();
}

void JSCAPTION::BackColor(std::uint32_t New_BackColor) {
  Title.Label2.ForeColor = New_BackColor;
  if (Parent()) Parent()->Invalidate();
  PropertyChanged("BackColor");
}

void JSCAPTION::ForeColor(std::uint32_t New_ForeColor) {
  Title.Label1.ForeColor = New_ForeColor;
  if (Parent()) Parent()->Invalidate();
  PropertyChanged("ForeColor");
}

host::Form& JSCAPTION::Container() const {
  host::Form* form = Parent();
  if (!form) throw host::Error("the caption control " + Name() + " has no container window");
  return *form;
}

void JSCAPTION::ApplyOnTop() {
  if (!OnTopSwitch) OnTopSwitch = std::make_unique<clsOnTop>();
  if (ONTOP_ == True) {
    OnTopSwitch->MakeTopMost(Container().hwnd());
  } else if (ONTOP_ == False) {
    OnTopSwitch->MakeNormal(Container().hwnd());
  }
}

// Life cycle and stored settings

void JSCAPTION::UserControl_Initialize() {
  OnTopSwitch = std::make_unique<clsOnTop>();
}

void JSCAPTION::UserControl_InitProperties() {
  Font_ = Ambient().Font;
  host::Control* entry = Container().Controls(Ambient().DisplayName);
  if (!entry) throw host::Error("no control named " + Ambient().DisplayName + " in the container");
  entry->Align(host::vbAlignTop);
}

void JSCAPTION::UserControl_ReadProperties(host::PropertyBag& PropBag) {
  const host::StoredSettings stored(PropBag);
  // Path is taken as stored, without its setter: nothing is composed yet.
  Path_ = stored.Text("Path", "");
  Movable_ = stored.Boolean("Movable", True);
  Style_ = stored.Long("Style", DefaultStyle);
  ShowIcon_ = stored.Boolean("ShowIcon", True);
  ControlBox_ = stored.Boolean("ControlBox", True);
  ONTOP_ = stored.Boolean("ONTOP", False);
  SHOWONTOP_ = stored.Boolean("SHOWONTOP", False);
  Font_ = stored.FontValue("Font", Ambient().Font);
  caption::WorkAreaHold::AllowEdgeResize(false);
  ApplyOnTop();
  Title.Label2.ForeColor = stored.Colour("BackColor", caption::CaptionTitle::DefaultBackColor);
  Title.Label1.ForeColor = stored.Colour("ForeColor", caption::CaptionTitle::DefaultForeColor);
}

void JSCAPTION::UserControl_WriteProperties(host::PropertyBag& PropBag) {
  PropBag.WriteProperty("Path", host::PropertyValue::Of(Path_),
                        host::PropertyValue::Of(std::string()));
  PropBag.WriteProperty("Movable", host::StoredNumber(Movable_), host::StoredNumber(True));
  PropBag.WriteProperty("ShowIcon", host::StoredNumber(ShowIcon_), host::StoredNumber(True));
  PropBag.WriteProperty("ControlBox", host::StoredNumber(ControlBox_), host::StoredNumber(True));
  PropBag.WriteProperty("ONTOP", host::StoredNumber(ONTOP_), host::StoredNumber(False));
  PropBag.WriteProperty("SHOWONTOP", host::StoredNumber(SHOWONTOP_), host::StoredNumber(False));
  PropBag.WriteProperty("Style", host::StoredNumber(Style_), host::StoredNumber(DefaultStyle));
  PropBag.WriteProperty("Font", host::PropertyValue::Of(Font_),
                        host::PropertyValue::Of(Ambient().Font));
  PropBag.WriteProperty("BackColor", host::StoredColour(Title.Label2.ForeColor),
                        host::StoredColour(caption::CaptionTitle::DefaultBackColor));
  PropBag.WriteProperty("ForeColor", host::StoredColour(Title.Label1.ForeColor),
                        host::StoredColour(caption::CaptionTitle::DefaultForeColor));
}

void JSCAPTION::UserControl_Terminate() {
  Bar.ReleasePieces();
  Buttons.ReleaseFaces();
}

// Paint and resize

void JSCAPTION::UserControl_Paint() {
  Recompose();
  Title.PlaceText(Bar.Layout());
  Title.Text(Container().Caption());
  Title.Label1.ForeColor = host::Control::ForeColor();
  Title.Label2.ForeColor = host::Control::BackColor();
}

void JSCAPTION::UserControl_Resize() {
  if (Hold.Held()) {
    caption::WorkAreaHold::AllowEdgeResize(false);
  } else if (Style_ == 1) {
    caption::WorkAreaHold::AllowEdgeResize(true);
  }
  Recompose();
  if (!Ambient().UserMode) Height(DesignHeight);
  Title.PlaceIcon(Bar.Layout());
  if (ShowIcon_ && Parent()) Parent()->Invalidate();
}

// Composition

caption::ButtonContext JSCAPTION::ButtonsContext(HDC target) const {
  const caption::CaptionLayout& layout = Bar.Layout();
  return {.target = target,
          .barWidth = static_cast<double>(ScaleWidth()),
          .fromTop = layout.FROMTOP,
          .fromRight = layout.FROMRIGHT,
          .iconSpace = layout.ICONSPACE,
          .controlBox = ControlBox_,
          .style = Style_,
          .showOnTop = SHOWONTOP_,
          .onTop = ONTOP_,
          .held = Hold.Held()};
}

void JSCAPTION::ReadSkin() {
  SkinBag.Clear();
  Skins_ ? Skins_->Read(Path_, SkinBag) : skin::ReadSkinFile(Path_, SkinBag);
}

void JSCAPTION::Recompose() {
  ComposeCaption();
  TakeOverSystemMaximize();
}

void JSCAPTION::ComposeCaption() {
  using caption::Step;
  if (!Ambient().UserMode) return;
  // Setting the height below re-enters this routine through the resize
  // handling, and that nested pass replaces every surface and releases the
  // bar pieces. So each step reaches the surfaces through the members
  // afresh and never keeps a pointer across another step.
  Step(true, [&] {
    Bar.NewPieces();
    Buttons.NewFaces();
  });
  Step(true, [&] { ReadSkin(); });
  Bar.LoadPieces(SkinBag);
  const auto loadFace = [&](caption::ButtonKind kind) {
    Step(true,
         [&] { Buttons.LoadFace(kind, caption::ButtonLook::Normal, ButtonsContext(nullptr)); });
  };
  loadFace(caption::ButtonKind::Close);
  // The window state goes with the maximize/restore face, before the bar's
  // height is set: the container's resize handling under it reads the state.
  Step(true, [&] { NoteWindowState(); });
  loadFace(caption::ButtonKind::Min);
  loadFace(caption::ButtonKind::OnTop);
  Bar.ReadLayout(SkinBag);
  ApplySkinColours();
  Step(true, [&] { Height(Bar.Height() * host::Screen::TwipsPerPixelY()); });
  Bar.Draw(hDC(), static_cast<double>(ScaleWidth()));
  Step(true, [&] {
    if (ShowIcon_) Title.ShowIcon(Container().Icon());
  });
  Step(true, [&] { Buttons.BlitControlBox(ButtonsContext(hDC())); });
  Step(true, [&] { Buttons.BlitOnTop(ButtonsContext(hDC())); });
  Step(true, [&] { Bar.ReleasePieces(); });
}

void JSCAPTION::NoteWindowState() {
  // Only a container that is not held is asked for its state.
  const bool minimized = !Hold.Held() && Container().WindowState() == 1;
  const caption::Style2 state = Hold.StateFor(minimized);
  // A minimized container's button has no face: the surface stays empty.
  if (state != caption::Style2::Minimized) {
    Buttons.LoadFace(caption::ButtonKind::Max, caption::ButtonLook::Normal,
                     ButtonsContext(nullptr));
  }
  Hold.State(state);
}

void JSCAPTION::ApplySkinColours() {
  using caption::Step;
  Step(true, [&] {
    if (const auto colour = skin::Colour(SkinBag, "FORECOLOR")) host::Control::ForeColor(*colour);
  });
  Step(true, [&] {
    if (const auto colour = skin::Colour(SkinBag, "BackColor")) host::Control::BackColor(*colour);
  });
  Step(true, [&] {
    if (const auto colour = skin::Colour(SkinBag, "PARENTBACKCOLOR")) {
      Container().BackColor(*colour);
    }
  });
}

// Buttons

std::vector<caption::ButtonView> JSCAPTION::ButtonViews() const {
  return Buttons.Views(ButtonsContext(nullptr));
}

bool JSCAPTION::PressButton(caption::ButtonKind kind) {
  const auto point = Buttons.PressPoint(kind, ButtonsContext(nullptr));
  if (!point) return false;
  UserControl_MouseMove(1, 0, point->x, point->y);
  if (!Buttons.Over() || Buttons.ClickTarget(ButtonsContext(nullptr)) != kind) return false;
  UserControl_MouseDown(1, 0, point->x, point->y);
  UserControl_MouseUp(1, 0, point->x, point->y);
  UserControl_Click();
  return true;
}

std::vector<platform::AccessiblePart> JSCAPTION::AccessibleParts() const {
  return caption::CaptionButtons::AccessibleParts(Buttons.Drawn(ButtonsContext(nullptr)));
}

bool JSCAPTION::PressAccessiblePart(std::size_t index) {
  const std::vector<caption::ButtonView> drawn = Buttons.Drawn(ButtonsContext(nullptr));
  return index < drawn.size() && PressButton(drawn[index].kind);
}

void JSCAPTION::UserControl_MouseMove(int Button, int Shift, float X, float Y) {
  (void)Button, (void)Shift;
  Buttons.PointerMoved(ButtonsContext(hDC()), X, Y);
}

void JSCAPTION::UserControl_MouseDown(int Button, int Shift, float X, float Y) {
  (void)Button, (void)Shift, (void)X, (void)Y;
  // The last move decides, not where the press lands: a button left hot by
  // a pointer that went off it upwards or downwards still takes the press.
  if (!Buttons.Over()) {
    StartDrag();
    return;
  }
  Buttons.PointerDown(ButtonsContext(hDC()));
}

void JSCAPTION::UserControl_MouseUp(int Button, int Shift, float X, float Y) {
  (void)Button, (void)Shift, (void)X, (void)Y;
  Buttons.PointerUp(ButtonsContext(hDC()));
}

void JSCAPTION::UserControl_Click() {
  if (const auto kind = Buttons.ClickTarget(ButtonsContext(nullptr))) ButtonClicked(*kind);
}

void JSCAPTION::ButtonClicked(caption::ButtonKind kind) {
  switch (kind) {
    case caption::ButtonKind::Close:
      Container().Unload();
      return;
    case caption::ButtonKind::OnTop:
      ToggleOnTop();
      return;
    case caption::ButtonKind::Max:
      ChangeHold(caption::HoldWay::Button);
      return;
    case caption::ButtonKind::Min:
      Container().WindowState(1);
      // The state value the composition gives a minimized container, set
      // here too; the container is not told, it reads the value itself.
      Hold.State(caption::Style2::Minimized);
      return;
  }
}

void JSCAPTION::UserControl_DblClick() {
  // The click that came first has already worked a button under the pointer.
  if (Buttons.Over()) return;
  // The bar maximizes and restores where the style lets the button react.
  if (!Buttons.Reacts(caption::ButtonKind::Max, ButtonsContext(nullptr))) return;
  ChangeHold(caption::HoldWay::DoubleClick);
}

// Maximize and restore

void JSCAPTION::TakeOverSystemMaximize() {
  const bool skip = Ambient().UserMode;
  bool maximizedBySystem = false;
  caption::Step(skip, [&] { maximizedBySystem = Container().WindowState() == 2; });
  if (maximizedBySystem) ChangeHold(caption::HoldWay::Takeover);
}

void JSCAPTION::ChangeHold(caption::HoldWay way) {
  const auto container = [this]() -> host::Form& { return Container(); };
  // Only the takeover runs its steps the way the composition does.
  const bool skip = way == caption::HoldWay::Takeover && Ambient().UserMode;
  const bool done = Hold.Held() && way != caption::HoldWay::Takeover
                        ? Hold.Release(container, way)
                        : Hold.Take(container, way, skip);
  if (!done) ShowWorkAreaFailure();
}

void JSCAPTION::ShowWorkAreaFailure() {
  // One line on the bar, in the control's own font and text colour, set to
  // the right against the buttons so that the caption text does not hide
  // it. It stays until the next composition draws the bar again.
  host::Label text;
  text.Caption = WorkAreaFailureText;
  text.Font = Font_;
  text.ForeColor = host::Control::ForeColor();
  int textWidth = 0;
  int textHeight = 0;
  text.TextSize(textWidth, textHeight);
  const caption::ButtonLefts lefts = Buttons.Lefts(ButtonsContext(nullptr));
  const int right = std::min(ScaleWidth(), lefts.onTop - FailureTextGap);
  text.Left = std::max(0, right - textWidth);
  text.Top = std::max<int>(0, Bar.Layout().YOFFSET);
  text.Width = std::max(0, right - text.Left);
  text.Height = std::max(0, ScaleHeight() - text.Top);
  text.DrawOnto(hDC());
}

// Moving and always-on-top

void JSCAPTION::StartDrag() {
  if (Movable_ != True) return;
  // The host holds the pointer for this control since the press; the window
  // manager's move loop needs it.
  ReleaseCapture();
  if (Hold.Held()) return;
  // The window manager takes this for a press on a standard title bar and
  // runs its move loop; the send returns when the button comes up.
  SendMessageA(Container().hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void JSCAPTION::ToggleOnTop() {
  if (!OnTopSwitch) OnTopSwitch = std::make_unique<clsOnTop>();
  // Only the member changes: unlike the property, the button does not tell
  // the container, which keeps the value it last saved.
  if (ONTOP_ == True) {
    OnTopSwitch->MakeNormal(Container().hwnd());
    ONTOP_ = False;
  } else if (ONTOP_ == False) {
    OnTopSwitch->MakeTopMost(Container().hwnd());
    ONTOP_ = True;
  } else {
    return;
  }
  Buttons.Show(caption::ButtonKind::OnTop, caption::ButtonLook::Normal, ButtonsContext(hDC()));
}
