// Which part of an edge lies under the pointer, and which sizing request a
// press there makes. Pure functions of numbers, so they are tested as such.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace border {

// Corner zones reach this many pixels along the edge from its lower end.
constexpr int CornerLength = 10;

struct EdgeZone {
  std::int16_t zone;  // 0 lower-left corner, 1 plain edge, 2 lower-right corner
  int pointer;        // host::MousePointer shape
};

// The zone and pointer shape for a pointer at (x, y) pixels over an edge of
// the given type whose inside is width x height pixels. Positions outside
// the control count as plain edge.
EdgeZone ZoneAt(std::int32_t borderType, float x, float y, int width, int height);

// The hit-test code that starts the window manager's sizing loop from the
// matching side or corner, or 0 when a press there starts nothing.
WPARAM HitCodeFor(std::int32_t borderType, std::int16_t zone);

// The container's docking side (host::Align) for an edge type, or 0 when the
// type leaves the docking as it is.
int DockAlignFor(std::int32_t borderType);

}  // namespace border
