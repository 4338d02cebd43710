// Event dispatch: TAP_EventHandler, the only way the firmware reaches the plug-in after start-up.
// Every event runs the idle duties (frame/idle.h); a key then goes to the firmware, to the TV
// state (EPG buttons, clock key, start-up messages) or to the open views (frame/keys.h).
#ifndef DIRO_FRAME_DISPATCH_H
#define DIRO_FRAME_DISPATCH_H

#include "frame/platform/tap.h"

enum {
    KEY_WINDOW_TV = 4,      // countdown after a key passed on in the TV state: a second EPG press goes on
    KEY_WINDOW_VIEWS = 3,   // countdown after digits and after closing some screens in the views
    KEY_REPEAT_TICKS = 20   // a left or right key within 200 ms of the last counts as held
};

// Declared in frame/platform/tap.h:
//   dword TAP_EventHandler(dword event, dword param1, dword param2);
// Runs the idle duties for idle and key events; other events return param1 at once. An idle
// event returns param1; a key event returns the key to pass on to the firmware, or 0 when the
// plug-in consumed it. Changes the main states (frame/state.h) and the idle globals.

#endif
