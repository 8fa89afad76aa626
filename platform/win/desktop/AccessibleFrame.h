// What assistive tools see of a Win32 window: WM_GETOBJECT for the client
// area is answered with an IAccessible whose first children are the host's
// frame parts (simple elements, child ids from 1: push buttons, a toggle's
// switch as its pressed state), followed by the standard client object's
// own children (the web views' windows), to which everything else about
// the client area is left. UI Automation reaches it through the system's
// MSAA proxy.
#pragma once

#include <oleacc.h>

#include "platform/Desktop.h"

namespace platform::win {

class AccessibleFrame;

// The answer to WM_GETOBJECT: for OBJID_CLIENT the window's frame object,
// made at the first ask and kept in `frame` (one reference); 0 otherwise,
// for DefWindowProc to answer.
LRESULT AnswerGetObject(HWND hwnd, WindowSink& sink, AccessibleFrame*& frame, WPARAM wParam,
                        LPARAM lParam);
// Tells WinEvent listeners what changed since they were last told: parts
// come or gone (a reorder of the client object), names, states.
void AnnounceParts(AccessibleFrame* frame);
// The window is going: the object lets go of the sink and of the standard
// object, and answers tools that still hold it as disconnected.
void ReleaseAccessibleFrame(AccessibleFrame*& frame);

}  // namespace platform::win
