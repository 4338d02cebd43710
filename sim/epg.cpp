// The firmware's EPG feed and its EIT modes (see epg.h).
#include "sim/epg.h"

#include <algorithm>
#include <cstring>

#include "sim/clock.h"

namespace sim {

namespace {

const std::vector<GuideEvent> kNoEvents;
constexpr int64_t kMsPerMinute = 60000;
constexpr int64_t kLongestMinutes = 255 * 60 + 59;  // the duration word holds 255 h 59 min
constexpr byte kNotRunning = 1, kRunning = 4;      // running status as the broadcast codes it

void copyText(char *dst, size_t size, const std::string &text) {
    size_t n = std::min(text.size(), size - 1);
    std::memcpy(dst, text.data(), n);
    dst[n] = 0;
}

}  // namespace

dword packedTime(int64_t localMs) {
    CivilTime t = Clock::toCivil(localMs);
    return (static_cast<dword>(t.mjd) << 16) | (static_cast<dword>(t.hour) << 8) | static_cast<dword>(t.minute);
}

int64_t localMsOfPacked(dword packed) {
    int mjd = static_cast<int>(packed >> 16);
    int64_t days = mjd - kMjdOf1970;
    return (days * 1440 + ((packed >> 8) & 0xFF) * 60 + (packed & 0xFF)) * kMsPerMinute;
}

void Epg::setSchedule(int svcType, int svcNum, std::vector<GuideEvent> events) {
    std::stable_sort(events.begin(), events.end(),
                     [](const GuideEvent &a, const GuideEvent &b) { return a.startMs < b.startMs; });
    Broadcast b;
    b.events = std::move(events);
    b.starts.reserve(b.events.size());
    b.ends.reserve(b.events.size());
    b.firstBreak.reserve(b.events.size() + 1);
    for (const GuideEvent &g : b.events) {
        b.starts.push_back(packedTime(g.startMs));
        b.ends.push_back(packedTime(g.endMs));
        b.firstBreak.push_back(static_cast<uint32_t>(b.breaks.size()));
        for (size_t at = g.extText.find('\n'); at != std::string::npos; at = g.extText.find('\n', at + 1))
            b.breaks.push_back(static_cast<uint32_t>(at));
    }
    b.firstBreak.push_back(static_cast<uint32_t>(b.breaks.size()));
    schedules_[{svcType, svcNum}] = std::move(b);
}

const Epg::Broadcast *Epg::broadcast(int svcType, int svcNum) const {
    auto it = schedules_.find({svcType, svcNum});
    return it == schedules_.end() ? nullptr : &it->second;
}

const std::vector<GuideEvent> &Epg::schedule(int svcType, int svcNum) const {
    const Broadcast *b = broadcast(svcType, svcNum);
    return b ? b->events : kNoEvents;
}

void Epg::clear() { schedules_.clear(); }

std::vector<PlatformEvent> Epg::records(int svcType, int svcNum, int64_t nowMs, int64_t horizonMs,
                                        bool runningAndNextOnly, int serviceId) const {
    std::vector<PlatformEvent> out;
    const Broadcast *b = broadcast(svcType, svcNum);
    if (!b)
        return out;
    out.reserve(runningAndNextOnly ? 2 : b->events.size());
    for (size_t i = 0; i < b->events.size(); ++i) {
        const GuideEvent &g = b->events[i];
        if (g.startMs >= horizonMs)
            break;  // the schedule is in start order
        if (g.endMs <= nowMs)
            continue;
        bool running = g.startMs <= nowMs;
        // Running and next: the running event and the one after it, or only the next one
        // while nothing runs.
        if (runningAndNextOnly && !out.empty() && (out.size() == 2 || out[0].running_status != kRunning))
            break;
        PlatformEvent e;
        std::memset(&e, 0, sizeof e);
        e.event_id = g.eventId;
        e.start = b->starts[i];
        e.end = b->ends[i];
        int64_t minutes = std::clamp<int64_t>((g.endMs - g.startMs) / kMsPerMinute, 0, kLongestMinutes);
        e.duration = static_cast<word>(((minutes / 60) << 8) | (minutes % 60));
        e.running_status = running ? kRunning : kNotRunning;
        copyText(e.title, sizeof e.title, g.title);
        copyText(e.short_text, sizeof e.short_text, g.shortText);
        e.svc_num = static_cast<word>(svcNum);
        e.svc_type = static_cast<byte>(svcType);
        e.service_id = static_cast<word>(serviceId);
        out.push_back(e);
    }
    return out;
}

std::vector<PlatformEvent> Epg::known(int svcType, int svcNum, int64_t nowMs, const Channels &channels) const {
    const Channel *c = channels.find(svcType, svcNum);
    if (!c)
        return {};
    int64_t horizon = nowMs + spanMs;
    if (eitMode == EitMode::Transponder) {
        // Running and next come with every transponder; the rest only from a long enough visit.
        // Both lists are beginnings of the same list of events not yet ended: the longer wins.
        std::vector<PlatformEvent> runningAndNext = records(svcType, svcNum, nowMs, horizon, true, c->serviceId);
        int64_t seen = channels.transponderSeenUntil(c->transponder, kCollectMs, nowMs);
        if (seen < 0)
            return runningAndNext;
        std::vector<PlatformEvent> collected =
            records(svcType, svcNum, nowMs, std::min(horizon, seen + spanMs), false, c->serviceId);
        return collected.size() >= runningAndNext.size() ? collected : runningAndNext;
    }
    return records(svcType, svcNum, nowMs, horizon, false, c->serviceId);
}

std::vector<PlatformEvent> Epg::events(int svcType, int svcNum, int64_t nowMs, const Channels &channels) {
    ++requests_;
    return known(svcType, svcNum, nowMs, channels);
}

std::vector<PlatformEvent> Epg::events(int svcType, int svcNum, int64_t nowMs) {
    ++requests_;
    return records(svcType, svcNum, nowMs, nowMs + spanMs, false, 0);
}

std::string Epg::extInfo(const PlatformEvent &event) const {
    ExtText t = extText(event);
    std::string text(t.text ? t.text->size() : 0, '\0');
    if (!text.empty())
        t.copyTo(&text[0]);
    return text;
}

long Epg::indexOf(const Broadcast &b, const PlatformEvent &event) const {
    // Records carry whole minutes: look from the first event of that minute on.
    int64_t minuteMs = localMsOfPacked(event.start);
    auto it = std::lower_bound(b.events.begin(), b.events.end(), minuteMs,
                               [](const GuideEvent &g, int64_t ms) { return g.startMs < ms; });
    for (size_t i = static_cast<size_t>(it - b.events.begin()); i < b.events.size() && b.starts[i] == event.start;
         ++i) {
        if (b.events[i].eventId == event.event_id)
            return static_cast<long>(i);
    }
    return -1;
}

Epg::ExtText Epg::extText(const PlatformEvent &event) const {
    ExtText t;
    const Broadcast *b = broadcast(event.svc_type, event.svc_num);
    long i = b ? indexOf(*b, event) : -1;
    if (i < 0)
        return t;
    size_t k = static_cast<size_t>(i);
    t.text = &b->events[k].extText;
    t.breaks = b->breaks.data() + b->firstBreak[k];
    t.breakCount = b->firstBreak[k + 1] - b->firstBreak[k];
    return t;
}

void Epg::ExtText::copyTo(char *dst) const {
    std::memcpy(dst, text->c_str(), text->size() + 1);
    for (size_t k = 0; k < breakCount; ++k)
        dst[breaks[k]] = '\x8A';
}

}  // namespace sim
