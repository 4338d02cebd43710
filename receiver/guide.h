// The broadcast guide as the receiver program hands it to the firmware: an XMLTV guide turned
// into one tidy schedule per channel in the receiver's local time (moved by whole days when
// asked), the lineup made from the guide's channels, and the schedules tied to a lineup by the
// channels' XMLTV ids.
//
// Tidying a channel's programmes, in this order: times to the minute (seconds dropped);
// zero-length programmes dropped; a stop before the start ignored; programmes in start order,
// and of several with the same start the first in the file kept; a missing stop is the start of
// the channel's next programme (the last one gets one hour); a programme that runs into the next
// one ends where that one starts. Broadcast schedules have no overlaps, and the firmware's
// records count whole minutes.
// Example:
//   rx::Guide g = rx::guideFromXmltv(xmltv, {rx::Zone::fixed(60), false, true, 0}, clockMs);  // moved to today
//   std::vector<sim::Channel> lineup = rx::lineupFromGuide(g);              // TV, numbers from 1
//   rx::installGuide(fw.epg, lineup, g, warnings);
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "receiver/xmltv.h"
#include "receiver/zone.h"
#include "sim/channels.h"
#include "sim/epg.h"

namespace rx {

struct GuideSettings {
    Zone zone = Zone::fixed(60);  // the receiver's local time: every time at its own offset
    bool tzFromGuide = false;  // take the (fixed) offset of the guide's first programme instead
    bool autoShift = false;    // move the guide by whole days so that it starts on the clock's day
    int shiftDays = 0;         // else move it by this many days
};

struct GuideChannel {
    std::string id;    // the XMLTV id
    std::string name;  // Latin-1
    std::vector<sim::GuideEvent> events;  // tidy, in start order, local time
};

struct GuideCounts {
    long programmes = 0;   // read from the file
    long events = 0;       // in the schedules
    long zeroLength = 0;   // dropped
    long sameStart = 0;    // dropped: another programme of the channel starts in the same minute
    long stopsFilled = 0;  // programmes without (a readable) stop
    long overlapsCut = 0;  // programmes cut where the next begins
    long backwardStops = 0;  // stops before the start, ignored
};

struct Guide {
    std::vector<GuideChannel> channels;  // the file's order
    GuideCounts counts;
    std::string zone;    // the local time the schedules are in: "+0100", "Europe/Berlin"
    int shiftDays = 0;   // days the guide was moved by
};

// The tidy schedules of an XMLTV guide; clockMs (local) gives "today" for autoShift.
Guide guideFromXmltv(const XmltvGuide &xmltv, const GuideSettings &settings, int64_t clockMs);

// The lineup of a guide's channels: TV, in the guide's order, logical numbers from 1, service
// ids from 10001, eight channels to a transponder, the XMLTV id kept.
std::vector<sim::Channel> lineupFromGuide(const Guide &guide);

// Gives every lineup channel with an XMLTV id the guide's schedule of that id (an exact match,
// else one that differs only in letter case). Returns the number of channels served; a lineup
// channel whose id the guide lacks adds a warning.
int installGuide(sim::Epg &epg, const std::vector<sim::Channel> &lineup, const Guide &guide,
                 std::vector<std::string> &warnings);

// One line about what was read, for the user: channels, programmes, what tidying changed.
std::string guideSummary(const std::string &source, const Guide &guide);


}  // namespace rx
