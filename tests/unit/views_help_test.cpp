// The help page and the lists' key bars with the plug-in linked into a virtual receiver.
//   HelpPage*  the page in three languages and for the RC2 remote; any key closes it in place
//   KeyBars*   each coloured mark stands just before the words of its key, in three languages
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/state.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "tests/unit/views_testing.h"
#include "views/help.h"
#include "views/window.h"

using views::Bench;
using views::textOf;

namespace {

void useLanguage(int choice) {
    settings.language_choice = choice;   // 1 English, 2 German, 3 Finnish
    Select_Language();
}

}  // namespace

// --- Help page ---

TEST(HelpPage, ElevenKeysInEachLanguageAllDrawnWhole) {
    Bench b = views::bench("20:05", 10);
    views::openNormal(*b.rx);
    auto &s = b.rx->screen();
    struct Expect {
        int choice;
        const char *heading, *row1, *label5, *label9;
    } expects[] = {
        {1, "Button Description", "15 min forward / backwards", " TeleText", " |> (Slow)"},
        {2, "Tastenbelegung", "15 min vor / zur\xFC" "ck springen", " TeleText", " |> (Slow)"},
        {3, "N\xE4pp\xE4intoiminnot", "15 min eteen / taakse", " Teksti-TV", " |> Hidastus"},
    };
    for (const auto &e : expects) {
        useLanguage(e.choice);
        b.rx->pressKey(RKEY_Help);
        ASSERT_EQ(help, 1);
        EXPECT_EQ(textOf(s, 67, 76), " Info");
        EXPECT_EQ(textOf(s, 209, 76), e.heading);
        EXPECT_EQ(textOf(s, 209, 113 + 36), e.row1);
        EXPECT_EQ(textOf(s, 61, 113 + 36 * 5), e.label5);
        EXPECT_EQ(textOf(s, 61, 113 + 36 * 9), e.label9);
        EXPECT_EQ(textOf(s, 61, 113 + 36 * 10), " Record /");
        views::expectTextsFit(s, 70, 505, e.heading);
        for (int r = 0; r < 11; ++r)
            EXPECT_EQ(views::row(s, r).size(), 2u) << e.heading << " row " << r;
        b.rx->pressKey(RKEY_Exit);
        ASSERT_EQ(help, 0);
        ASSERT_EQ(_epgShow, 1);   // EXIT only closed the help
    }
    // The timer-list key beside " Record /": a sheet with a folded corner and two lines.
    b.rx->pressKey(RKEY_Help);
    EXPECT_EQ(s.osdPixel(170, 484), font2_color);
    EXPECT_EQ(s.osdPixel(170, 490), font2_color);
    EXPECT_EQ(s.osdPixel(187, 490), font2_color);   // the frame's right edge
    EXPECT_EQ(s.osdPixel(159, 476), font2_color);   // the folded corner
    EXPECT_EQ(s.osdPixel(165, 481), box2_color);
}

TEST(HelpPage, TheRc2RemoteHasItsOwnKeysInEveryLanguage) {
    Bench b = views::bench("20:05", 10);
    settings.rc2_support = 1;
    views::openNormal(*b.rx);
    auto &s = b.rx->screen();
    const char *prime[] = {"Prime time overview", "Primetime \xDC" "bersicht", "Prime time overview"};
    const char *hide[] = {"Hide the EPG", "EPG verlassen", "Hide the EPG"};
    for (int choice = 1; choice <= 3; ++choice) {
        useLanguage(choice);
        b.rx->pressKey(RKEY_Help);
        EXPECT_EQ(views::row(s, 1)[0], " PiP , TXT");
        EXPECT_EQ(views::row(s, 5), (views::Texts{" Opt", prime[choice - 1]}));
        EXPECT_EQ(views::row(s, 6), (views::Texts{" Exit", hide[choice - 1]}));
        views::expectTextsFit(s, 70, 505, "RC2");
        b.rx->pressKey(RKEY_Exit);
    }
}

TEST(HelpPage, AnyKeyClosesItAndTheViewReturnsWhereItWas) {
    Bench b = views::bench("20:05", 30);
    views::openNow(*b.rx);
    b.rx->pressKey(RKEY_Forward);
    b.rx->pressKey(RKEY_Down);
    b.rx->pressKey(RKEY_Down);
    b.rx->pressKey(RKEY_Help);
    auto &s = b.rx->screen();
    EXPECT_EQ(textOf(s, 209, 76), "Button Description");
    b.rx->pressKey(RKEY_Right);   // consumed by the help: the view stays view 1
    EXPECT_EQ(help, 0);
    EXPECT_EQ(settings.view, 1);
    EXPECT_EQ(_svcNum * 100 + cursor, 1002);
    EXPECT_EQ(textOf(s, 64, 76), " NOW");
    EXPECT_EQ(textOf(s, 204, 76), "13. TV 13");
    EXPECT_EQ(s.osdPixel(300, 113 + 72 + 10), box1_color);
}

// --- Key bars ---

namespace {

struct Mark {
    const char *word;   // the words the mark stands before (their first occurrence)
    uint32_t color;
};

// The bar's line at y holds `text` from x 69, and each mark stands just before its words: its
// colour 15 pixels left of them, the bar's background right before them.
void expectMarks(const sim::Screen &s, int y, const std::string &text, const std::vector<Mark> &marks) {
    EXPECT_EQ(textOf(s, 69, y), text);
    for (const auto &m : marks) {
        size_t at = text.find(m.word);
        ASSERT_NE(at, std::string::npos) << m.word;
        int x = 69 + s.textWidth(text.substr(0, at), 2);
        EXPECT_EQ(s.osdPixel(x - 15, y + 12), m.color) << text << ": " << m.word;
        EXPECT_EQ(s.osdPixel(x - 15, y + 4), 0xFF788CF0u) << text << ": " << m.word;   // the frame
        EXPECT_EQ(s.osdPixel(x - 3, y + 12), statusbox_color) << text << ": " << m.word;
    }
}

const uint32_t kRed = 0xFFE60000, kGreen = 0xFF00DC00, kYellow = 0xFFFADC00, kBlue = 0xFF0000F0,
               kGrey = 0xFFDCDCDC;

}  // namespace

TEST(KeyBars, EachMarkStandsBeforeTheWordsOfItsKeyInEveryLanguage) {
    Bench b = views::bench("20:05", 10);
    views::openNormal(*b.rx);
    auto &s = b.rx->screen();

    useLanguage(1);
    HelpSort();
    expectMarks(s, 473, " Sorting by:         Time          Channel nr      Channel name",
                {{"Time", kRed}, {"Channel nr", kGreen}, {"Channel name", kYellow}});
    views::expectTextsFit(s, 470, 505, "HelpSort");
    HelpSearchlist();
    expectMarks(s, 473, "     Sort:       A - Z        -/M/P/R      R/P/M/-        Keyboard",
                {{"A - Z", kRed}, {"-/M", kGreen}, {"R/P", kYellow}, {"Keyboard", kBlue}});
    DrawEPG(0);
    HelpTimerlist();
    EXPECT_EQ(timerlisthelp, 1);
    expectMarks(s, 437, " Sort:      by Number        by Time             Find in EPG",
                {{"by Number", kGreen}, {"by Time", kYellow}, {"Find", kBlue}});
    expectMarks(s, 473, "                    New Timer                Delete Timer",
                {{"New", kRed}, {"Delete", kGrey}});
    views::expectTextsFit(s, 434, 505, "HelpTimerlist");

    useLanguage(2);
    HelpSort();
    expectMarks(s, 473, "Sortiere nach:      Zeit           Sender-Nr.       Sendername",
                {{"Zeit", kRed}, {"Sender-Nr.", kGreen}, {"Sendername", kYellow}});
    HelpSearchlist();
    expectMarks(s, 473, " Sortiere:      A - Z        -/M/P/R      R/P/M/-        Tastatur",
                {{"A - Z", kRed}, {"-/M", kGreen}, {"R/P", kYellow}, {"Tastatur", kBlue}});
    DrawEPG(0);
    HelpTimerlist();
    expectMarks(s, 437, " Sortiere:     nach Nummer     nach Zeit        Suche in EPG",
                {{"nach Nummer", kGreen}, {"nach Zeit", kYellow}, {"Suche", kBlue}});
    expectMarks(s, 473, "                  Neuer Timer                            L\xF6sche Timer",
                {{"Neuer", kRed}, {"L\xF6sche", kGrey}});
    views::expectTextsFit(s, 434, 505, "HelpTimerlist German");

    useLanguage(3);   // Finnish: its own sort bar, the English ones otherwise
    HelpSort();
    expectMarks(s, 473, " J\xE4rjestys:           Aika          Kanavanro       Kanavanimi",
                {{"Aika", kRed}, {"Kanavanro", kGreen}, {"Kanavanimi", kYellow}});
    views::expectTextsFit(s, 470, 505, "HelpSort Finnish");
    HelpSearchlist();
    EXPECT_EQ(textOf(s, 69, 473), "     Sort:       A - Z        -/M/P/R      R/P/M/-        Keyboard");
    // The next key clears the timer list's bar mark.
    b.rx->pressKey(RKEY_Down);
    EXPECT_EQ(timerlisthelp, 0);
}
