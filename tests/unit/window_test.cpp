// The window frame, the Normal view, the progress bar, the clock duty and the chosen time, with
// the plug-in linked into a virtual receiver.
//   WindowList*       what the guide shows on opening and after moving: titles, times, colours,
//                     grid; empty channels; the status-bar layout; after the last event; radio
//   WindowResults*    search results: shifted columns, weekday, channel number, title, count
//   WindowFrame*      WSS Guard events; saved positions; editors keep their page; Now view page
//   WindowTimeBar*    placement, width and colours by type, texts, missing records, no length;
//                     nothing left behind by a bar or a name the new state does not draw
//   WindowClock*      the clock and countdown once per second; the list follows the running event
//   WindowChosenTime* quarter hours across midnight; the chosen time taken from each view
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "epgdb/buffer.h"
#include "epgdb/fill.h"
#include "frame/idle.h"
#include "frame/state.h"
#include "search/results.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "tests/unit/epgdb_testing.h"
#include "views/info.h"
#include "views/window.h"

using epgtest::Bench;

namespace {

// The visible text drawn at exactly (x, y), the latest if several; null when there is none.
const sim::ScreenText *textAt(const sim::Screen &screen, int x, int y) {
    const sim::ScreenText *found = nullptr;
    for (const auto &t : screen.texts())
        if (t.x == x && t.y == y)
            found = &t;
    return found;
}
std::string textOf(const sim::Screen &screen, int x, int y) {
    const sim::ScreenText *t = textAt(screen, x, y);
    return t ? t->text : "(none)";
}

// The visible texts of grid row `row` (y 113 + 36 row), left to right.
std::vector<std::string> row(const sim::Screen &screen, int r) {
    std::vector<const sim::ScreenText *> in;
    for (const auto &t : screen.texts())
        if (t.y == 113 + 36 * r)
            in.push_back(&t);
    std::stable_sort(in.begin(), in.end(), [](const auto *a, const auto *b) { return a->x < b->x; });
    std::vector<std::string> out;
    for (const auto *t : in)
        out.push_back(t->text);
    return out;
}
using Texts = std::vector<std::string>;

// A bench with the plug-in started at `clock` ("HH:MM[:SS]" on 2026-12-07, a Monday).
Bench bench(const std::string &clock, int tvChannels = 5) {
    return Bench("2026-12-07 " + clock, tvChannels, sim::Heap::kDefaultSize, true);
}

// The first EPG button (Guide) until the views are open.
void openGuide(sim::Receiver &rx) {
    for (int i = 0; i < 2 && _epgShow == 0; ++i)
        rx.pressKey(RKEY_Guide);
    ASSERT_EQ(_epgShow, 1);
}

// count back-to-back events of `minutes` from `from`, titled title0, title1, ... with short info.
std::vector<sim::GuideEvent> series(const Bench &b, const std::string &from, int count, int minutes,
                                    const std::string &title) {
    std::vector<sim::GuideEvent> out;
    for (int i = 0; i < count; ++i) {
        sim::GuideEvent e = b.event(from, minutes, title + std::to_string(i), "Part " + std::to_string(i), "Long");
        e.startMs += int64_t(i) * minutes * 60000;
        e.endMs += int64_t(i) * minutes * 60000;
        out.push_back(e);
    }
    return out;
}

uint32_t gradient(int c) {
    return 0xFF000000u | uint32_t(c <= 50 ? 50 + 4 * c : 250) << 16 | uint32_t(c <= 50 ? 200 : 404 - 4 * c) << 8;
}

}  // namespace

// --- Normal view ---

TEST(WindowList, GuideOpensOnTheRunningEventWithChannelDateTimesAndTitles) {
    Bench b = bench("20:05");
    b.schedule(0, 0, {b.event("20:00", 15, "News", "Headlines", "Line one\nLine two"),
                      b.event("20:15", 45, "Film", "Drama"), b.event("21:00", 60, "Talk")});
    openGuide(*b.rx);
    auto &s = b.rx->screen();
    ASSERT_EQ(settings.view, 0);
    EXPECT_EQ(textOf(s, 204, 76), "1. TV 1");
    EXPECT_EQ(textAt(s, 204, 76)->fg, font_title);
    EXPECT_EQ(textOf(s, 64, 76), " Mo   7.12.");
    EXPECT_EQ(row(s, 0), (Texts{" 20:00 - 20:15", " News ~ Headlines"}));   // never the long info
    EXPECT_EQ(textAt(s, 61, 113)->fg, font_boxselected);                    // running, selected
    EXPECT_EQ(textAt(s, 61, 113)->bg, box1_color);
    EXPECT_EQ(row(s, 1), (Texts{" 20:15 - 21:00", " Film ~ Drama"}));
    EXPECT_EQ(textAt(s, 201, 149)->fg, font2_color);
    EXPECT_EQ(row(s, 2), (Texts{" 21:00 - 22:00", " Talk"}));
    EXPECT_TRUE(row(s, 3).empty());
    // Grid: selected and plain rows, lines, frame, shadows; nothing outside.
    EXPECT_EQ(s.osdPixel(640, 125), box1_color);
    EXPECT_EQ(s.osdPixel(640, 160), box2_color);
    EXPECT_EQ(s.osdPixel(300, 144), fineline_color);
    EXPECT_EQ(s.osdPixel(200, 160), fineline_color);
    EXPECT_EQ(s.osdPixel(58, 300), fineline_color);
    EXPECT_EQ(s.osdPixel(665, 300), box_shadow);
    EXPECT_EQ(s.osdPixel(300, 510), box_shadow);
    EXPECT_EQ(s.osdPixel(30, 300), 0u);
    b.rx->idle();
    EXPECT_EQ(textOf(s, 567, 76), "20:05:00");
}

TEST(WindowList, AChannelWithoutEventsShowsTheEpgMarkAndNoSelection) {
    Bench b = bench("20:05");
    openGuide(*b.rx);
    EXPECT_EQ(textOf(b.rx->screen(), 67, 76), " EPG");
    for (int r = 0; r < WINDOW_ROWS; ++r)
        EXPECT_TRUE(row(b.rx->screen(), r).empty()) << r;
    EXPECT_EQ(b.rx->screen().osdPixel(640, 125), box2_color);
}

TEST(WindowList, StatusBarLayoutShowsTenRowsAndTitlesWithoutShortInfo) {
    Bench b = bench("08:00");
    b.schedule(0, 0, series(b, "08:00", 14, 60, "Show "));
    settings.name_info_statusbar = 3;
    openGuide(*b.rx);
    auto &s = b.rx->screen();
    EXPECT_EQ(row(s, 9), (Texts{" 17:00 - 18:00", " Show 9"}));
    EXPECT_EQ(row(s, 10), (Texts{"Part 0"}));   // the status bar: the selected event's short info
    settings.name_info_statusbar = 0;
    DrawEventBuf(0);
    EXPECT_EQ(row(s, 10), (Texts{" 18:00 - 19:00", " Show 10 ~ Part 10"}));
}

TEST(WindowList, AfterTheLastEventTheCursorStandsOnTheEmptyRowBehindIt) {
    Bench b = bench("21:30");
    b.schedule(0, 0, {b.event("21:00", 60, "Late"), b.event("22:00", 60, "Last")});
    FillBuffer(SVC_TYPE_Tv, 0);
    b.schedule(0, 0, {});   // the firmware no longer has them; the buffer keeps them
    b.clock("23:30");
    openGuide(*b.rx);
    EXPECT_EQ(ListOffset, 2);
    EXPECT_TRUE(row(b.rx->screen(), 0).empty());
    EXPECT_EQ(b.rx->screen().osdPixel(640, 125), box1_color);   // the selection stands there
    b.rx->pressKey(RKEY_Up);
    EXPECT_EQ(row(b.rx->screen(), 0), (Texts{" 22:00 - 23:00", " Last"}));
}

TEST(WindowList, MovingRedrawsWholeRowsAndTheChosenTimeShowsInRed) {
    Bench b = bench("20:05");
    auto events = series(b, "20:00", 30, 10, "E");
    events[0].title = "A rather long title of the first event";
    b.schedule(0, 0, events);
    openGuide(*b.rx);
    auto &s = b.rx->screen();
    for (int i = 0; i < 12; ++i)
        b.rx->pressKey(RKEY_Down);
    EXPECT_EQ(ListOffset, 3);
    EXPECT_EQ(cursor, 9);
    EXPECT_EQ(row(s, 0), (Texts{" 20:30 - 20:40", " E3 ~ Part 3"}));
    EXPECT_EQ(textAt(s, 201, 113 + 36 * 9)->fg, font1_color);
    EXPECT_EQ(s.osdPixel(640, 125), box2_color);   // the highlight moved with the cursor
    EXPECT_EQ(s.osdPixel(640, 113 + 36 * 9 + 10), box1_color);
    b.rx->pressKey(RKEY_Rewind);                    // back to the long title, then a page on:
    b.rx->pressKey(RKEY_Forward);                   // nothing of it stays in its row
    EXPECT_EQ(s.osdPixel(560, 125), box2_color);
    b.rx->pressKey(RKEY_Next);                      // >| : from the selected 23:10 to 23:15
    EXPECT_EQ(timeline_mode, 1);
    EXPECT_EQ(textOf(s, 66, 76), "Mo 07.  23:15");
    EXPECT_EQ(textAt(s, 66, 76)->fg, font_red);
    EXPECT_EQ(row(s, 0)[0], " 23:10 - 23:20");
}

TEST(WindowList, ARadioChannelIsReadIntoTheScratchSlotAndShownAsAList) {
    Bench b = bench("20:05");
    b.schedule(SVC_TYPE_Radio, 1, {b.event("20:00", 120, "Konzert", "Live")});
    b.rx->tune(SVC_TYPE_Radio, 1);
    settings.first_button_view = 3;   // the Now view is asked for, but radio has only the list
    openGuide(*b.rx);
    EXPECT_EQ(settings.view, 0);
    EXPECT_EQ(max_Event[SLOT_SCRATCH], 1);
    EXPECT_EQ(textOf(b.rx->screen(), 204, 76), "2. Radio 2");
    EXPECT_EQ(row(b.rx->screen(), 0), (Texts{" 20:00 - 22:00", " Konzert ~ Live"}));
}

// --- Result lists ---

TEST(WindowResults, ResultsShiftRightWithWeekdayChannelAndPositionOrSayThereAreNone) {
    Bench b = bench("20:05");
    openGuide(*b.rx);
    auto &s = b.rx->screen();
    search_mode = 3;
    DrawEPG(1);
    EXPECT_EQ(textOf(s, 204, 76), "No Search Results");
    language = LAN_German;
    DrawEPG(1);
    EXPECT_EQ(textOf(s, 204, 76), "Keine Suchergebnisse");
    language = LAN_English;

    b.schedule(0, 0, {b.event("20:00", 15, "News"), b.event("20:15", 45, "Film", "Drama")});
    b.schedule(0, 2, {b.event("+1 09:00", 30, "Film again")});
    FillBuffer(SVC_TYPE_Tv, 0);
    FillBuffer(SVC_TYPE_Tv, 2);
    CopyEPGBuf(SLOT_RESULT, 0, 0, 1);
    CopyEPGBuf(SLOT_RESULT, 1, 2, 0);
    max_Event[SLOT_RESULT] = 2;
    searchresult_ext[0].channel = 0;
    searchresult_ext[1].channel = 2;
    cursor = 1;
    DrawEventBuf(0);
    EXPECT_EQ(row(s, 0), (Texts{" Mo", " 20:15 - 21:00", " Film ~ Drama", "1"}));
    EXPECT_EQ(row(s, 1), (Texts{" Tu", " 09:00 - 09:30", " Film again", "3"}));
    EXPECT_GT(textAt(s, 620, 149)->left, 640);   // the channel number right-aligned
    EXPECT_EQ(textOf(s, 204, 76), "3. TV 3");
    EXPECT_EQ(textOf(s, 489, 76), "2/2");
    EXPECT_EQ(textOf(s, 64, 76), " Tu   8.12.");
    EXPECT_EQ(s.osdPixel(100, 125), fineline_color);
    EXPECT_EQ(s.osdPixel(619, 125), fineline_color);
}

// --- Frame ---

TEST(WindowFrame, TheWssGuardHearsOfOpeningAndClosingOnlyWhenAskedFor) {
    Bench b = bench("20:05");
    const auto &sent = b.rx->firmware().system.generated();
    openGuide(*b.rx);
    settings.wssguard_support = 1;
    DrawEPG(1);
    DrawEPG(11);   // the refresh's redraw opens without telling
    DrawEPG(0);
    cls_wss();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].code, uint32_t(EVT_KEY));
    EXPECT_EQ(sent[0].param1, uint32_t(WSS_WINDOW_OPENED));
    EXPECT_EQ(sent[1].param1, uint32_t(WSS_WINDOW_CLOSED));
    EXPECT_TRUE(b.rx->screen().osdEmpty());
}

TEST(WindowFrame, ARedrawReturnsToTheSavedPositionButAnEditorKeepsItsPage) {
    Bench b = bench("08:00");
    b.schedule(0, 0, series(b, "08:00", 20, 30, "Show "));
    openGuide(*b.rx);
    cursor_store = 4;
    ListOffset_store = 6;
    DrawEPG(0);
    EXPECT_EQ(row(b.rx->screen(), 4)[1], " Show 10 ~ Part 10");
    menu = 1;
    ListOffset = 22;   // the settings menu's third page
    DrawEPG(0);
    EXPECT_EQ(ListOffset, 22);
    DrawEPG(1);        // opening it starts at the top
    EXPECT_EQ(ListOffset, 0);
}

TEST(WindowFrame, TheNowViewOpensOnThePageItsSettingChooses) {
    Bench b = bench("20:05", 40);
    b.rx->tune(SVC_TYPE_Tv, 23);
    settings.first_button_view = 3;
    settings.now_first_channel = -1;   // the page of ten
    openGuide(*b.rx);
    ASSERT_EQ(settings.view, 1);
    EXPECT_EQ(_svcNum * 100 + cursor, 2003);
    settings.now_first_channel = -2;   // centred in row 5, or row 4 with the status bar
    settings.name_info_statusbar = 0;
    _svcNum = 23, cursor = 0;
    DrawEPG(1);
    EXPECT_EQ(_svcNum * 100 + cursor, 1805);
    settings.name_info_statusbar = 3;
    _svcNum = 2, cursor = 0;
    DrawEPG(1);
    EXPECT_EQ(_svcNum * 100 + cursor, 2);
    settings.now_first_channel = 21;   // row 0 channel 21, the cursor on the channel on air
    DrawEPG(1);
    EXPECT_EQ(_svcNum * 100 + cursor, 2003);
    svcNum_store = 30, cursor_store = 7;
    DrawEPG(0);
    EXPECT_EQ(_svcNum * 100 + cursor, 3007);
}

// --- Progress bar ---

TEST(WindowTimeBar, TypeSixShowsThirtyOfOneHundredTwentyMinutesAsAQuarter) {
    Bench b = bench("20:30");
    b.schedule(0, 0, {b.event("20:00", 120, "Show")});
    FillBuffer(SVC_TYPE_Tv, 0);
    cls();
    TimeBar(0, 0, 6, 0, 0, titlebox_color, font_title);
    auto &s = b.rx->screen();
    EXPECT_EQ(s.osdPixel(454, 80), 0xff788cf0u);   // frame at (454, 74), 102 x 13
    EXPECT_EQ(s.osdPixel(480, 80), 0xFF9AC800u);   // a box of 26 pixels from 455
    EXPECT_EQ(s.osdPixel(481, 80), timeline_background);
    EXPECT_EQ(s.osdPixel(557, 72), titlebox_color);   // cleared first
    EXPECT_EQ(textOf(s, 454, 88), " 25%     30/120");
    EXPECT_EQ(textAt(s, 454, 88)->maxX, 570);
}

TEST(WindowTimeBar, EachTypeGroupDrawsItsOwnWayAndPlace) {
    Bench b = bench("20:30");
    b.schedule(0, 0, {b.event("20:00", 100, "Show")});   // 30 of 100 minutes: 31 columns
    FillBuffer(SVC_TYPE_Tv, 0);
    cls();
    auto &s = b.rx->screen();
    TimeBar(0, 0, 1, 0, 0, titlebox_color, font_title);   // column by column, inside at (455, 81)
    EXPECT_EQ(s.osdPixel(470, 95), gradient(16));
    EXPECT_EQ(s.osdPixel(485, 90), gradient(31));
    EXPECT_EQ(s.osdPixel(486, 90), timeline_background);
    EXPECT_TRUE(s.texts().empty());
    TimeBar(0, 0, 3, 0, 0, titlebox_color, font_title);
    EXPECT_EQ(s.osdPixel(485, 90), 0xff0000c8u);
    EXPECT_EQ(s.osdPixel(486, 90), 0xffa0b4c8u);
    TimeBar(0, 0, 15, 0, 0, titlebox_color, font_title);
    EXPECT_EQ(s.osdPixel(485, 80), 0xff0000c8u);
    EXPECT_EQ(textOf(s, 444, 88), "20:00  -  21:40");   // right-aligned up to 568
    EXPECT_GT(textAt(s, 444, 88)->left, 444);
    TimeBar(0, 0, 10, 0, 0, titlebox_color, font_title);
    EXPECT_EQ(textOf(s, 454, 88), "TV 1");
    // Only y (the Now view's row 2): at (121, 185) without frame.
    TimeBar(0, 0, 6, 0, 36 * 2 + 41, box2_color, font2_color);
    EXPECT_EQ(s.osdPixel(121, 185), gradient(31));
    EXPECT_EQ(s.osdPixel(121, 184), box2_color);
    EXPECT_EQ(textOf(s, 121, 197), " 30%     30/100");
    // x and y given (the extra clock): exactly there, no text for types up to 12.
    b.clock("21:30");
    TimeBar(0, 0, 6, 45, 300, box2_color, font2_color);
    EXPECT_EQ(s.osdPixel(135, 300), gradient(91));
    EXPECT_EQ(s.osdPixel(136, 300), timeline_background);
    EXPECT_EQ(textAt(s, 45, 312), nullptr);
}

TEST(WindowTimeBar, NothingForTypeZeroOrAMissingRecordAndAnEventWithoutLengthIsFull) {
    Bench b = bench("20:30");
    b.schedule(0, 0, {b.event("20:00", 120, "Show")});
    FillBuffer(SVC_TYPE_Tv, 0);
    cls();
    auto &s = b.rx->screen();
    TimeBar(0, 0, 0, 0, 0, titlebox_color, font_title);
    TimeBar(0, 1, 6, 0, 0, titlebox_color, font_title);
    TimeBar(0, -1, 6, 0, 0, titlebox_color, font_title);
    TimeBar(1, 0, 6, 0, 0, titlebox_color, font_title);
    TimeBar(0, 1, 13, 45, 56, box2_color, font2_color);
    EXPECT_TRUE(s.osdEmpty());
    EpgRecord(0, 0)->dur_hour = 0;
    EpgRecord(0, 0)->dur_min = 0;
    TimeBar(0, 0, 5, 0, 0, titlebox_color, font_title);
    EXPECT_EQ(textOf(s, 454, 88), "100%      1/1");
    EXPECT_EQ(s.osdPixel(554, 80), gradient(100));
}

TEST(WindowTimeBar, ABarTheNewStateDoesNotDrawIsCleared) {
    Bench b = bench("20:30");
    b.schedule(0, 0, series(b, "20:00", 40, 60, "Show"));
    openGuide(*b.rx);
    b.rx->advance(1000);
    auto &s = b.rx->screen();
    ASSERT_EQ(textOf(s, 454, 88), " 50%     30/60");   // the running event's bar (type 5)
    ASSERT_NE(s.osdPixel(460, 80), titlebox_color);
    // Prime time and the days after it have no bar: nothing of the last one stays.
    for (uint32_t key : {RKEY_Sleep, RKEY_Yellow, RKEY_Yellow}) {
        b.rx->pressKey(key);
        b.rx->advance(1000);
        ASSERT_EQ(timeline_mode, 1);
        EXPECT_EQ(textAt(s, 454, 88), nullptr) << std::hex << key;
        for (int x = 454; x < 558; ++x)
            ASSERT_EQ(s.osdPixel(x, 80), titlebox_color) << "x " << x << ", key " << std::hex << key;
    }
}

TEST(WindowTimeBar, ALongChannelNameMakesRoomWhenTheBarComesOn) {
    Bench b = bench("20:30");
    b.fw().channels = sim::Channels({{sim::kTv, std::string(23, 'W'), 1000, 1, 1, ""}});
    b.fw().channels.tune(sim::kTv, 0, sim::TuneSource::Firmware);
    b.schedule(0, 0, series(b, "20:00", 4, 60, "Show"));
    settings.timebar_title = 0;
    openGuide(*b.rx);
    auto &s = b.rx->screen();
    ASSERT_GT(textAt(s, 204, 76)->left + textAt(s, 204, 76)->width, 558);   // the name reaches past the bar
    b.rx->pressKey(RKEY_Subtitle);
    b.rx->advance(1000);
    ASSERT_EQ(settings.timebar_title, 1);
    EXPECT_LE(textAt(s, 204, 76)->left + textAt(s, 204, 76)->width, 454);
    for (int y = 71; y < 107; ++y)
        for (int x = 558; x < 564; ++x)
            ASSERT_EQ(s.osdPixel(x, y), titlebox_color) << "x " << x << ", y " << y;
}

// --- Clock duty ---

TEST(WindowClock, TheClockTicksOncePerSecondAndTheKeyWindowCountsFromItsKey) {
    Bench b = bench("20:05");
    openGuide(*b.rx);
    b.rx->advance(700);
    countdown = 3;   // as a digit leaves it
    countdown_tick = b.rx->firmware().clock.ticks();
    b.rx->idle();
    b.rx->idle();
    EXPECT_EQ(countdown, 3);
    EXPECT_EQ(textOf(b.rx->screen(), 567, 76), "20:05:00");
    b.rx->advance(500);   // a new second of the clock, half a second of the window
    EXPECT_EQ(countdown, 3);
    EXPECT_EQ(textOf(b.rx->screen(), 567, 76), "20:05:01");
    b.rx->advance(500);
    EXPECT_EQ(countdown, 2);
    b.rx->advance(2000);
    EXPECT_EQ(countdown, 0);
}

TEST(WindowClock, TheListFollowsTheRunningEventWithoutMovingThePage) {
    Bench b = bench("20:14:50");
    b.schedule(0, 0, {b.event("20:00", 15, "News"), b.event("20:15", 45, "Film")});
    openGuide(*b.rx);
    auto &s = b.rx->screen();
    EXPECT_EQ(textAt(s, 201, 113)->fg, font_boxselected);
    b.rx->advance(11000);
    EXPECT_EQ(ListOffset + cursor, 0);
    EXPECT_EQ(textAt(s, 201, 113)->fg, font1_color);
    EXPECT_EQ(textAt(s, 201, 149)->fg, font_selected_color);
    EXPECT_EQ(textOf(s, 454, 88), "100%     15/15");   // the bar of the selected event
    timeline_mode = 1;
    cls();
    b.rx->advance(2000);
    EXPECT_EQ(textAt(s, 454, 88), nullptr);            // no bar for a chosen time
}

TEST(WindowClock, TheTimerListIsNotDrawnOverAMessageThatWaitsForAKey) {
    Bench b = bench("20:05");
    TimerRecord t;
    std::memset(&t, 0, sizeof t);
    t.is_rec = 1;
    t.tuner = 3;
    t.duration = 60;
    t.start = (dword(time_mjd + 20) << 16) | (20u << 8);   // far beyond the guide
    std::strcpy(t.name, "Later.rec");
    ASSERT_EQ(TAP_Timer_Add(&t), 0);
    openGuide(*b.rx);
    b.rx->pressKey(RKEY_TimerList);
    b.rx->pressKey(RKEY_Blue);   // find the timer's event: there is none
    auto &s = b.rx->screen();
    ASSERT_TRUE(s.shows("No event found for this timer!"));
    b.rx->advance(12000);        // past the list's ten-second redraw
    EXPECT_TRUE(s.shows("No event found for this timer!"));
    b.rx->pressKey(RKEY_Down);   // closes the message only
    EXPECT_FALSE(s.shows("No event found for this timer!"));
    EXPECT_TRUE(s.shows("Later"));   // the list again
}

// --- Chosen time ---

TEST(WindowChosenTime, QuarterHourStepsCarryAcrossMidnightBothWays) {
    Bench b = bench("20:05");
    word today = time_mjd;
    temp_mjd = today, temp_h = 23, temp_min = 50;
    TempTime(15);
    EXPECT_EQ(temp_mjd * 10000 + temp_h * 100 + temp_min, (today + 1) * 10000);
    TempTime(-15);
    TempTime(-15);
    EXPECT_EQ(temp_mjd * 10000 + temp_h * 100 + temp_min, today * 10000 + 2330);
}

TEST(WindowChosenTime, TheChosenTimeFollowsTheSelectionOfEachView) {
    Bench b = bench("20:05");
    int today = time_mjd;
    b.schedule(0, 0, {b.event("20:00", 40, "News"), b.event("20:40", 50, "Film"), b.event("21:30", 60, "Talk")});
    openGuide(*b.rx);
    auto chosen = [] { return temp_mjd * 10000 + temp_h * 100 + temp_min; };
    cursor = 1;                   // Film at 20:40
    DrawEventBuf(0);
    EXPECT_EQ(chosen(), today * 10000 + 2030);
    cursor = 5;                   // an empty row: the present
    TempTime(0);
    EXPECT_EQ(chosen(), today * 10000 + 2000);
    cursor = 0;
    settings.view = 3;            // the second following event
    TempTime(0);
    EXPECT_EQ(chosen(), today * 10000 + 2130);
    settings.view = 5;            // prime time tomorrow
    TempTime(0);
    EXPECT_EQ(chosen(), (today + 1) * 10000 + 2020);
    timeline_mode = 1;            // a chosen time in force stays
    temp_h = 7;
    TempTime(0);
    EXPECT_EQ(temp_h, 7);
}

TEST(WindowChosenTime, AFollowingEventViewOnAnUnbufferedChannelTakesThePresent) {
    Bench b = bench("20:05", 40);
    int today = time_mjd;
    settings.buffered_channels = 30;
    // The scratch slot holds another channel's events: they say nothing of channel 35.
    b.schedule(sim::kRadio, 0, {b.event("19:30", 60, "Radio news"), b.event("20:30", 60, "Radio music")});
    FillBuffer(SVC_TYPE_Radio, 0);
    ASSERT_EQ(max_Event[SLOT_SCRATCH], 2);
    _svcType = SVC_TYPE_Tv;
    _svcNum = 30;
    cursor = 5;
    settings.view = 2;
    timeline_mode = 0;
    search_mode = 0;
    TempTime(0);
    EXPECT_EQ(temp_mjd * 10000 + temp_h * 100 + temp_min, today * 10000 + 2000);
}
