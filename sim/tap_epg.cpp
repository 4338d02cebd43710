// TAP_GetEvent and TAP_EPG_GetExtInfo: the active firmware's EPG, as far as its EIT mode and the
// tuner's history let it know the channel's schedule. Results are firmware heap blocks that the
// plug-in releases with TAP_MemFree.
#include <cstring>

#include "frame/platform/tap.h"
#include "sim/firmware.h"

extern "C" {

PlatformEvent *TAP_GetEvent(int svcType, int svcNum, int *eventNum) {
    sim::Firmware &fw = sim::Firmware::active(__func__);
    if (eventNum)
        *eventNum = 0;
    std::vector<PlatformEvent> events = fw.epg.events(svcType, svcNum, fw.clock.nowMs(), fw.channels);
    if (events.empty())
        return nullptr;
    void *block = fw.heap.alloc(events.size() * sizeof(PlatformEvent), sim::HeapOwner::Firmware);
    if (!block)
        return nullptr;
    std::memcpy(block, events.data(), events.size() * sizeof(PlatformEvent));
    if (eventNum)
        *eventNum = static_cast<int>(events.size());
    return static_cast<PlatformEvent *>(block);
}

byte *TAP_EPG_GetExtInfo(PlatformEvent *event) {
    sim::Firmware &fw = sim::Firmware::active(__func__);
    if (!event)
        return nullptr;
    sim::Epg::ExtText text = fw.epg.extText(*event);
    if (!text.text || text.text->empty())
        return nullptr;
    char *block = static_cast<char *>(fw.heap.alloc(text.text->size() + 1, sim::HeapOwner::Firmware));
    if (!block)
        return nullptr;
    text.copyTo(block);
    return reinterpret_cast<byte *>(block);
}

}  // extern "C"
