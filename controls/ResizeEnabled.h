// The one process-wide flag the frame controls share: edge resizing allowed.
// Only the caption control writes it; the border controls read it.
#pragma once

#include <cstdint>

inline std::int16_t ResizeEnabled = 0;  // -1 true, 0 false
