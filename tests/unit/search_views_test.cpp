// The search list, the search editor and the result lists with the plug-in linked into a virtual
// receiver (the demo lineup: 40 TV channels), driven by remote keys.
//   SearchTexts    every text of the list, the editor and a result list fits its box in every
//                  language, with every value the rows step through
//   SearchList*    the selection kept on existing rows, the columns and their colours, moving
//                  entries, the way into the editor
//   SearchEditor*  cutting the word, the channel and time rows, searching, deleting, words the
//                  file would not keep, an entry no longer in the list
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "epgdb/buffer.h"
#include "epgdb/fill.h"
#include "frame/state.h"
#include "search/editor.h"
#include "search/entries.h"
#include "search/keyboard.h"
#include "search/list.h"
#include "search/results.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "sim/clock.h"
#include "tests/support/support.h"
#include "tests/unit/search_testing.h"
#include "views/window.h"

using testsupport::TempDir;

namespace {

// A word of the longest kind, wide in every font size.
const std::string kLongWord(SEARCH_WORD_MAX, 'W');

// The plug-in at 20:00 with the guide open on channel 1 and the search list opened from it.
struct Views {
    TempDir dir;
    std::unique_ptr<sim::Receiver> rx;

    Views() {
        rx = testsupport::linkedReceiver(dir.path());
        int64_t t0 = sim::Clock::fromCivil({2026, 12, 7, 20, 0, 0});
        rx->firmware().epg.setSchedule(sim::kTv, 0, {{t0, t0 + 3600000, 1, "Tatort", "Krimi", ""}});
        rx->firmware().epg.setSchedule(sim::kTv, 5, {{t0 + 1800000, t0 + 5400000, 2, "Tatort", "Der Fall", ""}});
        FillBuffer(SVC_TYPE_Tv, 0);
        FillBuffer(SVC_TYPE_Tv, 5);
        rx->pressKey(RKEY_Guide);
        rx->pressKey(RKEY_Slow);
        EXPECT_EQ(search_mode, 1);
    }
    void press(uint32_t key, int times = 1) {
        for (int i = 0; i < times; ++i)
            rx->pressKey(key);
    }
    // The visible text that begins at x on page line `line`, or "(none)".
    std::string at(int x, int line) const {
        for (const auto &t : rx->screen().texts())
            if (t.x == x && t.y >= 113 + 36 * line && t.y < 113 + 36 * (line + 1))
                return t.text;
        return "(none)";
    }
    const sim::ScreenText *textAt(int x, int line) const {
        for (const auto &t : rx->screen().texts())
            if (t.x == x && t.y >= 113 + 36 * line && t.y < 113 + 36 * (line + 1))
                return &t;
        return nullptr;
    }
    std::string file() const { return testsupport::readFile(dir.file(SEARCH_FILE_NAME)); }
};

void addEntry(const char *word, int mode = SEARCH_MODE_OFF, int first = 1, int last = 40) {
    searchtest::setEntry(max_Search++, word, mode, first, last);
}

// Every visible text fits between its x and its right limit in the size it is drawn in.
void expectTextsFit(const sim::Screen &screen, const std::string &where) {
    const sim::Font &font = sim::Font::instance();
    for (const auto &t : screen.texts()) {
        if (t.x == 567)   // the clock
            continue;
        EXPECT_LE(font.width(t.text, t.size), t.maxX - t.x)
            << where << ": \"" << t.text << "\" at x " << t.x << " in size " << t.size;
    }
}

void useLanguage(int choice) {
    settings.language_choice = choice;
    Select_Language();
}

}  // namespace

// --- Texts ---

TEST(SearchTexts, TheListTheEditorAndAResultListFitTheirBoxesInEveryLanguage) {
    Views v;
    for (int mode = 0; mode < SEARCH_MODES; ++mode)
        addEntry(mode == 0 ? kLongWord.c_str() : "Tatort", mode, 200, 200);
    Search[0].lead_time = Search[0].stop_add = 600;
    for (int d = 0; d <= SEARCH_DAYS_ED; ++d) {
        addEntry("Krimi+Tatort~Wetter", SEARCH_MODE_REC, 1, 40);
        Search[max_Search - 1].weekdays = static_cast<uint8_t>(d);
        Search[max_Search - 1].window_start = 1439;
    }
    std::strcpy(Search[SEARCH_WORKING].word, kLongWord.c_str());
    for (int choice : {1, 2, 3}) {
        useLanguage(choice);
        std::string lang = "language " + std::to_string(choice);
        cursor = ListOffset = 0;
        DrawEPG(1);
        expectTextsFit(v.rx->screen(), lang + " S1");
        v.press(RKEY_Down, 2);
        for (int i = 0; i < 4; ++i) {
            v.press(RKEY_Right);
            expectTextsFit(v.rx->screen(), lang + " S3");
        }
        for (int row = 3; row < 3 + max_Search; ++row) {
            v.press(RKEY_Down);
            expectTextsFit(v.rx->screen(), lang + " list row " + std::to_string(row));
        }
        // The editor on the entry with the long word, then every value of the stepping rows.
        cursor = 3;
        ListOffset = 0;
        v.press(RKEY_Ok);
        ASSERT_EQ(search_mode, 2);
        for (int lcn : {0, 1}) {
            settings.lcn_support = lcn;
            for (int row = 0; row < SEARCH_EDITOR_ROWS; ++row) {
                cursor = row;
                Search_Menu(SEARCH_WORKING, 0);
                for (int i = 0; i < 11; ++i) {
                    v.press(RKEY_Right);
                    expectTextsFit(v.rx->screen(), lang + " editor row " + std::to_string(row + 1) + " value " +
                                                       v.at(109, row));
                }
            }
        }
        settings.lcn_support = 0;
        // A result list.
        SearchEntryDefaults(&Search[SEARCH_WORKING]);
        std::strcpy(_strBuf2, "Tatort");
        Cut_Start = Cut_End = 0;
        cursor = 0;
        Search_Menu(SEARCH_WORKING, 0);
        v.press(RKEY_Ok);
        ASSERT_EQ(search_mode, 3);
        ASSERT_EQ(max_Event[SLOT_RESULT], 2);
        expectTextsFit(v.rx->screen(), lang + " results");
        v.press(RKEY_Exit, 2);
        ASSERT_EQ(search_mode, 1);
    }
}

// --- Search list ---

TEST(SearchList, AnEmptyListKeepsTheSelectionOnTheFixedRows) {
    Views v;
    EXPECT_TRUE(v.rx->screen().shows(" Search Word List"));
    EXPECT_TRUE(v.rx->screen().shows(" -/0"));
    EXPECT_EQ(v.at(109, 0), " Search \"Tatort\"");
    EXPECT_EQ(v.at(109, 1), " Search all search words");
    EXPECT_EQ(v.at(109, 2), " Search all \"M&P&R\" (press V-,V+)");
    v.press(RKEY_Down, 5);
    EXPECT_EQ(cursor, 2);
    v.press(RKEY_Forward);
    EXPECT_EQ(ListOffset + cursor, 2);
    v.press(RKEY_Help);   // no entry to open
    EXPECT_EQ(search_mode, 1);
}

TEST(SearchList, EntriesShowTheirFieldsTheModeInColourAndOffsetsGreyWhereNoTimerIsMade) {
    Views v;
    addEntry("News", SEARCH_MODE_M, 3, 7);
    addEntry("Sport", SEARCH_MODE_P);
    addEntry("Tatort", SEARCH_MODE_REC);
    addEntry("Krimi", SEARCH_MODE_1XREC);
    Search[0].weekdays = SEARCH_DAYS_WD;
    Search[0].window_start = 18 * 60;
    Search[0].window_end = 19 * 60 + 30;
    v.press(RKEY_Down, 3);
    EXPECT_EQ(v.at(61, 3), "  1.");
    EXPECT_EQ(v.at(109, 3), " News");
    EXPECT_EQ(v.at(461, 3), "3");
    EXPECT_EQ(v.at(501, 3), "7");
    EXPECT_EQ(v.textAt(541, 3)->text, "M");
    EXPECT_EQ(v.textAt(575, 3)->fg, font_gray);
    EXPECT_TRUE(v.rx->screen().shows(" 1/4"));
    EXPECT_TRUE(v.rx->screen().shows("(WD)  18:00 - 19:30"));
    EXPECT_EQ(v.textAt(541, 4)->text, "P");
    EXPECT_EQ(v.textAt(541, 4)->bg, 0xFF008000u);
    EXPECT_NE(v.textAt(575, 4)->fg, font_gray);
    EXPECT_EQ(v.textAt(541, 5)->text, "R");
    EXPECT_EQ(v.textAt(541, 6)->text, "1");
    EXPECT_EQ(v.textAt(541, 6)->bg, 0xFFD20000u);
}

TEST(SearchList, AMovedEntryTakesTheSelectionAlongAndTheFileFollows) {
    Views v;
    for (char c = 'a'; c < 'a' + 12; ++c)
        addEntry((std::string(2, c)).c_str());
    // Entry 7 ("hh") on the last screen row: V+ scrolls the list by one row.
    v.press(RKEY_Down, 9);
    v.press(RKEY_Down);
    ASSERT_EQ(ListOffset + cursor - 3, 7);
    ASSERT_EQ(cursor, 9);
    v.press(RKEY_Right);
    EXPECT_EQ(std::string(Search[8].word), "hh");
    EXPECT_EQ(cursor, 9);
    EXPECT_EQ(ListOffset, 2);
    EXPECT_NE(v.file().find("ii|1-40|Off,3,15|00:00-00:00|ED\r\nhh|"), std::string::npos);
    v.press(RKEY_Left);
    EXPECT_EQ(std::string(Search[7].word), "hh");
    EXPECT_EQ(cursor, 8);
    // V- on the first entry and V+ on the last change nothing.
    cursor = 3;
    ListOffset = 0;
    v.press(RKEY_Left);
    EXPECT_EQ(std::string(Search[0].word), "aa");
    ListOffset = 5;
    cursor = 9;
    v.press(RKEY_Right);
    EXPECT_EQ(std::string(Search[11].word), "ll");
    EXPECT_EQ(cursor, 9);
}

TEST(SearchList, OkOnS1OpensTheWorkingEntryWithNewEntryDefaultsAndItsCut) {
    Views v;
    Search[SEARCH_WORKING].mode = SEARCH_MODE_REC;
    Search[SEARCH_WORKING].weekdays = 3;
    std::strcpy(_strBuf2, "Tatort: Die Rache");
    Cut_End = 10;
    v.press(RKEY_Ok);
    EXPECT_EQ(search_mode, 2);
    EXPECT_EQ(search_idx, SEARCH_WORKING);
    EXPECT_EQ(std::string(Search[SEARCH_WORKING].word), "Tatort:");
    EXPECT_EQ(Search[SEARCH_WORKING].mode, SEARCH_MODE_OFF);
    EXPECT_EQ(Search[SEARCH_WORKING].weekdays, SEARCH_DAYS_ED);
    EXPECT_EQ(v.at(201, 9), " Save the Search");
    v.press(RKEY_Up);
    v.press(RKEY_Left);   // a new entry is only saved
    EXPECT_EQ(v.at(201, 9), " Save the Search");
}

// --- Search editor ---

TEST(SearchEditor, CutsLeaveAtLeastTwoCharactersAndShowInTheStatusLine) {
    Views v;
    addEntry("Krimi: Der Fall");
    v.press(RKEY_Down, 3);
    v.press(RKEY_Ok);
    v.press(RKEY_Rewind, 10);
    EXPECT_EQ(std::string(Search[SEARCH_WORKING].word), "Krimi");
    EXPECT_EQ(v.at(201, 0), " \"Krimi\"");
    EXPECT_TRUE(v.rx->screen().shows(": Der Fall"));
    v.press(RKEY_Rewind, 5);
    EXPECT_EQ(std::string(Search[SEARCH_WORKING].word), "Kr");
    v.press(RKEY_Right, 3);   // the start cannot be cut any more
    EXPECT_EQ(std::string(Search[SEARCH_WORKING].word), "Kr");
    v.press(RKEY_Forward, 13);
    v.press(RKEY_Right, 7);
    EXPECT_EQ(std::string(Search[SEARCH_WORKING].word), "Der Fall");
    v.press(RKEY_Down, 9);
    v.press(RKEY_Ok);   // saved over the entry
    EXPECT_EQ(search_mode, 1);
    EXPECT_EQ(std::string(Search[0].word), "Der Fall");
    EXPECT_EQ(Cut_Start, 0);
}

TEST(SearchEditor, ChannelRowsWrapWithinTheChannelsASearchCanReach) {
    Views v;
    addEntry("News", SEARCH_MODE_OFF, 5, 40);
    v.press(RKEY_Down, 3);
    v.press(RKEY_Ok);
    v.press(RKEY_Down, 2);
    v.press(RKEY_Right);   // beyond the 40 channels: back to the first place
    EXPECT_EQ(Search[SEARCH_WORKING].last_place, 5);
    v.press(RKEY_Left);
    EXPECT_EQ(Search[SEARCH_WORKING].last_place, 40);
    v.press(RKEY_Up);
    v.press(RKEY_Left, 5);   // below 1: up to the last place
    EXPECT_EQ(Search[SEARCH_WORKING].first_place, 40);
    EXPECT_TRUE(v.rx->screen().shows(" Search from Channel  \""));
    // An entry from a file for more channels than there are comes back within them.
    Search[SEARCH_WORKING].first_place = 1;
    Search[SEARCH_WORKING].last_place = 200;
    v.press(RKEY_Down);
    v.press(RKEY_Left);
    EXPECT_EQ(Search[SEARCH_WORKING].last_place, 39);
}

TEST(SearchEditor, AHeldKeyMovesTheWindowByMinutesThenTensThenHalfHours) {
    Views v;
    addEntry("News");
    Search[0].window_start = 20 * 60 + 3;
    v.press(RKEY_Down, 3);
    v.press(RKEY_Ok);
    v.press(RKEY_Down, 4);
    std::vector<int> seen;
    for (int i = 0; i < 48; ++i) {   // about seven seconds, a key every 150 ms
        v.rx->pressKey(RKEY_Right);
        v.rx->advance(150);
        int w = Search[SEARCH_WORKING].window_start;
        if (seen.empty() || seen.back() != w)
            seen.push_back(w);
    }
    ASSERT_GE(seen.size(), 6u);
    EXPECT_EQ(seen[0], 20 * 60 + 4);
    EXPECT_EQ(seen[1], 20 * 60 + 5);
    EXPECT_EQ(seen.back() % 30, 0);
    // Tens came between single minutes and half hours.
    bool tens = false;
    for (size_t i = 1; i < seen.size(); ++i)
        tens = tens || (seen[i] - seen[i - 1] == 10 && seen[i] % 10 == 0);
    EXPECT_TRUE(tens);
    // An hour on with >>, round midnight.
    v.rx->advance(1000);
    Search[SEARCH_WORKING].window_start = 23 * 60 + 30;
    v.press(RKEY_Forward);
    EXPECT_EQ(Search[SEARCH_WORKING].window_start, 30);
}

TEST(SearchEditor, OffsetsStopAtTheirEndsTheModeAndTheWeekdaysGoRound) {
    Views v;
    addEntry("News");
    v.press(RKEY_Down, 3);
    v.press(RKEY_Ok);
    v.press(RKEY_Down, 3);
    v.press(RKEY_Left);
    EXPECT_EQ(Search[SEARCH_WORKING].weekdays, 8);
    EXPECT_EQ(v.at(109, 3), "  Sa-Su");
    v.press(RKEY_Down, 3);
    v.press(RKEY_Left);
    EXPECT_EQ(Search[SEARCH_WORKING].mode, SEARCH_MODE_1XREC);
    EXPECT_EQ(v.at(109, 6), " 1x Rec");
    v.press(RKEY_Down);
    v.press(RKEY_Left, 5);
    EXPECT_EQ(Search[SEARCH_WORKING].lead_time, 0);
    EXPECT_EQ(v.textAt(109, 7)->fg, font_boxselected);   // a recording mode: not grey
}

TEST(SearchEditor, OkOnAnEditorRowSearchesAndExitGoesBackLevelByLevel) {
    Views v;
    addEntry("Tatort");
    v.press(RKEY_Down, 3);
    v.press(RKEY_Ok);
    v.press(RKEY_Down, 2);
    v.press(RKEY_Ok);
    EXPECT_EQ(search_mode, 3);
    EXPECT_EQ(max_Event[SLOT_RESULT], 2);
    EXPECT_TRUE(v.rx->screen().shows("1/2"));
    v.press(RKEY_Exit);
    EXPECT_EQ(search_mode, 2);
    EXPECT_EQ(cursor, 0);
    v.press(RKEY_Down, 6);
    v.press(RKEY_Ok);   // the mode row: nothing
    EXPECT_EQ(search_mode, 2);
    v.press(RKEY_Exit);
    EXPECT_EQ(search_mode, 1);
    EXPECT_EQ(cursor, 3);
    v.press(RKEY_Exit);
    EXPECT_EQ(search_mode, 0);
    EXPECT_EQ(_epgShow, 1);
}

TEST(SearchEditor, DeletingTheLastEntryReturnsToTheListOnTheNewLastEntry) {
    Views v;
    addEntry("News");
    addEntry("Sport");
    v.press(RKEY_Down, 4);
    v.press(RKEY_Help);
    EXPECT_EQ(v.at(201, 9), " Delete the Search (press V-,V+)");
    v.press(RKEY_Ok);
    EXPECT_EQ(max_Search, 1);
    EXPECT_EQ(search_mode, 1);
    EXPECT_EQ(ListOffset + cursor, 3);
    EXPECT_NE(v.file().find("News|"), std::string::npos);
    EXPECT_EQ(v.file().find("Sport|"), std::string::npos);
}

TEST(SearchEditor, AWordTheFileWouldNotKeepBecomesQuestionMarks) {
    Views v;
    v.press(RKEY_Blue);   // the keyboard for a new word
    ASSERT_NE(keyboard_mode, 0);
    v.press(RKEY_Forward, 3);   // three spaces
    v.press(RKEY_Stop);
    EXPECT_EQ(search_mode, 2);
    EXPECT_EQ(std::string(Search[SEARCH_WORKING].word), "???");
    EXPECT_EQ(std::string(_strBuf2), "???");
}

TEST(SearchEditor, AnEntryNoLongerInTheListIsSavedAsANewOne) {
    Views v;
    addEntry("News");
    addEntry("Sport");
    v.press(RKEY_Down, 4);
    v.press(RKEY_Ok);
    ASSERT_EQ(search_idx, 1);
    max_Search = 1;   // the file was read anew meanwhile, with one entry
    v.press(RKEY_Up);
    v.press(RKEY_Ok);
    EXPECT_EQ(max_Search, 2);
    EXPECT_EQ(std::string(Search[1].word), "Sport");
}
