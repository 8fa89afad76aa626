#include "platform/FrameBuffer.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// A window owner whose drawing may leave the surface at another height.
class Drawer : public WindowSink {
 public:
  void OnPointer(const PointerEvent&) override {}
  void OnBoundsChanged(int, int, int, int) override {}
  void OnStateChanged(int, const RECT&) override {}
  void OnCloseRequested() override {}
  void OnCaptureReleased() override {}
  void Render(gdi::Surface&) override {}
  std::vector<RECT> RenderUncovered(gdi::Surface& target, DeviceScale) override {
    ++draws;
    if (newHeight) target = gdi::Surface(target.width, newHeight);
    return {RECT{0, 0, target.width, target.height}};
  }
  int draws = 0;
  int newHeight = 0;
};

TEST(FrameBuffer, ShowsNothingForNoSizeOrASurfaceTheSinkResized) {
  FrameBuffer buffer;
  Drawer sink;
  EXPECT_TRUE(buffer.Draw(sink, 40, 30, DeviceScale(1)));
  EXPECT_FALSE(buffer.Draw(sink, 0, 30, DeviceScale(1)));
  EXPECT_FALSE(buffer.Draw(sink, 40, 0, DeviceScale(1)));
  EXPECT_EQ(sink.draws, 1);
  sink.newHeight = 40;
  EXPECT_FALSE(buffer.Draw(sink, 40, 30, DeviceScale(1)));
}

}  // namespace
}  // namespace platform
