#include "controls/caption/JSCAPTION.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "controls/ResizeEnabled.h"
#include "controls/caption/CaptionGeometry.h"
#include "host/Form.h"
#include "host/Screen.h"
#include "platform/gdi/Text.h"
#include "skin/SkinFile.h"
#include "skin/FrameSkins.h"

namespace {

constexpr std::int16_t True = -1;
constexpr std::int16_t False = 0;

// Fixed settings of the caption elements, in twips.
constexpr int LabelBoxWidth = 3045;
constexpr int LabelBoxHeight = 270;
constexpr int IconBoxSide = 240;
// The text and icon sit a fixed distance from the skin's offsets.
constexpr std::int16_t MainTextShiftX = 17;
constexpr std::int16_t SecondTextShiftX = 16;
constexpr std::int16_t SecondTextShiftY = -1;
constexpr std::int16_t IconShiftY = 2;
// The height the control takes in a designer, where no skin is drawn.
constexpr int DesignHeight = 400;

// The control's own colours before its first composition.
constexpr std::uint32_t StartForeColor = 0x00FFFFFF;
constexpr std::uint32_t StartBackColor = 0x00DC7E5A;
// Stored defaults.
constexpr std::uint32_t DefaultBackColor = 0x80000012;  // the system's button-text colour
constexpr std::uint32_t DefaultForeColor = 0x00FFFFFF;
constexpr std::int32_t DefaultStyle = 1;

// One step of the composition. At run time a step that fails is skipped and
// the next one runs; in a designer a failure goes to the caller as it does
// from every other handler.
template <class StepBody>
void Step(bool skipOnFailure, StepBody&& body) {
  if (!skipOnFailure) {
    body();
    return;
  }
  try {
    body();
  } catch (const std::exception&) {
  }
}

void LoadPicture(const host::PropertyBag& bag, clsBitmap* surface, std::string_view key) {
  if (!surface) throw host::Error("no surface for " + std::string(key));
  surface->LoadResource(skin::Picture(bag, key));
}

void Blit(HDC target, const clsBitmap* surface, std::int32_t x, std::int32_t y) {
  if (!surface || !surface->hdc()) return;  // an empty face draws nothing
  BitBlt(target, x, y, surface->Width(), surface->Height(), surface->hdc(), 0, 0, SRCCOPY);
}

std::int32_t WidthOf(const std::unique_ptr<clsBitmap>& surface) {
  return surface ? surface->Width() : 0;
}

// The container's icon image nearest to the icon box, or none.
std::shared_ptr<const gdi::Surface> IconPicture(const std::vector<platform::IconImage>& icon,
                                                int side) {
  const platform::IconImage* best = nullptr;
  int bestDistance = 0;
  for (const auto& image : icon) {
    const int distance = std::abs(image.pixels.width - side) + std::abs(image.pixels.height - side);
    if (!best || distance < bestDistance) {
      best = &image;
      bestDistance = distance;
    }
  }
  if (!best) return nullptr;
  return std::make_shared<const gdi::Surface>(best->pixels);
}

}  // namespace

host::Font JSCAPTION::TextFont() {
  host::Font font;
  font.Name = "Trebuchet MS";
  font.Size = 9.0;
  font.Weight = 700;
  return font;
}

JSCAPTION::JSCAPTION(std::string name) : host::Control(std::move(name)) {
  const host::Font textFont = TextFont();
  for (host::Label* label : {&Label2, &Label1}) {
    label->Font = textFont;
    label->Width = host::TwipsToPixels(LabelBoxWidth, host::Screen::TwipsPerPixelX());
    label->Height = host::TwipsToPixels(LabelBoxHeight, host::Screen::TwipsPerPixelY());
  }
  Label1.ForeColor = DefaultForeColor;
  Label2.ForeColor = DefaultBackColor;
  Image1.Width = host::TwipsToPixels(IconBoxSide, host::Screen::TwipsPerPixelX());
  Image1.Height = host::TwipsToPixels(IconBoxSide, host::Screen::TwipsPerPixelY());
  AddElement(Image1);
  AddElement(Label2);
  AddElement(Label1);
  // The caption text hands its pointer on as if it were the bar's own, but
  // at a fixed point near the bar's top-left corner: over the text the
  // buttons only see a move at (1, 1). Its click goes nowhere, so a click on
  // the text never works a button.
  Label1.MouseDown = [this](int, int, float, float) { UserControl_MouseDown(1, 1, 1.0f, 1.0f); };
  Label1.MouseMove = [this](int, int, float, float) { UserControl_MouseMove(1, 1, 1.0f, 1.0f); };
  Label1.MouseUp = [this](int, int, float, float) { UserControl_MouseUp(1, 1, 1.0f, 1.0f); };
  Label1.DblClick = [this] { UserControl_DblClick(); };
  host::Control::ForeColor(StartForeColor);
  host::Control::BackColor(StartBackColor);
}

JSCAPTION::~JSCAPTION() = default;

// ---------------------------------------------------------------------------
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
  ComposeCaption();
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

void JSCAPTION::Style2(std::int32_t newstyle2) {
  Style2_ = newstyle2;
  PropertyChanged("Style2");
}

void JSCAPTION::REDRAW() {
  Refresh();
}

void JSCAPTION::Font(const host::Font& New_Font) {
  Font_ = New_Font;
  PropertyChanged("Font");
  ComposeCaption();
}

void JSCAPTION::BackColor(std::uint32_t New_BackColor) {
  Label2.ForeColor = New_BackColor;
  if (Parent()) Parent()->Invalidate();
  PropertyChanged("BackColor");
}

void JSCAPTION::ForeColor(std::uint32_t New_ForeColor) {
  Label1.ForeColor = New_ForeColor;
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

// ---------------------------------------------------------------------------
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

namespace {

// Typed reads of stored settings. A value that does not convert ends the
// load: the settings read so far keep their new values.
struct StoredReader {
  const host::PropertyBag& bag;

  const host::PropertyValue* Find(const char* name) const { return bag.ReadProperty(name); }
  [[noreturn]] static void Fail(const char* name, const char* kind) {
    throw host::Error(std::string("the stored setting ") + name + " is not " + kind);
  }
  std::int16_t Boolean(const char* name, std::int16_t defaultValue) const {
    const host::PropertyValue* value = Find(name);
    if (!value) return defaultValue;
    const auto converted = host::ToBoolean(*value);
    if (!converted) Fail(name, "a Boolean");
    return *converted ? True : False;
  }
  std::int32_t Long(const char* name, std::int32_t defaultValue) const {
    const host::PropertyValue* value = Find(name);
    if (!value) return defaultValue;
    const auto converted = host::ToLong(*value);
    if (!converted) Fail(name, "a number");
    return *converted;
  }
  std::uint32_t Colour(const char* name, std::uint32_t defaultValue) const {
    return static_cast<std::uint32_t>(Long(name, static_cast<std::int32_t>(defaultValue)));
  }
  std::string Text(const char* name, const std::string& defaultValue) const {
    const host::PropertyValue* value = Find(name);
    if (!value) return defaultValue;
    const auto converted = host::ToText(*value);
    if (!converted) Fail(name, "a text");
    return *converted;
  }
  host::Font FontValue(const char* name, const host::Font& defaultValue) const {
    const host::PropertyValue* value = Find(name);
    if (!value) return defaultValue;
    if (value->kind != host::PropertyValue::Kind::Font) Fail(name, "a font");
    return value->font;
  }
};

host::PropertyValue Stored(std::int32_t value) {
  return host::PropertyValue::Of(value);
}
host::PropertyValue StoredColour(std::uint32_t value) {
  return host::PropertyValue::Of(static_cast<std::int32_t>(value));
}

}  // namespace

void JSCAPTION::UserControl_ReadProperties(host::PropertyBag& PropBag) {
  const StoredReader stored{PropBag};
  // Path is taken as stored, without its setter: nothing is composed yet.
  Path_ = stored.Text("Path", "");
  Movable_ = stored.Boolean("Movable", True);
  Style_ = stored.Long("Style", DefaultStyle);
  ShowIcon_ = stored.Boolean("ShowIcon", True);
  ControlBox_ = stored.Boolean("ControlBox", True);
  ONTOP_ = stored.Boolean("ONTOP", False);
  SHOWONTOP_ = stored.Boolean("SHOWONTOP", False);
  Font_ = stored.FontValue("Font", Ambient().Font);
  ResizeEnabled = False;
  ApplyOnTop();
  Label2.ForeColor = stored.Colour("BackColor", DefaultBackColor);
  Label1.ForeColor = stored.Colour("ForeColor", DefaultForeColor);
}

void JSCAPTION::UserControl_WriteProperties(host::PropertyBag& PropBag) {
  PropBag.WriteProperty("Path", host::PropertyValue::Of(Path_),
                        host::PropertyValue::Of(std::string()));
  PropBag.WriteProperty("Movable", Stored(Movable_), Stored(True));
  PropBag.WriteProperty("ShowIcon", Stored(ShowIcon_), Stored(True));
  PropBag.WriteProperty("ControlBox", Stored(ControlBox_), Stored(True));
  PropBag.WriteProperty("ONTOP", Stored(ONTOP_), Stored(False));
  PropBag.WriteProperty("SHOWONTOP", Stored(SHOWONTOP_), Stored(False));
  PropBag.WriteProperty("Style", Stored(Style_), Stored(DefaultStyle));
  PropBag.WriteProperty("Font", host::PropertyValue::Of(Font_),
                        host::PropertyValue::Of(Ambient().Font));
  PropBag.WriteProperty("BackColor", StoredColour(Label2.ForeColor),
                        StoredColour(DefaultBackColor));
  PropBag.WriteProperty("ForeColor", StoredColour(Label1.ForeColor),
                        StoredColour(DefaultForeColor));
}

void JSCAPTION::UserControl_Terminate() {
  TopLeftBitmap.reset();
  TopMidBitmap.reset();
  TopRightBitmap.reset();
  CloseBitmap.reset();
  MaxBitmap.reset();
  MinBitmap.reset();
}

// ---------------------------------------------------------------------------
// Paint and resize

void JSCAPTION::UserControl_Paint() {
  ComposeCaption();
  // A skin offset at the very end of the 16-bit range would overflow these
  // sums; the text then stays where it was rather than ending the program.
  if (const auto x = caption::Add16(XOFFSET, MainTextShiftX)) Label1.Left = *x;
  Label1.Top = YOFFSET;
  if (const auto x = caption::Add16(XOFFSET, SecondTextShiftX)) Label2.Left = *x;
  if (const auto y = caption::Add16(YOFFSET, SecondTextShiftY)) Label2.Top = *y;
  const std::string text = Container().Caption();
  Label1.Caption = text;
  Label2.Caption = text;
  Label1.ForeColor = host::Control::ForeColor();
  Label2.ForeColor = host::Control::BackColor();
}

void JSCAPTION::UserControl_Resize() {
  if (IsMaximized == 1) {
    ResizeEnabled = False;
  } else if (Style_ == 1) {
    ResizeEnabled = True;
  }
  ComposeCaption();
  if (!Ambient().UserMode) Height(DesignHeight);
  Image1.Left = XOFFSET2;
  if (const auto y = caption::Add16(YOFFSET, IconShiftY)) Image1.Top = *y;
  if (ShowIcon_ && Parent()) Parent()->Invalidate();
}

// ---------------------------------------------------------------------------
// Composition

void JSCAPTION::ComposeCaption() {
  const bool runMode = Ambient().UserMode;
  if (runMode) {
    // Setting the height below re-enters this routine through the resize
    // handling, and that nested pass replaces every surface and releases the
    // bar pieces. So each step reaches the surfaces through the members
    // afresh and never keeps a pointer across another step.
    Step(true, [&] {
      TopLeftBitmap = std::make_unique<clsBitmap>();
      TopMidBitmap = std::make_unique<clsBitmap>();
      TopRightBitmap = std::make_unique<clsBitmap>();
      CloseBitmap = std::make_unique<clsBitmap>();
      MaxBitmap = std::make_unique<clsBitmap>();
      MinBitmap = std::make_unique<clsBitmap>();
      OnTopBitmap = std::make_unique<clsBitmap>();
    });
    Step(true, [&] {
      SkinBag.Clear();
      Skins_ ? Skins_->Read(Path_, SkinBag) : skin::ReadSkinFile(Path_, SkinBag);
    });
    Step(true, [&] { LoadPicture(SkinBag, TopLeftBitmap.get(), "TOPLEFT"); });
    Step(true, [&] { LoadPicture(SkinBag, TopMidBitmap.get(), "TOPMID"); });
    Step(true, [&] { LoadPicture(SkinBag, TopRightBitmap.get(), "TOPRIGHT"); });
    Step(true, [&] { LoadPicture(SkinBag, CloseBitmap.get(), "CLOSE"); });
    Step(true, [&] {
      if (IsMaximized == 1) {
        LoadPicture(SkinBag, MaxBitmap.get(), "RES1");
        Style2_ = 1;
      } else if (Container().WindowState() == 1) {
        Style2_ = 0;
      } else {
        LoadPicture(SkinBag, MaxBitmap.get(), "MAX");
        Style2_ = 2;
      }
    });
    Step(true, [&] { LoadPicture(SkinBag, MinBitmap.get(), "MIN"); });
    Step(true, [&] { LoadPicture(SkinBag, OnTopBitmap.get(), ONTOP_ ? "ONTOP3" : "ONTOP1"); });

    for (const auto& entry : {std::pair{"XOFFSET", &XOFFSET}, std::pair{"XOFFSET2", &XOFFSET2},
                              std::pair{"YOFFSET", &YOFFSET}, std::pair{"FROMRIGHT", &FROMRIGHT},
                              std::pair{"FROMTOP", &FROMTOP}, std::pair{"ICONSPACE", &ICONSPACE}}) {
      Step(true, [&] {
        if (const auto number = skin::Number(SkinBag, entry.first)) *entry.second = *number;
      });
    }
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

    Step(true, [&] {
      if (!TopLeftBitmap) throw host::Error("no left piece");
      Height(TopLeftBitmap->Height() * host::Screen::TwipsPerPixelY());
    });

    const auto barWidth = [&] { return static_cast<double>(ScaleWidth()); };
    Step(true, [&] {
      const clsBitmap* mid = TopMidBitmap.get();
      if (!mid || !mid->hdc()) return;
      const HDC target = hDC();
      const std::int32_t tiles = caption::TileCount(barWidth(), mid->Width());
      for (std::int32_t i = 0; i < tiles; ++i) {
        BitBlt(target, i * mid->Width(), 0, mid->Width(), mid->Height(), mid->hdc(), 0, 0, SRCCOPY);
      }
    });
    Step(true, [&] { Blit(hDC(), TopLeftBitmap.get(), 0, 0); });
    Step(true, [&] {
      const clsBitmap* right = TopRightBitmap.get();
      if (!right) return;
      Blit(hDC(), right, caption::RightPieceLeft(barWidth(), right->Width()), 0);
    });

    Step(true, [&] {
      if (!ShowIcon_) return;
      Image1.Picture = IconPicture(Container().Icon(), Image1.Width);
      // A window at a higher scale draws the icon image nearest its box in
      // device pixels.
      Image1.OtherSizes.clear();
      for (const auto& image : Container().Icon()) {
        Image1.OtherSizes.push_back(std::make_shared<const gdi::Surface>(image.pixels));
      }
    });

    const auto buttonLefts = [&] {
      return caption::ButtonLeftEdges(barWidth(), CurrentWidths(), FROMRIGHT, ICONSPACE);
    };
    Step(true, [&] {
      if (!ControlBox_) return;
      const caption::ButtonLefts lefts = buttonLefts();
      Blit(hDC(), CloseBitmap.get(), lefts.close, FROMTOP);
      if (Style_ != 0) {
        Blit(hDC(), MaxBitmap.get(), lefts.max, FROMTOP);
        Blit(hDC(), MinBitmap.get(), lefts.min, FROMTOP);
      }
    });
    Step(true, [&] {
      if (SHOWONTOP_) Blit(hDC(), OnTopBitmap.get(), buttonLefts().onTop, FROMTOP);
    });

    Step(true, [&] {
      TopLeftBitmap.reset();
      TopMidBitmap.reset();
      TopRightBitmap.reset();
    });
  }
  TakeOverSystemMaximize();
}

void JSCAPTION::TakeOverSystemMaximize() {
  const bool skip = Ambient().UserMode;
  bool maximizedBySystem = false;
  Step(skip, [&] { maximizedBySystem = Container().WindowState() == 2; });
  if (!maximizedBySystem) return;

  // Going back to the normal state runs the container's resize handling and
  // ours, nested, while IsMaximized is still 0: those passes draw the
  // maximize face. The passes under the placement below draw the restore face.
  Step(skip, [&] { Container().WindowState(0); });
  Step(skip, [&] { Style2_ = 1; });
  Step(skip, [&] { ResizeEnabled = False; });
  Step(skip, [&] { IsMaximized = 1; });
  Step(skip, [&] { HaveRestoreBounds = false; });
  RECT workArea{};
  bool queried = false;
  Step(skip, [&] { queried = SystemParametersInfoA(SPI_GETWORKAREA, 1, &workArea, 0) != 0; });
  if (queried) Step(skip, [&] { PlaceOnWorkArea(workArea, PlacementOrder::PositionFirst); });
}

void JSCAPTION::PlaceOnWorkArea(const RECT& workArea, PlacementOrder order) {
  host::Form& container = Container();
  RestoreWidth = container.Width();
  RestoreHeight = container.Height();
  RestoreLeft = container.Left();
  RestoreTop = container.Top();
  HaveRestoreBounds = true;

  const auto size = [&] {
    const auto width = caption::PixelsToTwips(
        static_cast<std::int64_t>(workArea.right) - workArea.left, host::Screen::TwipsPerPixelX());
    const auto height = caption::PixelsToTwips(
        static_cast<std::int64_t>(workArea.bottom) - workArea.top, host::Screen::TwipsPerPixelY());
    if (!width || !height || *width < 0 || *height < 0) {
      throw host::Error("the work area has no size that a window can take");
    }
    Container().Width(*width);
    Container().Height(*height);
  };
  const auto position = [&] {
    const auto place = caption::WorkAreaPosition(workArea, host::Screen::TwipsPerPixelX(),
                                                 host::Screen::TwipsPerPixelY());
    if (!place) return;
    Container().Left(place->left);
    Container().Top(place->top);
  };
  if (order == PlacementOrder::PositionFirst) {
    position();
    size();
  } else {
    size();
    position();
  }
}

// ---------------------------------------------------------------------------
// Buttons

namespace {

constexpr std::int32_t CloseButton = 0;
constexpr std::int32_t MinButton = 1;
constexpr std::int32_t MaxButton = 2;
constexpr std::int32_t OnTopButton = 3;

// Button styles: 0 shows the close button alone, 3 keeps maximize/restore
// from reacting and 4 keeps close from reacting.
constexpr std::int32_t CloseOnlyStyle = 0;
constexpr std::int32_t NoMaximizeStyle = 3;
constexpr std::int32_t NoCloseStyle = 4;

// Room left between the work-area failure text and the buttons, in pixels.
constexpr int FailureTextGap = 4;
const std::string WorkAreaFailureText = "调用 SystemParametersInfo 失败";

std::int32_t HeightOf(const std::unique_ptr<clsBitmap>& surface) {
  return surface ? surface->Height() : 0;
}

}  // namespace

caption::ButtonWidths JSCAPTION::CurrentWidths() const {
  return {WidthOf(CloseBitmap), WidthOf(MaxBitmap), WidthOf(MinBitmap), WidthOf(OnTopBitmap)};
}

void JSCAPTION::DrawFace(Face face, const char* key) {
  clsBitmap* surface = nullptr;
  switch (face) {
    case Face::Close:
      surface = CloseBitmap.get();
      break;
    case Face::Max:
      surface = MaxBitmap.get();
      break;
    case Face::Min:
      surface = MinBitmap.get();
      break;
    case Face::OnTop:
      surface = OnTopBitmap.get();
      break;
  }
  // Before the first composition, and after the control has ended, there
  // are no faces to load into.
  if (!surface) return;
  // A key the skin lacks empties the surface but leaves its size: nothing is
  // drawn, the previous face stays on screen and the hit test keeps its size.
  surface->LoadResource(skin::Picture(SkinBag, key));
  // The place follows the widths of the faces now loaded.
  const caption::ButtonLefts lefts =
      caption::ButtonLeftEdges(ScaleWidth(), CurrentWidths(), FROMRIGHT, ICONSPACE);
  std::int32_t left = 0;
  switch (face) {
    case Face::Close:
      left = lefts.close;
      break;
    case Face::Max:
      left = lefts.max;
      break;
    case Face::Min:
      left = lefts.min;
      break;
    case Face::OnTop:
      left = lefts.onTop;
      break;
  }
  Blit(hDC(), surface, left, FROMTOP);
}

void JSCAPTION::DrawNormalFaces() {
  DrawFace(Face::Close, "CLOSE");
  if (Style_ != CloseOnlyStyle) {
    DrawFace(Face::Max, IsMaximized == 1 ? "RES1" : "MAX");
    DrawFace(Face::Min, "MIN");
  }
}

void JSCAPTION::UserControl_MouseMove(int Button, int Shift, float X, float Y) {
  (void)Button, (void)Shift;
  if (ControlBox_ != True) return;
  // The band always takes the close face's height; a skin without a close
  // face has no band, and no button ever reacts.
  if (!caption::InButtonBand(Y, FROMTOP, HeightOf(CloseBitmap))) return;
  const caption::ButtonExtents extents =
      caption::ButtonHitExtents(ScaleWidth(), CurrentWidths(), FROMRIGHT, ICONSPACE);
  // An inactive button's extent leaves the state as it was, so a pointer
  // sliding from an active button onto it keeps the active one hot.
  switch (caption::ButtonUnder(extents, X)) {
    case caption::ButtonSlot::Close:
      if (Style_ == NoCloseStyle) return;
      DrawFace(Face::Close, "CLOSE3");
      HotButton = CloseButton;
      OverButton = True;
      return;
    case caption::ButtonSlot::Max:
      if (Style_ == CloseOnlyStyle || Style_ == NoMaximizeStyle) return;
      // The restore face numbers its hover and pressed forms the other way.
      DrawFace(Face::Max, IsMaximized == 1 ? "RES2" : "MAX3");
      HotButton = MaxButton;
      OverButton = True;
      return;
    case caption::ButtonSlot::Min:
      if (Style_ == CloseOnlyStyle) return;
      DrawFace(Face::Min, "MIN3");
      HotButton = MinButton;
      OverButton = True;
      return;
    case caption::ButtonSlot::OnTop:
      // The always-on-top button has no hover face.
      if (SHOWONTOP_ != True) return;
      HotButton = OnTopButton;
      OverButton = True;
      return;
    case caption::ButtonSlot::None:
      // The free part of the band. The always-on-top face shows the pinned
      // state, which a hover never changed, so it stays.
      DrawNormalFaces();
      OverButton = False;
      return;
  }
}

void JSCAPTION::UserControl_MouseDown(int Button, int Shift, float X, float Y) {
  (void)Button, (void)Shift, (void)X, (void)Y;
  // The last move decides, not where the press lands: a button left hot by
  // a pointer that went off it upwards or downwards still takes the press.
  if (OverButton != True) {
    StartDrag();
    return;
  }
  if (ControlBox_ != True) return;
  switch (HotButton) {
    case CloseButton:
      DrawFace(Face::Close, "CLOSE2");
      break;
    case MaxButton:
      DrawFace(Face::Max, IsMaximized == 1 ? "RES3" : "MAX2");
      break;
    case MinButton:
      DrawFace(Face::Min, "MIN2");
      break;
    default:
      break;  // the always-on-top button has no pressed face
  }
}

void JSCAPTION::UserControl_MouseUp(int Button, int Shift, float X, float Y) {
  (void)Button, (void)Shift, (void)X, (void)Y;
  if (ControlBox_ != True || OverButton != True) return;
  switch (HotButton) {
    case CloseButton:
      DrawFace(Face::Close, "CLOSE");
      break;
    case MaxButton:
      DrawFace(Face::Max, IsMaximized == 1 ? "RES1" : "MAX");
      break;
    case MinButton:
      DrawFace(Face::Min, "MIN");
      break;
    default:
      break;
  }
}

void JSCAPTION::UserControl_Click() {
  if (ControlBox_ != True || OverButton != True) return;
  switch (HotButton) {
    case CloseButton:
      if (Style_ == NoCloseStyle) return;
      Container().Unload();
      return;
    case OnTopButton:
      ToggleOnTop();
      return;
    case MaxButton:
      if (Style_ == NoMaximizeStyle) return;
      if (IsMaximized == 0) {
        MaximizeFromButton();
      } else if (IsMaximized == 1) {
        RestoreFromButton();
      }
      return;
    case MinButton:
      Container().WindowState(1);
      // The state value the composition gives a minimized container, set
      // here too; the container is not told, it reads the value itself.
      Style2_ = 0;
      return;
    default:
      return;
  }
}

void JSCAPTION::UserControl_DblClick() {
  // The click that came first has already worked a button under the pointer.
  if (OverButton != False) return;
  if (Style_ == CloseOnlyStyle || Style_ == NoMaximizeStyle) return;
  if (IsMaximized == 1) {
    RestoreFromDoubleClick();
  } else {
    MaximizeFromDoubleClick();
  }
}

// ---------------------------------------------------------------------------
// Maximize and restore

bool JSCAPTION::QueryWorkArea(RECT& workArea) {
  return SystemParametersInfoA(SPI_GETWORKAREA, 1, &workArea, 0) != 0;
}

void JSCAPTION::MaximizeFromButton() {
  IsMaximized = 1;
  HaveRestoreBounds = false;
  RECT workArea{};
  if (!QueryWorkArea(workArea)) {
    ShowWorkAreaFailure();
    return;
  }
  PlaceOnWorkArea(workArea, PlacementOrder::SizeFirst);
}

void JSCAPTION::RestoreFromButton() {
  IsMaximized = 0;
  // Only asked for its failure: the area itself is not needed to restore.
  RECT workArea{};
  if (!QueryWorkArea(workArea)) {
    ShowWorkAreaFailure();
    return;
  }
  PutBackRestoreBounds();
}

void JSCAPTION::MaximizeFromDoubleClick() {
  ResizeEnabled = False;
  IsMaximized = 1;
  HaveRestoreBounds = false;
  RECT workArea{};
  if (!QueryWorkArea(workArea)) {
    ShowWorkAreaFailure();
    return;
  }
  PlaceOnWorkArea(workArea, PlacementOrder::PositionFirst);
}

void JSCAPTION::RestoreFromDoubleClick() {
  IsMaximized = 0;
  PutBackRestoreBounds();
}

void JSCAPTION::PutBackRestoreBounds() {
  // A maximize whose work-area query failed left the window where it was
  // and saved nothing. Putting back older or never-set bounds would throw
  // the window somewhere else or shrink it to nothing at the screen's
  // corner, so it stays where it is.
  if (!HaveRestoreBounds) return;
  HaveRestoreBounds = false;
  // Each assignment can run the container's and this control's resize
  // handling before the next one is made.
  Container().Width(RestoreWidth);
  Container().Height(RestoreHeight);
  Container().Left(RestoreLeft);
  Container().Top(RestoreTop);
}

void JSCAPTION::ShowWorkAreaFailure() {
  // One line on the bar, in the control's own font and text colour, set to
  // the right against the buttons so that the caption text does not hide
  // it. It stays until the next composition draws the bar again.
  const caption::ButtonLefts lefts =
      caption::ButtonLeftEdges(ScaleWidth(), CurrentWidths(), FROMRIGHT, ICONSPACE);
  int textWidth = 0;
  int textHeight = 0;
  gdi::MeasureText(WorkAreaFailureText, Font_, textWidth, textHeight);
  const int right = std::min(ScaleWidth(), lefts.onTop - FailureTextGap);
  const int left = std::max(0, right - textWidth);
  const int top = std::max<int>(0, YOFFSET);
  gdi::DrawTextLine(hDC(), left, top, std::max(0, right - left), std::max(0, ScaleHeight() - top),
                    WorkAreaFailureText, Font_, host::Control::ForeColor());
}

// ---------------------------------------------------------------------------
// Moving and always-on-top

void JSCAPTION::StartDrag() {
  if (Movable_ != True) return;
  // The host holds the pointer for this control since the press; the window
  // manager's move loop needs it.
  ReleaseCapture();
  if (IsMaximized == 1) return;
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
    DrawFace(Face::OnTop, "ONTOP1");
  } else if (ONTOP_ == False) {
    OnTopSwitch->MakeTopMost(Container().hwnd());
    ONTOP_ = True;
    DrawFace(Face::OnTop, "ONTOP3");
  }
}
