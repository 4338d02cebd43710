// The firmware's timer table, as a twin-tuner receiver keeps it.
//
// The table holds at most kMaxTimers timers in the order they were set: a new timer is appended,
// a deleted one closes its gap (the indexes stay dense). Add and modify judge a timer before
// they change anything; a refused call changes nothing and leaves a line in the firmware's log
// naming the reason. The results:
//   0                      set (or changed)
//   kCollision + n         at some minute the timer would need a third tuner beside the timers
//                          already set; n is the lowest index of a timer in the way (running
//                          then, on another transponder, on a tuner this one could have used)
//   kRefused...            any other refusal (small positive numbers, listed below)
// Tuners: timers on channels of one transponder share a tuner; tuner 0 or 1 needs that tuner,
// tuner 3 takes whichever is free; "-P-" timers (is_rec other than 1) hold a tuner as recording
// timers do. A repeating timer (modes 1 every day, 2 Saturday and Sunday, 3 weekly, 4 Monday to
// Friday) occurs at its start and on every later day of its kind, and counts on each.
//
// Time passing (tick, after every move of the clock), per timer, a small state machine:
//   Waiting   --start minute, recording timer, tuner and slot free--> Recording
//   Waiting   --start minute, its channel records without a timer---> Recording (takes it over)
//   Waiting   --start minute, recording timer, no tuner or slot------> Blocked (a log line)
//   Blocked   --a tuner and slot became free, still in its time-----> Recording
//   Waiting   --start minute, "-P-" timer---------------------------> Watching (records nothing)
//   Recording --its recording stopped by hand (record-stop)---------> Stopped
//   any       --end minute----> one-time: leaves the table; repeating: Waiting on its next day
// A timer's time jumped over by the clock as a whole is missed (a log line). A recording timer
// records under its name (the channel's name + ".rec" when it has none) from its start, or from
// the minute it could start, to its end. Deleting a timer whose recording runs leaves the
// recording running to its end; modifying it moves the recording's end when the channel stays,
// else stops the recording and the timer waits for its new time. A timer whose channel records
// already without a timer (the record button, a deleted timer) takes that recording over, to
// the later of the two ends, rather than record the channel twice. A tuner-3 timer starts on
// the tuner that leaves the timers still to come a tuner each.
//
// Tests can make the table refuse (faults).
// Example:
//   sim::Timers &timers = firmware.timers;      // sim::Firmware owns the table
//   TimerRecord t{};  t.is_rec = 1; t.tuner = 3; t.svc_num = 2; t.duration = 60;
//   t.start = (61381u << 16) | (20 << 8);      // 2026-12-07 20:00
//   int rc = timers.add(t);                     // 0: timers.count() == 1, or a refusal
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/platform/tap.h"
#include "sim/channels.h"
#include "sim/clock.h"
#include "sim/log.h"
#include "sim/recordings.h"
#include "sim/tuners.h"

namespace sim {

enum class TimerState { Waiting, Recording, Watching, Blocked, Stopped };

struct TimerEntry {
    TimerRecord record{};   // as the plug-in reads it; name NUL-terminated, unused bytes zero
    uint32_t id = 0;        // never reused: ties a recording to its timer
    TimerState state = TimerState::Waiting;
};

class Timers {
public:
    static constexpr int kMaxTimers = 100;
    static constexpr int kCollision = -65536;     // + the index of the timer in the way
    static constexpr int kRefusedTableFull = 1;   // kMaxTimers are set already
    static constexpr int kRefusedNoSuchTimer = 2; // modify: no timer at that index
    static constexpr int kRefusedDuration = 3;    // a duration of 0
    static constexpr int kRefusedChannel = 4;     // no such channel (or service type)
    static constexpr int kRefusedStart = 5;       // the start is not a valid packed time
    static constexpr int kRefusedEnded = 6;       // it ends before now (or now)
    static constexpr int kRefusedTuner = 7;       // tuner not 0, 1 or 3
    static constexpr int kRefusedMode = 8;        // mode not 0..4
    static constexpr int kRefusedNoRecord = 9;    // no record given
    static constexpr int kRefusedByFault = 10;    // faults below

    // Refuses adds and modifies on demand.
    struct Faults {
        long failAfterCalls = -1;  // -1 off; else this many more adds and modifies are judged as
                                   // usual, then every one is refused with failCode until reset
        int failCode = kRefusedByFault;
    };

    // The table judges channels, reads the clock, starts and stops recordings and logs.
    Timers(const Channels &channels, const Clock &clock, Recordings &recordings, FirmwareLog &log)
        : channels_(channels), clock_(clock), recordings_(recordings), log_(log) {}

    int count() const { return static_cast<int>(entries_.size()); }
    int get(int index, TimerRecord *out) const;          // 1 found, 0 none (record zeroed)
    const TimerEntry *entry(int index) const;            // null when there is none
    // `by` names the caller in log lines ("TAP_Timer_Add", "the timer menu").
    int add(const TimerRecord *t, const char *by = "TAP_Timer_Add");
    int add(const TimerRecord &t, const char *by = "TAP_Timer_Add") { return add(&t, by); }
    int modify(int index, const TimerRecord *t, const char *by = "TAP_Timer_Modify");
    int modify(int index, const TimerRecord &t, const char *by = "TAP_Timer_Modify") { return modify(index, &t, by); }
    int remove(int index);                               // 1 deleted, 0 none
    long refusedAdds() const { return refusedAdds_; }
    long acceptedAdds() const { return long(nextId_) - 1; }
    // Every add or modify refused, in order (for tests).
    struct Refusal {
        TimerRecord timer;
        int code;
        int64_t atMs;
    };
    const std::vector<Refusal> &refusals() const { return refusals_; }

    // Time passes: timers start, record, end, move on (see above). Called after the recorder
    // stopped the recordings whose end came.
    void tick(int64_t nowMs);

    // What a result means, for messages: "collision with timer 2", "the duration is 0", ...
    static std::string resultText(int code);
    // A timer in words: `Rec tv:3 2026-12-07 20:00 60 min OT tuner 3 "Film.rec"` (UTF-8).
    static std::string describe(const TimerRecord &t);
    // Local time of a packed time (no check), start and end of a timer in ms.
    static int64_t startMs(const TimerRecord &t);
    static int64_t endMs(const TimerRecord &t) { return startMs(t) + int64_t(t.duration) * 60000; }

    Faults faults;

private:
    const Channels &channels_;
    const Clock &clock_;
    Recordings &recordings_;
    FirmwareLog &log_;
    std::vector<TimerEntry> entries_;
    uint32_t nextId_ = 1;
    long refusedAdds_ = 0;
    std::vector<Refusal> refusals_;

    // 0 or a refusal for t at `index` (-1 a new timer), with the reason in words.
    int judge(const TimerRecord *t, int index, std::string &why) const;
    int refuse(int code, const char *by, const TimerRecord *t, const std::string &why);
    std::vector<TunerNeed> needsOf(const TimerEntry &e, int owner, int64_t fromMinute, int64_t toMinute) const;
    std::vector<TunerNeed> needsBeside(int index, int64_t fromMinute, int64_t toMinute) const;
    void startTimer(int index, int64_t nowMs);
    int chooseTuner(int index, int transponder, int64_t fromMs) const;
    bool moveOn(TimerEntry &e, int64_t nowMs);
};

// "OT", "ED", "WE", "WL", "WD" for modes 0..4, "??" otherwise.
const char *timerModeName(int mode);
// Whether a timer (start day, mode) occurs on a day (MJD): its start day, and each later day of its kind.
bool timerOccursOn(int startMjd, int mode, int mjd);

}  // namespace sim
