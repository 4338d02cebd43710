// The selected event's texts with the plug-in linked into a virtual receiver, driven by keys.
//   InfoStatusBar*  the short info in the foot line, smaller when it is wide
//   InfoWindow*     pages by blue, << and >>; "»" while more follow; font sizes; layouts; no text
//   InfoBar*        its sizes and first line by setting, paging, the rows it takes
//   InfoKey*        the five methods of the info key and what EXIT leaves open
#include <gtest/gtest.h>

#include <string>

#include "frame/state.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "tests/unit/views_testing.h"
#include "views/info.h"
#include "views/nowview.h"
#include "views/window.h"

using views::Bench;
using views::textAt;
using views::textOf;

namespace {

// Film ~ Drama with a long description of 40 lines "Line 01" .. "Line 40", 20:00-21:30 on
// channel 0; then the hourly "News 1" .. "News 11" without infos.
void longFilm(Bench &b) {
    std::string lines;
    for (int i = 1; i <= 40; ++i)
        lines += (i > 1 ? "\n" : "") + std::string(i < 10 ? "Line 0" : "Line ") + std::to_string(i);
    std::vector<sim::GuideEvent> events = {b.event("20:00", 90, "Film", "Drama", lines)};
    for (int i = 1; i <= 11; ++i) {
        events.push_back(b.event("21:30", 60, "News " + std::to_string(i)));
        events.back().startMs += (i - 1) * 3600000LL;
        events.back().endMs += (i - 1) * 3600000LL;
    }
    views::fill(b, 0, events);
}

// The text of line k of the info window (small font: 26 pixels a line; large: 30).
std::string windowLine(const sim::Screen &s, int k, int height = 26) { return textOf(s, 66, 113 + height * k); }

bool more(const sim::Screen &s) { return textOf(s, 644, 474) == "\xBB"; }

}  // namespace

// --- Status bar ---

TEST(InfoStatusBar, AWideShortInfoIsDrawnOneSizeSmallerAndLower) {
    Bench b = views::bench("20:05", 4);
    std::string wide = "A short info that goes on and on, much wider than the foot line of the guide can show";
    views::fill(b, 0, {b.event("20:00", 30, "Film", wide), b.event("20:30", 30, "Talk", "Guests")});
    settings.name_info_statusbar = 1;
    views::openNormal(*b.rx);
    auto &s = b.rx->screen();
    ASSERT_GT(s.textWidth(wide, 2), 585);
    const sim::ScreenText *t = textAt(s, 66, 476);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->text, wide);
    EXPECT_EQ(t->size, 1);
    b.rx->pressKey(RKEY_Down);
    t = textAt(s, 69, 473);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->text, "Guests");
    EXPECT_EQ(t->size, 2);
    EXPECT_EQ(s.osdPixel(640, 490), statusbox_color);
}

// --- Window ---

TEST(InfoWindow, ALongDescriptionPagesWithBlueAndTheRewindKeysAndTheLastPageHasNoMark) {
    Bench b = views::bench("20:05", 4);
    longFilm(b);
    views::openNormal(*b.rx);   // the info key's default: the bar, then the window
    auto &s = b.rx->screen();
    b.rx->pressKey(RKEY_Info);
    b.rx->pressKey(RKEY_Info);
    ASSERT_EQ(longinfo_mode, 2);
    EXPECT_EQ(textOf(s, 66, 76), "Mo 07.  20:00 - 21:30");
    EXPECT_EQ(textOf(s, 279, 76), "1. TV 1");
    EXPECT_EQ(windowLine(s, 0), "Film");
    EXPECT_EQ(windowLine(s, 1), "(none)");   // an empty line between title and infos
    EXPECT_EQ(windowLine(s, 2), "Drama");
    EXPECT_EQ(windowLine(s, 3), "Line 01");   // every '|' starts a new line
    EXPECT_EQ(windowLine(s, 14), "Line 12");
    EXPECT_TRUE(more(s));
    b.rx->pressKey(RKEY_Blue);
    EXPECT_EQ(windowLine(s, 0), "Line 13");
    b.rx->pressKey(RKEY_Forward);
    EXPECT_EQ(windowLine(s, 0), "Line 28");
    EXPECT_EQ(windowLine(s, 12), "Line 40");
    EXPECT_FALSE(more(s));
    b.rx->pressKey(RKEY_Forward);   // the last page stays
    EXPECT_EQ(windowLine(s, 0), "Line 28");
    b.rx->pressKey(RKEY_Rewind);
    EXPECT_EQ(windowLine(s, 0), "Line 13");
    EXPECT_TRUE(more(s));
    b.rx->pressKey(RKEY_Forward);
    b.rx->pressKey(RKEY_Info);      // after the last page the info closes
    EXPECT_EQ(longinfo_mode, 0);
    EXPECT_EQ(textOf(s, 201, 113), " Film ~ Drama");
    views::expectTextsFit(s, 70, 505, "the window's title");
}

TEST(InfoWindow, TheLargeFontShowsThirteenLinesAPage) {
    Bench b = views::bench("20:05", 4);
    longFilm(b);
    settings.info_open_method = 1;
    settings.info_font_large = 1;
    views::openNormal(*b.rx);
    b.rx->pressKey(RKEY_Info);
    auto &s = b.rx->screen();
    EXPECT_EQ(windowLine(s, 12, 30), "Line 10");
    EXPECT_EQ(textAt(s, 66, 113 + 30 * 12)->size, 2);
    EXPECT_TRUE(more(s));
    b.rx->pressKey(RKEY_Blue);
    EXPECT_EQ(windowLine(s, 0, 30), "Line 11");
}

TEST(InfoWindow, TheInfoExtenderLayoutLeavesTheShortInfoOut) {
    Bench b = views::bench("20:05", 4);
    longFilm(b);
    settings.info_open_method = 1;
    settings.desc_extender_support = 1;
    views::openNormal(*b.rx);
    b.rx->pressKey(RKEY_Info);
    auto &s = b.rx->screen();
    EXPECT_EQ(windowLine(s, 0), "Film");
    EXPECT_EQ(windowLine(s, 2), "Line 01");
    // The bar likewise begins with the long info.
    settings.info_open_method = 3;
    CloseInfoWin(0);
    DrawEPG(0);
    EXPECT_EQ(textOf(s, 66, 401), "Line 01");
}

TEST(InfoWindow, AnEventWithoutTextSaysSoAndTheNextInfoKeyCloses) {
    Bench b = views::bench("20:05", 4);
    settings.info_open_method = 1;
    views::openNormal(*b.rx);   // channel 1 has no events
    b.rx->pressKey(RKEY_Info);
    auto &s = b.rx->screen();
    EXPECT_EQ(textOf(s, 66, 76), "no EPG info");
    EXPECT_EQ(textAt(s, 66, 76)->fg, font_red);
    EXPECT_EQ(s.osdPixel(300, 300), box2_color);
    views::expectTextsFit(s, 70, 107, "no EPG info");
    b.rx->pressKey(RKEY_Info);
    EXPECT_EQ(longinfo_mode, 0);
    EXPECT_EQ(textOf(s, 67, 76), " EPG");
}

TEST(InfoWindow, TheNowViewShowsTheSelectedRowsEvent) {
    Bench b = views::bench("20:05", 4);
    longFilm(b);
    views::fill(b, 2, {b.event("20:00", 60, "Quiz", "Questions", "Who knows")});
    settings.info_open_method = 1;
    views::openNow(*b.rx);
    b.rx->pressKey(RKEY_Down);
    b.rx->pressKey(RKEY_Down);
    b.rx->pressKey(RKEY_Info);
    auto &s = b.rx->screen();
    EXPECT_EQ(textOf(s, 279, 76), "3. TV 3");
    EXPECT_EQ(windowLine(s, 0), "Quiz");
    EXPECT_EQ(windowLine(s, 3), "Who knows");
    b.rx->pressKey(RKEY_Teletext);   // another view: the window closes
    EXPECT_EQ(longinfo_mode, 0);
    EXPECT_EQ(settings.view, 0);
    EXPECT_EQ(textOf(s, 204, 76), "3. TV 3");
}

// --- Bar ---

TEST(InfoBar, EachSettingCoversItsRowsAndPagesWithBlue) {
    Bench b = views::bench("20:05", 4);
    longFilm(b);
    settings.info_open_method = 3;   // the bar always shows
    views::openNormal(*b.rx);
    auto &s = b.rx->screen();
    const int rows[] = {1, 2, 3, 3, 4};
    const int firstLine[] = {433, 401, 365, 365, 325};
    const int lines[] = {3, 4, 5, 6, 7};
    for (int setting = 0; setting < 5; ++setting) {
        settings.info_bar_lines = setting;
        longinfo_site = 1;
        DrawEPG(0);
        EXPECT_EQ(blocked_lines, rows[setting]) << setting;
        EXPECT_EQ(textOf(s, 66, firstLine[setting]), "Drama") << setting;   // the title is in the row
        EXPECT_EQ(views::row(s, 9 - rows[setting]).size(), 2u) << setting;   // the rows above stay
        int height = (firstLine[setting] == 433 || setting == 3) ? 23 : setting == 2 ? 27 : 25;
        EXPECT_EQ(textOf(s, 66, firstLine[setting] + height * (lines[setting] - 1)),
                  "Line 0" + std::to_string(lines[setting] - 1)) << setting;
        EXPECT_TRUE(more(s)) << setting;
    }
    // Blue pages on; past the last page the bar starts again.
    settings.info_bar_lines = 4;   // seven lines a page: 41 lines make six pages
    for (int page = 2; page <= 6; ++page)
        b.rx->pressKey(RKEY_Blue);
    EXPECT_EQ(textOf(s, 66, 325), "Line 35");
    EXPECT_FALSE(more(s));
    b.rx->advance(21000);   // the list's periodic redraw keeps the page
    EXPECT_EQ(textOf(s, 66, 325), "Line 35");
    b.rx->pressKey(RKEY_Blue);
    EXPECT_EQ(textOf(s, 66, 325), "Drama");
}

// --- Info key ---

TEST(InfoKey, MethodTwoOpensBarThenWindowAndExitInTheWindowReturnsToTheBar) {
    Bench b = views::bench("20:05", 4);
    longFilm(b);
    views::openNormal(*b.rx);
    cursor = 9;   // below the bar: the selection moves up, the page on
    ListOffset = 0;
    b.rx->pressKey(RKEY_Info);
    EXPECT_EQ(longinfo_mode, 1);
    EXPECT_EQ(cursor, 7);
    EXPECT_EQ(ListOffset, 2);
    b.rx->pressKey(RKEY_Info);
    EXPECT_EQ(longinfo_mode, 2);
    b.rx->pressKey(RKEY_Exit);
    EXPECT_EQ(longinfo_mode, 1);
    EXPECT_EQ(_epgShow, 1);
    EXPECT_EQ(textOf(b.rx->screen(), 66, 401), "News 9");   // the whole text of an event without infos
    b.rx->pressKey(RKEY_Exit);
    EXPECT_EQ(_epgShow, 0);
}

TEST(InfoKey, MethodOneClosesAllOnExitAndMethodsZeroThreeAndFourKeepTheirBars) {
    Bench b = views::bench("20:05", 4);
    longFilm(b);
    settings.info_open_method = 1;
    views::openNormal(*b.rx);
    b.rx->pressKey(RKEY_Info);
    EXPECT_EQ(longinfo_mode, 2);
    b.rx->pressKey(RKEY_Exit);
    EXPECT_EQ(longinfo_mode, 0);
    EXPECT_EQ(blocked_lines, 0);
    // 0: the bar pages with the info key and closes after its last page.
    settings.info_open_method = 0;
    settings.info_bar_lines = 4;
    b.rx->pressKey(RKEY_Info);
    EXPECT_EQ(longinfo_mode, 1);
    for (int page = 2; page <= 6; ++page)
        b.rx->pressKey(RKEY_Info);
    EXPECT_FALSE(more(b.rx->screen()));
    b.rx->pressKey(RKEY_Info);
    EXPECT_EQ(longinfo_mode, 0);
    // 3: the bar shows from the opening; the info key pages it round.
    b.rx->pressKey(RKEY_Exit);
    settings.info_open_method = 3;
    views::openNormal(*b.rx);
    EXPECT_EQ(longinfo_mode, 1);
    EXPECT_EQ(blocked_lines, 4);
    // 4: the key opens the window; after its last page the bar is back.
    settings.info_open_method = 4;
    b.rx->pressKey(RKEY_Info);
    EXPECT_EQ(longinfo_mode, 2);
    b.rx->pressKey(RKEY_Info);
    b.rx->pressKey(RKEY_Info);
    b.rx->pressKey(RKEY_Info);
    EXPECT_EQ(longinfo_mode, 1);
}
