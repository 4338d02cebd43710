// The event search (search/search.h), on a buffer filled from the firmware's EPG:
//   SearchTerms        "+" and "~" terms, "_" title anchors, umlaut folding, coded texts
//   SearchText         which text settings.search_description tests
//   SearchFilters      the window across midnight, weekday codes, events already over, the
//                      channel range against the buffered channels and the radio list
//   SearchAll          entries by selection, duplicates under the earlier entry, the 500 cap
//   SearchResultTexts  results keep readable texts when their channel is refilled or emptied
//   SearchMessage      "Searching! Please wait ..." in the views and over the picture
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "epgdb/lookup.h"
#include "frame/state.h"
#include "search/entries.h"
#include "search/results.h"
#include "search/search.h"
#include "settings/colors.h"
#include "tests/unit/epgdb_testing.h"
#include "tests/unit/search_testing.h"

using epgtest::Bench;
using epgtest::rec;

namespace {

// "channel/HH:MM title" of every result, in order.
std::vector<std::string> found() {
    std::vector<std::string> out;
    for (int r = 0; r < max_Event[SLOT_RESULT]; ++r) {
        std::string t = epgtest::text(SLOT_RESULT, r);
        size_t cut = t.find(" ~ ");
        if (cut == std::string::npos)
            cut = t.find('|');
        char head[32];
        std::snprintf(head, sizeof head, "%d/%02d:%02d ", searchresult_ext[r].channel, rec(SLOT_RESULT, r).start_hour,
                      rec(SLOT_RESULT, r).start_min);
        out.push_back(head + t.substr(0, cut));
    }
    return out;
}

using Found = std::vector<std::string>;

// Fills channel ch of the buffer with the events.
void fill(Bench &b, int ch, std::vector<sim::GuideEvent> events) {
    b.schedule(0, ch, std::move(events));
    FillBuffer(0, ch);
}

void search(const char *word, int first = 0, int last = 199, int from = 0, int to = 0, int days = SEARCH_DAYS_ED) {
    SearchTxt(word, first, last, from, to, days);
}

void addEntry(const char *word, int mode, int first = 1, int last = 200) {
    searchtest::setEntry(max_Search++, word, mode, first, last);
}

}  // namespace

// --- Terms ---

TEST(SearchTerms, PlusMustOccurTildeMustNot) {
    Bench b;
    settings.search_description = 2;
    fill(b, 0, {b.event("10:30", 30, "Tatort", "Krimi aus K\xF6ln"), b.event("11:00", 30, "Polizeiruf", "Krimi"),
                b.event("11:30", 30, "Wetter"), b.event("12:00", 30, "Tatort-Quiz")});

    search("Krimi+Tatort");
    EXPECT_EQ(found(), (Found{"0/10:30 Tatort"}));
    search("Krimi~Tatort");
    EXPECT_EQ(found(), (Found{"0/11:00 Polizeiruf"}));
    search("~Wetter");
    EXPECT_EQ(found(), (Found{"0/10:30 Tatort", "0/11:00 Polizeiruf", "0/12:00 Tatort-Quiz"}));
    // A separator with nothing behind it adds no term: "Krimi~" is the word Krimi.
    search("Krimi~");
    EXPECT_EQ(found(), (Found{"0/10:30 Tatort", "0/11:00 Polizeiruf"}));
    search("~~Wetter++quiz");
    EXPECT_EQ(found(), (Found{"0/12:00 Tatort-Quiz"}));
    // A term may hold spaces; an empty word finds every event.
    search("aus k\xF6ln");
    EXPECT_EQ(found(), (Found{"0/10:30 Tatort"}));
    search("");
    EXPECT_EQ(found().size(), 4u);
}

TEST(SearchTerms, UnderscoresAnchorTheTitleAlsoWithCodedTexts) {
    for (int coded = 0; coded <= 1; ++coded) {
        Bench b;
        settings.compress_text = coded;
        settings.search_description = 2;
        fill(b, 0, {b.event("10:30", 30, "News"), b.event("11:00", 30, "News Update"),
                    b.event("11:30", 30, "Sport", "News", "Long text")});
        search("_news_");
        EXPECT_EQ(found(), (Found{"0/10:30 News"})) << "coded " << coded;
        search("_news");
        EXPECT_EQ(found(), (Found{"0/10:30 News", "0/11:00 News Update"})) << "coded " << coded;
        search("NEWS+_sport_");
        EXPECT_EQ(found(), (Found{"0/11:30 Sport"})) << "coded " << coded;
        epgtest::releaseAll();
    }
}

TEST(SearchTerms, UmlautsFoldInTheWordAndTheText) {
    Bench b;
    fill(b, 0, {b.event("10:30", 30, "Frau M\xFCller"), b.event("11:00", 30, "M\xDCLLER live"),
                b.event("11:30", 30, "Muller"), b.event("12:00", 30, "Mueller")});
    search("m\xFCller");
    EXPECT_EQ(found(), (Found{"0/10:30 Frau M\xFCller", "0/11:00 M\xDCLLER live", "0/11:30 Muller"}));
    search("MULLER");
    EXPECT_EQ(found().size(), 3u);
}

// --- Which text is tested ---

TEST(SearchText, DescriptionSettingChoosesTitleShortOrLongInfo) {
    Bench b;
    fill(b, 0, {b.event("10:30", 30, "Film", "Drama in Rom", "Mit Sophia Loren")});
    const char *words[] = {"film", "rom", "loren", "_film_", "drama in rom_", "_film_+ drama"};
    // For each setting 0, 1, 2: which of the words find the event.
    const std::vector<bool> expected[3] = {{true, false, false, true, false, false},
                                           {true, true, false, true, true, true},
                                           {true, true, true, true, false, true}};
    for (int d = 0; d <= 2; ++d) {
        settings.search_description = d;
        for (size_t w = 0; w < 6; ++w) {
            search(words[w]);
            EXPECT_EQ(max_Event[SLOT_RESULT] == 1, expected[d][w]) << "setting " << d << ", word " << words[w];
        }
    }
    // Without short info the long info follows the title's "_".
    fill(b, 1, {b.event("10:30", 30, "News", "", "Headlines")});
    settings.search_description = 2;
    search("_news_headlines", 1, 1);
    EXPECT_EQ(max_Event[SLOT_RESULT], 1);
}

// --- Filters ---

TEST(SearchFilters, WindowAcrossMidnightAndWeekdays) {
    Bench b("2026-12-07 10:15");   // a Monday
    fill(b, 0, {b.event("12:00", 30, "Krimi"), b.event("23:30", 30, "Krimi"), b.event("+1 01:00", 30, "Krimi"),
                b.event("+1 03:00", 30, "Krimi")});
    search("krimi", 0, 0, 22 * 60, 2 * 60);
    EXPECT_EQ(found(), (Found{"0/23:30 Krimi", "0/01:00 Krimi"}));
    search("krimi", 0, 0, 12 * 60, 12 * 60 + 30);
    EXPECT_EQ(found(), (Found{"0/12:00 Krimi"}));

    fill(b, 1, {b.event("2026-12-09 20:00", 30, "Wed"), b.event("2026-12-12 20:00", 30, "Sat"),
                b.event("2026-12-13 20:00", 30, "Sun"), b.event("2026-12-14 20:00", 30, "Mon")});
    struct {
        int code;
        Found titles;
    } days[] = {{0, {"1/20:00 Mon"}},
                {2, {"1/20:00 Wed"}},
                {6, {"1/20:00 Sun"}},
                {SEARCH_DAYS_WD, {"1/20:00 Wed", "1/20:00 Mon"}},
                {SEARCH_DAYS_WE, {"1/20:00 Sat", "1/20:00 Sun"}},
                {SEARCH_DAYS_ED, {"1/20:00 Wed", "1/20:00 Sat", "1/20:00 Sun", "1/20:00 Mon"}}};
    for (const auto &d : days) {
        search("", 1, 1, 0, 0, d.code);
        EXPECT_EQ(found(), d.titles) << "weekday code " << d.code;
    }
}

TEST(SearchFilters, EventsOverAreNotSearchedTheRunningOneIs) {
    Bench b("2026-12-07 09:00");
    fill(b, 0, {b.event("09:00", 60, "Early Show"), b.event("10:00", 60, "Middle Show"),
                b.event("11:00", 60, "Late Show")});
    b.clock("10:30");
    search("show");
    EXPECT_EQ(found(), (Found{"0/10:00 Middle Show", "0/11:00 Late Show"}));
}

TEST(SearchFilters, ChannelRangeStopsAtTheLastBufferedChannel) {
    Bench b;
    for (int ch = 27; ch < 34; ++ch)
        fill(b, ch, {b.event("11:00", 30, "Film")});
    settings.buffered_channels = 30;   // channels 30 on keep their events, but are not buffered
    search("film", 25, 199);
    EXPECT_EQ(found(), (Found{"27/11:00 Film", "28/11:00 Film", "29/11:00 Film"}));
    search("film", 28, 28);
    EXPECT_EQ(found(), (Found{"28/11:00 Film"}));

    // The receiver's list of the current type bounds the TV channels only while it is TV: on a
    // radio channel with a short radio list every buffered TV channel is still searched.
    _maxSvcNum = 28;
    search("film", 0, 199);
    EXPECT_EQ(found(), (Found{"27/11:00 Film"}));
    _svcType = SVC_TYPE_Radio;
    _maxSvcNum = 2;
    search("film", 0, 199);
    EXPECT_EQ(found().size(), 3u);
}

// --- SearchAll ---

TEST(SearchAll, EntriesBySelectionAndEachEventOnceUnderTheEarlierEntry) {
    Bench b;
    settings.search_description = 2;
    fill(b, 0, {b.event("20:15", 90, "Tatort", "Krimi"), b.event("22:00", 30, "Tagesthemen")});
    fill(b, 1, {b.event("20:15", 90, "Tatort", "Krimi")});
    addEntry("Tatort", SEARCH_MODE_M, 1, 1);
    addEntry("Krimi", SEARCH_MODE_REC);
    addEntry("Tagesthemen", SEARCH_MODE_OFF);
    Search[1].lead_time = 7;

    SearchAll(0, 0);
    EXPECT_EQ(found(), (Found{"0/20:15 Tatort", "1/20:15 Tatort", "0/22:00 Tagesthemen"}));
    // The Tatort on channel 1 is the second entry's: the first searches place 1 only.
    EXPECT_EQ(searchresult_ext[0].search_index, 0);
    EXPECT_EQ(searchresult_ext[1].search_index, 1);
    EXPECT_EQ(searchresult_ext[2].search_index, 2);
    EXPECT_EQ(searchresult_ext[1].lead_time, 7);
    EXPECT_EQ(searchresult_ext[0].lead_time, settings.rec_lead_time);

    struct {
        int selection;
        size_t results;
    } picks[] = {{SEARCH_MODE_M, 1}, {SEARCH_MODE_REC, 2}, {SEARCH_MODE_P, 0}, {SEARCH_ALL_ACTIVE, 2},
                 {SEARCH_ALL_RECORDING, 2}, {5, 0}, {-1, 0}};
    for (const auto &p : picks) {
        SearchAll(p.selection, 0);
        EXPECT_EQ(found().size(), p.results) << "selection " << p.selection;
    }
    Search[0].mode = SEARCH_MODE_1XREC;
    SearchAll(SEARCH_ALL_RECORDING, 0);
    EXPECT_EQ(found(), (Found{"0/20:15 Tatort", "1/20:15 Tatort"}));
    EXPECT_EQ(searchresult_ext[0].search_index, 0);
}

TEST(SearchAll, StopsAtFiveHundredResults) {
    Bench b("2026-12-07 10:15");
    std::vector<sim::GuideEvent> many;
    for (int i = 0; i < 300; ++i)
        many.push_back(b.event("2026-12-07 10:15", 5, "Show " + std::to_string(i)));
    for (int i = 0; i < 300; ++i) {
        many[i].startMs += int64_t(i) * 5 * 60000;
        many[i].endMs += int64_t(i) * 5 * 60000;
    }
    fill(b, 0, many);
    fill(b, 1, many);
    fill(b, 2, many);
    ASSERT_EQ(max_Event[0], 300);
    addEntry("show", SEARCH_MODE_M);
    addEntry("Show 1", SEARCH_MODE_M);
    SearchAll(0, 0);
    ASSERT_EQ(max_Event[SLOT_RESULT], SEARCH_RESULTS_MAX);
    EXPECT_EQ(searchresult_ext[299].channel, 0);
    EXPECT_EQ(searchresult_ext[499].channel, 1);
    EXPECT_EQ(epgtest::text(SLOT_RESULT, 499), "Show 199");
    search("show");
    EXPECT_EQ(max_Event[SLOT_RESULT], SEARCH_RESULTS_MAX);
}

// --- Result texts ---

TEST(SearchResultTexts, FollowARefillOfTheirChannelAndVanishWithIt) {
    Bench b;
    fill(b, 0, {b.event("11:00", 30, "Tatort"), b.event("12:00", 30, "Tatort")});
    fill(b, 1, {b.event("11:00", 30, "Tatort")});
    search("tatort");
    ASSERT_EQ(max_Event[SLOT_RESULT], 3);

    // Channel 0 is filled again: its old block is gone, the results read the new one (the 12:00
    // event is kept from the old contents, in the gap the new ones leave).
    b.schedule(0, 0, {b.event("11:00", 30, "Tatort neu"), b.event("11:30", 30, "Other"), b.event("12:30", 30, "More")});
    FillBuffer(0, 0);
    ASSERT_EQ(epgtest::contents(0), (std::vector<std::string>{"11:00-11:30 Tatort neu", "11:30-12:00 Other",
                                                              "12:00-12:30 Tatort", "12:30-13:00 More"}));
    const char *block = rec(0, 0).text;
    ASSERT_NE(block, nullptr);
    for (int r = 0; r < 2; ++r) {
        const char *t = rec(SLOT_RESULT, r).text;
        if (t != nullptr) {
            EXPECT_GE(t, block);
            EXPECT_LT(t, block + BlockSize[0]);
        }
    }
    EXPECT_EQ(epgtest::text(SLOT_RESULT, 0), "Tatort neu");
    EXPECT_EQ(epgtest::text(SLOT_RESULT, 1), "Tatort");
    EXPECT_EQ(epgtest::text(SLOT_RESULT, 2), "Tatort");

    DelBuf(1);
    EXPECT_EQ(rec(SLOT_RESULT, 2).text, nullptr);
    EXPECT_EQ(epgtest::text(SLOT_RESULT, 2), "");
}

// --- The message ---

TEST(SearchMessage, ShownInTheViewsOrOverThePictureAndRemovedThere) {
    Bench b;
    rgn = (word)TAP_Osd_Create(0, 0, OSD_WIDTH, OSD_HEIGHT, 0, 0);
    Set_Colors();
    fill(b, 0, {b.event("11:00", 30, "Tatort")});
    addEntry("Tatort", SEARCH_MODE_M);

    _epgShow = 0;
    SearchAll(0, 1);
    EXPECT_FALSE(b.rx->screen().shows("Searching!"));
    EXPECT_EQ(b.rx->screen().osdPixel(200, 270), 0u);
    EXPECT_EQ(max_Event[SLOT_RESULT], 1);

    _epgShow = 1;
    language = LAN_German;
    SearchAll(0, 1);
    EXPECT_TRUE(b.rx->screen().shows("Suche l\xE4uft! Bitte warten ..."));
    EXPECT_EQ(b.rx->screen().osdPixel(62, 72), titlebox_color);

    language = LAN_English;
    search("tatort");
    EXPECT_TRUE(b.rx->screen().shows("Searching! Please wait ..."));
}
