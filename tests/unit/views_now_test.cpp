// The Now view with the plug-in linked into a virtual receiver, driven by keys.
//   NowViewPage*     the page stays inside the channel list; paging and the wrap of the loop modes
//   NowViewEvents*   which event each view shows, and the label in the title box, in three languages
//   NowViewColumns*  the middle cell by bar type, channels without events, numbers from 100 on
//   NowViewGreying*  channels the tuners cannot receive while recordings run
#include <gtest/gtest.h>

#include "frame/state.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "tests/unit/views_testing.h"
#include "views/nowview.h"

using views::Bench;
using views::Texts;
using views::row;
using views::textAt;
using views::textOf;

namespace {

// Channel `channel`'s events around the test's clock: A0 20:00-20:30, A1 20:30-21:00, A2 21:00-22:00,
// and tomorrow B 20:00-21:30 (the one running at prime time, 20:20).
void fourEvents(Bench &b, int channel) {
    std::string c = std::to_string(channel);
    views::fill(b, channel,
                {b.event("20:00", 30, "A0 " + c, "Short"), b.event("20:30", 30, "A1 " + c),
                 b.event("21:00", 60, "A2 " + c), b.event("22:00", 60, "A3 " + c), b.event("23:00", 60, "A4 " + c),
                 b.event("+1 20:00", 90, "B " + c)});
}

}  // namespace

// --- Page ---

TEST(NowViewPage, TheFirstChannelMovesBackUntilTheSelectedRowsChannelExists) {
    Bench b = views::bench("20:05", 30);
    views::openNow(*b.rx);
    _svcNum = 25;
    cursor = 8;
    Draw_Now(0);
    EXPECT_EQ(_svcNum, 21);
    EXPECT_EQ(cursor, 8);
    EXPECT_EQ(textOf(b.rx->screen(), 61, 113 + 36 * 8), " 30.");
    EXPECT_EQ(textOf(b.rx->screen(), 204, 76), "30. TV 30");
    EXPECT_TRUE(row(b.rx->screen(), 9).empty());   // no channel 31
}

TEST(NowViewPage, PagingStopsAtTheEndsAndTheLoopModesWrapAround) {
    Bench b = views::bench("20:05", 30);
    views::openNow(*b.rx);
    auto &s = b.rx->screen();
    b.rx->pressKey(RKEY_Forward);
    b.rx->pressKey(RKEY_Forward);
    EXPECT_EQ(textOf(s, 61, 113), " 21.");
    b.rx->pressKey(RKEY_Forward);   // channel 31 does not exist
    EXPECT_EQ(_svcNum, 20);
    b.rx->pressKey(RKEY_Rewind);
    b.rx->pressKey(RKEY_Rewind);
    b.rx->pressKey(RKEY_Rewind);
    EXPECT_EQ(_svcNum, 0);
    settings.show_scanned_only = 2;
    b.rx->pressKey(RKEY_Rewind);    // back from the first page: the last page, its last row
    EXPECT_EQ(_svcNum * 100 + cursor, 2009);
    EXPECT_EQ(textOf(s, 61, 113 + 36 * 9), " 30.");
    b.rx->pressKey(RKEY_Forward);   // on from the last page: the first, row 0
    EXPECT_EQ(_svcNum * 100 + cursor, 0);
    EXPECT_EQ(textOf(s, 61, 113), "  1.");
}

// --- Events ---

TEST(NowViewEvents, EachViewShowsItsEventWithItsLabel) {
    Bench b = views::bench("20:05", 12);
    for (int c = 0; c < 3; ++c)
        fourEvents(b, c);
    views::openNow(*b.rx);
    auto &s = b.rx->screen();
    EXPECT_EQ(textOf(s, 64, 76), " NOW");
    EXPECT_EQ(row(s, 1), (Texts{"  2.", "TV 2", " A0 1 ~ Short"}));
    b.rx->pressKey(RKEY_Right);
    EXPECT_EQ(textOf(s, 64, 76), " NEXT 1");
    EXPECT_EQ(textOf(s, 239, 113 + 36 * 2), " A1 2");
    b.rx->pressKey(RKEY_Right);
    EXPECT_EQ(textOf(s, 239, 113), " A2 0");
    // View 5: prime time tomorrow, the label in red.
    b.rx->pressKey(RKEY_Right);
    b.rx->pressKey(RKEY_Right);
    ASSERT_EQ(settings.view, 5);
    EXPECT_EQ(textOf(s, 66, 76), "Tu 08.  20:20");
    EXPECT_EQ(textAt(s, 66, 76)->fg, font_red);
    EXPECT_EQ(textOf(s, 239, 113 + 36), " B 1");
    EXPECT_EQ(textOf(s, 109, 113 + 36), "20:00 - 21:30");
    EXPECT_EQ(row(s, 3), (Texts{"  4.", "TV 4"}));   // nothing buffered: the name, no title
    b.rx->pressKey(RKEY_Right);
    b.rx->pressKey(RKEY_Right);
    EXPECT_EQ(settings.view, 6);   // the last view without following events
    // With following events view 5 counts on from the running event instead.
    settings.now_next_mode = 1;
    b.rx->pressKey(RKEY_Left);
    EXPECT_EQ(textOf(s, 64, 76), " NEXT 4");
    EXPECT_EQ(textOf(s, 239, 113), " A4 0");
    // The labels in German and Finnish.
    settings.language_choice = 2;
    Select_Language();
    Draw_Now(1);
    EXPECT_EQ(textOf(s, 64, 76), " DANACH 4");
    settings.language_choice = 3;
    Select_Language();
    Draw_Now(1);
    EXPECT_EQ(textOf(s, 64, 76), " Seuraava 4");
    settings.view = 1;
    Draw_Now(1);
    EXPECT_EQ(textOf(s, 64, 76), " NYT");
}

// --- Columns ---

TEST(NowViewColumns, TheMiddleCellFollowsTheBarTypeAndTheToggles) {
    Bench b = views::bench("20:05", 12);
    fourEvents(b, 0);
    fourEvents(b, 1);
    views::openNow(*b.rx);
    auto &s = b.rx->screen();
    cursor = 1;
    settings.timebar_now = 12;   // bar with the channel name below it
    Draw_Now(1);
    EXPECT_EQ(s.osdPixel(122, 113 + 36 + 6), 0xFFFAC800u);   // the bar of types 4, 8, 12, 16
    EXPECT_EQ(textOf(s, 121, 125 + 36), "TV 2");
    EXPECT_EQ(s.osdPixel(300, 113 + 36 + 20), box1_color);   // the selected row from edge to edge
    settings.timebar_now = -1;   // start above end, the name beside them
    Draw_Now(1);
    EXPECT_EQ(textOf(s, 198, 109), "20:00");
    EXPECT_EQ(textOf(s, 198, 125), "20:30");
    const sim::ScreenText *name = textAt(s, 109, 117);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text, "TV 1");
    EXPECT_EQ(name->left + name->width, 195);   // right-aligned
    nowmode_timeon = 1;          // view 1: left shows the times instead
    Draw_Now(1);
    EXPECT_EQ(textOf(s, 109, 113), "20:00 - 20:30");
    settings.timebar_now = 12;   // a later view with the names toggled on by Subtitle
    b.rx->pressKey(RKEY_Right);
    b.rx->pressKey(RKEY_Subtitle);
    ASSERT_EQ(show_name, 1);
    EXPECT_EQ(row(s, 0), (Texts{"  1.", "TV 1", " A1 0"}));
    b.rx->pressKey(RKEY_Subtitle);
    EXPECT_EQ(row(s, 0), (Texts{"  1.", "20:30 - 21:00", " A1 0"}));
}

TEST(NowViewColumns, NumbersFromOneHundredOnLoseThePeriodAndLogicalNumbersAlignRight) {
    Bench b = views::bench("20:05", 105);
    views::openNow(*b.rx);
    _svcNum = 95;
    Draw_Now(1);
    auto &s = b.rx->screen();
    EXPECT_EQ(textOf(s, 61, 113 + 36 * 3), " 99.");
    EXPECT_EQ(textOf(s, 61, 113 + 36 * 4), " 100");
    settings.lcn_support = 1;
    Draw_Now(1);
    const sim::ScreenText *number = textAt(s, 61, 113 + 36 * 4);
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->text, "100");
    EXPECT_EQ(number->left + number->width, 101);
    views::expectTextsFit(s, 107, 505, "Now view rows");
}

TEST(NowViewColumns, ChannelsBeyondTheBufferedOnesShowNoOtherChannelsEvents) {
    Bench b = views::bench("20:05", 40);
    settings.buffered_channels = 30;
    fourEvents(b, 33);   // read into the scratch slot, which any unbuffered channel would map to
    views::openNow(*b.rx);
    _svcNum = 30;
    Draw_Now(1);
    auto &s = b.rx->screen();
    EXPECT_EQ(row(s, 3), (Texts{" 34.", "TV 34"}));
    EXPECT_EQ(row(s, 4), (Texts{" 35.", "TV 35"}));
}

// --- Greying ---

namespace {

// The colour of channel `channel`'s number on the page that starts with channel `first`.
uint32_t numberColor(sim::Receiver &rx, int first, int channel) {
    _svcNum = first;
    cursor = 0;
    Draw_Now(1);
    const sim::ScreenText *t = textAt(rx.screen(), 61, 113 + 36 * (channel - first));
    return t ? t->fg : 0;
}

}  // namespace

TEST(NowViewGreying, RecordingsGreyTheChannelsNoTunerCanReceive) {
    // Channels 0-7 share transponder 1, 8-15 transponder 2, 16-23 transponder 3.
    Bench b = views::bench("20:05", 24);
    views::openNow(*b.rx);
    EXPECT_EQ(numberColor(*b.rx, 0, 8), font2_color);
    ASSERT_GE(b.rx->record({sim::kTv, 2}), 0);
    // Whenever something records (the default): every other transponder is grey.
    EXPECT_EQ(numberColor(*b.rx, 0, 7), font2_color);
    EXPECT_EQ(numberColor(*b.rx, 0, 8), font_gray);
    EXPECT_EQ(textAt(b.rx->screen(), 121, 117 + 36 * 8)->fg, font_gray);   // the name too
    // Only when both tuners are busy: one recording greys nothing ...
    settings.fade_names_recording = 2;
    EXPECT_EQ(numberColor(*b.rx, 0, 8), font2_color);
    // ... two on different transponders grey the third.
    ASSERT_GE(b.rx->record({sim::kTv, 9}), 0);
    EXPECT_EQ(numberColor(*b.rx, 10, 15), font2_color);
    EXPECT_EQ(numberColor(*b.rx, 10, 16), font_gray);
    EXPECT_EQ(numberColor(*b.rx, 0, 3), font2_color);
    settings.fade_names_recording = 0;
    EXPECT_EQ(numberColor(*b.rx, 10, 16), font2_color);
    b.rx->stopRecordings(nullptr);
    settings.fade_names_recording = 1;
    EXPECT_EQ(numberColor(*b.rx, 10, 16), font2_color);
}

// --- Longest texts ---

TEST(NowViewEvents, TheLongestLabelsAndCellsFitInEveryLanguage) {
    Bench b = views::bench("23:50", 105);
    views::fill(b, 98, {b.event("23:45", 20, "Late")});
    views::openNow(*b.rx);
    auto &s = b.rx->screen();
    settings.now_next_mode = 1;
    _svcNum = 95;
    for (int choice = 1; choice <= 3; ++choice) {
        settings.language_choice = choice;
        Select_Language();
        settings.view = 499;   // " NEXT 498" and its translations
        timeline_mode = 0;
        Draw_Now(1);
        views::expectTextsFit(s, 70, 107, "the title box");
        settings.view = 1;     // the chosen time, stacked times and names
        settings.timebar_now = -1;
        timeline_mode = 1;
        temp_h = 23;
        temp_min = 45;
        Draw_Now(1);
        EXPECT_EQ(textOf(s, 198, 109 + 36 * 3), "23:45");
        views::expectTextsFit(s, 70, 505, "the chosen time");
        settings.timebar_now = 0;
        Draw_Now(1);
        EXPECT_EQ(textOf(s, 109, 113 + 36 * 3), "23:45 - 00:05");
        views::expectTextsFit(s, 70, 505, "times");
    }
}
