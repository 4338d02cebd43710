// TAP_GetEvent and TAP_EPG_GetExtInfo: the active firmware's EPG. Results are firmware heap
// blocks that the plug-in releases with TAP_MemFree.
#include <cstring>

#include "frame/platform/tap.h"
#include "sim/firmware.h"

extern "C" {

PlatformEvent *TAP_GetEvent(int svcType, int svcNum, int *eventNum) {
    sim::Firmware &fw = sim::Firmware::active(__func__);
    if (eventNum)
        *eventNum = 0;
    std::vector<PlatformEvent> events = fw.epg.events(svcType, svcNum);
    if (events.empty())
        return nullptr;
    void *block = fw.heap.alloc(events.size() * sizeof(PlatformEvent));
    if (!block)
        return nullptr;
    std::memcpy(block, events.data(), events.size() * sizeof(PlatformEvent));
    if (eventNum)
        *eventNum = static_cast<int>(events.size());
    return static_cast<PlatformEvent *>(block);
}

// No extended texts yet.
byte *TAP_EPG_GetExtInfo(PlatformEvent *) {
    sim::Firmware::active(__func__);
    return nullptr;
}

}  // extern "C"
