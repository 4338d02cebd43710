// The firmware's EPG feed. For now the receiver receives no broadcast guide: every channel has
// no events and no extended texts. Later work fills this in; the TAP_GetEvent shims
// (sim/tap_epg.cpp) already hand over firmware heap blocks the plug-in frees with TAP_MemFree.
// Example:
//   sim::Epg epg;
//   int n = -1; std::vector<PlatformEvent> ev = epg.events(0, 3);   // empty
//   epg.requests();                                                  // 1
#pragma once

#include <vector>

#include "frame/platform/tap.h"

namespace sim {

class Epg {
public:
    // The events the firmware holds for a channel (none yet).
    std::vector<PlatformEvent> events(int svcType, int svcNum);
    long requests() const { return requests_; }

private:
    long requests_ = 0;
};

}  // namespace sim
