// The firmware's EPG feed: the broadcast schedule of every channel, what the receiver has
// collected of it from the air (the EIT mode), and what TAP_GetEvent / TAP_EPG_GetExtInfo hand to
// the plug-in from it: the events that have not ended and start within the firmware's span
// (8 days), in start order. Free of any guide file format: the receiver program fills it.
//
// EIT modes: All, every channel's whole schedule is known (a receiver that has run for hours);
// Transponder, a channel's whole schedule is known only once the tuner has stayed on its
// transponder for 10 seconds (the events starting within the span from the last moment it was
// there); besides, the running and the next event, which every transponder carries for all
// channels.
// Example:
//   sim::Epg epg;
//   epg.setSchedule(0, 3, {{t0, t0 + 3600000, 17, "Tagesschau", "Nachrichten", "Line 1\nLine 2"}});
//   std::vector<PlatformEvent> now = epg.events(0, 3, t0, channels);   // one record, "Tagesschau"
//   epg.eitMode = sim::EitMode::Transponder;   // now only running + next until tuned 10 s
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "frame/platform/tap.h"
#include "sim/channels.h"

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

enum class EitMode { All, Transponder };

class Epg {
public:
    static constexpr int64_t kDefaultSpanMs = 8LL * 24 * 3600 * 1000;
    static constexpr int64_t kCollectMs = 10000;  // tuning time to collect a transponder's schedules

    // Replaces a channel's schedule (kept in start order; events of equal start keep their order).
    void setSchedule(int svcType, int svcNum, std::vector<GuideEvent> events);
    const std::vector<GuideEvent> &schedule(int svcType, int svcNum) const;
    void clear();

    // The firmware's event records of a channel at time nowMs, as TAP_GetEvent delivers them (it
    // counts a request): what the EIT mode lets the firmware know given the tuner's history in
    // `channels`, of the events not yet ended that start before nowMs + spanMs, in start order.
    std::vector<PlatformEvent> events(int svcType, int svcNum, int64_t nowMs, const Channels &channels);
    // The same without counting a request (for dumps and tests).
    std::vector<PlatformEvent> known(int svcType, int svcNum, int64_t nowMs, const Channels &channels) const;
    // The whole schedule within the span, whatever the EIT mode (counts a request).
    std::vector<PlatformEvent> events(int svcType, int svcNum, int64_t nowMs);
    // The extended text of a delivered record, lines joined by 0x8A; "" when there is none.
    std::string extInfo(const PlatformEvent &event) const;
    // The same for TAP_EPG_GetExtInfo without an extra copy: where the record's text lies (null
    // when there is none), valid until the channel's schedule changes; copyTo writes the text
    // with 0x8A line breaks and its NUL into dst, which holds text->size() + 1 bytes.
    struct ExtText {
        const std::string *text = nullptr;
        const uint32_t *breaks = nullptr;  // offsets of its '\n's
        size_t breakCount = 0;
        void copyTo(char *dst) const;
    };
    ExtText extText(const PlatformEvent &event) const;

    long requests() const { return requests_; }
    int64_t spanMs = kDefaultSpanMs;
    EitMode eitMode = EitMode::All;

private:
    using Key = std::pair<int, int>;  // service type, number
    // A channel's schedule, and what the firmware hands over of each event worked out once when
    // the schedule is set: the packed start and end, and where the extended text breaks its
    // lines (event i's offsets are breaks[firstBreak[i] .. firstBreak[i + 1] - 1]).
    struct Broadcast {
        std::vector<GuideEvent> events;
        std::vector<dword> starts, ends;
        std::vector<uint32_t> breaks, firstBreak;
    };
    std::map<Key, Broadcast> schedules_;
    const Broadcast *broadcast(int svcType, int svcNum) const;
    // The index in b.events of the event a delivered record stands for; -1 when there is none.
    long indexOf(const Broadcast &b, const PlatformEvent &event) const;
    long requests_ = 0;
    // Records of the events not ended at nowMs that start before horizonMs; with
    // runningAndNextOnly, at most the running event (if any) and the one after it.
    std::vector<PlatformEvent> records(int svcType, int svcNum, int64_t nowMs, int64_t horizonMs,
                                       bool runningAndNextOnly, int serviceId) const;
};

// Packed firmware time of a local time: (MJD << 16) | (hour << 8) | minute.
dword packedTime(int64_t localMs);
// Local time (ms) of a packed firmware time.
int64_t localMsOfPacked(dword packed);

}  // namespace sim
