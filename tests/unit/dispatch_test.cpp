// Who owns a key: the firmware, the TV state or the open views, with the plug-in linked in.
//   - PassedOn*: keys the firmware keeps (other states, other codes, the EPG-button window)
//   - FreeDiskMessage*: the start-up message eats keys; OK, EXIT, MENU or 20 seconds remove it
//   - ClockKey*, EpgButtonInTvState*: the TV state's own keys and how the views open
//   - Refresh*: a key during a refresh or a scan, and the firmware leaving normal viewing
//   - MessageInTheViews*: a key ends a message that stands over the views
//   - SettingsMenu*, Exit*, Keyboard*: the layers of the open views (EXIT one level at a time)
//   - Stop*, DeleteFiles*: the two ends of the plug-in
//   - KeyRepeat*: the held-key measure of the editors
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "epgdb/buffer.h"
#include "epgdb/bufferfile.h"
#include "frame/epgkeys.h"
#include "frame/idle.h"
#include "frame/msgbox.h"
#include "frame/state.h"
#include "search/editor.h"
#include "search/entries.h"
#include "search/keyboard.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "tests/support/support.h"

using testsupport::TempDir;

namespace {

struct Start {
    std::string clock = "2026-12-07 20:00";
    uint32_t freeMb = 500000;
    std::vector<std::pair<int, int32_t>> words;   // settings file words (byte offset, value); none: no file
    int svcNum = 0;
};

// A settings file image with the given words set, all others unset.
std::string settingsFile(const std::vector<std::pair<int, int32_t>> &words) {
    std::string image = testsupport::settingsImage({});
    for (const auto &w : words)
        for (int b = 0; b < 4; ++b)
            image[size_t(w.first + b)] = char((uint32_t(w.second) >> (8 * b)) & 0xFF);
    return image;
}

std::unique_ptr<sim::Receiver> start(const TempDir &dir, const Start &s = {}) {
    if (!s.words.empty())
        testsupport::writeFile(dir.file(SETTINGS_FILE_NAME), settingsFile(s.words));
    testsupport::LinkedOptions options;
    options.clock = s.clock;
    options.freeMb = s.freeMb;
    options.channel = {sim::kTv, s.svcNum};
    return testsupport::linkedReceiver(dir.path(), options);
}

bool passed(sim::Receiver &rx, uint32_t key) {
    return !rx.passedKeys().empty() && rx.passedKeys().back().code == key;
}

const char kFreeDisk[] = "There is 100 MB free on the hard disk!";

// A receiver whose start-up shows the free-disk message: 100 MB free, a warning below 1 GB.
std::unique_ptr<sim::Receiver> startWithDiskMessage(const TempDir &dir) {
    Start s;
    s.freeMb = 100;
    s.words = {{24, 1}};
    return start(dir, s);
}

// Presses an EPG button until the views open: a press within the key window of an earlier key
// goes to the firmware and closes the window.
void openViews(sim::Receiver &rx, uint32_t button = RKEY_Guide) {
    for (int i = 0; i < 2 && _epgShow == 0; ++i)
        rx.pressKey(button);
    ASSERT_EQ(_epgShow, 1);
}

}  // namespace

// --- Keys the firmware keeps ---

TEST(PassedOn, SecondEpgPressWithinFourSecondsOfAnotherKeyReachesTheFirmware) {
    TempDir dir;
    auto rx = start(dir);
    EXPECT_EQ(rx->pressKey(RKEY_Up), uint32_t(RKEY_Up));
    // The window counts down once a second from the first idle event after the key.
    rx->advance(2500);
    EXPECT_EQ(rx->pressKey(RKEY_Guide), uint32_t(RKEY_Guide));
    EXPECT_EQ(_epgShow, 0);
    EXPECT_TRUE(passed(*rx, RKEY_Guide));
    // The press that went on closed the window: the next press opens the views.
    EXPECT_EQ(rx->pressKey(RKEY_Guide), 0u);
    EXPECT_EQ(_epgShow, 1);
    EXPECT_EQ(rx->firmware().system.display(), sim::Display::PlugIn);
}

TEST(PassedOn, TheKeyWindowLastsItsFourSecondsWhateverTheClocksSecond) {
    TempDir dir;
    auto rx = start(dir);
    // A key late in a second: counted by the clock's seconds the window lost one at once.
    rx->advance(900);
    EXPECT_EQ(rx->pressKey(RKEY_Up), uint32_t(RKEY_Up));
    rx->advance(3500);
    EXPECT_EQ(rx->pressKey(RKEY_Guide), uint32_t(RKEY_Guide)) << "3.5 s after another key";
    EXPECT_EQ(_epgShow, 0);
    rx->pressKey(RKEY_Up);
    rx->advance(4100);
    EXPECT_EQ(rx->pressKey(RKEY_Guide), 0u) << "4.1 s after another key";
    EXPECT_EQ(_epgShow, 1);
}

TEST(PassedOn, KeysInAnotherFirmwareStateGoOnUnchanged) {
    TempDir dir;
    auto rx = start(dir);
    rx->setState(0, 5);   // a firmware menu
    EXPECT_EQ(rx->pressKey(RKEY_Guide), uint32_t(RKEY_Guide));
    EXPECT_EQ(_epgShow, 0);
    rx->setState(2, 31);  // not the normal main state: not even looked at
    EXPECT_EQ(rx->pressKey(RKEY_Ok), uint32_t(RKEY_Ok));
    EXPECT_EQ(_epgShow, 0);

    // With the views open a key in another main state goes on as well and changes nothing.
    rx->setState(0, 31);
    openViews(*rx);
    rx->setState(1, 31);
    EXPECT_EQ(rx->pressKey(RKEY_Exit), uint32_t(RKEY_Exit));
    EXPECT_EQ(_epgShow, 1);
    // Codes the plug-in has no use for go on in any state.
    rx->setState(0, 31);
    EXPECT_EQ(rx->pressKey(0x10030), 0x10030u);
    EXPECT_EQ(_epgShow, 1);
}

// --- The free-disk message ---

TEST(FreeDiskMessage, EveryKeyIsConsumedAndOnlyOkExitOrMenuRemoveIt) {
    for (uint32_t remover : {RKEY_Ok, RKEY_Exit, RKEY_Menu}) {
        TempDir dir;
        auto rx = startWithDiskMessage(dir);
        ASSERT_TRUE(rx->screen().shows(kFreeDisk));
        for (uint32_t key : {RKEY_Up, RKEY_Guide, RKEY_5, RKEY_Red, RKEY_Info, RKEY_Sleep}) {
            EXPECT_EQ(rx->pressKey(key), 0u) << std::hex << key;
            EXPECT_TRUE(rx->screen().shows(kFreeDisk)) << std::hex << key;
        }
        EXPECT_TRUE(rx->passedKeys().empty());
        EXPECT_EQ(_epgShow, 0);
        EXPECT_EQ(rx->pressKey(remover), 0u);
        EXPECT_FALSE(rx->screen().shows(kFreeDisk));
        EXPECT_EQ(MsgCountdown, 0);
        EXPECT_EQ(freesize_msg, 0);
        EXPECT_EQ(rx->firmware().system.display(), sim::Display::Firmware);
        // Now keys behave as ever: the EPG button opens the views.
        EXPECT_EQ(rx->pressKey(RKEY_Guide), 0u);
        EXPECT_EQ(_epgShow, 1);
        rx->pressKey(RKEY_Exit);   // the next receiver starts with the views closed
    }
}

TEST(FreeDiskMessage, GoesAfterTwentySecondsAndIsRedrawnEveryOtherSecond) {
    TempDir dir;
    auto rx = startWithDiskMessage(dir);
    int hides = rx->firmware().system.exitNormalCalls();
    rx->advance(18500);
    EXPECT_TRUE(rx->screen().shows(kFreeDisk));
    rx->advance(2000);
    EXPECT_FALSE(rx->screen().shows(kFreeDisk));
    EXPECT_EQ(MsgCountdown, 0);
    EXPECT_EQ(freesize_msg, 0);
    // Drawn again at the counts 18, 16, ..., 2.
    EXPECT_EQ(rx->firmware().system.exitNormalCalls() - hides, 9);
    EXPECT_EQ(rx->firmware().system.display(), sim::Display::Firmware);
}

TEST(FreeDiskMessage, DismissingItKeepsTheStartUpSearchAnnouncementDue) {
    TempDir dir;
    auto rx = startWithDiskMessage(dir);
    ASSERT_TRUE(rx->screen().shows(kFreeDisk));
    search_start = START_SEARCH_DUE;   // the announcement waits behind the message
    EXPECT_EQ(rx->pressKey(RKEY_Ok), 0u);
    EXPECT_FALSE(rx->screen().shows(kFreeDisk));
    EXPECT_EQ(search_start, START_SEARCH_DUE);

    // In TV-only mode a radio channel takes every message away, the announcement too.
    settings.tv_only = 1;
    MsgCountdown = 5;
    rx->tune(sim::kRadio, 0);
    EXPECT_EQ(rx->pressKey(RKEY_Up), uint32_t(RKEY_Up));
    EXPECT_EQ(MsgCountdown, 0);
    EXPECT_EQ(search_start, 0);
}

// --- The TV state's own keys ---

TEST(ClockKey, SwitchesTheExtraClockAndAQuickSecondPressIsTheFirmwares) {
    TempDir dir;
    Start s;
    s.words = {{36, 2}};   // the clock on, with seconds
    auto rx = start(dir, s);
    EXPECT_EQ(rx->pressKey(RKEY_Sleep), 0u);
    EXPECT_EQ(settings.clock_button, 1);
    EXPECT_EQ(rx->pressKey(RKEY_Sleep), 0u);
    EXPECT_EQ(settings.clock_button, 2);
    rx->pressKey(RKEY_Up);
    EXPECT_EQ(rx->pressKey(RKEY_Sleep), uint32_t(RKEY_Sleep));
    EXPECT_EQ(settings.clock_button, 2);
    EXPECT_EQ(countdown, 4);
}

TEST(EpgButtonInTvState, SecondButtonThatActsOnlyInTheViewsIsPassedOn) {
    TempDir dir;
    Start s;
    s.words = {{52, 1}, {76, 5}};   // second button Mute, switching views inside them only
    auto rx = start(dir, s);
    ASSERT_EQ(second_EPG_key, uint32_t(RKEY_Mute));
    EXPECT_EQ(rx->pressKey(RKEY_Mute), uint32_t(RKEY_Mute));
    EXPECT_EQ(_epgShow, 0);
    EXPECT_EQ(rx->pressKey(RKEY_Mute), uint32_t(RKEY_Mute));
    EXPECT_EQ(_epgShow, 0);
}

TEST(EpgButtonInTvState, OpeningResetsTheListsAndAppliesTheChannelLimitInTheNowView) {
    TempDir dir;
    Start s;
    s.words = {{96, 1}, {12, 20}};   // show only the 20 scanned channels
    s.svcNum = 30;
    auto rx = start(dir, s);
    search_mode = 1;
    timer_mode = 2;
    menu = 1;
    cursor = 5;
    rx->pressKey(RKEY_Ok);   // the Now view
    EXPECT_EQ(_maxSvcNum, 20);
    EXPECT_EQ(_svcNum, 0);
    EXPECT_EQ(search_mode, 0);
    EXPECT_EQ(timer_mode, 0);
    EXPECT_EQ(menu, 0);
    EXPECT_EQ(cursor, 0);
}

// --- A key during a refresh or a scan ---

TEST(Refresh, AnyKeyDuringTheAutomaticScanAbortsItAndClosesTheViews) {
    TempDir dir;
    Start s;
    s.clock = "2026-12-08 03:30";   // inside the scan window
    auto rx = start(dir, s);
    ASSERT_EQ(scan_mode, 1);
    ASSERT_EQ(_epgShow, 1);
    rx->advance(2000);
    ASSERT_GT(autorefresh, 0);
    EXPECT_EQ(rx->pressKey(RKEY_Down), 0u);
    EXPECT_EQ(_epgShow, 0);
    EXPECT_EQ(autorefresh, 0);
    EXPECT_EQ(scan_mode, 0);
    EXPECT_EQ(rx->firmware().system.display(), sim::Display::Firmware);
    EXPECT_TRUE(rx->passedKeys().empty());
}

TEST(Refresh, AKeyDuringARefreshByTheUserOnlyStopsItAndPlaySwitchesToScanTiming) {
    TempDir dir;
    auto rx = start(dir);
    rx->pressKey(RKEY_Guide);
    rx->pressKey(RKEY_Play);
    ASSERT_EQ(autorefresh, 13);
    rx->advance(1500);
    rx->pressKey(RKEY_Play);
    EXPECT_EQ(scan_mode, 2);
    EXPECT_EQ(autorefresh, settings.scan_time_per_channel + 1);
    EXPECT_EQ(rx->pressKey(RKEY_Down), 0u);
    EXPECT_EQ(autorefresh, 0);
    EXPECT_EQ(_epgShow, 1);
    EXPECT_EQ(cursor, 0);   // the key did nothing else
}

TEST(Refresh, TheFirmwareLeavingNormalViewingEndsItAndGivesTheScreenBack) {
    TempDir dir;
    auto rx = start(dir);
    rx->pressKey(RKEY_Guide);
    rx->pressKey(RKEY_Play);
    rx->advance(1500);
    rx->setState(3, 0);
    rx->advance(200);
    EXPECT_EQ(autorefresh, 0);
    EXPECT_EQ(_epgShow, 0);
    EXPECT_EQ(rx->firmware().system.display(), sim::Display::Firmware);
    EXPECT_FALSE(rx->screen().shows("sec"));
}

// --- Layers of the open views ---

TEST(SettingsMenu, OkOnACommandRowDoesNothingAndOtherKeysAreConsumed) {
    TempDir dir;
    auto rx = start(dir);
    rx->pressKey(RKEY_Guide);
    rx->pressKey(RKEY_Menu);
    ASSERT_EQ(menu, 1);
    for (int i = 0; i < 5; ++i)
        rx->pressKey(RKEY_Forward);
    EXPECT_EQ(ListOffset, 50);
    for (int i = 0; i < 4; ++i)
        rx->pressKey(RKEY_Down);
    ASSERT_EQ(ListOffset + cursor + 1, 55);   // " Create CSV/HTML Export File now"
    EXPECT_EQ(rx->pressKey(RKEY_Ok), 0u);
    EXPECT_EQ(menu, 1);
    for (uint32_t key : {RKEY_Info, RKEY_5, RKEY_Guide})
        EXPECT_EQ(rx->pressKey(key), 0u) << std::hex << key;
    EXPECT_EQ(menu, 1);
    EXPECT_EQ(_epgShow, 1);
    // On a setting row OK closes the menu.
    rx->pressKey(RKEY_Up);
    rx->pressKey(RKEY_Ok);
    EXPECT_EQ(menu, 0);
    EXPECT_EQ(_epgShow, 1);
}

TEST(SettingsMenu, ClosingAfterAChangeSavesTheSettingsAndTheBuffer) {
    TempDir dir;
    auto rx = start(dir);
    rx->pressKey(RKEY_Guide);
    rx->pressKey(RKEY_Menu);
    rx->pressKey(RKEY_Exit);   // unchanged: nothing saved
    EXPECT_EQ(menu, 0);
    EXPECT_EQ(testsupport::readFile(dir.file(SETTINGS_FILE_NAME)), "");
    rx->pressKey(RKEY_Menu);
    rx->pressKey(RKEY_Right);
    EXPECT_EQ(menu, 2);
    rx->pressKey(RKEY_Menu);
    EXPECT_EQ(menu, 0);
    EXPECT_EQ(testsupport::readFile(dir.file(SETTINGS_FILE_NAME)).size(), size_t(SETTINGS_BYTES));
    EXPECT_GE(testsupport::readFile(dir.file(BUFFER_FILE_NAME)).size(), size_t(BUFFER_FILE_FIXED_SIZE));
    EXPECT_EQ(_epgShow, 1);
}

TEST(Exit, GoesBackOneLevelThroughTheSearchListItsEditorAndItsResults) {
    TempDir dir;
    auto rx = start(dir);
    rx->pressKey(RKEY_Guide);
    rx->pressKey(RKEY_Slow);   // the search list on the selected event's title
    ASSERT_EQ(search_mode, 1);
    rx->pressKey(RKEY_Down);
    rx->pressKey(RKEY_Ok);     // S2: search with every entry
    EXPECT_EQ(search_mode, 23);
    EXPECT_EQ(cursor, 0);
    rx->pressKey(RKEY_Exit);
    EXPECT_EQ(search_mode, 1);
    EXPECT_EQ(cursor, 1);      // back where it was
    rx->pressKey(RKEY_Up);
    rx->pressKey(RKEY_Ok);     // S1: the editor on the working entry
    EXPECT_EQ(search_mode, 2);
    rx->pressKey(RKEY_Down);
    rx->pressKey(RKEY_Exit);
    EXPECT_EQ(search_mode, 1);
    EXPECT_EQ(cursor, 0);
    EXPECT_EQ(rx->pressKey(RKEY_Exit), 0u);
    EXPECT_EQ(search_mode, 0);
    EXPECT_EQ(_epgShow, 1);
    rx->pressKey(RKEY_Exit);
    EXPECT_EQ(_epgShow, 0);
}

TEST(Exit, FromTheStartUpSearchResultsClosesTheViewsAtOnce) {
    TempDir dir;
    auto rx = start(dir);
    search_start = 21;   // the message "Events of interest found!" shows
    EXPECT_EQ(rx->pressKey(RKEY_Up), 0u);
    EXPECT_GT(search_start, 0);
    rx->pressKey(RKEY_Ok);
    EXPECT_EQ(search_mode, 13);
    EXPECT_EQ(_epgShow, 1);
    rx->pressKey(RKEY_Exit);
    EXPECT_EQ(_epgShow, 0);
    EXPECT_EQ(rx->firmware().system.display(), sim::Display::Firmware);
}

TEST(Exit, FromTheTimerEditorOverTheSearchListsResultsGoesBackToThem) {
    TempDir dir;
    testsupport::writeFile(dir.file(SEARCH_FILE_NAME), "News|1-40|M\r\n");
    auto rx = start(dir);
    sim::GuideEvent news;
    ASSERT_TRUE(sim::parseLocalTime("2026-12-07 19:55", news.startMs));
    news.endMs = news.startMs + 30 * 60000;
    news.title = "News";
    rx->firmware().epg.setSchedule(sim::kTv, 0, {news});
    rx->advance(30000);   // the background fills the channel
    openViews(*rx);
    rx->pressKey(RKEY_Slow);
    rx->pressKey(RKEY_Down);
    rx->pressKey(RKEY_Ok);       // S2: the results of every word
    ASSERT_EQ(search_mode, 23);
    ASSERT_GT(max_Event[SLOT_RESULT], 0);
    rx->pressKey(RKEY_Record);   // the running news: the editor on a timer from now
    ASSERT_EQ(timer_mode, 1);
    rx->pressKey(RKEY_Exit);
    EXPECT_EQ(timer_mode, 0);
    EXPECT_EQ(search_mode, 23);
    EXPECT_TRUE(rx->screen().shows("1/"));
    rx->pressKey(RKEY_Exit);
    EXPECT_EQ(search_mode, 1);
}

TEST(Exit, TheViewComesBackWhereItWasAfterTheSearchListsResultsKeptTheirOwnPlace) {
    TempDir dir;
    auto rx = start(dir);
    std::vector<sim::GuideEvent> events;
    int64_t at = 0;
    ASSERT_TRUE(sim::parseLocalTime("2026-12-07 19:55", at));
    for (int i = 0; i < 8; ++i) {
        sim::GuideEvent e;
        e.startMs = at + int64_t(i) * 30 * 60000;
        e.endMs = e.startMs + 30 * 60000;
        e.title = i % 2 ? "Film" : "News";
        events.push_back(e);
    }
    rx->firmware().epg.setSchedule(sim::kTv, 0, events);
    settings.first_button_view = 2;   // the Normal view
    openViews(*rx);
    rx->pressKey(RKEY_Down);
    rx->pressKey(RKEY_Down);
    rx->pressKey(RKEY_Down);          // the second film
    ASSERT_EQ(ListOffset + cursor, 3);
    int offset = ListOffset, row = cursor;
    for (uint32_t closing : {RKEY_Exit, RKEY_Slow}) {   // the list closes with EXIT or with |>
        rx->pressKey(RKEY_Slow);      // the search list on "Film"
        rx->pressKey(RKEY_Ok);        // S1: its editor
        rx->pressKey(RKEY_Ok);        // search: the films
        ASSERT_EQ(search_mode, 3);
        ASSERT_GE(max_Event[SLOT_RESULT], 2);
        rx->pressKey(RKEY_Down);
        rx->pressKey(RKEY_Help);      // the help page over the results, and back to them
        rx->pressKey(RKEY_Up);
        EXPECT_EQ(search_mode, 3);
        EXPECT_EQ(cursor, 1);
        rx->pressKey(RKEY_Exit);
        rx->pressKey(RKEY_Exit);      // results, editor: the list
        ASSERT_EQ(search_mode, 1);
        rx->pressKey(closing);
        ASSERT_EQ(search_mode, 0);
        EXPECT_EQ(ListOffset, offset);
        EXPECT_EQ(cursor, row);
    }
}

TEST(Exit, AnInfoWindowOverTheStartUpResultsClosesFirst) {
    TempDir dir;
    auto rx = start(dir);
    search_start = 21;
    rx->pressKey(RKEY_Ok);
    ASSERT_EQ(search_mode, 13);
    settings.info_open_method = 1;
    rx->pressKey(RKEY_Info);
    ASSERT_EQ(longinfo_mode, 2);
    rx->pressKey(RKEY_Exit);
    EXPECT_EQ(_epgShow, 1);
    EXPECT_EQ(longinfo_mode, 0);
    EXPECT_EQ(search_mode, 13);
    rx->pressKey(RKEY_Exit);
    EXPECT_EQ(_epgShow, 0);
}

TEST(Keyboard, TheWordTypedFromTheSearchListBecomesTheWorkingEntrysWord) {
    TempDir dir;
    auto rx = start(dir);
    rx->pressKey(RKEY_Guide);
    rx->pressKey(RKEY_Slow);
    rx->pressKey(RKEY_Blue);
    ASSERT_NE(keyboard_mode, 0);
    EXPECT_EQ(search_mode, 2);   // the editor follows the keyboard
    rx->pressKey(RKEY_Ok);       // A
    rx->pressKey(RKEY_Right);
    rx->pressKey(RKEY_Ok);       // B
    EXPECT_EQ(rx->pressKey(RKEY_Menu), 0u);   // other keys do nothing while it is open
    rx->pressKey(RKEY_Stop);     // saves
    EXPECT_EQ(keyboard_mode, 0);
    EXPECT_STREQ(Search[SEARCH_WORKING].word, "AB");
    EXPECT_STREQ(_strBuf2, "AB");
    EXPECT_EQ(search_mode, 2);
    EXPECT_TRUE(rx->pluginRunning());   // STOP in the keyboard saves, it does not end the plug-in

    // A single character is too short for a search word.
    rx->pressKey(RKEY_Blue);     // on row 1 of the editor: the keyboard on the word
    ASSERT_NE(keyboard_mode, 0);
    rx->pressKey(RKEY_Rewind);
    rx->pressKey(RKEY_Stop);
    EXPECT_STREQ(Search[SEARCH_WORKING].word, "???");

    // EXIT leaves the text as it was.
    rx->pressKey(RKEY_Blue);
    rx->pressKey(RKEY_Ok);
    rx->pressKey(RKEY_Exit);
    EXPECT_EQ(keyboard_mode, 0);
    EXPECT_STREQ(Search[SEARCH_WORKING].word, "???");
    EXPECT_EQ(search_mode, 2);
}

// --- The ends of the plug-in ---

TEST(Stop, EndsThePlugInAndSavesTheChangedSettingsBeforeTheBuffer) {
    TempDir dir;
    auto rx = start(dir);
    rx->pressKey(RKEY_Guide);
    rx->pressKey(RKEY_Menu);
    rx->pressKey(RKEY_Right);
    ASSERT_EQ(menu, 2);
    // Room for the settings only: what is written first is whole, the other is cut short.
    rx->firmware().disk.faults.failWritesAfterBytes = SETTINGS_BYTES;
    EXPECT_EQ(rx->pressKey(RKEY_Stop), 0u);
    EXPECT_FALSE(rx->pluginRunning());
    EXPECT_EQ(testsupport::readFile(dir.file(SETTINGS_FILE_NAME)).size(), size_t(SETTINGS_BYTES));
    EXPECT_LT(testsupport::readFile(dir.file(BUFFER_FILE_NAME)).size(), size_t(BUFFER_FILE_FIXED_SIZE));
    EXPECT_EQ(rx->firmware().system.display(), sim::Display::Firmware);
    EXPECT_EQ(rx->host().lastLeftovers().openFiles, 0);
    // Keys go to the firmware now.
    EXPECT_EQ(rx->pressKey(RKEY_Guide), uint32_t(RKEY_Guide));
}

TEST(DeleteFiles, DigitZeroOnTheLastMenuRowDeletesBothFilesAndEnds) {
    TempDir dir;
    auto rx = start(dir);
    rx->pressKey(RKEY_Guide);
    rx->pressKey(RKEY_Red);   // saves both files and closes
    ASSERT_TRUE(rx->firmware().disk.exists(SETTINGS_FILE_NAME));
    ASSERT_TRUE(rx->firmware().disk.exists(BUFFER_FILE_NAME));
    // What a save the firmware did not finish left behind must go too, or the next start would
    // put it back in place.
    testsupport::writeFile(dir.file(BUFFER_FILE_NAME ".new"), testsupport::readFile(dir.file(BUFFER_FILE_NAME)));
    testsupport::writeFile(dir.file(SETTINGS_FILE_NAME ".tmp"), "piece");
    openViews(*rx);
    rx->pressKey(RKEY_Menu);
    for (int i = 0; i < 5; ++i)
        rx->pressKey(RKEY_Forward);
    for (int i = 0; i < 11; ++i)
        rx->pressKey(RKEY_Down);
    ASSERT_EQ(ListOffset + cursor + 1, 62);
    rx->pressKey(RKEY_1);   // digit 1 is not this row's key
    EXPECT_TRUE(rx->pluginRunning());
    rx->pressKey(RKEY_0);
    EXPECT_FALSE(rx->pluginRunning());
    EXPECT_FALSE(rx->firmware().disk.exists(SETTINGS_FILE_NAME));
    EXPECT_FALSE(rx->firmware().disk.exists(BUFFER_FILE_NAME));
    EXPECT_FALSE(rx->firmware().disk.exists(BUFFER_FILE_NAME ".new"));
    EXPECT_FALSE(rx->firmware().disk.exists(SETTINGS_FILE_NAME ".tmp"));
    EXPECT_EQ(rx->firmware().system.display(), sim::Display::Firmware);
}

// --- The held-key measure ---

TEST(KeyRepeat, HoldingRightCountsTheSecondsAndAnotherKeyResetsIt) {
    TempDir dir;
    auto rx = start(dir);
    rx->pressKey(RKEY_Guide);
    rx->pressKey(RKEY_Menu);
    for (int i = 0; i < 30; ++i) {   // 4.5 seconds of repeats every 150 ms
        rx->pressKey(RKEY_Right);
        rx->advance(150);
    }
    EXPECT_GE(Key_TimeCount, 4);
    EXPECT_LE(Key_TimeCount, 6);
    rx->advance(500);
    rx->pressKey(RKEY_Right);   // a press after a pause starts anew
    EXPECT_EQ(Key_TimeCount, 0);
    rx->advance(100);
    rx->pressKey(RKEY_Down);    // quick keys other than left and right end the measure
    rx->advance(100);
    rx->pressKey(RKEY_Right);
    EXPECT_EQ(Key_TimeCount, 0);
}

// --- A message over the open views ---

TEST(MessageInTheViews, AKeyEndsItAndLeavesNothingOfItOnTheGrid) {
    TempDir dir;
    auto rx = start(dir);
    openViews(*rx);
    ASSERT_EQ(rx->screen().osdPixel(300, 252), fineline_color);   // the line above row 4
    DrawMsgBox("A refused timer");                                  // a timer of the queue refused
    TAP_Osd_Sync();
    MsgCountdown = 5;
    ASSERT_NE(rx->screen().osdPixel(300, 252), fineline_color);
    rx->pressKey(RKEY_Down);
    EXPECT_EQ(MsgCountdown, 0);
    EXPECT_FALSE(rx->screen().shows("A refused timer"));
    EXPECT_EQ(rx->screen().osdPixel(300, 252), fineline_color);
    EXPECT_EQ(rx->screen().osdPixel(300, 289), fineline_color);   // the line below it
}
