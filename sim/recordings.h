// The firmware's recorder and player. For now nothing records and nothing plays back: both
// recording slots are idle and the player is stopped. Later work fills this in.
// Example:
//   sim::Recordings rec;
//   PlatformRecInfo info; rec.recInfo(0, &info);   // 0, info.rec_state == 0
//   PlatformPlayInfo play; rec.playInfo(&play);     // 0, play.play_mode == 0
#pragma once

#include "frame/platform/tap.h"

namespace sim {

class Recordings {
public:
    static constexpr int kSlots = 2;  // two tuners, two recordings at most

    int recInfo(int slot, PlatformRecInfo *out) const;  // 0 filled; 1 no such slot (zeroed)
    int playInfo(PlatformPlayInfo *out) const;          // 0 filled
};

}  // namespace sim
