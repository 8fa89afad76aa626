// The caption control's hold on the desktop work area: whether it keeps the
// container maximized there, the bounds a restore puts back, and the window
// state it reports to the main window.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/win32.h"

namespace host {
class Form;
}

namespace caption {

// The window state as the caption control reports it through its Style2
// property. The numbers are the property's stored values; a caller may set
// any other number, which the next composition replaces.
enum class Style2 : std::int32_t {
  Minimized = 0,  // the container is minimized: no maximize/restore face
  Maximized = 1,  // held on the work area: the restore face
  Normal = 2,     // the normal state: the maximize face
};

// The container's bounds before it went onto the work area, in twips.
struct RestoreBounds {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t left = 0;
  std::int32_t top = 0;
};

// The ways onto the work area and back: the maximize/restore button, a
// double-click on the bar, and a maximize made by the window manager.
enum class HoldWay { Button, DoubleClick, Takeover };

class WorkAreaHold {
 public:
  // The container window; it raises host::Error when there is none.
  using ContainerRef = std::function<host::Form&()>;

  bool Held() const { return held_; }
  // Takes the work area the given way and places the container on it. False
  // when the work-area query failed on a way that tells the user so. A way
  // that skips failed steps goes on past a step that raised an error.
  bool Take(const ContainerRef& container, HoldWay way, bool skipFailedSteps);
  // Lets the work area go and puts the saved bounds back; false as above.
  bool Release(const ContainerRef& container, HoldWay way);

  // The state last reported, and the state a composition reports.
  Style2 State() const { return state_; }
  void State(Style2 state) { state_ = state; }
  Style2 StateFor(bool containerMinimized) const;

  // The desktop work area in screen pixels; false when the query fails.
  static bool QueryWorkArea(RECT& workArea);
  // Writes the process-wide ResizeEnabled flag that the border controls
  // read; nothing else in the program writes it.
  static void AllowEdgeResize(bool allowed);

 private:
  void Place(const ContainerRef& container, const RECT& workArea, bool positionFirst);
  void PutBack(const ContainerRef& container);

  bool held_ = false;
  std::optional<RestoreBounds> bounds_;
  Style2 state_ = Style2::Minimized;
};

}  // namespace caption
