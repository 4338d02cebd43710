// The built-in demo guide: what the virtual receiver broadcasts when no guide file is given.
// Every channel of the lineup gets a believable schedule around the clock, in its language
// (German, Finnish or English, from its XMLTV id or name) and style (public, commercial, news,
// children's, culture, radio): titles, short texts, descriptions of several lines (umlauts, some
// long texts past 1,900 characters), durations from 5 minutes to 3 hours, news at fixed times.
// A few events are broadcast twice in a row (the same event delivered twice) and a few leave a
// gap of 3 to 7 minutes before the next, as real broadcasts do.
//
// Deterministic: a channel's broadcast day (06:00 to 06:00) depends only on the channel's name
// and the date, so the same day looks the same whatever the clock at power-on.
// Example:
//   long n = rx::installDemoGuide(fw.epg, lineup, clockMs);   // yesterday 06:00 .. today + 8 days
//   auto day = rx::demoSchedule(lineup[0], sim::mjdFromDate(2026, 12, 7), 1);
#pragma once

#include <cstdint>
#include <vector>

#include "sim/channels.h"
#include "sim/epg.h"

namespace rx {

constexpr int kDemoGuideDays = 8;  // days from the clock's day on that the demo guide covers fully

// The channel's demo events of `days` broadcast days from 06:00 of firstMjd on, in start order.
std::vector<sim::GuideEvent> demoSchedule(const sim::Channel &channel, int firstMjd, int days);

// Gives every lineup channel its demo schedule from 06:00 the day before the clock's day to
// 06:00 kDemoGuideDays after it. Returns the number of events.
long installDemoGuide(sim::Epg &epg, const std::vector<sim::Channel> &lineup, int64_t clockMs);

}  // namespace rx
