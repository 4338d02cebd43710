// Recording from the guide, end to end: the receiver program runs the plug-in image on the demo
// lineup and guide (Monday 2026-12-07 20:00), scripts press RECORD, the firmware's timer table
// and recordings are dumped and read back.
//   Setting     lead and follow time, tuner, title + ".rec" and the mark; the second tuner after
//               a refusal; the collision box; a full table; the record-now case opens the editor
//   Methods     the five record-key methods, the second press on a "-P-" timer (or the editor)
//   Neighbours  combining and cutting two events of one channel
//   Time        the recording at the start minute, "R»" for the record button, the timer gone at
//               its end; the dates in names renewed
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/receiver/timer_scripts.h"
#include "tests/support/support.h"

using testsupport::readFile;
using testsupport::TempDir;
using namespace timerscripts;

namespace {

// --- Setting ---

TEST(Recording, RecordSetsATimerAndTheThirdOnATakenEveningCollides) {
    TempDir dir;
    // Das Erste 21:00 Markt, ZDF 21:00 Das Leben der Anderen, RTL 21:05 Das Boot: three
    // transponders, one evening.
    ScriptRun r = runScript(dir, {}, R"(wait 3s
key GUIDE
key DOWN x2
expect no-screen "T2"
key RECORD
expect screen "T2"
expect timers 1
dump screen {dir}/first.txt
dump timers {dir}/first.json
key RIGHT x4
key DOWN x2
key RECORD
expect screen "T1"
expect timers 2
key RIGHT x4
key DOWN x2
key RECORD
expect screen "Timer Setting Error!"
expect screen "Collision with timer nr. 2 at channel 5"
expect screen "20:57 - 22:30  \"Das Leben der Anderen\""
key OK
expect no-screen "Timer Setting Error!"
expect screen " Das Boot ~ Kriegsfilm"
expect timers 2
dump timers {dir}/all.json
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(readFile(dir.file("first.txt")).find(mark(2, "T2", kRed)), std::string::npos);
    EXPECT_EQ(objects(dir.file("first.json")),
              std::vector<std::string>{timer(0, "Rec", 1, 0, "20:57", 63, "Markt.rec")});
    EXPECT_EQ(objects(dir.file("all.json")),
              (std::vector<std::string>{timer(0, "Rec", 1, 0, "20:57", 63, "Markt.rec"),
                                        timer(1, "Rec", 0, 4, "20:57", 93, "Das Leben der Anderen.rec")}));
}

TEST(Recording, AFullTableIsAnotherRefusalAndChangesNothing) {
    TempDir dir;
    std::string script;
    for (int i = 0; i < 100; i++) {
        char line[80];
        std::snprintf(line, sizeof line, "add-timer tv:13 \"2026-12-%02d %02d:00\" 30\n", 10 + i / 24, i % 24);
        script += line;
    }
    script += R"(key GUIDE
key DOWN x2
key RECORD
expect screen "Timer Setting Error!"
expect screen "Invalid Entry or No resource available!"
expect no-screen "Collision"
expect timers 100
key EXIT
expect no-screen "Invalid Entry"
expect no-screen "T2"
)";
    ScriptRun r = runScript(dir, {}, script);
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST(Recording, AnEventUnderWayOpensTheEditorOnItsRecordNowRow) {
    TempDir dir;
    ScriptRun r = runScript(dir, {}, R"(key GUIDE
key RECORD
expect screen " Record Now"
expect timers 0
dump screen {dir}/editor.txt
key EXIT
expect no-screen " Record Now"
expect screen " Tagesschau"
expect timers 0
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // Tagesschau 20:00-20:15 with 3 minutes before and 15 after: from now, 30 minutes, the cursor
    // on " Run Record".
    std::vector<DumpedText> editor = screenTexts(dir.file("editor.txt"));
    EXPECT_EQ(selectedRow(editor, 109), 9);
    EXPECT_EQ(textAt(editor, 109, 9), " Run Record");
    EXPECT_EQ(textAt(editor, 291, 0), " Tagesschau");
    EXPECT_EQ(textAt(editor, 291, 3), "  20:00");
    EXPECT_EQ(textAt(editor, 291, 4), "  20:30  (30 min)");
}

TEST(Recording, TheNameTakesTheManualSuffix) {
    TempDir dir;
    ScriptRun r = runScript(dir, {{REC_NAME_MANUAL, 3}}, R"(key GUIDE
key DOWN x2
key RECORD
dump timers {dir}/t.json
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(objects(dir.file("t.json")),
              std::vector<std::string>{timer(0, "Rec", 1, 0, "20:57", 63, "Markt_20261207_2100.rec")});
}

// --- Methods ---

TEST(Recording, SwitchTimerMethodsAndTheSecondPress) {
    struct Method {
        int method;
        const char *firstStart;
        int firstMinutes;
        bool secondRecords;
    } methods[] = {{1, "21:00", 45, false}, {2, "20:57", 63, false}, {3, "21:00", 45, true}, {4, "20:57", 63, true}};
    for (const Method &m : methods) {
        TempDir dir;
        ScriptRun r = runScript(dir, {{MANUAL_TIMER_METHOD, m.method}}, R"(key GUIDE
key DOWN x2
key RECORD
dump screen {dir}/first.txt
dump timers {dir}/first.json
key RECORD
dump screen {dir}/second.txt
dump timers {dir}/second.json
)");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(readFile(dir.file("first.txt")).find(mark(2, "P", kGreen)), std::string::npos) << m.method;
        EXPECT_EQ(objects(dir.file("first.json")),
                  std::vector<std::string>{timer(0, "-P-", 1, 0, m.firstStart, m.firstMinutes, "Markt.rec")})
            << "method " << m.method;
        std::string second = readFile(dir.file("second.txt"));
        if (m.secondRecords) {
            EXPECT_NE(second.find(mark(2, "T2", kRed)), std::string::npos) << m.method;
            EXPECT_EQ(objects(dir.file("second.json")),
                      std::vector<std::string>{timer(0, "Rec", 1, 0, "20:57", 63, "Markt.rec")})
                << "method " << m.method;
        } else {
            EXPECT_NE(second.find("\" Edit Timer Nr. 1\""), std::string::npos) << m.method;
            EXPECT_EQ(objects(dir.file("second.json")), objects(dir.file("first.json"))) << m.method;
        }
    }
}

// --- Neighbours ---

TEST(Recording, TwoEventsOfAChannelCombineIntoOneTimer) {
    TempDir dir;
    ScriptRun r = runScript(dir, {}, R"(key GUIDE
key DOWN
key RECORD
key DOWN
key RECORD
expect timers 1
dump screen {dir}/screen.txt
dump timers {dir}/t.json
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(objects(dir.file("t.json")),
              std::vector<std::string>{timer(0, "Rec", 1, 0, "20:12", 108, "Terra X+2012-2200.rec")});
    std::string screen = readFile(dir.file("screen.txt"));
    EXPECT_NE(screen.find(mark(1, "T2", kRed)), std::string::npos);
    EXPECT_NE(screen.find(mark(2, "T2", kRed)), std::string::npos);
    EXPECT_EQ(screen.find(mark(3, "T2", kRed)), std::string::npos) << "Weltspiegel is not covered";
}

TEST(Recording, CuttingMakesTwoEventsOfAChannelMeet) {
    TempDir dir;
    ScriptRun r = runScript(dir, {{COMBINE_TIMERS, 2}, {REC_LEAD_TIME, 5}, {REC_STOP_ADD, 10}}, R"(key GUIDE
key DOWN
key RECORD
key DOWN
key RECORD
expect timers 2
dump timers {dir}/t.json
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(objects(dir.file("t.json")),
              (std::vector<std::string>{timer(0, "Rec", 1, 0, "20:10", 50, "Terra X.rec"),
                                        timer(1, "Rec", 1, 0, "21:00", 55, "Markt.rec")}));
}

// --- Time ---

TEST(Recording, TheTimerRecordsAtItsStartAndLeavesAtItsEnd) {
    TempDir dir;
    ScriptRun r = runScript(dir, {}, R"(key GUIDE
key DOWN x2
key RECORD
key EXIT
wait 58m
dump recordings {dir}/running.json
record tv:4
key GUIDE
expect screen "T2"
key RIGHT x4
expect screen "R»"
dump screen {dir}/zdf.txt
key EXIT
wait 65m
expect timers 0
dump recordings {dir}/done.json
key GUIDE
expect no-screen "T2"
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string running = readFile(dir.file("running.json"));
    EXPECT_NE(running.find("\"channel\": 0, \"start\": \"2026-12-07 20:57\", \"end\": \"2026-12-07 22:00\", "
                           "\"name\": \"Markt.rec\""),
              std::string::npos)
        << running;
    std::string zdf = readFile(dir.file("zdf.txt"));
    EXPECT_NE(zdf.find(mark(1, "R\xC2\xBB", kRed)), std::string::npos) << "21:00 Das Leben der Anderen";
    EXPECT_EQ(zdf.find(mark(0, "R\xC2\xBB", kRed)), std::string::npos) << "20:15 began before the recording";
    std::string done = readFile(dir.file("done.json"));
    size_t doneAt = done.find("\"done\"");
    ASSERT_NE(doneAt, std::string::npos) << done;
    EXPECT_NE(done.find("\"name\": \"Markt.rec\"", doneAt), std::string::npos) << done;
}

TEST(Recording, DatesInNamesAreRenewedEveryMinute) {
    const char *script = R"(add-timer tv:1 "2026-12-08 21:00" 30 mode WL "Show_01.12..rec"
add-timer tv:2 "2026-12-08 22:00" 30 mode ED "News_20261201.rec"
add-timer tv:3 "2026-12-08 23:00" 30 mode ED "Plain.rec"
add-timer tv:3 "2026-12-09 23:00" 30 mode WL "Tatort_Folge123.rec"
add-timer tv:1 "2026-12-09 20:00" 30 mode ED "Film_20261201_2000.rec"
add-timer tv:2 "2026-12-10 20:00" 30 mode WL "Doppel_01.12.+2000-2030.rec"
wait 61s
dump timers {dir}/t.json
)";
    TempDir on;
    ASSERT_EQ(runScript(on, {}, script).exitCode, 0);
    std::string t = readFile(on.file("t.json"));
    EXPECT_NE(t.find("\"Show_08.12..rec\""), std::string::npos) << t;
    EXPECT_NE(t.find("\"News_20261208.rec\""), std::string::npos) << t;
    EXPECT_NE(t.find("\"Plain.rec\""), std::string::npos) << t;
    EXPECT_NE(t.find("\"Tatort_Folge123.rec\""), std::string::npos) << "not a date: " << t;
    EXPECT_NE(t.find("\"Film_20261209_2000.rec\""), std::string::npos) << t;
    EXPECT_NE(t.find("\"Doppel_10.12.+2000-2030.rec\""), std::string::npos) << t;
    TempDir off;
    ASSERT_EQ(runScript(off, {{TIMER_NAME_DATE_REPLACE, 0}}, script).exitCode, 0);
    t = readFile(off.file("t.json"));
    EXPECT_NE(t.find("\"Show_01.12..rec\""), std::string::npos) << t;
}

}  // namespace
