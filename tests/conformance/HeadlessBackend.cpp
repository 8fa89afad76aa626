// The headless desktop as a conformance backend: input is queued and
// delivered at the release, so that a move or sizing loop started by the
// press finds the rest of the gesture waiting, as it would on a real queue.
#include <cstdlib>
#include <iostream>
#include <map>

#include "platform/headless/HeadlessDesktop.h"
#include "tests/conformance/Backend.h"

namespace conformance {

namespace {

std::map<std::string, Factory>& Backends() {
  static std::map<std::string, Factory> backends;
  return backends;
}

class HeadlessBackend : public Backend {
 public:
  HeadlessBackend() {
    desktop_.SetMonitors({RECT{0, 0, 1920, 1080}, RECT{1920, 0, 3840, 1080}});
    platform::UseDesktop(&desktop_);
  }
  ~HeadlessBackend() override { platform::UseDesktop(nullptr); }

  platform::Desktop& Desktop() override { return desktop_; }
  Traits Is() const override {
    Traits traits;
    traits.twoMonitors = true;
    return traits;
  }

  void Press(int x, int y) override {
    desktop_.QueueMove(x, y);
    desktop_.QueuePress(x, y);
  }
  void MoveTo(int x, int y) override { desktop_.QueueMove(x, y); }
  void Release(int x, int y) override {
    desktop_.QueueRelease(x, y);
    desktop_.Pump();
  }
  bool Until(const std::function<bool()>& condition, int) override {
    desktop_.Pump();
    return condition();
  }
  void Idle(int) override { desktop_.Pump(); }

  void UserMinimize(HWND hwnd) override { desktop_.UserMinimize(hwnd); }
  void UserMaximize(HWND hwnd) override { desktop_.UserMaximize(hwnd); }
  void UserClose(HWND hwnd) override { desktop_.UserClose(hwnd); }
  void UserMove(HWND hwnd, int x, int y) override {
    const RECT b = desktop_.Find(hwnd)->bounds;
    desktop_.UserResize(hwnd, RECT{x, y, x + b.right - b.left, y + b.bottom - b.top});
  }

  std::optional<std::uint32_t> PixelAt(int x, int y) override {
    for (HWND hwnd : desktop_.Windows()) {
      const auto* window = desktop_.Find(hwnd);
      const RECT& b = window->bounds;
      if (!window->visible || window->state == 1 || x < b.left || y < b.top || x >= b.right ||
          y >= b.bottom) {
        continue;
      }
      gdi::Surface shown = desktop_.Capture(hwnd);
      const std::uint32_t pixel = shown.Row(y - b.top)[x - b.left];
      // Outside the region the capture is transparent.
      if ((pixel >> 24) != 0) return pixel & 0xFFFFFFu;
    }
    return std::nullopt;
  }
  RECT Placed(HWND hwnd) override { return desktop_.Find(hwnd)->bounds; }
  bool KeptAbove(HWND hwnd) override { return desktop_.Find(hwnd)->topmost; }
  std::string Title(HWND hwnd) override { return desktop_.Find(hwnd)->title; }
  bool ShowsIcon(HWND hwnd, int size, std::uint32_t pixel) override {
    const auto& icon = desktop_.Find(hwnd)->icon;
    return !icon.empty() && icon[0].pixels.width == size && icon[0].pixels.height == size &&
           platform::StraightArgb(icon[0].pixels.Row(0)[0], icon[0].bitsPerPixel) == pixel;
  }

 private:
  platform::HeadlessDesktop desktop_;
};

const bool registered = Register("headless", [] { return std::make_unique<HeadlessBackend>(); });

}  // namespace

bool Register(const std::string& name, Factory factory) {
  Backends()[name] = std::move(factory);
  return true;
}

std::unique_ptr<Backend> Make() {
  const char* chosen = std::getenv("SKINSHELL_BACKEND");
  const std::string name = chosen != nullptr && *chosen != '\0' ? chosen : "headless";
  auto it = Backends().find(name);
  if (it != Backends().end()) return it->second();
  std::cerr << "no backend \"" << name << "\"; known:";
  for (const auto& [known, factory] : Backends()) std::cerr << " " << known;
  std::cerr << "\n";
  return nullptr;
}

}  // namespace conformance
