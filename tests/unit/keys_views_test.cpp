// The key table in the Normal and Now views, with the plug-in linked in and driven by keys.
//   - NormalView*: channels, rows and digits of the event list
//   - NowView*: rows of channels, the loop modes, the views by right
//   - ChosenTime*: quarter hours and prime time
//   - ViewKeys*: OK, Red, PLAY, |>
//   - EpgButtonPath*: the EPG buttons inside the views
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "epgdb/buffer.h"
#include "epgdb/bufferfile.h"
#include "epgdb/fill.h"
#include "frame/idle.h"
#include "frame/state.h"
#include "search/editor.h"
#include "search/entries.h"
#include "settings/settings.h"
#include "sim/clock.h"
#include "tests/support/support.h"
#include "views/info.h"

using testsupport::TempDir;

namespace {

std::vector<sim::Channel> tvChannels(int n) {
    std::vector<sim::Channel> out;
    for (int i = 0; i < n; ++i)
        out.push_back({sim::kTv, "TV " + std::to_string(i + 1), 1000 + i, i + 1, 1 + i / 8, ""});
    out.push_back({sim::kRadio, "Radio 1", 5000, 501, 30, ""});
    return out;
}

struct Start {
    std::string clock = "2026-12-07 20:00";
    int channels = 40;
    std::vector<std::pair<int, int32_t>> words;   // settings file words; none: no file
};

std::unique_ptr<sim::Receiver> start(const TempDir &dir, const Start &s = {}) {
    if (!s.words.empty()) {
        std::string image = testsupport::settingsImage({});
        for (const auto &w : s.words)
            for (int b = 0; b < 4; ++b)
                image[size_t(w.first + b)] = char((uint32_t(w.second) >> (8 * b)) & 0xFF);
        testsupport::writeFile(dir.file(SETTINGS_FILE_NAME), image);
    }
    testsupport::LinkedOptions options;
    options.clock = s.clock;
    options.lineup = tvChannels(s.channels);
    return testsupport::linkedReceiver(dir.path(), options);
}

// The Normal view opens on Guide, the Now view on OK (the default buttons). A press within the
// key window of an earlier key goes to the firmware and closes the window, hence two tries.
void openNormal(sim::Receiver &rx) {
    for (int i = 0; i < 2 && _epgShow == 0; ++i)
        rx.pressKey(RKEY_Guide);
    ASSERT_EQ(_epgShow, 1);
    ASSERT_EQ(settings.view, 0);
}
void openNow(sim::Receiver &rx) {
    for (int i = 0; i < 2 && _epgShow == 0; ++i)
        rx.pressKey(RKEY_Ok);
    ASSERT_EQ(_epgShow, 1);
    ASSERT_EQ(settings.view, 1);
}

void press(sim::Receiver &rx, uint32_t key, int times) {
    for (int i = 0; i < times; ++i)
        rx.pressKey(key);
}

// The last channel the plug-in tuned, -1 none.
int lastTunedByPlugIn(sim::Receiver &rx) {
    const auto &t = rx.firmware().channels.tunings();
    for (auto it = t.rbegin(); it != t.rend(); ++it)
        if (it->source == sim::TuneSource::PlugIn)
            return it->channel.svcNum;
    return -1;
}

// n one-hour events from 20:00 on (the start of every test) for a TV channel, filled into its slot.
void bufferEvents(sim::Receiver &rx, int channel, int n) {
    int64_t t0 = sim::Clock::fromCivil({2026, 12, 7, 20, 0, 0});
    std::vector<sim::GuideEvent> events;
    for (int i = 0; i < n; ++i)
        events.push_back({t0 + i * 3600000LL, t0 + (i + 1) * 3600000LL, uint16_t(i + 1),
                          "Show " + std::to_string(i) + " on " + std::to_string(channel), "Info", ""});
    rx.firmware().epg.setSchedule(sim::kTv, channel, events);
    FillBuffer(SVC_TYPE_Tv, channel);
}

}  // namespace

// --- Normal view ---

TEST(NormalView, LeftOnChannelZeroGoesToTheLastChannelAndRightOnTheLastToZero) {
    TempDir dir;
    auto rx = start(dir);
    openNormal(*rx);
    ASSERT_EQ(_svcNum, 0);
    cursor = 3;
    ListOffset = 5;
    rx->pressKey(RKEY_Left);
    EXPECT_EQ(_svcNum, 39);
    EXPECT_EQ(cursor, 0);
    EXPECT_EQ(ListOffset, 0);
    rx->pressKey(RKEY_Right);
    EXPECT_EQ(_svcNum, 0);
    rx->pressKey(RKEY_Right);
    EXPECT_EQ(_svcNum, 1);
    _svcNum = 55;   // beyond the list (the list shrank meanwhile)
    rx->pressKey(RKEY_Left);
    EXPECT_EQ(_svcNum, 39);
    _svcNum = 55;
    rx->pressKey(RKEY_Right);
    EXPECT_EQ(_svcNum, 0);
}

TEST(NormalView, DownStopsAtTheLastEventAndScrollsFromTheLastRow) {
    TempDir dir;
    auto rx = start(dir);
    bufferEvents(*rx, 0, 4);
    ASSERT_EQ(max_Event[0], 4);
    openNormal(*rx);
    ListOffset = 0;
    cursor = 0;
    press(*rx, RKEY_Down, 6);
    EXPECT_EQ(cursor, 3);   // the last event's row
    EXPECT_EQ(ListOffset, 0);
    press(*rx, RKEY_Up, 3);
    EXPECT_EQ(cursor, 0);
    rx->pressKey(RKEY_Up);   // on the first event: nothing
    EXPECT_EQ(cursor, 0);
    EXPECT_EQ(ListOffset, 0);
    // On the page's last selectable row down scrolls; with the info bar that row is higher.
    bufferEvents(*rx, 0, 30);
    ASSERT_EQ(max_Event[0], 30);
    cursor = 9;
    rx->pressKey(RKEY_Down);
    EXPECT_EQ(ListOffset, 1);
    EXPECT_EQ(cursor, 9);
    rx->pressKey(RKEY_Up);
    EXPECT_EQ(cursor, 8);
    rx->pressKey(RKEY_Info);   // the info bar of two rows (the default)
    ASSERT_EQ(blocked_lines, 2);
    cursor = 7;
    ListOffset = 0;
    rx->pressKey(RKEY_Down);
    EXPECT_EQ(ListOffset, 1);
    EXPECT_EQ(cursor, 7);
}

TEST(NormalView, DigitsFourThenTwoWithinTheWindowSelectChannel42) {
    TempDir dir;
    Start s;
    s.channels = 50;
    auto rx = start(dir, s);
    openNormal(*rx);
    rx->pressKey(RKEY_4);
    EXPECT_EQ(_svcNum, 3);
    EXPECT_EQ(countdown, 3);
    rx->advance(1500);
    rx->pressKey(RKEY_2);
    EXPECT_EQ(_svcNum, 41);
    EXPECT_EQ(cursor, 0);
    // A number beyond the list starts again with the digit alone.
    rx->pressKey(RKEY_7);
    EXPECT_EQ(_svcNum, 6);
    // The window lasts its three seconds, wherever in the clock's second the digit came.
    rx->advance(4700);   // past the window, late in a second
    rx->pressKey(RKEY_1);
    rx->advance(2500);
    rx->pressKey(RKEY_2);
    EXPECT_EQ(_svcNum, 11);
    rx->advance(3100);
    rx->pressKey(RKEY_3);
    EXPECT_EQ(_svcNum, 2);
    // Another key in between ends the window.
    rx->pressKey(RKEY_4);
    rx->pressKey(RKEY_Down);
    rx->pressKey(RKEY_2);
    EXPECT_EQ(_svcNum, 1);
    // 0 alone selects nothing.
    rx->pressKey(RKEY_Down);
    rx->pressKey(RKEY_0);
    EXPECT_EQ(_svcNum, 1);
}

// --- Now view ---

TEST(NowView, DownWalksTheCursorToRowNineThenScrollsAndStopsAtTheLastChannel) {
    TempDir dir;
    auto rx = start(dir);
    openNow(*rx);
    press(*rx, RKEY_Down, 9);
    EXPECT_EQ(cursor, 9);
    EXPECT_EQ(_svcNum, 0);
    rx->pressKey(RKEY_Down);
    EXPECT_EQ(cursor, 9);
    EXPECT_EQ(_svcNum, 1);
    press(*rx, RKEY_Down, 40);
    EXPECT_EQ(_svcNum + cursor, 39);
    // The info bar takes rows: the cursor stops higher.
    _svcNum = 0;
    cursor = 0;
    rx->pressKey(RKEY_Info);   // the info bar of two rows (the default)
    ASSERT_EQ(blocked_lines, 2);
    press(*rx, RKEY_Down, 9);
    EXPECT_EQ(cursor, 7);
    EXPECT_EQ(_svcNum, 2);
}

TEST(NowView, UpOnTheFirstChannelWrapsToTheLastPageInTheLoopModes) {
    TempDir dir;
    Start s;
    s.words = {{96, 2}};   // loop over the scanned channels (all 40 here)
    auto rx = start(dir, s);
    openNow(*rx);
    rx->pressKey(RKEY_Up);
    EXPECT_EQ(_svcNum, 30);
    EXPECT_EQ(cursor, 9);
    rx->pressKey(RKEY_Down);
    EXPECT_EQ(_svcNum, 0);
    EXPECT_EQ(cursor, 0);
    settings.show_scanned_only = 0;   // without looping the first channel stays
    rx->pressKey(RKEY_Up);
    EXPECT_EQ(_svcNum, 0);
    EXPECT_EQ(cursor, 0);
}

TEST(NowView, ShorterThanAPageTheLoopStillWrapsToTheLastChannel) {
    TempDir dir;
    Start s;
    s.channels = 6;
    s.words = {{96, 4}};   // loop over the buffered channels: all six
    auto rx = start(dir, s);
    openNow(*rx);
    rx->pressKey(RKEY_Up);
    EXPECT_EQ(_svcNum, 0);
    EXPECT_EQ(cursor, 5);
    rx->pressKey(RKEY_Down);
    EXPECT_EQ(cursor, 0);
    rx->pressKey(RKEY_Rewind);   // a page back from channel 0 as well
    EXPECT_EQ(_svcNum + cursor, 5);
}

TEST(NowView, RightStopsAtViewSixUnlessFollowingEventsAreChosen) {
    TempDir dir;
    auto rx = start(dir);
    openNow(*rx);
    press(*rx, RKEY_Right, 10);
    EXPECT_EQ(settings.view, 6);
    settings.now_next_mode = 1;
    press(*rx, RKEY_Right, 10);
    EXPECT_EQ(settings.view, 16);
    settings.view = 499;
    rx->pressKey(RKEY_Right);
    EXPECT_EQ(settings.view, 499);
}

// --- The chosen time ---

TEST(ChosenTime, PrimeTimeRepeatedlyMovesOneDayOn) {
    TempDir dir;
    auto rx = start(dir);
    openNow(*rx);
    word today = time_mjd;
    rx->pressKey(RKEY_Sleep);
    EXPECT_EQ(timeline_mode, 1);
    EXPECT_EQ(temp_mjd, today);
    EXPECT_EQ(temp_h * 60 + temp_min, settings.prime_time);
    rx->pressKey(RKEY_Sleep);
    EXPECT_EQ(temp_mjd, today + 1);
    rx->pressKey(RKEY_Sleep);
    EXPECT_EQ(temp_mjd, today + 2);
    EXPECT_EQ(temp_h * 60 + temp_min, settings.prime_time);
    // Another time: back to today's prime time.
    temp_h = 9;
    rx->pressKey(RKEY_Sleep);
    EXPECT_EQ(temp_mjd, today);
}

TEST(ChosenTime, NextAtTenToMidnightMovesToMidnightOfTheNextDay) {
    TempDir dir;
    Start s;
    s.clock = "2026-12-07 23:50";
    auto rx = start(dir, s);
    openNow(*rx);
    timeline_mode = 1;
    temp_mjd = time_mjd;
    temp_h = 23;
    temp_min = 50;
    rx->pressKey(RKEY_Next);
    EXPECT_EQ(temp_mjd, time_mjd + 1);
    EXPECT_EQ(temp_h, 0);
    EXPECT_EQ(temp_min, 0);
    rx->pressKey(RKEY_Prev);
    EXPECT_EQ(temp_mjd, time_mjd);
    EXPECT_EQ(temp_h, 23);
    EXPECT_EQ(temp_min, 45);
}

// --- View keys ---

TEST(ViewKeys, OkTunesTheSelectedRowsChannelAndClosesTheViews) {
    TempDir dir;
    auto rx = start(dir);
    openNow(*rx);
    _svcNum = 10;
    press(*rx, RKEY_Down, 3);
    ASSERT_EQ(cursor, 3);
    EXPECT_EQ(rx->pressKey(RKEY_Ok), 0u);
    EXPECT_EQ(lastTunedByPlugIn(*rx), 13);
    EXPECT_EQ(rx->firmware().channels.current().svcNum, 13);
    EXPECT_EQ(_epgShow, 0);
    EXPECT_EQ(rx->firmware().system.display(), sim::Display::Firmware);
}

TEST(ViewKeys, RedSavesTheViewInUseAndTheFilesThenCloses) {
    TempDir dir;
    auto rx = start(dir);
    openNow(*rx);
    press(*rx, RKEY_Right, 2);
    ASSERT_EQ(settings.view, 3);
    rx->pressKey(RKEY_Red);
    EXPECT_EQ(_epgShow, 0);
    EXPECT_EQ(saved_view, 3);
    EXPECT_TRUE(rx->firmware().disk.exists(SETTINGS_FILE_NAME));
    EXPECT_TRUE(rx->firmware().disk.exists(BUFFER_FILE_NAME));
    std::string file = testsupport::readFile(dir.file(SETTINGS_FILE_NAME));
    ASSERT_EQ(file.size(), size_t(SETTINGS_BYTES));
    EXPECT_EQ(file[60], 3);   // the view is stored as the default
}

TEST(ViewKeys, PlayRefreshesTheSelectedChannelFirst) {
    TempDir dir;
    auto rx = start(dir);
    openNow(*rx);
    press(*rx, RKEY_Down, 4);
    rx->pressKey(RKEY_Play);
    EXPECT_EQ(autorefresh, 13);
    EXPECT_EQ(scan_mode, 0);
    EXPECT_EQ(lastTunedByPlugIn(*rx), 4);
    EXPECT_EQ(fill_idx, 4);
    EXPECT_EQ(fill_idx2, 4);
}

TEST(ViewKeys, SearchKeyPutsTheSelectedTitleIntoTheSearchList) {
    TempDir dir;
    auto rx = start(dir);
    bufferEvents(*rx, 0, 5);
    openNormal(*rx);
    ListOffset = 1;
    cursor = 2;
    rx->pressKey(RKEY_Slow);
    EXPECT_EQ(search_mode, 1);
    EXPECT_STREQ(Search[SEARCH_WORKING].word, "Show 3 on 0");
    EXPECT_STREQ(_strBuf2, "Show 3 on 0");
    EXPECT_EQ(Search[SEARCH_WORKING].weekdays, 9);
    EXPECT_EQ(Search[SEARCH_WORKING].first_place, 1);
    EXPECT_EQ(search_idx, SEARCH_WORKING);
    EXPECT_EQ(cursor, 0);
    EXPECT_EQ(cursor_store, 2);   // the view comes back where it was
    rx->pressKey(RKEY_Slow);      // closes the list again
    EXPECT_EQ(search_mode, 0);
    // A row without an event gives "???".
    ListOffset = 7;
    rx->pressKey(RKEY_Slow);
    EXPECT_STREQ(Search[SEARCH_WORKING].word, "???");
}

// --- The EPG buttons inside the views ---

TEST(EpgButtonPath, GuideStarClosesTheViewsOnTheSelectedChannelAndPassesGuide) {
    TempDir dir;
    Start s;
    s.words = {{124, 14}};   // first button "  Guide*"
    auto rx = start(dir, s);
    rx->pressKey(RKEY_Guide);
    ASSERT_EQ(_epgShow, 1);
    rx->pressKey(RKEY_Teletext);   // the Now view
    _svcNum = 20;
    press(*rx, RKEY_Down, 2);
    EXPECT_EQ(rx->pressKey(RKEY_Guide), uint32_t(RKEY_Guide));
    EXPECT_EQ(_epgShow, 0);
    EXPECT_EQ(lastTunedByPlugIn(*rx), 22);
    EXPECT_EQ(rx->passedKeys().back().code, uint32_t(RKEY_Guide));
}

TEST(EpgButtonPath, TheOpeningButtonClosesTheViewsAndOtherKeysDoNothing) {
    TempDir dir;
    auto rx = start(dir);
    openNormal(*rx);
    EXPECT_EQ(rx->pressKey(RKEY_Mute), 0u);
    EXPECT_EQ(rx->pressKey(RKEY_Pause), 0u);
    EXPECT_EQ(_epgShow, 1);
    EXPECT_EQ(rx->pressKey(RKEY_Guide), 0u);
    EXPECT_EQ(_epgShow, 0);
    EXPECT_TRUE(rx->passedKeys().empty());
}

// --- The default view changed in the settings menu ---

TEST(ViewKeys, TheDefaultViewChangedInTheMenuShowsTheSelectedChannelInTheOtherView) {
    TempDir dir;
    auto rx = start(dir);
    bufferEvents(*rx, 3, 6);
    openNow(*rx);
    press(*rx, RKEY_Down, 3);
    ASSERT_EQ(_svcNum + cursor, 3);
    rx->pressKey(RKEY_Menu);
    press(*rx, RKEY_Down, 16);   // row 17, the default view
    rx->pressKey(RKEY_Left);
    rx->pressKey(RKEY_Menu);
    ASSERT_EQ(menu, 0);
    EXPECT_EQ(settings.view, 0);
    EXPECT_EQ(_svcNum, 3);
    EXPECT_EQ(cursor, 0);
    EXPECT_EQ(ListOffset, currEvent[3]);   // the running event
    EXPECT_TRUE(rx->screen().shows("4. TV 4"));
    // And back: the Now view's selected row is the Normal view's channel.
    press(*rx, RKEY_Down, 2);
    rx->pressKey(RKEY_Menu);
    press(*rx, RKEY_Down, 16);
    rx->pressKey(RKEY_Right);
    rx->pressKey(RKEY_Menu);
    EXPECT_EQ(settings.view, 1);
    EXPECT_EQ(_svcNum + cursor, 3);
}
