// Recording by search words (search/record.h), on a buffer filled from the firmware's EPG and the
// receiver's own timer table (Monday 2026-12-07 10:15):
//   SearchRecordHorizon   which results become timers: the horizon with the lead time, the minute
//                         before the lead, P timers that must end within the horizon, each
//                         result's own channel, the kind of timer and the name style
//   SearchRecordOnce      a 1xRec entry records its first suitable result and becomes M in the file,
//                         also when cutting finds the event already covered
//   SearchRecordQueue     the delay queues Rec and P but not 1xRec; a second run neither queues
//                         nor sets a timer twice
//   SearchRecordMinute    the minute duty: once a minute, not before 600 s, not while the queue
//                         waits, a timer editor or a result list is open
//   SearchMessageBox      the start-up box in three languages
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "frame/state.h"
#include "search/entries.h"
#include "search/record.h"
#include "search/results.h"
#include "settings/settings.h"
#include "tests/unit/epgdb_testing.h"
#include "tests/unit/search_testing.h"
#include "timers/table.h"
#include "views/help.h"

using epgtest::Bench;

namespace {

constexpr int kToday = 61381;   // MJD of Monday 2026-12-07

// "tv:3 +1 10:08-10:53 Rec T2 Film A.rec" for every timer of the firmware's table.
std::vector<std::string> timers() {
    std::vector<std::string> out;
    for (int i = 0; i < TAP_Timer_GetTotalNum(); i++) {
        TimerRecord t;
        TAP_Timer_GetInfo(i, &t);
        int start = int(t.start >> 8 & 0xFF) * 60 + int(t.start & 0xFF), end = (start + t.duration) % 1440;
        char line[200];
        std::snprintf(line, sizeof line, "tv:%d +%d %02d:%02d-%02d:%02d %s T%d %s", t.svc_num,
                      int(t.start >> 16) - kToday, start / 60, start % 60, end / 60, end % 60,
                      t.is_rec == 1 ? "Rec" : "-P-", t.tuner + 1, t.name);
        out.push_back(line);
    }
    return out;
}

using Timers = std::vector<std::string>;

// A list entry with its offsets.
void addEntry(const char *word, int mode, int lead, int follow) {
    searchtest::setEntry(max_Search, word, mode, 1, 40);
    Search[max_Search].lead_time = lead;
    Search[max_Search].stop_add = follow;
    max_Search++;
}

struct RecordBench : Bench {
    RecordBench() {
        settings.search_record_hours = 24;
        settings.rec_tuner = 1;
        settings.combine_timers = 1;
        settings.search_record_delay = 0;
        ToSetTimer_max = 0;
        max_Search = 0;
    }
    void fill(int ch, std::vector<sim::GuideEvent> events) {
        schedule(0, ch, std::move(events));
        FillBuffer(0, ch);
    }
    std::string searchFile() { return testsupport::readFile(dir.file("Diro_ROD.Search.ini")); }
};

}  // namespace

// --- Which results become timers ---

TEST(SearchRecordHorizon, RecTimersBeginWithinTheHorizonPlusTheLeadTime) {
    RecordBench b;
    // 23 h 58 min and 24 h 10 min from now; with lead 5 only the first begins within 24 hours.
    b.fill(3, {b.event("+1 10:13", 30, "Film A"), b.event("+1 10:25", 30, "Film B")});
    addEntry("Film", SEARCH_MODE_REC, 5, 10);
    search_mode = 1;   // the search list is open

    SearchAndRecord(0);
    EXPECT_EQ(timers(), (Timers{"tv:3 +1 10:08-10:53 Rec T2 Film A.rec"}));
    EXPECT_EQ(search_mode, 1) << "restored";
}

TEST(SearchRecordHorizon, AnEventThatBeginsWithinItsLeadTimePlusAMinuteIsSkipped) {
    RecordBench b;
    b.fill(5, {b.event("10:19", 30, "Quiz"), b.event("10:49", 30, "Quiz")});   // in 4 minutes, in 34
    b.fill(6, {b.event("10:20", 30, "Quiz")});                                   // in 5 minutes
    addEntry("Quiz", SEARCH_MODE_REC, 3, 0);

    SearchAndRecord(0);
    EXPECT_EQ(timers(), (Timers{"tv:5 +0 10:46-11:19 Rec T2 Quiz.rec", "tv:6 +0 10:17-10:50 Rec T2 Quiz.rec"}));
}

TEST(SearchRecordHorizon, PTimersSwitchOnlyAndMustEndWithinTheHorizon) {
    RecordBench b;
    // Ends at 10:00 tomorrow: with 10 minutes on and one more it ends before 10:15; the other not.
    b.fill(2, {b.event("+1 09:40", 20, "Sport"), b.event("+1 09:50", 15, "Sport")});
    addEntry("Sport", SEARCH_MODE_P, 0, 10);

    SearchAndRecord(0);
    EXPECT_EQ(timers(), (Timers{"tv:2 +1 09:40-10:10 -P- T2 Sport.rec"}));
}

TEST(SearchRecordHorizon, TimersTakeTheResultsChannelKindAndTheNameStyleForSearchWords) {
    RecordBench b;
    settings.manual_timer_method = 3;   // by hand a "-P-" timer first: not so for search words
    settings.rec_name_manual = 0;
    settings.rec_name_auto = 1;         // _YYYYMMDD
    _svcNum = 0;
    b.fill(0, {b.event("12:00", 30, "Nachrichten")});
    b.fill(17, {b.event("21:00", 90, "Tatort")});
    addEntry("Tatort", SEARCH_MODE_REC, 3, 15);

    SearchAndRecord(0);
    EXPECT_EQ(timers(), (Timers{"tv:17 +0 20:57-22:45 Rec T2 Tatort_20261207.rec"}));
}

// --- 1xRec ---

TEST(SearchRecordOnce, TheFirstSuitableResultIsRecordedAndTheEntryBecomesMInTheFile) {
    RecordBench b;
    b.fill(1, {b.event("10:17", 30, "Tatort"), b.event("20:15", 90, "Tatort")});   // too soon, then ok
    b.fill(2, {b.event("22:00", 90, "Tatort")});
    addEntry("Krimi", SEARCH_MODE_OFF, 3, 15);
    addEntry("Tatort", SEARCH_MODE_1XREC, 3, 15);

    SearchAndRecord(0);
    EXPECT_EQ(timers(), (Timers{"tv:1 +0 20:12-22:00 Rec T2 Tatort.rec"}));
    EXPECT_EQ(Search[1].mode, SEARCH_MODE_M);
    EXPECT_EQ(b.searchFile().rfind("Krimi|1-40|Off,3,15|00:00-00:00|ED\r\nTatort|1-40|M,3,15|00:00-00:00|ED\r\n", 0),
              0u)
        << b.searchFile();

    // It now marks only: a second run sets nothing more.
    SearchAndRecord(0);
    EXPECT_EQ(timers().size(), 1u);
}

TEST(SearchRecordOnce, AResultThatCuttingFindsCoveredAlsoServesTheEntry) {
    RecordBench b;
    settings.combine_timers = 2;
    TimerRecord t{};
    t.is_rec = 1;
    t.tuner = 1;
    t.svc_num = 1;
    t.name_fixed = 1;
    t.duration = 180;
    t.start = (dword(kToday + 1) << 16) | (7 << 8);   // tomorrow 07:00-10:00
    std::snprintf(t.name, sizeof t.name, "Morning.rec");
    ASSERT_EQ(TAP_Timer_Add(&t), 0);
    b.fill(1, {b.event("+1 08:00", 60, "Serie")});
    addEntry("Serie", SEARCH_MODE_1XREC, 3, 15);

    SearchAndRecord(0);
    EXPECT_EQ(timers(), (Timers{"tv:1 +1 07:00-10:00 Rec T2 Morning.rec"}));
    EXPECT_EQ(Search[0].mode, SEARCH_MODE_M);
}

// --- The queue ---

TEST(SearchRecordQueue, TheDelayQueuesRecAndPButSets1xRecAtOnceAndNothingTwice) {
    RecordBench b;
    settings.search_record_delay = 3;
    b.fill(1, {b.event("20:15", 90, "Tatort")});
    b.fill(4, {b.event("21:45", 30, "Krimi")});
    b.fill(8, {b.event("23:00", 30, "Wetter")});
    addEntry("Krimi", SEARCH_MODE_REC, 3, 15);
    addEntry("Wetter", SEARCH_MODE_P, 0, 0);
    addEntry("Tatort", SEARCH_MODE_1XREC, 3, 15);
    timerlisthelp = 1;

    SearchAndRecord(0);
    EXPECT_EQ(timers(), (Timers{"tv:1 +0 20:12-22:00 Rec T2 Tatort.rec"}));
    ASSERT_EQ(ToSetTimer_max, 2);
    EXPECT_EQ(ToSetTimer[0].svc_num, 4);
    EXPECT_EQ(ToSetTimer[0].is_rec, 1);
    EXPECT_EQ(ToSetTimer[0].duration, 30 + 3 + 15);
    EXPECT_EQ(ToSetTimer[1].svc_num, 8);
    EXPECT_EQ(ToSetTimer[1].is_rec, 0);
    EXPECT_EQ(timerlisthelp, 0) << "an open timer list is redrawn";

    SearchAndRecord(0);
    EXPECT_EQ(ToSetTimer_max, 2);
    EXPECT_EQ(timers().size(), 1u);
}

// --- The minute duty ---

TEST(SearchRecordMinute, RunsOnceAMinuteAfter600SecondsWhenNothingWaitsOrIsOpen) {
    RecordBench b;
    settings.auto_record_by_search = 3;
    b.fill(1, {b.event("20:15", 90, "Tatort")});
    addEntry("Tatort", SEARCH_MODE_REC, 3, 15);

    HideAutoRecord();   // 10:15: the receiver has run for less than 600 s
    EXPECT_EQ(timers().size(), 0u);

    b.rx->advance(601 * 1000);   // 10:25:01
    ReadClock();
    search_mode = 13;   // the start-up search's result list
    HideAutoRecord();
    search_mode = 0;
    timer_mode = 1;     // a timer editor
    HideAutoRecord();
    timer_mode = 0;
    ToSetTimer_max = 1;   // a timer waits
    HideAutoRecord();
    ToSetTimer_max = 0;
    HideAutoRecord();   // 10:25 is done
    EXPECT_EQ(timers().size(), 0u);

    b.rx->advance(60 * 1000);
    ReadClock();
    settings.auto_record_by_search = 2;   // at start-up only
    HideAutoRecord();
    EXPECT_EQ(timers().size(), 0u);

    b.rx->advance(60 * 1000);
    ReadClock();
    settings.auto_record_by_search = 4;
    timer_mode = 2;   // the timer list does not hold the timer slots
    HideAutoRecord();
    EXPECT_EQ(timers(), (Timers{"tv:1 +0 20:12-22:00 Rec T2 Tatort.rec"}));
}

// --- The start-up box ---

TEST(SearchMessageBox, ShowsItsThreeLinesInTheLanguageOfTheTexts) {
    Bench b("2026-12-07 10:15", 40, sim::Heap::kDefaultSize, true);
    auto texts = [&] {
        std::string all;
        for (const auto &t : b.rx->screen().texts())
            all += t.text + "|";
        return all;
    };
    language = LAN_English;
    DrawSearchMsg();
    EXPECT_NE(texts().find("Events of interest found!|Show Search Result?|(OK) Yes          (EXIT) No|"),
              std::string::npos)
        << texts();
    language = LAN_German;
    DrawSearchMsg();
    EXPECT_NE(texts().find("Interessante Sendungen gefunden!|Suchergebnisse anzeigen?|(OK) Ja          (EXIT) Nein|"),
              std::string::npos)
        << texts();
    language = LAN_Finnish;
    DrawSearchMsg();
    EXPECT_NE(texts().find("Ohjelmahaku l\xF6ysi ohjelmia!|N\xE4yt\xE4 haun tulokset?|(OK) Kyll\xE4       (EXIT) Ei|"),
              std::string::npos)
        << texts();
}
