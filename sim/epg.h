// The firmware's EPG feed: the broadcast schedule of every channel, as the receiver collects it
// from the air, and what TAP_GetEvent / TAP_EPG_GetExtInfo hand to the plug-in from it: the
// events that have not ended and start within the firmware's span (8 days), in start order.
// Example:
//   sim::Epg epg;
//   epg.setSchedule(0, 3, {{t0, t0 + 3600000, 17, "Tagesschau", "Nachrichten", "Line 1\nLine 2"}});
//   std::vector<PlatformEvent> now = epg.events(0, 3, t0);   // one record, title "Tagesschau"
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "frame/platform/tap.h"

namespace sim {

// One broadcast event. Times are the receiver's local time in ms; texts are Latin-1, the
// extended text with '\n' between its lines (the firmware hands it over with 0x8A instead).
struct GuideEvent {
    int64_t startMs = 0;
    int64_t endMs = 0;
    uint16_t eventId = 0;
    std::string title;
    std::string shortText;
    std::string extText;
};

class Epg {
public:
    static constexpr int64_t kDefaultSpanMs = 8LL * 24 * 3600 * 1000;

    // Replaces a channel's schedule (kept in start order).
    void setSchedule(int svcType, int svcNum, std::vector<GuideEvent> events);
    const std::vector<GuideEvent> &schedule(int svcType, int svcNum) const;
    void clear();

    // The firmware's event records of a channel at time nowMs: events not yet ended that start
    // before nowMs + spanMs, in start order.
    std::vector<PlatformEvent> events(int svcType, int svcNum, int64_t nowMs);
    // The extended text of a delivered record, lines joined by 0x8A; "" when there is none.
    std::string extInfo(const PlatformEvent &event) const;

    long requests() const { return requests_; }
    int64_t spanMs = kDefaultSpanMs;

private:
    using Key = std::pair<int, int>;  // service type, number
    std::map<Key, std::vector<GuideEvent>> schedules_;
    long requests_ = 0;
};

// Packed firmware time of a local time: (MJD << 16) | (hour << 8) | minute.
dword packedTime(int64_t localMs);
// Local time (ms) of a packed firmware time.
int64_t localMsOfPacked(dword packed);

}  // namespace sim
