#include "controls/caption/WorkAreaHold.h"

#include <utility>

#include "controls/ResizeEnabled.h"
#include "controls/caption/CaptionGeometry.h"
#include "controls/caption/CompositionStep.h"
#include "host/Form.h"
#include "host/Screen.h"

namespace caption {

namespace {

// How the ways onto the work area differ.
struct HoldRules {
  bool takeover;
  bool turnsEdgesOff;   // before the query, whatever it answers
  bool reportsFailure;  // a failed query is told to the user
  bool restoreQueries;  // the way back asks for the work area too
  bool positionFirst;   // position, then size; otherwise size, then position
};

HoldRules RulesFor(HoldWay way) {
  switch (way) {
    case HoldWay::Button:
      return {false, false, true, true, false};
    case HoldWay::DoubleClick:
      return {false, true, true, false, true};
    case HoldWay::Takeover:
      return {true, true, false, false, true};
  }
  return {};
}

}  // namespace

bool WorkAreaHold::Take(const ContainerRef& container, HoldWay way, bool skipFailedSteps) {
  const HoldRules rules = RulesFor(way);
  if (rules.takeover) {
    // Going back to the normal state runs the container's resize handling
    // and the caption's, nested, while the hold is not yet taken: those
    // passes draw the maximize face. The passes under the placement draw
    // the restore face.
    Step(skipFailedSteps, [&] { container().WindowState(0); });
    state_ = Style2::Maximized;
  }
  if (rules.turnsEdgesOff) AllowEdgeResize(false);
  held_ = true;
  // A maximize that never placed the window has nothing for a restore to
  // put back.
  bounds_.reset();
  RECT workArea{};
  if (!QueryWorkArea(workArea)) return !rules.reportsFailure;
  Step(skipFailedSteps, [&] { Place(container, workArea, rules.positionFirst); });
  return true;
}

bool WorkAreaHold::Release(const ContainerRef& container, HoldWay way) {
  held_ = false;
  if (RulesFor(way).restoreQueries) {
    // Only asked for its failure: the area itself is not needed to restore.
    RECT workArea{};
    if (!QueryWorkArea(workArea)) return false;
  }
  PutBack(container);
  return true;
}

void WorkAreaHold::Place(const ContainerRef& container, const RECT& workArea, bool positionFirst) {
  host::Form& form = container();
  bounds_ = RestoreBounds{form.Width(), form.Height(), form.Left(), form.Top()};
  const auto size = [&] {
    const auto width = PixelsToTwips(static_cast<std::int64_t>(workArea.right) - workArea.left,
                                     host::Screen::TwipsPerPixelX());
    const auto height = PixelsToTwips(static_cast<std::int64_t>(workArea.bottom) - workArea.top,
                                      host::Screen::TwipsPerPixelY());
    if (!width || !height || *width < 0 || *height < 0) {
      throw host::Error("the work area has no size that a window can take");
    }
    container().Width(*width);
    container().Height(*height);
  };
  const auto position = [&] {
    const auto place =
        WorkAreaPosition(workArea, host::Screen::TwipsPerPixelX(), host::Screen::TwipsPerPixelY());
    if (!place) return;
    container().Left(place->left);
    container().Top(place->top);
  };
  if (positionFirst) {
    position();
    size();
  } else {
    size();
    position();
  }
}

void WorkAreaHold::PutBack(const ContainerRef& container) {
  // A maximize whose work-area query failed left the window where it was
  // and saved nothing. Putting back older or never-set bounds would throw
  // the window somewhere else or shrink it to nothing at the screen's
  // corner, so it stays where it is.
  const std::optional<RestoreBounds> bounds = std::exchange(bounds_, std::nullopt);
  if (!bounds) return;
  // Each assignment can run the container's and the caption's resize
  // handling before the next one is made.
  container().Width(bounds->width);
  container().Height(bounds->height);
  container().Left(bounds->left);
  container().Top(bounds->top);
}

Style2 WorkAreaHold::StateFor(bool containerMinimized) const {
  if (held_) return Style2::Maximized;
  return containerMinimized ? Style2::Minimized : Style2::Normal;
}

bool WorkAreaHold::QueryWorkArea(RECT& workArea) {
  return SystemParametersInfoA(SPI_GETWORKAREA, 1, &workArea, 0) != 0;
}

void WorkAreaHold::AllowEdgeResize(bool allowed) {
  ResizeEnabled = allowed ? std::int16_t{-1} : std::int16_t{0};
}

}  // namespace caption
