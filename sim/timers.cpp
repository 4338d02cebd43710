// The firmware's timer table: judging timers, the tuners they need, time passing (see timers.h).
//
// Sections: time helpers, judging a timer, the table, time passing, words.
#include "sim/timers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "sim/latin1.h"

namespace sim {

// --- Time helpers ---

namespace {

constexpr int64_t kMsPerMinute = 60000;
constexpr int64_t kMinutesPerDay = 1440;
constexpr int kLastMode = 4;  // weekdays
constexpr int kWeekDays = 7;

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Minutes since MJD 0, the unit in which timers are compared.
int64_t minuteOfMs(int64_t ms) { return floorDiv(ms, kMsPerMinute) + int64_t(kMjdOf1970) * kMinutesPerDay; }
int64_t startMinute(const TimerRecord &t) {
    return int64_t(t.start >> 16) * kMinutesPerDay + ((t.start >> 8) & 0xFF) * 60 + (t.start & 0xFF);
}

bool validPacked(dword packed) { return (packed >> 16) != 0 && ((packed >> 8) & 0xFF) <= 23 && (packed & 0xFF) <= 59; }

int weekdayOfMjd(int mjd) { return static_cast<int>(((int64_t(mjd) + 2) % kWeekDays + kWeekDays) % kWeekDays); }

std::string minuteText(int64_t minute) {
    return formatLocalTime((minute - int64_t(kMjdOf1970) * kMinutesPerDay) * kMsPerMinute).substr(0, 16);
}

std::string channelText(int svcType, int svcNum) {
    return std::string(svcType == kTv ? "tv:" : svcType == kRadio ? "ra:" : "type " + std::to_string(svcType) + ":") +
           std::to_string(svcNum);
}

std::string nameOf(const TimerRecord &t) { return std::string(t.name, strnlen(t.name, sizeof t.name - 1)); }

// The record as the table keeps it: the name ends within its 100 bytes and nothing follows it;
// the bytes the firmware does not use are zero.
TimerRecord stored(const TimerRecord &t) {
    TimerRecord s = t;
    std::memset(s.name, 0, sizeof s.name);
    std::memcpy(s.name, t.name, strnlen(t.name, sizeof t.name - 1));
    s.reserved0 = 0;
    std::memset(s.unused0, 0, sizeof s.unused0);
    std::memset(s.unused1, 0, sizeof s.unused1);
    return s;
}

}  // namespace

const char *timerModeName(int mode) {
    static const char *const kNames[] = {"OT", "ED", "WE", "WL", "WD"};
    return mode >= 0 && mode <= kLastMode ? kNames[mode] : "??";
}

bool timerOccursOn(int startMjd, int mode, int mjd) {
    if (mjd == startMjd)
        return true;
    if (mjd < startMjd)
        return false;
    int day = weekdayOfMjd(mjd);
    switch (mode) {
    case 1: return true;
    case 2: return day >= 5;
    case 3: return day == weekdayOfMjd(startMjd);
    case 4: return day <= 4;
    default: return false;
    }
}

int64_t Timers::startMs(const TimerRecord &t) {
    return (startMinute(t) - int64_t(kMjdOf1970) * kMinutesPerDay) * kMsPerMinute;
}

// --- Judging a timer ---

std::vector<TunerNeed> Timers::needsOf(const TimerEntry &e, int owner, int64_t fromMinute, int64_t toMinute) const {
    const TimerRecord &t = e.record;
    std::vector<TunerNeed> needs;
    const Channel *c = channels_.find(t.svc_type, t.svc_num);
    if (!c || t.duration == 0)
        return needs;
    int startMjd = static_cast<int>(t.start >> 16);
    int64_t timeOfDay = startMinute(t) - int64_t(startMjd) * kMinutesPerDay;
    int64_t firstDay = startMjd, lastDay = startMjd;
    if (t.mode != 0) {
        firstDay = std::max<int64_t>(startMjd, floorDiv(fromMinute - timeOfDay - t.duration, kMinutesPerDay));
        lastDay = floorDiv(toMinute - 1 - timeOfDay, kMinutesPerDay);
    }
    // A recording that runs holds the tuner it runs on, for the occurrence at the timer's start.
    int slot = recordings_.slotOfTimer(e.id);
    for (int64_t day = firstDay; day <= lastDay; ++day) {
        if (!timerOccursOn(startMjd, t.mode, static_cast<int>(day)))
            continue;
        TunerNeed n;
        n.fromMinute = day * kMinutesPerDay + timeOfDay;
        n.toMinute = n.fromMinute + t.duration;
        if (n.toMinute <= fromMinute || n.fromMinute >= toMinute)
            continue;
        n.transponder = c->transponder;
        n.tuners = slot >= 0 && day == startMjd ? tunerBit(recordings_.running(slot)->tuner) : tunersOfField(t.tuner);
        n.owner = owner;
        needs.push_back(n);
    }
    return needs;
}

std::vector<TunerNeed> Timers::needsBeside(int index, int64_t fromMinute, int64_t toMinute) const {
    std::vector<TunerNeed> needs;
    for (int i = 0; i < count(); ++i) {
        if (i == index)
            continue;
        std::vector<TunerNeed> n = needsOf(entries_[static_cast<size_t>(i)], i, fromMinute, toMinute);
        needs.insert(needs.end(), n.begin(), n.end());
    }
    return needs;
}

int Timers::judge(const TimerRecord *t, int index, std::string &why) const {
    if (!t) {
        why = "no timer record was given";
        return kRefusedNoRecord;
    }
    if (index < 0 && count() >= kMaxTimers) {
        why = "the table holds " + std::to_string(kMaxTimers) + " timers already";
        return kRefusedTableFull;
    }
    if (t->duration == 0) {
        why = "the duration is 0 minutes";
        return kRefusedDuration;
    }
    if (!channels_.find(t->svc_type, t->svc_num)) {
        why = "there is no channel " + channelText(t->svc_type, t->svc_num);
        return kRefusedChannel;
    }
    if (!validPacked(t->start)) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(t->start));
        why = std::string("the start ") + hex + " is not a valid time";
        return kRefusedStart;
    }
    if (t->tuner != 0 && t->tuner != 1 && t->tuner != 3) {
        why = "tuner " + std::to_string(t->tuner) + " is not 0, 1 or 3";
        return kRefusedTuner;
    }
    if (t->mode > kLastMode) {
        why = "mode " + std::to_string(t->mode) + " is not 0..4";
        return kRefusedMode;
    }
    if (endMs(*t) <= clock_.nowMs()) {
        why = "it ends at " + minuteText(startMinute(*t) + t->duration) + ", not after now (" +
              formatLocalTime(clock_.nowMs()) + ")";
        return kRefusedEnded;
    }
    int64_t now = minuteOfMs(clock_.nowMs());
    // The timer's occurrences from now on; after every timer has started, the table repeats
    // week by week, so a week past the latest start (and the longest duration) shows it all.
    int64_t horizon = startMinute(*t) + t->duration;
    if (t->mode != 0) {
        int64_t latestStart = startMinute(*t);
        int64_t longest = t->duration;
        for (const TimerEntry &e : entries_) {
            latestStart = std::max(latestStart, startMinute(e.record));
            longest = std::max<int64_t>(longest, e.record.duration);
        }
        horizon = latestStart + (kWeekDays + 1) * kMinutesPerDay + longest;
    }
    TimerEntry candidate;
    candidate.record = *t;
    std::vector<TunerNeed> mine = needsOf(candidate, -1, now, horizon);
    for (TunerNeed &n : mine)
        n.fromMinute = std::max(n.fromMinute, now);
    TunerCheck check = checkTuners(mine, needsBeside(index, now, horizon));
    if (check.fits)
        return 0;
    int n = check.blocker >= 0 ? check.blocker : 0;
    why = "collision with timer " + std::to_string(n) + " (" + describe(entries_[static_cast<size_t>(n)].record) +
          ") at " + minuteText(check.atMinute) + ": a third tuner would be needed";
    return kCollision + n;
}

int Timers::refuse(int code, const char *by, const TimerRecord *t, const std::string &why) {
    if (t)
        refusals_.push_back({*t, code, clock_.nowMs()});
    log_.write(std::string(by) + " refused " + (t ? describe(*t) : std::string("a timer")) + ": " + why + " [" +
               std::to_string(code) + "]");
    return code;
}

// --- The table ---

int Timers::get(int index, TimerRecord *out) const {
    if (!out)
        return 0;
    const TimerEntry *e = entry(index);
    if (!e) {
        std::memset(out, 0, sizeof *out);
        return 0;
    }
    *out = e->record;
    return 1;
}

const TimerEntry *Timers::entry(int index) const {
    return index >= 0 && index < count() ? &entries_[static_cast<size_t>(index)] : nullptr;
}

// A fault that says so refuses before the table looks at the timer.
static bool faultRefuses(Timers::Faults &faults) {
    if (faults.failAfterCalls < 0)
        return false;
    if (faults.failAfterCalls == 0)
        return true;
    --faults.failAfterCalls;
    return false;
}

int Timers::add(const TimerRecord *t, const char *by) {
    std::string why;
    int code = faultRefuses(faults) ? faults.failCode : judge(t, -1, why);
    if (code != 0) {
        ++refusedAdds_;
        return refuse(code, by, t, why.empty() ? resultText(code) : why);
    }
    TimerEntry e;
    e.record = stored(*t);
    e.id = nextId_++;
    entries_.push_back(e);
    return 0;
}

int Timers::modify(int index, const TimerRecord *t, const char *by) {
    std::string why;
    int code = 0;
    if (faultRefuses(faults)) {
        code = faults.failCode;
    } else if (!entry(index)) {
        code = kRefusedNoSuchTimer;
        why = "there is no timer " + std::to_string(index) + " (the table holds " + std::to_string(count()) + ")";
    } else {
        code = judge(t, index, why);
    }
    if (code != 0)
        return refuse(code, by, t, why.empty() ? resultText(code) : why);

    TimerEntry &e = entries_[static_cast<size_t>(index)];
    e.record = stored(*t);
    // A recording that runs goes on to the new end while the timer still records that channel
    // now; otherwise it stops and the timer waits for its new time.
    int64_t now = clock_.nowMs();
    int slot = recordings_.slotOfTimer(e.id);
    if (slot >= 0) {
        const Recording &r = *recordings_.running(slot);
        bool goesOn = e.record.is_rec == 1 && r.channel == ChannelRef{e.record.svc_type, e.record.svc_num} &&
                      startMs(e.record) <= now && endMs(e.record) > now;
        if (goesOn) {
            recordings_.setEnd(slot, endMs(e.record));
            return 0;
        }
        recordings_.stop(slot, now);
    }
    e.state = TimerState::Waiting;
    return 0;
}

int Timers::remove(int index) {
    if (!entry(index))
        return 0;
    // Its recording, if one runs, goes on to its end without the timer.
    recordings_.setTimer(recordings_.slotOfTimer(entries_[static_cast<size_t>(index)].id), 0);
    entries_.erase(entries_.begin() + index);
    return 1;
}

// --- Time passing ---

void Timers::tick(int64_t nowMs) {
    // Recordings stopped by hand leave their timers stopped until their end.
    for (TimerEntry &e : entries_)
        if (e.state == TimerState::Recording && recordings_.slotOfTimer(e.id) < 0 && nowMs < endMs(e.record))
            e.state = TimerState::Stopped;

    // Timers whose end came: a one-time timer leaves, a repeating one moves on.
    for (size_t i = 0; i < entries_.size();) {
        TimerEntry &e = entries_[i];
        if (nowMs < endMs(e.record)) {
            ++i;
            continue;
        }
        if (e.state == TimerState::Waiting && e.record.is_rec == 1)
            log_.write("timer " + std::to_string(i) + " (" + describe(e.record) +
                       ") did not record: the clock passed its whole time");
        // A recording it took over that lasts longer goes on without it.
        recordings_.setTimer(recordings_.slotOfTimer(e.id), 0);
        if (moveOn(e, nowMs))
            ++i;
        else
            entries_.erase(entries_.begin() + static_cast<long>(i));
    }

    // Timers whose time has come start; blocked ones try again.
    for (int i = 0; i < count(); ++i) {
        TimerEntry &e = entries_[static_cast<size_t>(i)];
        bool due = startMs(e.record) <= nowMs && nowMs < endMs(e.record);
        if (due && (e.state == TimerState::Waiting || e.state == TimerState::Blocked))
            startTimer(i, nowMs);
    }
}

bool Timers::moveOn(TimerEntry &e, int64_t nowMs) {
    if (e.record.mode == 0)
        return false;
    int startMjd = static_cast<int>(e.record.start >> 16);
    dword timeOfDay = e.record.start & 0xFFFF;
    // The next day of its kind whose occurrence has not ended by now.
    for (int64_t day = startMjd + 1; day <= 0xFFFF; ++day) {
        if (!timerOccursOn(startMjd, e.record.mode, static_cast<int>(day)))
            continue;
        e.record.start = (static_cast<dword>(day) << 16) | timeOfDay;
        if (endMs(e.record) > nowMs) {
            e.state = TimerState::Waiting;
            return true;
        }
    }
    return false;
}

int Timers::chooseTuner(int index, int transponder, int64_t fromMs) const {
    const TimerRecord &t = entries_[static_cast<size_t>(index)].record;
    int usable[2] = {-1, -1};
    int n = 0;
    // A tuner already on this transponder first: the timer shares it.
    for (int s = 0; s < Recordings::kSlots; ++s) {
        const auto &r = recordings_.running(s);
        if (r && r->transponder == transponder && n == 0)
            usable[n++] = r->tuner;
    }
    for (int tuner = 0; tuner < 2; ++tuner)
        if (recordings_.tunerUsable(tuner, transponder) && (n == 0 || usable[0] != tuner))
            usable[n++] = tuner;
    if (n == 0)
        return -1;
    // Of the usable tuners the first that leaves the other timers (and the recordings without a
    // timer) a tuner each until this one ends.
    int64_t from = minuteOfMs(fromMs), to = startMinute(t) + t.duration;
    std::vector<TunerNeed> others = needsBeside(index, from, to);
    for (int s = 0; s < Recordings::kSlots; ++s) {
        const auto &r = recordings_.running(s);
        if (r && r->timerId == 0)
            others.push_back({from, minuteOfMs(r->endMs - 1) + 1, r->transponder, tunerBit(r->tuner), -1});
    }
    for (int k = 0; k < n; ++k)
        if (checkTuners({{from, to, transponder, tunerBit(usable[k]), -1}}, others).fits)
            return usable[k];
    return usable[0];
}

void Timers::startTimer(int index, int64_t nowMs) {
    TimerEntry &e = entries_[static_cast<size_t>(index)];
    const TimerRecord &t = e.record;
    if (t.is_rec != 1) {
        e.state = TimerState::Watching;  // the plug-in's watch switches the channel; nothing records
        return;
    }
    const Channel *c = channels_.find(t.svc_type, t.svc_num);
    if (!c)
        return;
    // The channel records already without a timer (the record button, or a timer deleted
    // meanwhile): the timer takes that recording over rather than record the channel twice.
    for (int s = 0; s < Recordings::kSlots; ++s) {
        const auto &r = recordings_.running(s);
        if (r && r->timerId == 0 && r->channel == ChannelRef{t.svc_type, t.svc_num}) {
            if (r->endMs < endMs(t))
                recordings_.setEnd(s, endMs(t));
            recordings_.setTimer(s, e.id);
            e.state = TimerState::Recording;
            return;
        }
    }
    int64_t from = std::max(startMs(t), nowMs - (nowMs % kMsPerMinute + kMsPerMinute) % kMsPerMinute);
    int tuner = -1;
    std::string why;
    if (recordings_.diskFull) {
        why = "the disk is full";
    } else if (!recordings_.slotFree()) {
        why = "both recording slots are busy";
    } else {
        tuner = t.tuner == 0 || t.tuner == 1 ? t.tuner : chooseTuner(index, c->transponder, from);
        for (int s = 0; s < Recordings::kSlots; ++s) {
            const auto &r = recordings_.running(s);
            if (tuner < 0)
                why = "no tuner is free";
            else if (r && r->tuner == tuner && r->transponder != c->transponder)
                why = "tuner " + std::to_string(tuner) + " records " + channelText(r->channel.svcType, r->channel.svcNum) +
                      (r->source == RecordSource::Button ? " for the record button" : " for a timer");
        }
    }
    if (why.empty()) {
        std::string name = nameOf(t).empty() ? c->name + ".rec" : nameOf(t);
        if (recordings_.start({t.svc_type, t.svc_num}, c->transponder, name, from, endMs(t), RecordSource::Timer,
                              tuner, e.id) >= 0) {
            e.state = TimerState::Recording;
            return;
        }
        why = "the recorder refused";
    }
    if (e.state != TimerState::Blocked)
        log_.write("timer " + std::to_string(index) + " (" + describe(t) + ") does not record: " + why);
    e.state = TimerState::Blocked;
}

// --- Words ---

std::string Timers::resultText(int code) {
    if (code == 0)
        return "set";
    if (code >= kCollision && code < kCollision + kMaxTimers)
        return "collision with timer " + std::to_string(code - kCollision);
    switch (code) {
    case kRefusedTableFull: return "the table is full";
    case kRefusedNoSuchTimer: return "there is no such timer";
    case kRefusedDuration: return "the duration is 0";
    case kRefusedChannel: return "there is no such channel";
    case kRefusedStart: return "the start is not a valid time";
    case kRefusedEnded: return "it ends before now";
    case kRefusedTuner: return "the tuner is not 0, 1 or 3";
    case kRefusedMode: return "the mode is not 0..4";
    case kRefusedNoRecord: return "no timer record was given";
    case kRefusedByFault: return "a test told the firmware to refuse";
    default: return "refused";
    }
}

std::string Timers::describe(const TimerRecord &t) {
    std::string start;
    if (validPacked(t.start)) {
        start = minuteText(startMinute(t));
    } else {
        char hex[24];
        std::snprintf(hex, sizeof hex, "start 0x%08X", static_cast<unsigned>(t.start));
        start = hex;
    }
    return std::string(t.is_rec == 1 ? "Rec " : "-P- ") + channelText(t.svc_type, t.svc_num) + " " + start + " " +
           std::to_string(t.duration) + " min " + timerModeName(t.mode) + " tuner " + std::to_string(t.tuner) +
           " \"" + latin1ToUtf8(nameOf(t)) + "\"";
}

}  // namespace sim
