// The key table in the lists, editors and the settings menu, with the plug-in linked in.
//   - SearchList*: the modes row, opening an entry in the editor
//   - SearchEditor*: saving into the list, and a full list
//   - ResultList*: OK on a result
//   - SettingsMenuKeys*: the command rows
#include <gtest/gtest.h>


#include "epgdb/buffer.h"
#include "epgdb/bufferfile.h"
#include "epgdb/fill.h"
#include "frame/state.h"
#include "search/editor.h"
#include "search/entries.h"
#include "search/results.h"
#include "settings/settings.h"
#include "sim/clock.h"
#include "tests/support/support.h"

using testsupport::TempDir;

namespace {

std::unique_ptr<sim::Receiver> start(const TempDir &dir) {
    return testsupport::linkedReceiver(dir.path());
}

void press(sim::Receiver &rx, uint32_t key, int times = 1) {
    for (int i = 0; i < times; ++i)
        rx.pressKey(key);
}

// The search list, opened from the Normal view with the search key.
void openSearchList(sim::Receiver &rx) {
    rx.pressKey(RKEY_Guide);
    ASSERT_EQ(_epgShow, 1);
    rx.pressKey(RKEY_Slow);
    ASSERT_EQ(search_mode, 1);
}

int lastTunedByPlugIn(sim::Receiver &rx) {
    const auto &t = rx.firmware().channels.tunings();
    for (auto it = t.rbegin(); it != t.rend(); ++it)
        if (it->source == sim::TuneSource::PlugIn)
            return it->channel.svcNum;
    return -1;
}

}  // namespace

// --- Search list ---

TEST(SearchList, LeftAndRightStepTheModesOfTheThirdRowAround) {
    TempDir dir;
    auto rx = start(dir);
    openSearchList(*rx);
    press(*rx, RKEY_Down, 2);
    settings.search_all_modes = 0;
    press(*rx, RKEY_Right, 3);
    EXPECT_EQ(settings.search_all_modes, 3);
    rx->pressKey(RKEY_Right);
    EXPECT_EQ(settings.search_all_modes, 0);
    rx->pressKey(RKEY_Left);
    EXPECT_EQ(settings.search_all_modes, 3);
}

TEST(SearchList, HelpAndEditOpensTheEntryReadyToDeleteAndExitComesBack) {
    TempDir dir;
    auto rx = start(dir);
    openSearchList(*rx);
    max_Search = 3;
    press(*rx, RKEY_Down, 4);   // entry 1
    rx->pressKey(RKEY_Help);
    EXPECT_EQ(search_mode, 2);
    EXPECT_EQ(search_idx, 1);
    EXPECT_EQ(cursor, 9);
    EXPECT_EQ(save_or_del, 0);
    rx->pressKey(RKEY_Exit);
    EXPECT_EQ(search_mode, 1);
    EXPECT_EQ(cursor, 4);
    // On a fixed row the key opens nothing.
    press(*rx, RKEY_Up, 2);
    rx->pressKey(RKEY_Help);
    EXPECT_EQ(search_mode, 1);
}

// --- Search editor ---

TEST(SearchEditor, SavingANewEntryIntoAFullListShowsAMessageThatTheNextKeyRemoves) {
    TempDir dir;
    auto rx = start(dir);
    openSearchList(*rx);
    rx->pressKey(RKEY_Ok);   // the editor on a new entry
    max_Search = SEARCH_LIST_SIZE;
    rx->pressKey(RKEY_Up);   // the save row
    rx->pressKey(RKEY_Ok);
    EXPECT_TRUE(rx->screen().shows("The Searchlist is full!"));
    EXPECT_EQ(max_Search, SEARCH_LIST_SIZE);
    EXPECT_EQ(search_mode, 2);
    EXPECT_EQ(help, 2);
    rx->pressKey(RKEY_Down);   // only removes the message
    EXPECT_EQ(help, 0);
    EXPECT_EQ(cursor, 9);
    EXPECT_EQ(search_mode, 2);
}

TEST(SearchEditor, SavingANewEntryAddsItAndReturnsToTheList) {
    TempDir dir;
    auto rx = start(dir);
    openSearchList(*rx);
    max_Search = 4;
    rx->pressKey(RKEY_Ok);
    Cut_End = 2;
    rx->pressKey(RKEY_Up);
    rx->pressKey(RKEY_Ok);
    EXPECT_EQ(max_Search, 5);
    EXPECT_EQ(search_mode, 1);
    EXPECT_EQ(Cut_End, 0);
    EXPECT_EQ(cursor, 0);
    EXPECT_EQ(ListOffset, 0);
}

// --- Result lists ---

TEST(ResultList, OkTunesTheChannelTheResultWasFoundOn) {
    TempDir dir;
    auto rx = start(dir);
    int64_t t0 = sim::Clock::fromCivil({2026, 12, 7, 20, 0, 0});
    rx->firmware().epg.setSchedule(sim::kTv, 6, {{t0, t0 + 3600000, 1, "Tatort", "Krimi", ""}});
    FillBuffer(SVC_TYPE_Tv, 6);
    ASSERT_EQ(max_Event[6], 1);
    openSearchList(*rx);
    rx->pressKey(RKEY_Down);
    rx->pressKey(RKEY_Ok);   // S2: the search (its results put in by hand below)
    ASSERT_EQ(search_mode, 23);
    CopyEPGBuf(SLOT_RESULT, 0, 6, 0);
    max_Event[SLOT_RESULT] = 1;
    searchresult_ext[0].channel = 6;
    rx->pressKey(RKEY_Left);   // left and right do nothing here
    rx->pressKey(RKEY_Right);
    EXPECT_EQ(_svcNum, 0);
    rx->pressKey(RKEY_Ok);
    EXPECT_EQ(_epgShow, 0);
    EXPECT_EQ(lastTunedByPlugIn(*rx), 6);
}

// --- Settings menu ---

TEST(SettingsMenuKeys, DigitOneOnTheClearRowEmptiesTheBufferSavesAndClosesTheMenu) {
    TempDir dir;
    auto rx = start(dir);
    int64_t t0 = sim::Clock::fromCivil({2026, 12, 7, 20, 0, 0});
    rx->firmware().epg.setSchedule(sim::kTv, 2, {{t0, t0 + 3600000, 1, "News", "", ""}});
    FillBuffer(SVC_TYPE_Tv, 2);
    ASSERT_EQ(max_Event[2], 1);
    rx->pressKey(RKEY_Guide);
    rx->pressKey(RKEY_Menu);
    press(*rx, RKEY_Forward, 5);
    press(*rx, RKEY_Down, 10);
    ASSERT_EQ(ListOffset + cursor + 1, 61);
    rx->pressKey(RKEY_1);
    EXPECT_EQ(max_Event[2], 0);
    EXPECT_EQ(menu, 0);
    EXPECT_EQ(_epgShow, 1);
    EXPECT_TRUE(rx->firmware().disk.exists(BUFFER_FILE_NAME));
    EXPECT_FALSE(rx->firmware().disk.exists(SETTINGS_FILE_NAME));   // the menu was unchanged
}

// --- Timer list and editor ---

