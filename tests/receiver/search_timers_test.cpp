// Timers by search words, end to end: the receiver program runs the plug-in image on a small
// lineup with a guide of its own (Monday 2026-12-07, three TV channels and a radio channel), a
// search file and settings on its disk; scripts let time pass and press keys, and the firmware's
// timer table, the screen and the search file are read back.
//   SearchTimers        the minute duty sets Rec, 1xRec and P timers in the firmware's table, a Rec
//                       timer combined with one set by hand, the 1xRec entry saved as M; with the
//                       delay the Rec and P timers follow seconds apart
//   StartUpMessage      "Events of interest found!": EXIT closes it, OK opens the results, alone it
//                       goes after 20 seconds; RECORD on a result of it while radio plays
//   RecordOnResults     RECORD in a result list sets the timer on the result's own channel and the
//                       row shows its mark
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/support.h"

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// Settings words (byte offsets of the settings record).
enum {
    INTEREST_MSG = 88,
    AUTO_RECORD_BY_SEARCH = 100,
    SEARCH_RECORD_DELAY = 108
};

using Lines = std::vector<std::string>;

std::string programme(const char *channel, const char *from, const char *to, const char *title, const char *sub) {
    return std::string("<programme start=\"") + from + "00 +0100\" stop=\"" + to + "00 +0100\" channel=\"" + channel +
           "\"><title>" + title + "</title><sub-title>" + sub + "</sub-title></programme>\n";
}

// A receiver disk in dir/disk with the settings and the search file, the lineup and the guide
// beside it. Returns the options that run the receiver on them.
std::vector<std::string> prepare(const TempDir &dir, std::initializer_list<std::pair<int, int32_t>> words,
                                 const std::string &searchFile, const char *clock = "2026-12-07 20:00") {
    std::string disk = dir.file("disk");
    std::filesystem::create_directories(disk);
    writeFile(disk + "/Diro_ROD.Settings.DAT", testsupport::settingsImage(words));
    writeFile(disk + "/Diro_ROD.Search.ini", searchFile);
    writeFile(dir.file("lineup.txt"),
              "TV|Zeta|101|1|1|z\nTV|Alpha|102|2|2|a\nTV|Mitte|103|3|3|m\nRA|Radio Eins|201|4|4\n");
    writeFile(dir.file("guide.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv>\n"
              "<channel id=\"z\"><display-name>Zeta</display-name></channel>\n"
              "<channel id=\"a\"><display-name>Alpha</display-name></channel>\n"
              "<channel id=\"m\"><display-name>Mitte</display-name></channel>\n" +
                  programme("z", "202612072100", "202612072200", "Krimi", "Z1") +
                  programme("z", "202612072245", "202612072300", "Wetter", "Nacht") +
                  programme("a", "202612072200", "202612072300", "Krimi", "A2") +
                  programme("m", "202612072045", "202612072215", "Film", "Eins") +
                  programme("m", "202612072300", "202612080030", "Film", "Zwei") + "</tv>\n");
    return {"--disk", disk, "--clock", clock, "--lineup", dir.file("lineup.txt"), "--guide", dir.file("guide.xml"),
            "--tz", "+0100", "--script", "-"};
}

// Runs a script; {dir} in it stands for the test folder.
testsupport::ProgramResult run(const TempDir &dir, const std::vector<std::string> &options, std::string script) {
    for (size_t at = script.find("{dir}"); at != std::string::npos; at = script.find("{dir}"))
        script.replace(at, 5, dir.path());
    return testsupport::runReceiver(options, script);
}

Lines objects(const std::string &path) { return testsupport::jsonObjects(path); }

std::string timer(int index, const char *kind, int tuner, int channel, const char *start, int minutes,
                  const char *name) {
    return testsupport::timerJson(index, kind, tuner, channel, start, minutes, name);
}

// The entry lines of a search file: the lines before the first empty one.
Lines entryLines(const std::string &file) {
    Lines lines;
    size_t at = 0;
    for (size_t end; (end = file.find("\r\n", at)) != std::string::npos && end != at; at = end + 2)
        lines.push_back(file.substr(at, end - at));
    return lines;
}

// Krimi on Alpha (place 2) records, Film records once, Wetter on Zeta switches.
const char *const kWords = "Krimi|2|Rec,3,15\r\nFilm|1-3|1xRec,5,5\r\nWetter|1|P,0,0\r\n";

// What the three words leave in the table beside the timer set by hand (21:30-22:10 on Alpha):
// Film's first event with its 5 minutes either side; Krimi's 21:57-23:15 merged into the hand
// timer, which the name then says; Wetter's switching timer.
const Lines kSetBySearchWords = {timer(0, "Rec", 3, 1, "21:30", 105, "Hand+2130-2315.rec"),
                                 timer(1, "Rec", 1, 2, "20:40", 100, "Film.rec"),
                                 timer(2, "-P-", 1, 0, "22:45", 15, "Wetter.rec")};

}  // namespace

// --- The minute duty ---

TEST(SearchTimers, TheMinuteDutySetsTimersByWordsThatCombineWithOnesSetByHand) {
    TempDir dir;
    // From 19:58 the receiver has run for 12 minutes at 20:10, the first tenth minute it searches.
    auto options = prepare(dir, {{AUTO_RECORD_BY_SEARCH, 3}}, kWords, "2026-12-07 19:58");
    auto r = run(dir, options, R"(add-timer tv:1 "2026-12-07 21:30" 40 "Hand.rec"
wait 11m
wait 59s
expect timers 1
wait 1s
expect timers 3
dump timers {dir}/timers.json
wait 10m
expect timers 3
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(objects(dir.file("timers.json")), kSetBySearchWords);
    // Film has recorded once: it marks from now on.
    EXPECT_EQ(entryLines(readFile(dir.file("disk/Diro_ROD.Search.ini"))),
              (Lines{"Krimi|2|Rec,3,15|00:00-00:00|ED", "Film|1-3|M,5,5|00:00-00:00|ED",
                     "Wetter|1|P,0,0|00:00-00:00|ED"}));
}

TEST(SearchTimers, WithADelayRecAndPTimersFollowSecondsApartButTheOnceTimerAtOnce) {
    TempDir dir;
    auto options =
        prepare(dir, {{AUTO_RECORD_BY_SEARCH, 3}, {SEARCH_RECORD_DELAY, 3}}, kWords, "2026-12-07 19:58");
    // At 20:10:00 the search queues Krimi and Wetter and sets Film; the queue hands over a timer on
    // seconds that are multiples of 3: Krimi at once, Wetter at 20:10:03.
    auto r = run(dir, options, R"(add-timer tv:1 "2026-12-07 21:30" 40 "Hand.rec"
wait 12m
expect timers 2
dump timers {dir}/first.json
wait 2s
expect timers 2
wait 1s
expect timers 3
dump timers {dir}/timers.json
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(objects(dir.file("first.json")),
              (Lines{timer(0, "Rec", 3, 1, "21:30", 105, "Hand+2130-2315.rec"),
                     timer(1, "Rec", 1, 2, "20:40", 100, "Film.rec")}));
    EXPECT_EQ(objects(dir.file("timers.json")), kSetBySearchWords);
}

// --- The start-up message ---

TEST(StartUpMessage, EventsOfInterestFoundExitClosesOkShowsThemAloneItGoes) {
    TempDir dir;
    auto options = prepare(dir, {{INTEREST_MSG, 1}}, "Film|1-3|M\r\nKrimi|1-3|Off\r\n");
    // The first start fills the data base and saves it; the message needs events to announce.
    auto r = run(dir, options, R"(wait 1m
expect no-screen "Events of interest found!"
key GUIDE
key STOP
restart
wait 1s
expect screen "Events of interest found!"
expect screen "Show Search Result?"
expect screen "(OK) Yes          (EXIT) No"
key EXIT
expect no-screen "Events of interest found!"
expect no-screen " Film ~ Eins"
restart
wait 1s
key OK
expect no-screen "Events of interest found!"
expect screen "3. Mitte"
expect screen " Film ~ Eins"
expect screen " Film ~ Zwei"
expect screen "1/2"
expect no-screen " Krimi"
key EXIT
expect no-screen " Film ~ Eins"
restart
wait 19s
expect screen "Events of interest found!"
wait 3s
expect no-screen "Events of interest found!"
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
}

TEST(StartUpMessage, RecordOnAResultSetsItsTimerAndMarkWhileARadioChannelPlays) {
    TempDir dir;
    auto options = prepare(dir, {{INTEREST_MSG, 1}}, "Film|1-3|M\r\n");
    auto r = run(dir, options, R"(wait 1m
key GUIDE
key STOP
restart
wait 1s
tune ra:0
key OK
expect screen " Film ~ Eins"
expect no-screen "T2"
key RECORD
expect screen "T2"
expect timers 1
dump timers {dir}/timers.json
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(objects(dir.file("timers.json")), (Lines{timer(0, "Rec", 1, 2, "20:42", 108, "Film.rec")}));
}

// --- The record key in a result list ---

TEST(RecordOnResults, ATimerForTheResultsOwnChannelAndItsMarkInTheRow) {
    TempDir dir;
    auto options = prepare(dir, {}, "Krimi\r\n");
    // S2 searches with every word: Krimi on Zeta at 21:00, on Alpha at 22:00; the guide shows Zeta.
    auto r = run(dir, options, R"(wait 1m
key GUIDE
key SLOW
key DOWN
key OK
expect screen "1. Zeta"
key DOWN
expect screen "2. Alpha"
key RECORD
expect screen "T2"
dump screen {dir}/screen.txt
dump timers {dir}/timers.json
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(objects(dir.file("timers.json")), (Lines{timer(0, "Rec", 1, 1, "21:57", 78, "Krimi.rec")}));
    // The mark stands in the second row, left of the result list's channel column.
    EXPECT_NE(readFile(dir.file("screen.txt")).find("583 151 1 0xFFFFFFFF 0xFFD20000 \"T2\""), std::string::npos)
        << readFile(dir.file("screen.txt"));
}
