// The plug-in image's entry: the header sections the firmware reads and __TAP_Init_.
#include "frame/platform/tap.h"

extern "C" __attribute__((visibility("default"))) int __TAP_Init_(TapEntryFn table[TAP_ENTRY_COUNT])
{
    table[TAP_ENTRY_MAIN] = reinterpret_cast<TapEntryFn>(&TAP_Main);
    table[TAP_ENTRY_EVENT_HANDLER] = reinterpret_cast<TapEntryFn>(&TAP_EventHandler);
    return 0;
}

extern "C" int TAP_Main(void) { return 1; }
extern "C" dword TAP_EventHandler(dword event, dword param1, dword param2) { return param1; }
