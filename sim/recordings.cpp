// The firmware's recorder and player: idle for now (see recordings.h).
#include "sim/recordings.h"

#include <cstring>

namespace sim {

int Recordings::recInfo(int slot, PlatformRecInfo *out) const {
    if (!out)
        return 1;
    std::memset(out, 0, sizeof *out);
    return slot >= 0 && slot < kSlots ? 0 : 1;
}

int Recordings::playInfo(PlatformPlayInfo *out) const {
    if (!out)
        return 1;
    std::memset(out, 0, sizeof *out);
    return 0;
}

}  // namespace sim
