// The program's own calls of the system's window-manager functions that
// answer in pixels. The process is aware of each monitor's scale, so the
// system answers them in device pixels; the code above the platform counts
// logical ones.
#pragma once

namespace platform::win {

// Points the program's import of SystemParametersInfoA at a version that
// answers SPI_GETWORKAREA through the current desktop, in its logical
// pixels; everything else still reaches the system. A program whose import
// is taken over already (the test programs') is left as it is.
void TakeOverProgramImports();

}  // namespace platform::win
