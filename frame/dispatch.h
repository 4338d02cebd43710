// Event dispatch: TAP_EventHandler, the only way the firmware reaches the plug-in after start-up.
#ifndef DIRO_FRAME_DISPATCH_H
#define DIRO_FRAME_DISPATCH_H

#include "frame/platform/tap.h"

// Declared in frame/platform/tap.h:
//   dword TAP_EventHandler(dword event, dword param1, dword param2);
// Returns the key to pass on to the firmware (0 consumes it); other events return param1.

#endif
