// What the receiver broadcasts: the firmware's EPG feed, the demo guide and the program's guide
// options.
//   EIT modes   all: every schedule; transponder: running + next until the transponder was
//               tuned 10 s (tunings to its other channels count, leaving keeps what was seen)
//   Records     running status, duration of very long events, extended texts by event
//   Demo guide  deterministic per day, 8 days ahead, durations 5 min..3 h, repeats and gaps,
//               umlauts and long texts, its languages
//   Program     --guide / --lineup with XMLTV ids / --eit / --tz / --guide-shift, dump guide,
//               bad guide files; the default clock is now in the receiver's zone
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>

#include "frame/platform/tap.h"
#include "receiver/demo_guide.h"
#include "receiver/latin1_fold.h"
#include "receiver/lineup.h"
#include "receiver/zone.h"
#include "sim/clock.h"
#include "sim/firmware.h"
#include "tests/support/support.h"

using testsupport::runReceiver;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

constexpr int64_t kMin = 60000;

int64_t at(const char *text) {
    int64_t ms = 0;
    EXPECT_TRUE(sim::parseLocalTime(text, ms)) << text;
    return ms;
}

// Half-hour events from `from` on.
std::vector<sim::GuideEvent> halfHours(int64_t from, int n, const std::string &name) {
    std::vector<sim::GuideEvent> v;
    for (int i = 0; i < n; ++i)
        v.push_back({from + i * 30 * kMin, from + (i + 1) * 30 * kMin, static_cast<uint16_t>(i + 1),
                     name + " " + std::to_string(i), "", "Line 1\nLine 2"});
    return v;
}

struct EitFixture : ::testing::Test {
    TempDir dir;
    std::unique_ptr<sim::Firmware> fw;
    int64_t t0 = at("2026-12-07 20:00");
    void SetUp() override {
        sim::FirmwareConfig config;
        config.diskDir = dir.path();
        config.lineup = {{sim::kTv, "A", 1, 1, 1, ""},
                         {sim::kTv, "B", 2, 2, 1, ""},
                         {sim::kTv, "C", 3, 3, 2, ""},
                         {sim::kTv, "D", 4, 4, 3, ""}};
        config.clockMs = t0;
        config.eitMode = sim::EitMode::Transponder;
        fw = std::make_unique<sim::Firmware>(config);
        fw->activate();
        for (int ch = 0; ch < 3; ++ch)
            fw->epg.setSchedule(sim::kTv, ch, halfHours(t0 - 15 * kMin, 10, "E"));
        fw->epg.setSchedule(sim::kTv, 3, halfHours(t0 + 60 * kMin, 3, "Later"));  // nothing runs now
    }
    size_t known(int svcNum) { return fw->epg.known(sim::kTv, svcNum, fw->clock.nowMs(), fw->channels).size(); }
};

// --- EIT modes ---

TEST_F(EitFixture, RunningAndNextOnlyUntilTheTransponderWasTunedForTenSeconds) {
    EXPECT_EQ(known(0), 2u);  // power-on channel, tuned just now
    EXPECT_EQ(known(2), 2u);
    EXPECT_EQ(known(3), 1u);  // nothing runs: only the next
    fw->clock.advanceMs(9999);
    EXPECT_EQ(known(0), 2u);
    fw->clock.advanceMs(1);
    EXPECT_EQ(known(0), 10u);
    EXPECT_EQ(known(1), 10u);  // B shares A's transponder
    EXPECT_EQ(known(2), 2u);

    // Tuning C: A and B keep what was collected, C needs its own 10 seconds.
    fw->channels.tune(sim::kTv, 2, sim::TuneSource::PlugIn, fw->clock.nowMs());
    fw->clock.advanceMs(5000);
    EXPECT_EQ(known(2), 2u);
    EXPECT_EQ(known(0), 10u);
    fw->clock.advanceMs(5000);
    EXPECT_EQ(known(2), 10u);

    // Short visits to a transponder collect nothing; tunings in a row to its channels add up.
    fw->channels.tune(sim::kTv, 3, sim::TuneSource::PlugIn, fw->clock.nowMs());
    fw->clock.advanceMs(6000);
    fw->channels.tune(sim::kTv, 0, sim::TuneSource::PlugIn, fw->clock.nowMs());
    fw->clock.advanceMs(6000);
    EXPECT_EQ(known(3), 1u);
    fw->channels.tune(sim::kTv, 1, sim::TuneSource::Firmware, fw->clock.nowMs());
    EXPECT_EQ(fw->channels.transponderSeenUntil(1, 10000, fw->clock.nowMs()), t0 + 10000);
    fw->clock.advanceMs(4000);  // A, then B: ten seconds on transponder 1
    EXPECT_EQ(fw->channels.transponderSeenUntil(1, 10000, fw->clock.nowMs()), fw->clock.nowMs());
    EXPECT_EQ(fw->channels.transponderSeenUntil(3, 10000, fw->clock.nowMs()), -1);
    EXPECT_EQ(fw->channels.transponderSeenUntil(2, 10000, fw->clock.nowMs()), t0 + 20000);
}

TEST_F(EitFixture, WhatWasCollectedReachesOnlyTheSpanFromTheLastVisit) {
    fw->epg.spanMs = 120 * kMin;
    fw->clock.advanceMs(20000);
    fw->channels.tune(sim::kTv, 2, sim::TuneSource::Firmware, fw->clock.nowMs());  // A left at t0 + 20 s
    fw->clock.set(t0 + 40 * kMin);
    // A: the events not ended at 20:40 that start before 22:00:20 (20:15 .. 21:45); C, tuned
    // all along, up to 22:40.
    std::vector<PlatformEvent> a = fw->epg.known(sim::kTv, 0, fw->clock.nowMs(), fw->channels);
    ASSERT_EQ(a.size(), 4u);
    EXPECT_EQ(sim::localMsOfPacked(a[3].start), at("2026-12-07 21:45"));
    EXPECT_EQ(known(2), 5u);
    // Later than all A's collected events: running and next still come.
    fw->clock.set(t0 + 180 * kMin);
    a = fw->epg.known(sim::kTv, 0, fw->clock.nowMs(), fw->channels);
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(sim::localMsOfPacked(a[0].start), at("2026-12-07 22:45"));
}

TEST_F(EitFixture, AllModeAndTheLibraryEntriesDeliverEveryScheduleInTheSpan) {
    fw->epg.eitMode = sim::EitMode::All;
    EXPECT_EQ(known(2), 10u);
    int n = 0;
    long before = fw->epg.requests();
    PlatformEvent *events = TAP_GetEvent(SVC_TYPE_Tv, 2, &n);
    ASSERT_NE(events, nullptr);
    ASSERT_EQ(n, 10);
    EXPECT_EQ(fw->epg.requests(), before + 1);
    EXPECT_EQ(events[0].running_status, 4);  // running
    EXPECT_EQ(events[1].running_status, 1);
    EXPECT_EQ(events[0].service_id, 3);
    EXPECT_STREQ(events[3].title, "E 3");
    byte *ext = TAP_EPG_GetExtInfo(&events[3]);
    ASSERT_NE(ext, nullptr);
    EXPECT_STREQ(reinterpret_cast<char *>(ext), "Line 1\x8ALine 2");
    EXPECT_EQ(TAP_MemFree(ext), 0);
    EXPECT_EQ(TAP_MemFree(events), 0);
    EXPECT_EQ(TAP_GetEvent(SVC_TYPE_Tv, 9, &n), nullptr);  // no such channel
    EXPECT_EQ(n, 0);
}

TEST_F(EitFixture, VeryLongEventsKeepTheLongestDurationTheRecordHolds) {
    fw->epg.setSchedule(sim::kTv, 0, {{t0 - kMin, t0 + 300 * 3600000LL, 1, "Marathon", "", ""}});
    fw->epg.spanMs = 400 * 3600000LL;
    fw->epg.eitMode = sim::EitMode::All;
    std::vector<PlatformEvent> e = fw->epg.known(sim::kTv, 0, t0, fw->channels);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].duration, (255 << 8) | 59);
}

// --- Demo guide ---

TEST(DemoGuide, EachDayIsTheSameWhateverTheClockAndCoversEightDaysAhead) {
    std::vector<sim::Channel> lineup = rx::demoLineup();
    int mjd = sim::mjdFromDate(2026, 12, 7);
    auto day = rx::demoSchedule(lineup[0], mjd, 1);
    auto week = rx::demoSchedule(lineup[0], mjd - 3, 5);
    ASSERT_FALSE(day.empty());
    EXPECT_EQ(day.front().startMs, at("2026-12-07 06:00"));
    EXPECT_EQ(day.back().endMs, at("2026-12-08 06:00"));
    auto first =
        std::find_if(week.begin(), week.end(), [&](const sim::GuideEvent &e) { return e.startMs == day[0].startMs; });
    ASSERT_NE(first, week.end());
    for (size_t i = 0; i < day.size(); ++i) {
        ASSERT_NE(first + static_cast<long>(i), week.end());
        EXPECT_EQ(first[static_cast<long>(i)].title, day[i].title);
        EXPECT_EQ(first[static_cast<long>(i)].extText, day[i].extText);
        EXPECT_EQ(first[static_cast<long>(i)].endMs, day[i].endMs);
    }

    sim::Epg epg;
    EXPECT_GT(rx::installDemoGuide(epg, lineup, at("2026-12-07 20:00")), 10000);
    for (int type : {sim::kTv, sim::kRadio}) {
        for (int n = 0; n < static_cast<int>(sim::Channels(lineup).count(type)); ++n) {
            const auto &s = epg.schedule(type, n);
            ASSERT_FALSE(s.empty());
            EXPECT_LE(s.front().startMs, at("2026-12-07 00:00"));
            EXPECT_GE(s.back().endMs, at("2026-12-15 06:00"));
        }
    }
}

TEST(DemoGuide, EventsAreBelievableWithRepeatsGapsUmlautsAndLongTexts) {
    std::vector<sim::Channel> lineup = rx::demoLineup();
    sim::Epg epg;
    rx::installDemoGuide(epg, lineup, at("2026-12-07 20:00"));
    int repeats = 0, gaps = 0, umlauts = 0, longTexts = 0, multiLine = 0, shortEqualsTitle = 0;
    int64_t shortest = INT64_MAX, longest = 0;
    std::set<std::string> titles;
    sim::Channels channels(lineup);
    for (int type : {sim::kTv, sim::kRadio}) {
        for (int n = 0; n < channels.count(type); ++n) {
            const auto &s = epg.schedule(type, n);
            for (size_t i = 0; i < s.size(); ++i) {
                const sim::GuideEvent &e = s[i];
                ASSERT_TRUE(rx::isPrintableLatin1(e.title) && rx::isPrintableLatin1(e.shortText) &&
                            rx::isPrintableLatin1(e.extText))
                    << e.title;
                ASSERT_FALSE(e.title.empty());
                shortest = std::min(shortest, e.endMs - e.startMs);
                longest = std::max(longest, e.endMs - e.startMs);
                titles.insert(e.title);
                umlauts += e.extText.find_first_of("\xE4\xF6\xFC\xDF") != std::string::npos;
                longTexts += e.extText.size() > 1919;
                multiLine += e.extText.find('\n') != std::string::npos;
                shortEqualsTitle += !e.shortText.empty() && e.shortText != e.title &&
                                    std::equal(e.title.begin(), e.title.end(), e.shortText.begin(), e.shortText.end(),
                                               [](char a, char b) { return std::tolower(a) == std::tolower(b); });
                if (i == 0)
                    continue;
                const sim::GuideEvent &p = s[i - 1];
                if (p.startMs == e.startMs && p.endMs == e.endMs && p.title == e.title && p.eventId == e.eventId)
                    ++repeats;
                else {
                    ASSERT_LE(p.endMs, e.startMs) << e.title;  // no overlaps
                    int64_t gap = e.startMs - p.endMs;
                    ASSERT_TRUE(gap == 0 || (gap >= 3 * kMin && gap <= 7 * kMin)) << e.title << " gap " << gap;
                    gaps += gap > 0;
                }
            }
        }
    }
    EXPECT_EQ(shortest, 5 * kMin);
    EXPECT_EQ(longest, 180 * kMin);
    EXPECT_GT(repeats, 20);
    EXPECT_GT(gaps, 100);
    EXPECT_GT(umlauts, 1000);
    EXPECT_GT(longTexts, 10);
    EXPECT_GT(multiLine, 1000);
    EXPECT_GT(shortEqualsTitle, 0);
    EXPECT_GT(titles.size(), 150u);
    // Each channel speaks its language: Finnish and English titles on their channels.
    EXPECT_TRUE(titles.count("Yle Uutiset"));
    EXPECT_TRUE(titles.count("BBC News"));
    EXPECT_TRUE(titles.count("Tagesschau"));
}

// --- Program ---

const char *const kGuide = R"(<?xml version="1.0" encoding="UTF-8"?>
<tv>
  <channel id="eins.de"><display-name>Erstes Programm</display-name></channel>
  <channel id="zwei.de"><display-name>Zweites</display-name></channel>
  <programme start="20261207180000 +0000" stop="20261207191500 +0000" channel="eins.de">
    <title>Tagesschau</title><title lang="en">Daily News</title>
    <sub-title>Nachrichten</sub-title>
    <desc>Erste Zeile
Zweite Zeile</desc>
  </programme>
  <programme start="20261207191500 +0000" channel="eins.de"><title>Tatort</title></programme>
  <programme start="20261207203000 +0000" stop="20261207220000 +0000" channel="eins.de">
    <title>M&#252;nchen &#8211; Nacht</title></programme>
  <programme start="20261207190000 +0000" stop="20261207200000 +0000" channel="zwei.de"><title>heute</title></programme>
</tv>
)";

TEST(GuideProgram, TheGuidesChannelsAreTheLineupAndDumpGuideShowsWhatIsBroadcast) {
    TempDir dir;
    writeFile(dir.file("guide.xml"), kGuide);
    auto r = runReceiver({"--disk", dir.file("disk"), "--clock", "2026-12-07 20:00", "--guide", dir.file("guide.xml"),
                          "--tz", "+0100", "--script", "-"},
                         "dump guide tv:0 -\ndump guide tv:1 " + dir.file("two.txt") + "\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "0|Erstes Programm|2026-12-07 19:00|2026-12-07 20:15|Tagesschau|Nachrichten|Erste Zeile|Zweite Zeile\n"
              "0|Erstes Programm|2026-12-07 20:15|2026-12-07 21:30|Tatort||\n"
              "0|Erstes Programm|2026-12-07 21:30|2026-12-07 23:00|M\xC3\xBCnchen - Nacht||\n" +
                  dir.file("two.txt") + "\n");
    EXPECT_EQ(testsupport::readFile(dir.file("two.txt")), "1|Zweites|2026-12-07 20:00|2026-12-07 21:00|heute||\n");
    EXPECT_NE(
        r.err.find("guide " + dir.file("guide.xml") + ": 2 channels, 4 events from 4 programmes, local time +0100"),
        std::string::npos)
        << r.err;
}

TEST(GuideProgram, ALineupTiesItsChannelsToTheGuideByTheSixthField) {
    TempDir dir;
    writeFile(dir.file("guide.xml"), kGuide);
    writeFile(dir.file("lineup.txt"), "TV|Mein ZDF|11110|5|2|zwei.de\nTV|Ohne Guide|1|1|1\nTV|Fehlt|2|2|1|drei.de\n");
    auto r = runReceiver({"--disk", dir.file("disk"), "--clock", "2026-12-07 19:30", "--guide", dir.file("guide.xml"),
                          "--lineup", dir.file("lineup.txt"), "--tz", "+0000", "--script", "-"},
                         "dump guide tv:0 -\ndump guide tv:1 -\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "0|Mein ZDF|2026-12-07 19:00|2026-12-07 20:00|heute||\n");
    EXPECT_NE(r.err.find("warning: the guide has no channel \"drei.de\" (lineup channel Fehlt)"), std::string::npos)
        << r.err;
}

TEST(GuideProgram, TransponderModeTheShiftAndBadGuidesThroughTheOptions) {
    TempDir dir;
    writeFile(dir.file("guide.xml"), kGuide);
    // Moved back by a week and read in transponder mode: running + next, then all after 10 s.
    auto r = runReceiver({"--disk", dir.file("disk"), "--clock", "2026-11-30 20:00", "--guide", dir.file("guide.xml"),
                          "--tz", "+0100", "--guide-shift", "auto", "--eit", "transponder", "--script", "-"},
                         "dump guide tv:0 -\nwait 10s\ndump guide tv:0 -\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 5) << r.out;
    EXPECT_EQ(r.out.rfind("0|Erstes Programm|2026-11-30 19:00|", 0), 0u) << r.out;
    EXPECT_NE(r.err.find("moved by -7 days"), std::string::npos) << r.err;

    struct Bad {
        std::vector<std::string> args;
        const char *says;
    } bad[] = {
        {{"--guide", dir.file("missing.xml")}, "missing.xml: cannot read the guide file"},
        {{"--guide", dir.file("broken.xml")}, "broken.xml:2:"},
        {{"--guide", dir.file("guide.xml"), "--eit", "some"}, "--eit some: expected all or transponder"},
        {{"--guide", dir.file("guide.xml"), "--tz", "Mars/Olympus"}, "--tz Mars/Olympus: expected a zone such as"},
        {{"--guide", dir.file("guide.xml"), "--tz", "../../etc/passwd"}, "--tz ../../etc/passwd: expected a zone"},
        {{"--guide", dir.file("guide.xml"), "--tz", "+2500"}, "--tz +2500: expected an offset such as +0100"},
        {{"--guide", dir.file("guide.xml"), "--guide-shift", "soon"}, "--guide-shift soon: expected auto"},
        {{"--guide", dir.file("empty.xml")}, "has no channels: give a lineup with --lineup"},
    };
    writeFile(dir.file("broken.xml"), "<tv>\n<programme start=\"2002\" channel=\"a\"><title>x</tv>\n");
    writeFile(dir.file("empty.xml"), "<tv></tv>");
    for (const Bad &b : bad) {
        std::vector<std::string> args = {"--disk", dir.file("disk"), "--clock", "2026-12-07 20:00", "--script", "-"};
        args.insert(args.end(), b.args.begin(), b.args.end());
        auto e = runReceiver(args, "wait 1s\n");
        EXPECT_EQ(e.exitCode, 2) << b.says;
        EXPECT_NE(e.err.find(b.says), std::string::npos) << e.err;
    }
    auto dumpBad = runReceiver({"--disk", dir.file("disk"), "--clock", "2026-12-07 20:00", "--script", "-"},
                               "dump guide tv:99 -\n");
    EXPECT_EQ(dumpBad.exitCode, 2);
    EXPECT_NE(dumpBad.err.find("there is no such channel"), std::string::npos) << dumpBad.err;
}

// A guide in UTC around the host's clock now: "Now running" covers now by two hours either way.
std::string guideAroundNow() {
    std::time_t hour = std::time(nullptr) / 3600 * 3600;
    auto stamp = [hour](int hours) {
        std::time_t t = hour + hours * 3600;
        std::tm tm{};
        gmtime_r(&t, &tm);
        char buf[32];
        std::strftime(buf, sizeof buf, "%Y%m%d%H%M%S +0000", &tm);
        return std::string(buf);
    };
    auto programme = [&](int from, int to, const char *title) {
        return "<programme start=\"" + stamp(from) + "\" stop=\"" + stamp(to) + "\" channel=\"a\"><title>" + title +
               "</title></programme>\n";
    };
    return "<tv><channel id=\"a\"><display-name>A</display-name></channel>\n" +
           programme(-6, -2, "Earlier show") + programme(-2, 2, "Now running") + programme(2, 6, "Later show") +
           "</tv>\n";
}

// The text of the guide's first row (the running event when the guide opens) in a screen dump.
std::string firstRow(const std::string &dump) {
    size_t at = dump.find("\n201 113 ");
    return at == std::string::npos ? "" : dump.substr(at + 1, dump.find('\n', at + 1) - at - 1);
}

// The clock the receiver started with, from its start-up line.
int64_t startedAt(const std::string &err) {
    size_t at = err.find(" started at ");
    int64_t ms = 0;
    if (at == std::string::npos || !sim::parseLocalTime(err.substr(at + 12, 19), ms))
        return 0;
    return ms;
}

TEST(GuideProgram, WithoutAClockTheReceiverStartsAtNowInItsZoneAndMarksTheRunningProgramme) {
    TempDir dir;
    writeFile(dir.file("guide.xml"), guideAroundNow());
    // Whatever the time of day: no scan window, so no automatic scan takes the first key.
    for (const char *disk : {"disk", "disk2"}) {
        std::filesystem::create_directories(dir.file(disk));
        writeFile(dir.file(disk) + "/Diro_ROD.Settings.DAT", testsupport::settingsImage({{16, 1439}, {20, 0}}));
    }
    rx::Zone helsinki;
    std::string why;
    ASSERT_TRUE(rx::Zone::parse("Europe/Helsinki", helsinki, why)) << why;
    int64_t expected = helsinki.nowLocalMs();
    auto r = runReceiver({"--disk", dir.file("disk"), "--guide", dir.file("guide.xml"), "--tz", "Europe/Helsinki",
                          "--script", "-"},
                         "wait 2s\nkey GUIDE\ndump screen -\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NEAR(double(startedAt(r.err)), double(expected), 10000.0) << r.err;
    EXPECT_NE(r.err.find("local time Europe/Helsinki"), std::string::npos) << r.err;
    EXPECT_NE(firstRow(r.out).find("\" Now running\""), std::string::npos) << r.out;

    // Without --tz the host's zone holds for both, whatever it is.
    const char *old = std::getenv("TZ");
    std::string kept = old ? old : "";
    setenv("TZ", "America/Sao_Paulo", 1);
    rx::Zone host = rx::Zone::host();
    expected = host.nowLocalMs();
    auto h = runReceiver({"--disk", dir.file("disk2"), "--guide", dir.file("guide.xml"), "--script", "-"},
                         "wait 2s\nkey GUIDE\ndump screen -\n");
    if (old)
        setenv("TZ", kept.c_str(), 1);
    else
        unsetenv("TZ");
    ASSERT_EQ(h.exitCode, 0) << h.err;
    EXPECT_NEAR(double(startedAt(h.err)), double(expected), 10000.0) << h.err;
    EXPECT_NE(h.err.find("local time America/Sao_Paulo"), std::string::npos) << h.err;
    EXPECT_NE(firstRow(h.out).find("\" Now running\""), std::string::npos) << h.out;
}

TEST(GuideProgram, TheDemoBroadcastsTheDemoGuide) {
    TempDir dir;
    auto r = runReceiver({"--disk", dir.file("disk"), "--clock", "2026-12-07 20:00", "--script", "-"},
                         "dump guide tv:4 -\ndump guide ra:0 -\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind("4|ZDF HD|2026-12-07 ", 0), 0u) << r.out.substr(0, 200);
    EXPECT_NE(r.out.find("\n0|Bayern 3|"), std::string::npos);
    EXPECT_GT(std::count(r.out.begin(), r.out.end(), '\n'), 200);
}

}  // namespace
