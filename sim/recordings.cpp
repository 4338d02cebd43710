// The firmware's recorder (see recordings.h).
#include "sim/recordings.h"

#include <cstring>

#include "sim/clock.h"

namespace sim {

namespace {

dword packedTime(int64_t localMs) {
    CivilTime t = Clock::toCivil(localMs);
    return (static_cast<dword>(t.mjd) << 16) | (static_cast<dword>(t.hour) << 8) | static_cast<dword>(t.minute);
}

}  // namespace

int Recordings::start(ChannelRef channel, int transponder, const std::string &name, int64_t startMs, int64_t endMs,
                      RecordSource source) {
    if (endMs <= startMs)
        return -1;
    int slot = -1;
    bool tunerBusy[kSlots] = {false, false};
    int sharedTuner = -1;
    for (int s = 0; s < kSlots; ++s) {
        if (!running_[s]) {
            if (slot < 0)
                slot = s;
            continue;
        }
        tunerBusy[running_[s]->tuner] = true;
        if (running_[s]->transponder == transponder)
            sharedTuner = running_[s]->tuner;
    }
    if (slot < 0)
        return -1;
    int tuner = sharedTuner;
    for (int t = 0; tuner < 0 && t < kSlots; ++t)
        if (!tunerBusy[t])
            tuner = t;
    if (tuner < 0)
        return -1;
    running_[slot] = Recording{channel, transponder, tuner, name, startMs, endMs, source, slot};
    return slot;
}

bool Recordings::stop(int slot, int64_t nowMs) {
    if (slot < 0 || slot >= kSlots || !running_[slot])
        return false;
    Recording r = *running_[slot];
    if (nowMs < r.endMs)
        r.endMs = nowMs;
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
