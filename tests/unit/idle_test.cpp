// The idle duties with the plug-in linked in, driven by the receiver's clock.
//   - BackgroundFilling*: every channel filled within its interval; never while the views show
//   - NightlyScan*, ScanState*: the automatic scan: start, walk, saves, end on channel 0
//   - UserRefresh*: PLAY's refresh, 12 seconds a channel, kept in memory
//   - RemotePolling*: the command files are read at the multiples of the interval, once each
//   - DeferredDuties*, StartUpSearch*: saves asked for by other parts; the start-up search and
//     its message, which goes after its seconds also under the always-on clock
//   - MessageOverViews*: a message of the background ends and the views stand as they were
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "epgdb/buffer.h"
#include "epgdb/bufferfile.h"
#include "export/export.h"
#include "frame/idle.h"
#include "frame/state.h"
#include "remote/commands.h"
#include "settings/settings.h"
#include "sim/clock.h"
#include "tests/support/support.h"

using testsupport::TempDir;

namespace {

// n TV channels, eight to a transponder, each with an evening of one-hour events.
std::unique_ptr<sim::Receiver> start(const TempDir &dir, const std::string &clock, int channels,
                                     int svcNum = 0) {
    std::vector<sim::Channel> lineup;
    for (int i = 0; i < channels; ++i)
        lineup.push_back({sim::kTv, "TV " + std::to_string(i + 1), 1000 + i, i + 1, 1 + i / 8, ""});
    lineup.push_back({sim::kRadio, "Radio 1", 5000, 501, 30, ""});
    testsupport::LinkedOptions options;
    options.clock = clock;
    options.lineup = lineup;
    options.channel = {sim::kTv, svcNum};
    options.powerOn = false;
    auto rx = testsupport::linkedReceiver(dir.path(), options);
    int64_t t0 = 0;
    sim::parseLocalTime(clock.substr(0, 10) + " 00:00", t0);
    for (int ch = 0; ch < channels; ++ch) {
        std::vector<sim::GuideEvent> events;
        for (int h = 0; h < 48; ++h)
            events.push_back({t0 + h * 3600000LL, t0 + (h + 1) * 3600000LL, uint16_t(h + 1),
                              "Show " + std::to_string(h) + " on " + std::to_string(ch), "", ""});
        rx->firmware().epg.setSchedule(sim::kTv, ch, events);
    }
    EXPECT_TRUE(rx->powerOn()) << rx->error();
    return rx;
}

int filledChannels(int channels) {
    int n = 0;
    for (int ch = 0; ch < channels; ++ch)
        n += max_Event[ch] > 0;
    return n;
}

// The channels the plug-in tuned, in order.
std::vector<int> tunedByPlugIn(sim::Receiver &rx) {
    std::vector<int> out;
    for (const sim::Tuning &t : rx.firmware().channels.tunings())
        if (t.source == sim::TuneSource::PlugIn)
            out.push_back(t.channel.svcNum);
    return out;
}

}  // namespace

// --- Background filling ---

TEST(BackgroundFilling, FillsEveryChannelWithinTwiceTheIntervalPerChannel) {
    TempDir dir;
    auto rx = start(dir, "2026-12-07 20:00", 16);
    ASSERT_EQ(settings.scan_interval, 2);   // one channel in channel order every 4 seconds
    rx->advance(40000);
    int early = filledChannels(16);
    EXPECT_GE(early, 10);
    EXPECT_LT(early, 16);                   // one at a time, not all at once
    rx->advance(26000);                     // 16 channels x 4 seconds, and a little
    EXPECT_EQ(filledChannels(16), 16);
    EXPECT_TRUE(tunedByPlugIn(*rx).empty());   // filling never switches channels
}

TEST(BackgroundFilling, IsOffAtInterval61AndWhileTheViewsShow) {
    {
        TempDir dir;
        auto rx = start(dir, "2026-12-07 20:00", 8);
        settings.scan_interval = 61;
        long before = rx->firmware().epg.requests();
        rx->advance(30000);
        EXPECT_EQ(rx->firmware().epg.requests(), before);
        EXPECT_EQ(filledChannels(8), 0);
    }
    {
        TempDir dir;
        auto rx = start(dir, "2026-12-07 20:00", 8);
        rx->pressKey(RKEY_Guide);
        ASSERT_EQ(_epgShow, 1);
        long before = rx->firmware().epg.requests();
        rx->advance(30000);
        EXPECT_EQ(rx->firmware().epg.requests(), before);
    }
}

// --- The automatic scan ---

TEST(NightlyScan, StartsAtTheWindowOnChannelZeroWalksSavesAndEndsOnChannelZero) {
    TempDir dir;
    auto rx = start(dir, "2026-12-08 02:58:30", 40);
    settings.scan_max_channels = 10;
    settings.scan_time_per_channel = 3;
    settings.export_after_scan = 3;
    settings.now_first_channel = 0;   // the Now view's page follows the scan from row 0
    rx->advance(85000);
    EXPECT_EQ(_epgShow, 0);   // not before the window opens
    EXPECT_EQ(scan_mode, 0);
    rx->advance(10000);       // 03:00:05
    ASSERT_EQ(_epgShow, 1);
    ASSERT_EQ(scan_mode, 1);

    // The buffer file is written after every channel, before the next is tuned.
    std::string bufferFile = dir.file(BUFFER_FILE_NAME);
    size_t seen = 0;
    for (int s = 0; s < 120 && _epgShow == 1; ++s) {
        rx->advance(250);
        std::vector<int> tuned = tunedByPlugIn(*rx);
        if (tuned.size() > seen) {
            EXPECT_TRUE(rx->firmware().disk.exists(BUFFER_FILE_NAME)) << "before tuning " << tuned.back();
            std::remove(bufferFile.c_str());
            seen = tuned.size();
        }
    }
    EXPECT_EQ(tunedByPlugIn(*rx), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 0}));
    EXPECT_EQ(_epgShow, 0);
    EXPECT_EQ(autorefresh, 0);
    EXPECT_EQ(rx->firmware().channels.current().svcNum, 0);
    EXPECT_EQ(rx->firmware().system.display(), sim::Display::Firmware);
    EXPECT_EQ(filledChannels(10), 10);
    // The exports asked for ran at the end (seen once the exporter writes its files).
    if (!rx->firmware().disk.exists("Diro_ROD.Export.CSV")) {
        ExportCSV(0);
        EXPECT_FALSE(rx->firmware().disk.exists("Diro_ROD.Export.CSV")) << "the scan did not export";
    }

    // Once a night: the rest of the window passes without another scan.
    rx->advance(5 * 60000);
    EXPECT_EQ(tunedByPlugIn(*rx).size(), 10u);
    rx->advance(1000);
    rx->idle();
    rx->advance(2000);
    EXPECT_LE(settings.scan_state, 0);
}

TEST(ScanState, AScanAskedForStartsFromTheTunedChannelAndEndsOnChannelZero) {
    TempDir dir;
    auto rx = start(dir, "2026-12-07 20:00", 20, 5);
    settings.scan_max_channels = 10;
    settings.scan_time_per_channel = 3;
    settings.view = 0;
    settings.scan_state = 1;
    rx->advance(6000);
    ASSERT_EQ(_epgShow, 1);
    EXPECT_EQ(settings.scan_state, 2);
    rx->advance(60000);
    EXPECT_EQ(tunedByPlugIn(*rx), (std::vector<int>{6, 7, 8, 9, 0}));
    EXPECT_EQ(_epgShow, 0);
    rx->advance(3000);
    EXPECT_EQ(settings.scan_state, 0);   // nothing left to resume
}

TEST(ScanState, AScanFromTheHiddenViewsStartsFromTheTopOfAClearedView) {
    TempDir dir;
    auto rx = start(dir, "2026-12-07 20:00", 20, 2);
    settings.scan_max_channels = 10;
    settings.scan_time_per_channel = 3;
    search_mode = 1;   // left over from the last time the views were open
    cursor = 6;
    settings.view = 0;
    settings.scan_state = 1;
    rx->advance(6000);
    ASSERT_EQ(_epgShow, 1);
    EXPECT_EQ(search_mode, 0);
    EXPECT_EQ(cursor, 0);
    rx->advance(6000);
    ASSERT_FALSE(tunedByPlugIn(*rx).empty());
    EXPECT_EQ(tunedByPlugIn(*rx).front(), 3);   // the next channel, none skipped
}

// --- The user's refresh ---

TEST(UserRefresh, FillsEachChannelAfterTwelveSecondsInMemoryOnly) {
    TempDir dir;
    auto rx = start(dir, "2026-12-07 20:00", 20);
    settings.scan_interval = 61;   // no background filling to muddle the count
    rx->pressKey(RKEY_Guide);
    rx->pressKey(RKEY_Right);
    rx->pressKey(RKEY_Right);
    rx->pressKey(RKEY_Play);
    ASSERT_EQ(tunedByPlugIn(*rx), (std::vector<int>{2}));
    rx->advance(5000);
    EXPECT_TRUE(rx->screen().shows("sec"));
    rx->advance(7500);
    EXPECT_EQ(tunedByPlugIn(*rx).size(), 1u);
    rx->advance(1000);   // the channel was tuned 13 seconds ago: filled
    EXPECT_EQ(tunedByPlugIn(*rx), (std::vector<int>{2, 3}));
    EXPECT_GT(max_Event[2], 0);
    rx->advance(11000);
    EXPECT_EQ(tunedByPlugIn(*rx).size(), 2u);
    rx->advance(1000);   // the next ones take 12 seconds each
    EXPECT_EQ(tunedByPlugIn(*rx), (std::vector<int>{2, 3, 4}));
    EXPECT_FALSE(rx->firmware().disk.exists(BUFFER_FILE_NAME));
    EXPECT_EQ(_epgShow, 1);
}

// --- Remote polling ---

TEST(RemotePolling, EveryThirtyMinutesPollsAtMinutesZeroAndThirtyOnceEach) {
    TempDir dir;
    auto rx = start(dir, "2026-12-07 19:58", 4);
    settings.remote_mode = 30;
    std::vector<int> polls;
    int last = remote_min;
    for (int s = 0; s < 65 * 60; ++s) {
        rx->advance(1000);
        if (remote_min != last) {
            polls.push_back(remote_min);
            last = remote_min;
        }
    }
    EXPECT_EQ(polls, (std::vector<int>{20 * 60, 20 * 60 + 30, 21 * 60}));
}

// --- Deferred duties ---

TEST(DeferredDuties, RequestedSavesHappenWithinASecond) {
    TempDir dir;
    auto rx = start(dir, "2026-12-07 20:00", 4);
    settings.save_settings_request = 1;
    settings.save_buffer_request = 1;
    rx->advance(1100);
    EXPECT_EQ(settings.save_settings_request, 0);
    EXPECT_EQ(settings.save_buffer_request, 0);
    EXPECT_TRUE(rx->firmware().disk.exists(BUFFER_FILE_NAME));
    std::string file = testsupport::readFile(dir.file(SETTINGS_FILE_NAME));
    ASSERT_EQ(file.size(), size_t(SETTINGS_BYTES));
    EXPECT_EQ(file[224], 0);   // the request is not carried into the next start
}

// --- Messages of the idle duties ---

TEST(StartUpSearch, WithoutResultsNoMessageShows) {
    TempDir dir;
    auto rx = start(dir, "2026-12-07 20:00", 4);
    settings.interest_msg = 4;
    search_start = 30;
    int hides = rx->firmware().system.exitNormalCalls();
    rx->advance(200);
    EXPECT_EQ(search_start, 0);
    EXPECT_EQ(rx->firmware().system.exitNormalCalls(), hides);
}

// --- A message over the views ---

TEST(MessageOverViews, TheViewsComeBackWhereTheUserMovedWhileTheRemoteMessagesStood) {
    TempDir dir;
    auto rx = start(dir, "2026-12-07 20:00", 10);
    settings.first_button_view = 2;   // the Normal view
    for (int i = 0; i < 2 && _epgShow == 0; ++i)
        rx->pressKey(RKEY_Guide);
    ASSERT_EQ(_epgShow, 1);
    rx->pressKey(RKEY_Help);          // saves the position (row 0) for the help page
    rx->pressKey(RKEY_Help);
    rx->pressKey(RKEY_Down);
    rx->pressKey(RKEY_Down);
    ASSERT_EQ(cursor, 2);
    RemoteMsg = 1;                    // a command file is done: "Remote Commands complete!"
    rx->advance(1000);
    EXPECT_EQ(RemoteMsg, 0);
    EXPECT_EQ(cursor, 2);
    EXPECT_TRUE(rx->screen().shows(" Show 22 on 0"));
    rx->pressKey(RKEY_Down);
    MsgCountdown = 2;                 // a refused timer of the queue
    rx->advance(3000);
    EXPECT_EQ(MsgCountdown, 0);
    EXPECT_EQ(cursor, 3);
}

TEST(StartUpSearch, TheMessageGoesAfterItsSecondsWithTheClockAlwaysOn) {
    TempDir dir;
    auto rx = start(dir, "2026-12-07 20:00", 4);
    settings.clock_button = 2;   // the extra clock always on
    search_start = START_SEARCH_SHOWS;
    rx->advance(10000);
    EXPECT_GT(search_start, 0);
    EXPECT_FALSE(rx->screen().shows("20:00"));   // no clock over the message
    rx->advance(12000);
    EXPECT_EQ(search_start, 0);
    EXPECT_EQ(rx->firmware().system.display(), sim::Display::Firmware);
    rx->advance(2000);
    EXPECT_TRUE(rx->screen().shows("20:00"));    // then the clock comes back
}
