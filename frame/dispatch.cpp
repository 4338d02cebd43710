// Event dispatch (see dispatch.h). For now every event goes on to the firmware untouched: keys
// pass through and idle events do nothing.
#include "frame/dispatch.h"

extern "C" dword TAP_EventHandler(dword event, dword param1, dword param2)
{
    return param1;
}
