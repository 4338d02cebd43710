// The firmware's EPG feed: no broadcast guide yet (see epg.h).
#include "sim/epg.h"

namespace sim {

std::vector<PlatformEvent> Epg::events(int, int) {
    ++requests_;
    return {};
}

}  // namespace sim
