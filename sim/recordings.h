// The firmware's recorder and player. Two recording slots; two tuners, each receiving one
// transponder: a recording takes the tuner of a recording already running on the same
// transponder (one tuner receives a whole multiplex), else the lowest free tuner, or the one
// tuner it is told to use. With no slot or no such tuner free a new recording is refused, as
// it is while the disk is full. A recording runs from its start until its end (the record
// button records kButtonMinutes unless stopped) or until it is stopped; then it is listed as
// done. Every recorded minute takes kMbPerMinute of the disk (the firmware charges the disk with
// takeRecordedMinutes). Nothing plays back: the player is stopped.
// Example:
//   sim::Recordings rec;
//   int slot = rec.start({sim::kTv, 3}, 1, "Tagesschau", nowMs, nowMs + 60 * 60000, sim::RecordSource::Button);
//   rec.update(nowMs + 61 * 60000);            // the recording ended: rec.done().size() == 1
//   PlatformRecInfo info; rec.recInfo(0, &info);   // 0, info.rec_state == 0 again
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "frame/platform/tap.h"
#include "sim/channels.h"

namespace sim {

enum class RecordSource { Button, Timer };

struct Recording {
    ChannelRef channel;
    int transponder = 0;
    int tuner = 0;               // 0 or 1
    std::string name;            // the recording's file name (Latin-1)
    int64_t startMs = 0;         // local time it began
    int64_t endMs = 0;           // local time it ends (or ended, once done)
    RecordSource source = RecordSource::Button;
    int slot = 0;                // recording slot it ran in (0 or 1)
    uint32_t timerId = 0;        // the timer it records for (TimerEntry::id), 0 none
    int64_t chargedMinutes = 0;  // minutes already taken from the disk
};

class Recordings {
public:
    static constexpr int kSlots = 2;             // two tuners, two recordings at most
    static constexpr int kButtonMinutes = 120;   // what the record button records unless stopped
    static constexpr int kMbPerMinute = 30;      // disk space a minute of recording takes (4 Mbit/s)

    // Starts a recording; the slot (0 or 1) it runs in, or -1 when no slot or no tuner is free
    // or the disk is full. `tuner` -1 lets the recorder choose; 0 or 1 allows only that tuner.
    int start(ChannelRef channel, int transponder, const std::string &name, int64_t startMs, int64_t endMs,
              RecordSource source, int tuner = -1, uint32_t timerId = 0);
    // Stops the recording in a slot now; false when the slot does not record.
    bool stop(int slot, int64_t nowMs);
    // Ends every recording whose end has come; returns how many ended.
    int update(int64_t nowMs);
    // Moves the end of a running recording; false when the slot does not record.
    bool setEnd(int slot, int64_t endMs);
    // Gives a running recording to a timer (TimerEntry::id), or 0 to none; false when the slot
    // does not record.
    bool setTimer(int slot, uint32_t timerId);

    // Whether a new recording on a transponder could use a tuner (0 or 1): nothing records on
    // it, or only that transponder.
    bool tunerUsable(int tuner, int transponder) const;
    bool slotFree() const { return runningCount() < kSlots; }
    // The whole minutes recorded since the last call (by all recordings, running and stopped).
    int64_t takeRecordedMinutes(int64_t nowMs);
    bool diskFull = false;  // set by the firmware: no recording starts while it is

    const std::optional<Recording> &running(int slot) const { return running_[slot < 0 || slot >= kSlots ? 0 : slot]; }
    int runningCount() const;
    // The slot recording a channel, -1 none.
    int slotOf(ChannelRef channel) const;
    // The slot of the recording a timer started, -1 none.
    int slotOfTimer(uint32_t timerId) const;
    const std::vector<Recording> &done() const { return done_; }

    int recInfo(int slot, PlatformRecInfo *out) const;  // 0 filled; 1 no such slot (zeroed)
    int playInfo(PlatformPlayInfo *out) const;          // 0 filled

private:
    std::optional<Recording> running_[kSlots];
    std::vector<Recording> done_;
    int64_t unchargedMinutes_ = 0;  // of recordings stopped since the last charge
};

}  // namespace sim
