// The event search (search/search.h), on a buffer filled from the firmware's EPG:
//   SearchTerms        "+" and "~" terms, "_" title anchors, umlaut folding, coded texts
//   SearchText         which text settings.search_description tests
//   SearchFilters      the window across midnight, weekday codes, events already over, the
//                      channel range against the buffered channels and the radio list
//   SearchAll          entries by selection, duplicates under the earlier entry, the 500 cap
//   SearchResultTexts  results keep readable texts when their channel is refilled or emptied
//   SearchMessage      "Searching! Please wait ..." in the views and over the picture
//   SearchOnePass      the one pass over the events against a pass per word, on random guides
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
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
#include "text/strutil.h"

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

// --- One pass against a pass per word ---

namespace {

// The search as the rules read, one word after the other over the channels, with the test text
// built step by step: the one-pass search must find the same events in the same order.
struct RefWord {
    std::string word;
    int entry, first, last, from, to, days;
};

std::string refFold(const std::string &s) {
    std::vector<char> buf(s.size() + 1);
    ReplaceStrN(buf.data(), s.c_str(), (int)s.size());
    std::string out = buf.data();
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return out;
}

std::string refTestText(const EpgEvent &ev) {
    std::string plain = DCT(ev.text);
    if (settings.search_description <= 1 && plain.find('|') != std::string::npos && plain.find('|') < 1535)
        plain = plain.substr(0, plain.find('|'));
    std::string t = "_" + refFold(plain.substr(0, 1535));
    size_t tilde = t.find(" ~ "), bar = t.find('|');
    if (settings.search_description <= 0) {
        t = t.substr(0, tilde != std::string::npos ? tilde : bar) + "_";
    } else if (settings.search_description == 1) {
        if (tilde != std::string::npos)
            t[tilde] = '_';
        t += "_";
    } else if (tilde != std::string::npos) {
        t[tilde] = '_';
    } else if (bar != std::string::npos) {
        t[bar] = '_';
    } else {
        t += "_";
    }
    return t;
}

// (channel, record, entry) of every result.
std::vector<std::array<int, 3>> refSearch(const std::vector<RefWord> &words, bool skipFound) {
    std::vector<std::array<int, 3>> out;
    int now = time_mjd * 1440 + time_h * 60 + time_min;
    int channels = std::min(settings.buffered_channels, 200);
    if (_svcType == SVC_TYPE_Tv && _maxSvcNum < channels)
        channels = _maxSvcNum;
    for (const RefWord &w : words) {
        std::vector<std::pair<std::string, bool>> terms;
        std::string folded = refFold(w.word.substr(0, 128));
        bool must = true;
        size_t p = 0;
        while (p < folded.size() && terms.size() < 16) {
            for (; p < folded.size() && (folded[p] == '+' || folded[p] == '~'); ++p)
                must = folded[p] == '+';
            size_t e = folded.find_first_of("+~", p);
            std::string term = folded.substr(p, std::min(e, folded.size()) - p).substr(0, 127);
            p = std::min(e, folded.size());
            if (settings.compress_text == 1) {
                std::vector<char> buf(term.size() + 1);
                term = UseDecTable(buf.data(), term.c_str());
            }
            if (!term.empty())
                terms.push_back({term, must});
        }
        for (int ch = std::max(w.first, 0); ch <= w.last && ch < channels; ++ch) {
            for (int i = 0; i < std::min(max_Event[ch], 500); ++i) {
                if ((int)out.size() >= 500)
                    return out;
                const EpgEvent &ev = EPG_Buffer[ch * 500 + i];
                if (EpgEndInMin(&ev) <= now)
                    continue;
                int t = ev.start_hour * 60 + ev.start_min;
                if (w.from < w.to ? (t < w.from || t > w.to) : w.from > w.to ? (t < w.from && t > w.to) : false)
                    continue;
                int day = WeekDay(ev.start_mjd);
                if (w.days <= 6 ? day != w.days : w.days == 7 ? day > 4 : w.days == 8 ? day < 5 : false)
                    continue;
                std::string text = refTestText(ev);
                bool pass = true;
                for (const auto &term : terms)
                    pass = pass && (text.find(term.first) != std::string::npos) == term.second;
                if (!pass)
                    continue;
                bool seen = false;
                for (const auto &r : out) {
                    const EpgEvent &o = EPG_Buffer[r[0] * 500 + r[1]];
                    seen = seen || (skipFound && r[0] == ch && o.start_mjd == ev.start_mjd &&
                                    o.start_hour == ev.start_hour && o.start_min == ev.start_min);
                }
                if (!seen)
                    out.push_back({ch, i, w.entry});
            }
        }
    }
    return out;
}

void expectResults(const std::vector<std::array<int, 3>> &want, const std::string &what) {
    ASSERT_EQ(max_Event[SLOT_RESULT], (int)want.size()) << what;
    for (size_t r = 0; r < want.size(); ++r) {
        const SearchResultExt &ext = searchresult_ext[r];
        ASSERT_EQ(ext.channel, want[r][0]) << what << ", result " << r;
        ASSERT_EQ(ext.search_index, want[r][2]) << what << ", result " << r;
        ASSERT_EQ(std::memcmp(&rec(SLOT_RESULT, (int)r), &rec(want[r][0], want[r][1]), sizeof(EpgEvent)), 0)
            << what << ", result " << r;
        ASSERT_EQ(ext.lead_time, Search[want[r][2]].lead_time) << what;
        ASSERT_EQ(ext.window_start, Search[want[r][2]].window_start) << what;
    }
}

}  // namespace

TEST(SearchOnePass, FindsWhatAPassPerWordFindsOnRandomGuidesAndWords) {
    const char *vocabulary[] = {"Tatort", "Krimi", "News", "M\xFCller", "M\xDCLLER", "Muller", "Wetter", "Sport",
                                "caf\xE9", "K\xF6ln", "Film", "Update", "\xC5re", "e", "der", "Gro\xDF" "e", "|x"};
    const int kWords = sizeof vocabulary / sizeof vocabulary[0];
    uint32_t seed = 3;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (int)((seed >> 8) % n);
    };
    auto phrase = [&](int words) {
        std::string s;
        for (int k = 0; k < words; ++k)
            s += (k ? " " : "") + std::string(vocabulary[next(kWords)]);
        return s;
    };
    int full = 0;   // searches that stopped at 500 results
    for (int world = 0; world < 24; ++world) {
        Bench b("2026-12-07 10:15");
        settings.compress_text = world % 2;
        language = world % 3 == 0 ? LAN_German : world % 3 == 1 ? LAN_English : 8;
        for (int ch = 0; ch < 10; ++ch) {
            std::vector<sim::GuideEvent> events;
            int64_t start = b.at("08:00");
            int count = 20 + next(150);
            for (int i = 0; i < count; ++i) {
                int minutes = 5 + next(90);
                sim::GuideEvent e = b.event("08:00", minutes, phrase(1 + next(3)), next(3) ? phrase(next(4)) : "",
                                            next(2) ? phrase(next(12)) + "\n" + phrase(next(6)) : "", i + 1);
                e.startMs = start;
                e.endMs = start + int64_t(minutes) * 60000;
                events.push_back(e);
                if (next(8) != 0)   // else the next event starts at the same time
                    start = e.endMs;
            }
            fill(b, ch, events);
        }
        for (int round = 0; round < 6; ++round) {
            settings.search_description = next(3);
            max_Search = 1 + next(20);
            for (int e = 0; e < max_Search; ++e) {
                std::string text = next(5) == 0 ? "_" : "";
                text += phrase(1);
                for (int k = next(3); k > 0; --k)
                    text += std::string(next(3) ? "+" : "~") + phrase(1);
                if (next(6) == 0)
                    text = "~" + text;
                if (next(6) == 0)
                    text += "_";
                int first = 1 + next(10);
                searchtest::setEntry(e, text.c_str(), next(5), first, first + next(12));
                if (next(3) == 0) {
                    Search[e].window_start = next(1440);
                    Search[e].window_end = next(1440);
                }
                Search[e].weekdays = (uint8_t)next(10);
                Search[e].lead_time = e;
            }
            int selection = std::vector<int>{0, 1, 2, 3, 4, 9, 10}[next(7)];
            std::vector<RefWord> ref;
            for (int e = 0; e < max_Search; ++e) {
                const SearchEntry &s = Search[e];
                bool picked = selection == 0 || s.mode == selection || (selection == 9 && s.mode != 0) ||
                              (selection == 10 && (s.mode == 3 || s.mode == 4));
                if (picked)
                    ref.push_back({s.word, e, s.first_place - 1, s.last_place - 1, s.window_start, s.window_end,
                                   s.weekdays});
            }
            SearchAll(selection, 0);
            expectResults(refSearch(ref, true), "world " + std::to_string(world) + " round " + std::to_string(round));
            full += max_Event[SLOT_RESULT] == SEARCH_RESULTS_MAX;

            const SearchEntry &one = Search[next(max_Search)];
            Search[SEARCH_WORKING] = one;
            int from = next(1440), to = next(3) ? from : next(1440);
            SearchTxt(one.word, one.first_place - 1, one.last_place - 1, from, to, one.weekdays);
            expectResults(refSearch({{one.word, SEARCH_WORKING, one.first_place - 1, one.last_place - 1, from, to,
                                      one.weekdays}},
                                    false),
                          "word " + std::string(one.word));
        }
        epgtest::releaseAll();
    }
    EXPECT_GT(full, 0) << "no search reached 500 results";
}
