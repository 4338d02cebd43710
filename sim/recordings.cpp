// The firmware's recorder (see recordings.h).
#include "sim/recordings.h"

#include <cstring>

#include "sim/epg.h"

namespace sim {

namespace {

// Whole minutes a recording has recorded by nowMs.
int64_t minutesRecorded(const Recording &r, int64_t nowMs) {
    int64_t until = nowMs < r.endMs ? nowMs : r.endMs;
    return until > r.startMs ? (until - r.startMs) / 60000 : 0;
}

}  // namespace

int Recordings::start(ChannelRef channel, int transponder, const std::string &name, int64_t startMs, int64_t endMs,
                      RecordSource source, int tuner, uint32_t timerId) {
    if (endMs <= startMs || diskFull || !slotFree() || tuner > 1)
        return -1;
    int slot = running_[0] ? 1 : 0;
    int chosen = -1;
    if (tuner >= 0) {
        chosen = tunerUsable(tuner, transponder) ? tuner : -1;
    } else {
        // The tuner already on this transponder, else the lowest free one.
        for (int s = 0; s < kSlots; ++s)
            if (running_[s] && running_[s]->transponder == transponder)
                chosen = running_[s]->tuner;
        for (int t = 0; chosen < 0 && t < kSlots; ++t)
            if (tunerUsable(t, transponder))
                chosen = t;
    }
    if (chosen < 0)
        return -1;
    Recording r{channel, transponder, chosen, name, startMs, endMs, source, slot};
    r.timerId = timerId;
    running_[slot] = r;
    return slot;
}

bool Recordings::stop(int slot, int64_t nowMs) {
    if (slot < 0 || slot >= kSlots || !running_[slot])
        return false;
    Recording r = *running_[slot];
    if (nowMs < r.endMs)
        r.endMs = nowMs;
    unchargedMinutes_ += minutesRecorded(r, r.endMs) - r.chargedMinutes;
    r.chargedMinutes = minutesRecorded(r, r.endMs);
    done_.push_back(r);
    running_[slot].reset();
    return true;
}

int Recordings::update(int64_t nowMs) {
    int ended = 0;
    for (int s = 0; s < kSlots; ++s)
        if (running_[s] && running_[s]->endMs <= nowMs && stop(s, nowMs))
            ++ended;
    return ended;
}

bool Recordings::setEnd(int slot, int64_t endMs) {
    if (slot < 0 || slot >= kSlots || !running_[slot])
        return false;
    running_[slot]->endMs = endMs;
    return true;
}

bool Recordings::setTimer(int slot, uint32_t timerId) {
    if (slot < 0 || slot >= kSlots || !running_[slot])
        return false;
    running_[slot]->timerId = timerId;
    return true;
}

bool Recordings::tunerUsable(int tuner, int transponder) const {
    for (const auto &r : running_)
        if (r && r->tuner == tuner && r->transponder != transponder)
            return false;
    return true;
}

int64_t Recordings::takeRecordedMinutes(int64_t nowMs) {
    int64_t minutes = unchargedMinutes_;
    unchargedMinutes_ = 0;
    for (auto &r : running_) {
        if (!r)
            continue;
        int64_t recorded = minutesRecorded(*r, nowMs);
        minutes += recorded - r->chargedMinutes;
        r->chargedMinutes = recorded;
    }
    return minutes;
}

int Recordings::runningCount() const {
    int n = 0;
    for (const auto &r : running_)
        n += r ? 1 : 0;
    return n;
}

int Recordings::slotOf(ChannelRef channel) const {
    for (int s = 0; s < kSlots; ++s)
        if (running_[s] && running_[s]->channel == channel)
            return s;
    return -1;
}

int Recordings::slotOfTimer(uint32_t timerId) const {
    for (int s = 0; s < kSlots; ++s)
        if (timerId != 0 && running_[s] && running_[s]->timerId == timerId)
            return s;
    return -1;
}

int Recordings::recInfo(int slot, PlatformRecInfo *out) const {
    if (!out)
        return 1;
    std::memset(out, 0, sizeof *out);
    if (slot < 0 || slot >= kSlots)
        return 1;
    if (const auto &r = running_[slot]) {
        out->rec_state = 1;
        out->tuner = static_cast<byte>(r->tuner);
        out->rec_type = r->source == RecordSource::Timer ? 1 : 0;
        out->svc_type = static_cast<byte>(r->channel.svcType);
        out->svc_num = static_cast<word>(r->channel.svcNum);
        out->duration = static_cast<word>((r->endMs - r->startMs) / 60000);
        out->start = packedTime(r->startMs);
        out->end = packedTime(r->endMs);
        std::strncpy(out->file_name, r->name.c_str(), sizeof out->file_name - 1);
    }
    return 0;
}

int Recordings::playInfo(PlatformPlayInfo *out) const {
    if (!out)
        return 1;
    std::memset(out, 0, sizeof *out);
    return 0;
}

}  // namespace sim
