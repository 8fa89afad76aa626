// The Windows side of the page rule (platform/PagePolicy.h): the handlers
// the registry names, and the hand-off to them through the shell.
#pragma once

#include "platform/PagePolicy.h"

namespace platform::win {

// The desktop as the rule asks it: a scheme has a handler when the
// registry declares it a URL protocol and names a way to open it.
PageDesktop ShellPageDesktop();

// Hands the link or file of a HandOff answer to the shell's "open", without
// waiting for the program that takes it. One that fails says so in one
// stderr line naming the scheme and the system's reason; nothing is tried
// again.
void HandOff(const PageAnswer& answer);

// Does what the answer says besides letting the control go ahead: the
// hand-off, or the refusal's stderr line. True when the control may go
// ahead.
bool CarryOut(const PageAnswer& answer);

}  // namespace platform::win
