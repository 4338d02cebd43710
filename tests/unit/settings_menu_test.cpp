// The settings menu with the plug-in linked into a virtual receiver.
//   - MenuTexts*: every row's number, value and label fit their boxes in every language, with
//     every value a row steps through; values without effect are grey
//   - MenuPage*: the page is brought back so that the selected row exists
//   - MenuRows*: the rows with rules of their own: the tuner, the scan window, held keys in
//     tens, the default view, the EPG buttons, the compression and the channel counts
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "epgdb/buffer.h"
#include "epgdb/fill.h"
#include "frame/epgkeys.h"
#include "frame/state.h"
#include "settings/colors.h"
#include "settings/menu.h"
#include "settings/settings.h"
#include "sim/clock.h"
#include "tests/support/support.h"

using testsupport::TempDir;

namespace {

// The plug-in started at 20:00 on the demo lineup (40 TV channels), the guide open on the menu.
struct Menu {
    TempDir dir;
    std::unique_ptr<sim::Receiver> rx;

    Menu() {
        testsupport::LinkedOptions options;
        options.clock = "2026-12-07 20:00";
        rx = testsupport::linkedReceiver(dir.path(), options);
        rx->pressKey(RKEY_Guide);
        rx->pressKey(RKEY_Menu);
        EXPECT_EQ(menu, 1);
    }
    // Selects a row (1..62) as the keys would leave it: the page starting ten rows at a time.
    void select(int row) {
        ListOffset = (row - 1) / 10 * 10;
        cursor = (row - 1) % 10;
        Settings_Menu(0);
    }
    const sim::ScreenText *at(int x, int line) const {
        const sim::ScreenText *found = nullptr;
        for (const auto &t : rx->screen().texts())
            if (t.x == x && t.y >= 113 + 36 * line && t.y < 113 + 36 * (line + 1))
                found = &t;
        return found;
    }
    std::string value(int line) const {
        const sim::ScreenText *t = at(109, line);
        return t ? t->text : "(none)";
    }
};

// Every visible text of the menu fits between its x and its right limit in the size it has.
void expectTextsFit(const sim::Screen &screen, const std::string &where) {
    const sim::Font &font = sim::Font::instance();
    int menuTexts = 0;
    for (const auto &t : screen.texts()) {
        if (t.x == 567)   // the clock
            continue;
        ++menuTexts;
        EXPECT_LE(font.width(t.text, t.size), t.maxX - t.x)
            << where << ": \"" << t.text << "\" at x " << t.x << " in size " << t.size;
    }
    EXPECT_GE(menuTexts, 2 + 3) << where;
}

}  // namespace

// --- Texts ---

TEST(MenuTexts, EveryRowAndEveryValueFitsItsBoxInEveryLanguage) {
    Menu m;
    for (int choice : {1, 2, 3}) {
        settings.language_choice = choice;
        Select_Language();
        for (int row = 1; row <= MENU_ROWS; ++row) {
            m.select(row);
            std::string where = "language " + std::to_string(choice) + " row " + std::to_string(row);
            expectTextsFit(m.rx->screen(), where);
            if (row == 29)   // stepping the language row would leave this language
                continue;
            // Lists have at most 15 values: one round covers them; long ranges show both ends.
            for (uint32_t key : {RKEY_Right, RKEY_Left}) {
                for (int i = 0; i < 16; ++i) {
                    m.rx->pressKey(key);
                    expectTextsFit(m.rx->screen(), where + " value " + m.value(cursor));
                }
            }
        }
    }
    // The RC2 remote's clock key in row 34's label.
    settings.language_choice = 1;
    settings.rc2_support = 1;
    Select_Language();
    m.select(34);
    EXPECT_EQ(m.at(201, cursor)->text, " Clock with \"Opt\"-Button: Off=0, On=1,2");
    expectTextsFit(m.rx->screen(), "RC2");
}

TEST(MenuTexts, ValuesWithoutEffectAreGrey) {
    Menu m;
    m.select(16);
    settings.second_epg_button = 8;   // OK: the values acting only inside the views do nothing
    Set_Button(&second_EPG_key, nullptr, 8);
    settings.second_button_view = 5;
    Settings_Menu(0);
    EXPECT_EQ(m.value(cursor), "  switch*");
    EXPECT_EQ(m.at(109, cursor)->fg, font_gray);
    settings.second_button_view = 6;
    Settings_Menu(0);
    EXPECT_EQ(m.value(cursor), " ->20:20");
    EXPECT_EQ(m.at(109, cursor)->fg, font_boxselected);

    m.select(36);
    settings.clock_button = 0;   // no extra clock: its position means nothing
    Settings_Menu(0);
    EXPECT_EQ(m.at(109, cursor)->fg, font_gray);
    EXPECT_EQ(m.at(201, cursor)->fg, font_boxselected);
}

// --- Page ---

TEST(MenuPage, TheCursorComesUpFirstThenThePage) {
    Menu m;
    ListOffset = 60;
    cursor = 5;
    Settings_Menu(0);
    EXPECT_EQ(ListOffset, 60);
    EXPECT_EQ(cursor, 1);
    EXPECT_EQ(m.at(61, 1)->text, " 62.");
    EXPECT_EQ(m.at(61, 2), nullptr);   // a line beyond the last row stays blank

    ListOffset = 70;
    cursor = 3;
    Settings_Menu(0);
    EXPECT_EQ(ListOffset, 61);
    EXPECT_EQ(cursor, 0);
    ListOffset = -4;
    cursor = 14;
    Settings_Menu(0);
    EXPECT_EQ(ListOffset, 0);
    EXPECT_EQ(cursor, 10);
}

// --- Rows ---

TEST(MenuRows, TheTunerRowShowsOneTwoFourAndStoresZeroOneThree) {
    Menu m;
    m.select(3);
    EXPECT_EQ(settings.rec_tuner, 1);
    EXPECT_EQ(m.value(cursor), "     2");
    EXPECT_EQ(Settings_Menu(1), 1);
    EXPECT_EQ(settings.rec_tuner, 3);
    EXPECT_EQ(m.value(cursor), "     4");
    Settings_Menu(1);
    EXPECT_EQ(settings.rec_tuner, 0);
    EXPECT_EQ(m.value(cursor), "     1");
    Settings_Menu(-1);
    EXPECT_EQ(settings.rec_tuner, 3);
}

TEST(MenuRows, TheScanWindowNeverEndsBeforeItStarts) {
    Menu m;
    settings.scan_window_start = 180;
    settings.scan_window_end = 181;
    m.select(10);
    Settings_Menu(-1);   // 03:00
    Settings_Menu(-1);   // one minute before the start: off
    EXPECT_EQ(settings.scan_window_end, 179);
    EXPECT_EQ(m.value(cursor), "   Off");
    Settings_Menu(-1);   // wraps to the end of the day
    EXPECT_EQ(settings.scan_window_end, 1439);

    // A start moved past the end switches the window off; the end then starts again at the start.
    settings.scan_window_end = 200;
    m.select(9);
    for (int i = 0; i < 21; ++i)
        Settings_Menu(1);
    EXPECT_EQ(settings.scan_window_start, 201);
    EXPECT_EQ(settings.scan_window_end, 0);
    m.select(10);
    EXPECT_EQ(m.value(cursor), "   Off");
    Settings_Menu(1);
    EXPECT_EQ(settings.scan_window_end, 201);
    EXPECT_EQ(m.value(cursor), "  03:21");
}

TEST(MenuRows, AKeyHeldThreeSecondsMovesTimesAndPositionsInTensButNotBelowTheMinimum) {
    Menu m;
    m.select(28);
    settings.prime_time = 1225;
    Key_TimeCount = 2;
    Settings_Menu(1);
    EXPECT_EQ(settings.prime_time, 1226);
    Key_TimeCount = 3;
    Settings_Menu(1);
    EXPECT_EQ(settings.prime_time, 1230);
    Settings_Menu(-1);
    EXPECT_EQ(settings.prime_time, 1220);
    settings.prime_time = 1435;
    Settings_Menu(1);   // past the end of the day: wraps to midnight
    EXPECT_EQ(settings.prime_time, 0);

    m.select(36);
    settings.clock_x = 15;
    Settings_Menu(-1);   // 5, rounded down to 0, which is not a position
    EXPECT_EQ(settings.clock_x, 1);
    m.select(12);        // other rows keep single steps
    Settings_Menu(1);
    EXPECT_EQ(settings.freesize_warn_gb, 1);
}

TEST(MenuRows, TheDefaultViewBecomesTheViewInUseOnBufferedTvChannelsOnly) {
    Menu m;
    m.select(17);
    saved_view = 1;
    settings.view = 1;
    Settings_Menu(1);
    EXPECT_EQ(saved_view, 0);
    EXPECT_EQ(settings.view, 0);
    Settings_Menu(1);
    EXPECT_EQ(saved_view, 1);
    EXPECT_EQ(settings.view, 1);
    _svcType = SVC_TYPE_Radio;
    Settings_Menu(1);
    Settings_Menu(1);
    EXPECT_EQ(saved_view, 1);
    EXPECT_EQ(settings.view, 0);
}

TEST(MenuRows, TheEpgButtonRowsChangeTheKeysAtOnce) {
    Menu m;
    m.select(13);
    EXPECT_EQ(m.value(cursor), "  Guide");
    for (int i = 0; i < 7; ++i)
        Settings_Menu(1);
    EXPECT_EQ(m.value(cursor), "   Blue");
    EXPECT_EQ(first_EPG_key, uint32_t(RKEY_Blue));
    m.select(14);
    for (int i = 0; i < 8; ++i)
        Settings_Menu(-1);
    EXPECT_EQ(m.value(cursor), "     -");
    EXPECT_EQ(second_EPG_key, 0u);
    // The RC2 remote: entry 7 is its Guide key.
    settings.first_epg_button = 7;
    Set_Button(&first_EPG_key, nullptr, 7);
    m.select(50);
    Settings_Menu(1);
    EXPECT_EQ(first_EPG_key, uint32_t(RKEY_Guide));
}

TEST(MenuRows, ChangingTheCompressionEmptiesTheBufferAndTheSearchResults) {
    Menu m;
    int64_t t0 = sim::Clock::fromCivil({2026, 12, 7, 20, 0, 0});
    m.rx->firmware().epg.setSchedule(sim::kTv, 2, {{t0, t0 + 3600000, 1, "News", "", ""}});
    m.rx->firmware().epg.setSchedule(sim::kRadio, 0, {{t0, t0 + 3600000, 2, "Jazz", "", ""}});
    FillBuffer(SVC_TYPE_Tv, 2);
    FillBuffer(SVC_TYPE_Radio, 0);
    ASSERT_EQ(max_Event[2], 1);
    ASSERT_EQ(max_Event[SLOT_SCRATCH], 1);
    size_t blocksFilled = m.rx->firmware().heap.liveBlocks();
    CopyEPGBuf(SLOT_RESULT, 0, 2, 0);
    max_Event[SLOT_RESULT] = 1;
    m.select(33);
    EXPECT_EQ(Settings_Menu(-1), 0);   // stops at Off: nothing happens
    EXPECT_EQ(max_Event[2], 1);
    EXPECT_EQ(Settings_Menu(1), 1);
    EXPECT_EQ(settings.compress_text, 1);
    EXPECT_EQ(max_Event[2], 0);
    EXPECT_EQ(BlockSize[2], 0);
    EXPECT_EQ(max_Event[SLOT_RESULT], 0);   // its texts lay in the freed block
    EXPECT_EQ(max_Event[SLOT_SCRATCH], 0);
    EXPECT_EQ(m.rx->firmware().heap.liveBlocks(), blocksFilled - 2);   // both text blocks went back to the heap
}

TEST(MenuRows, TheChannelCountsFollowTheReceiverAndEachOther) {
    Menu m;
    EXPECT_EQ(settings.buffered_channels, 40);
    m.select(46);
    Settings_Menu(1);   // beyond the receiver's 40 TV channels
    EXPECT_EQ(settings.buffered_channels, 30);
    EXPECT_EQ(settings.scan_max_channels, 30);
    EXPECT_EQ(settings.ext_info_channels, 30);
    Settings_Menu(-1);
    EXPECT_EQ(settings.buffered_channels, 40);
    EXPECT_EQ(settings.scan_max_channels, 30);
    m.select(7);
    for (int i = 0; i < 10; ++i)
        Settings_Menu(1);
    EXPECT_EQ(settings.scan_max_channels, 40);
    EXPECT_EQ(m.at(201, cursor)->text, " EPG Scan: Scan max. channels  (13 min)");
    Settings_Menu(1);   // never more than the buffered channels
    EXPECT_EQ(settings.scan_max_channels, 10);
    m.select(47);
    settings.ext_info_channels = 40;
    Settings_Menu(1);
    EXPECT_EQ(settings.ext_info_channels, -1);
    EXPECT_EQ(m.value(cursor), "   Off");
}
