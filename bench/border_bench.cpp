// One composition of a full-screen side edge and bottom edge from the
// shipped skin: a skin read, three surfaces and one blit per pixel of length.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "controls/border/JSBORDER.h"
#include "host/Files.h"
#include "host/Form.h"
#include "platform/headless/HeadlessDesktop.h"

namespace {

void ComposeEdge(benchmark::State& state, int borderType) {
  const std::string skin = SKINSHELL_DIST_DIR "/stype/black-1.jss";
  if (!host::FileExists(skin)) {
    state.SkipWithError("the shipped skins are not packed: build the dist_skins target");
    return;
  }
  platform::HeadlessDesktop desktop(1920, 1080);
  platform::UseDesktop(&desktop);
  {
    host::Form form(desktop, "TestOCX_new");
    form.Move(0, 0, 1920 * 15, 1080 * 15);
    JSBORDER& edge = form.Add(std::make_unique<JSBORDER>("JSBORDER1"));
    edge.BORDERTYPE(borderType);
    edge.Path(skin);
    for (auto _ : state) edge.REDRAW();
    state.counters["length_px"] = borderType == 3 ? edge.ScaleWidth() : edge.ScaleHeight();
    state.counters["thickness_px"] = borderType == 3 ? edge.ScaleHeight() : edge.ScaleWidth();
  }
  platform::UseDesktop(nullptr);
}

void BM_BorderDrawSkinSideEdge1080(benchmark::State& state) {
  ComposeEdge(state, 1);
}
void BM_BorderDrawSkinBottomEdge1920(benchmark::State& state) {
  ComposeEdge(state, 3);
}

}  // namespace

BENCHMARK(BM_BorderDrawSkinSideEdge1080)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BorderDrawSkinBottomEdge1920)->Unit(benchmark::kMicrosecond);
