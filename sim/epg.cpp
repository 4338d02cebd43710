// The firmware's EPG feed (see epg.h).
#include "sim/epg.h"

#include <algorithm>
#include <cstring>

#include "sim/clock.h"

namespace sim {

namespace {

const std::vector<GuideEvent> kNoEvents;
constexpr int64_t kMsPerMinute = 60000;

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
    schedules_[{svcType, svcNum}] = std::move(events);
}

const std::vector<GuideEvent> &Epg::schedule(int svcType, int svcNum) const {
    auto it = schedules_.find({svcType, svcNum});
    return it == schedules_.end() ? kNoEvents : it->second;
}

void Epg::clear() { schedules_.clear(); }

std::vector<PlatformEvent> Epg::events(int svcType, int svcNum, int64_t nowMs) {
    ++requests_;
    std::vector<PlatformEvent> out;
    for (const GuideEvent &g : schedule(svcType, svcNum)) {
        if (g.endMs <= nowMs || g.startMs >= nowMs + spanMs)
            continue;
        PlatformEvent e;
        std::memset(&e, 0, sizeof e);
        e.event_id = g.eventId;
        e.start = packedTime(g.startMs);
        e.end = packedTime(g.endMs);
        int64_t minutes = std::max<int64_t>(0, (g.endMs - g.startMs) / kMsPerMinute);
        e.duration = static_cast<word>(((minutes / 60) << 8) | (minutes % 60));
        copyText(e.title, sizeof e.title, g.title);
        copyText(e.short_text, sizeof e.short_text, g.shortText);
        e.svc_num = static_cast<word>(svcNum);
        e.svc_type = static_cast<byte>(svcType);
        out.push_back(e);
    }
    return out;
}

std::string Epg::extInfo(const PlatformEvent &event) const {
    for (const GuideEvent &g : schedule(event.svc_type, event.svc_num)) {
        if (g.eventId != event.event_id || packedTime(g.startMs) != event.start)
            continue;
        std::string text = g.extText;
        std::replace(text.begin(), text.end(), '\n', '\x8A');
        return text;
    }
    return "";
}

}  // namespace sim
