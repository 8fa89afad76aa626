// How the web engine is set up for the program's pages: a few local files
// that never browse, rather than the web a browser's defaults are made for.
// Each choice here was measured against the engine's defaults; what made
// no difference to memory, start-up or the pages is left at the default.
#pragma once

#include <webkit2/webkit2.h>

namespace platform::gtk {

// The settings each of the program's views is made with; the caller owns
// the reference.
WebKitSettings* NewPageSettings();

// The policies of each view, the caller's as well: the sound page plays as
// soon as it loads.
WebKitWebsitePolicies* NewPagePolicies();

}  // namespace platform::gtk
