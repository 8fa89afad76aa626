// One composition of the caption bar from the shipped skin at two widths,
// and the three parts its time goes to: reading and decoding the skin, the
// blits, and drawing the two caption texts. Also the pointer sweeping over
// the buttons, which decodes a face on every move.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "controls/caption/JSCAPTION.h"
#include "host/Element.h"
#include "host/Files.h"
#include "host/Form.h"
#include "platform/headless/HeadlessDesktop.h"
#include "skin/SkinFile.h"
#include "skin/clsBitmap.h"

namespace {

const std::string ShippedSkin = SKINSHELL_DIST_DIR "/stype/black-1.jss";

using BenchCaption = JSCAPTION;

bool HaveSkin(benchmark::State& state) {
  if (host::FileExists(ShippedSkin)) return true;
  state.SkipWithError("the shipped skins are not packed: build the dist_skins target");
  return false;
}

// A main window of the given width with its caption control, as at start-up.
struct CaptionScene {
  explicit CaptionScene(int widthPx) : desktop(1920, 1080) {
    platform::UseDesktop(&desktop);
    form = std::make_unique<host::Form>(desktop, "TestOCX_new");
    form->Caption("skinshell");
    form->Move(0, 0, widthPx * 15, 600 * 15);
    const host::PropertyBag defaults;
    caption = &form->Add(std::make_unique<BenchCaption>("JSCAPTION1"), &defaults);
    caption->Align(host::vbAlignTop);
    caption->Path(ShippedSkin);
    caption->REDRAW();
  }
  ~CaptionScene() {
    form.reset();
    platform::UseDesktop(nullptr);
  }
  platform::HeadlessDesktop desktop;
  std::unique_ptr<host::Form> form;
  BenchCaption* caption = nullptr;
};

void BM_CaptionCompose(benchmark::State& state) {
  if (!HaveSkin(state)) return;
  CaptionScene scene(static_cast<int>(state.range(0)));
  // A repaint: the composition, then the two texts placed over it.
  for (auto _ : state) scene.caption->REDRAW();
  state.counters["width_px"] = scene.caption->ScaleWidth();
  state.counters["height_px"] = scene.caption->ScaleHeight();
}

// What the composition reads: the file, and the nine pictures it decodes
// into surfaces.
void BM_CaptionSkinReadAndLoad(benchmark::State& state) {
  if (!HaveSkin(state)) return;
  host::PropertyBag bag;
  for (auto _ : state) {
    skin::ReadSkinFile(ShippedSkin, bag);
    for (const char* key : {"TOPLEFT", "TOPMID", "TOPRIGHT", "CLOSE", "MAX", "MIN", "ONTOP1"}) {
      clsBitmap surface;
      surface.LoadResource(skin::Picture(bag, key));
      benchmark::DoNotOptimize(surface.Width());
    }
    for (const char* key :
         {"XOFFSET", "XOFFSET2", "YOFFSET", "FROMRIGHT", "FROMTOP", "ICONSPACE"}) {
      benchmark::DoNotOptimize(skin::Number(bag, key));
    }
  }
}

// The blits alone: the tiles across the width, both pieces and three faces.
void BM_CaptionBlits(benchmark::State& state) {
  if (!HaveSkin(state)) return;
  CaptionScene scene(static_cast<int>(state.range(0)));
  host::PropertyBag bag;
  skin::ReadSkinFile(ShippedSkin, bag);
  clsBitmap left, mid, right, close, max, min;
  left.LoadResource(skin::Picture(bag, "TOPLEFT"));
  mid.LoadResource(skin::Picture(bag, "TOPMID"));
  right.LoadResource(skin::Picture(bag, "TOPRIGHT"));
  close.LoadResource(skin::Picture(bag, "CLOSE"));
  max.LoadResource(skin::Picture(bag, "MAX"));
  min.LoadResource(skin::Picture(bag, "MIN"));
  const int width = scene.caption->ScaleWidth();
  const HDC target = scene.caption->hDC();
  int blits = 0;
  for (auto _ : state) {
    blits = 0;
    for (int x = 0; mid.Width() > 0 && x < width; x += mid.Width(), ++blits) {
      BitBlt(target, x, 0, mid.Width(), mid.Height(), mid.hdc(), 0, 0, SRCCOPY);
    }
    int x = width;
    for (clsBitmap* face : {&right, &close, &max, &min}) {
      x -= face->Width();
      BitBlt(target, x, 0, face->Width(), face->Height(), face->hdc(), 0, 0, SRCCOPY);
      ++blits;
    }
    BitBlt(target, 0, 0, left.Width(), left.Height(), left.hdc(), 0, 0, SRCCOPY);
    ++blits;
  }
  state.counters["blits"] = blits;
}

// The two caption texts as the window draws them over the bar.
void BM_CaptionLabels(benchmark::State& state) {
  if (!HaveSkin(state)) return;
  CaptionScene scene(878);
  gdi::Surface target(878, scene.caption->ScaleHeight());
  for (auto _ : state) {
    const RECT clip{0, 0, target.width, target.height};
    // The second caption text, then the main one above it.
    for (const host::Element* text : {scene.caption->Elements()[1], scene.caption->Elements()[2]}) {
      text->Draw(target, 0, 0, clip);
    }
  }
}

// The pointer crossing the buttons: every move over a button, and every move
// on the free part of the band, loads faces from the parsed skin and copies
// them onto the bar. Range: the number of moves across the last 120 pixels.
void BM_CaptionPointerSweep(benchmark::State& state) {
  if (!HaveSkin(state)) return;
  CaptionScene scene(878);
  BenchCaption& caption = *scene.caption;
  const int moves = static_cast<int>(state.range(0));
  const float y = static_cast<float>(caption.ButtonViews().front().rect.top) + 2.0f;
  const float start = static_cast<float>(caption.ScaleWidth() - 120);
  for (auto _ : state) {
    for (int i = 0; i < moves; ++i) {
      caption.UserControl_MouseMove(0, 0, start + 120.0f * i / moves, y);
    }
  }
  state.counters["moves_per_s"] =
      benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(BM_CaptionPointerSweep)->Arg(120)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CaptionCompose)->Arg(878)->Arg(1920)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CaptionSkinReadAndLoad)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CaptionBlits)->Arg(878)->Arg(1920)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CaptionLabels)->Unit(benchmark::kMicrosecond);
