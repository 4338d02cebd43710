// The timer list and the timer editor end to end: the receiver program runs the plug-in image on
// the demo lineup and guide (Monday 2026-12-07 20:00), scripts press the keys, and the firmware's
// timer table, its recordings and the screen are dumped and read back.
//   NewTimer    RED in the list, the rows as they open, saving into the table and the list
//   Rows        the tuner cycle, UP from the first row, the duration's and the date's stops, a
//               held key on the start row, mode and type
//   RecordNow   a start stepped before now, Run Record, the record-now watch handing the timer
//               over to its recording
//   Name        typed on the keyboard; only blanks
//   Existing    modified in place, deleted with its cut neighbour growing back, find in EPG
//   Watch       a "-P-" timer switches once in its minute, not for a recording timer, not past
//               two recordings, not across the service type while the guide shows
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/receiver/timer_scripts.h"
#include "tests/support/support.h"

using testsupport::readFile;
using testsupport::TempDir;
using namespace timerscripts;

namespace {

// The value column of the editor's row `row` in a screen dump.
std::string value(const std::vector<DumpedText> &texts, int row) {
    return textAt(texts, 291, row);
}

// --- NewTimer ---

TEST(TimerEditor, ANewTimerFromTheListIsSetAndListed) {
    TempDir dir;
    ScriptRun r = runScript(dir, {}, R"rod(key GUIDE
key TIMERLIST
key RED
expect screen " Timer Editor"
dump screen {dir}/new.txt
key DOWN x9
key OK
expect no-screen " Timer Editor"
expect screen " Timer List"
expect screen "1/1"
expect screen " Das Erste HD"
expect screen "21:00 - 23:00 (2 h 0 min)"
dump timers {dir}/t.json
)rod");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<DumpedText> rows = screenTexts(dir.file("new.txt"));
    EXPECT_EQ(value(rows, 0), " Das Erste HD");   // no name yet: the channel's
    EXPECT_EQ(value(rows, 1), " 1. Das Erste HD");
    EXPECT_EQ(value(rows, 2), " 2026-12-07 Mo");
    EXPECT_EQ(value(rows, 3), "  21:00");
    EXPECT_EQ(value(rows, 4), "  23:00  (2 h 0 min)");
    EXPECT_EQ(value(rows, 5), "  One Time  (OT)");
    EXPECT_EQ(value(rows, 6), "    TV");
    EXPECT_EQ(value(rows, 7), "    On");
    EXPECT_EQ(value(rows, 8), "     2");
    EXPECT_EQ(textAt(rows, 109, 9), " Save the timer");
    EXPECT_EQ(textAt(rows, 109, 10), " Delete the timer");
    EXPECT_EQ(objects(dir.file("t.json")),
              std::vector<std::string>{timer(0, "Rec", 1, 0, "21:00", 120, "Das Erste HD.rec")});
}

TEST(TimerEditor, TheListComesBackAtTheNewTimerInTimeOrder) {
    TempDir dir;
    ScriptRun r = runScript(dir, {{TIMERLIST_SORT, 2}}, R"rod(add-timer tv:4 "2026-12-07 20:30" 10 "Early"
add-timer tv:4 "2026-12-07 23:00" 10 "Late"
key GUIDE
key TIMERLIST
key RED
key DOWN x9
key OK
expect screen "2/3"
dump screen {dir}/list.txt
)rod");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<DumpedText> list = screenTexts(dir.file("list.txt"));
    EXPECT_EQ(selectedRow(list, 105), 1);
    EXPECT_EQ(textAt(list, 105, 1), " Das Erste HD");
}

// --- Rows ---

TEST(TimerEditor, TunerCyclesUpWrapsAndTheDurationAndDateStop) {
    TempDir dir;
    ScriptRun r = runScript(dir, {{REC_TUNER, 0}}, R"rod(key GUIDE
key TIMERLIST
key RED
dump screen {dir}/first.txt
key UP
dump screen {dir}/up.txt
key UP x2
key RIGHT
dump screen {dir}/tuner2.txt
key RIGHT
dump screen {dir}/tuner4.txt
key RIGHT
dump screen {dir}/tuner1.txt
key UP x4
key REWIND x2
key LEFT
dump screen {dir}/duration.txt
key UP x2
key LEFT
dump screen {dir}/date.txt
key RIGHT x2
key HELP
dump screen {dir}/date-back.txt
key DOWN x3
key RIGHT
key UP
key FORWARD x30
dump screen {dir}/daily.txt
key DOWN
key LEFT
key UP
key FORWARD x30
dump screen {dir}/once.txt
key UP x3
key LEFT x20
dump screen {dir}/channel.txt
key DOWN x5
key RIGHT
dump screen {dir}/radio.txt
)rod");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(selectedRow(screenTexts(dir.file("first.txt")), 109), 0);
    EXPECT_EQ(selectedRow(screenTexts(dir.file("up.txt")), 109), 10) << "UP on the first row selects the delete row";
    EXPECT_EQ(value(screenTexts(dir.file("first.txt")), 8), "     1");
    EXPECT_EQ(value(screenTexts(dir.file("tuner2.txt")), 8), "     2");
    EXPECT_EQ(value(screenTexts(dir.file("tuner4.txt")), 8), "     4");
    EXPECT_EQ(value(screenTexts(dir.file("tuner1.txt")), 8), "     1");
    // 120 minutes, two hours less: stops at 1, and stays there.
    EXPECT_EQ(value(screenTexts(dir.file("duration.txt")), 4), "  21:01  (1 min)");
    // The date stops at today; help-and-edit brings the day after tomorrow back to today (21:00
    // still lies ahead).
    EXPECT_EQ(value(screenTexts(dir.file("date.txt")), 2), " 2026-12-07 Mo");
    EXPECT_EQ(value(screenTexts(dir.file("date-back.txt")), 2), " 2026-12-07 Mo");
    // A daily timer stops at a day, a one-time timer at two.
    std::vector<DumpedText> daily = screenTexts(dir.file("daily.txt"));
    EXPECT_EQ(value(daily, 5), "  Every Day  (ED)");
    EXPECT_EQ(value(daily, 4), "  21:00  (24 h 0 min)");
    EXPECT_EQ(value(screenTexts(dir.file("once.txt")), 4), "  21:00  (48 h 0 min)");
    // The channel wraps round the list; radio has only ten: channel 21 becomes the radio list's first.
    EXPECT_EQ(value(screenTexts(dir.file("channel.txt")), 1), " 21. BR Fernsehen S\xC3\xBC" "d HD");
    // Radio: the channel goes back to the radio list's first.
    std::vector<DumpedText> radio = screenTexts(dir.file("radio.txt"));
    EXPECT_EQ(value(radio, 6), "  Radio");
    EXPECT_EQ(value(radio, 1), " 1. Bayern 3");
}

TEST(TimerEditor, AKeyHeldOnTheStartRowStepsFaster) {
    TempDir dir;
    ScriptRun r = runScript(dir, {}, R"rod(key GUIDE
key TIMERLIST
key RED
key DOWN x2
key RIGHT
key DOWN
key RIGHT x5
dump screen {dir}/tapped.txt
hold RIGHT 6
dump screen {dir}/held.txt
)rod");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(value(screenTexts(dir.file("tapped.txt")), 3), "  21:05");
    // 40 repeats: minutes for three seconds, then tens, then half hours (round the clock on
    // tomorrow's date, which stays).
    std::string held = value(screenTexts(dir.file("held.txt")), 3);
    ASSERT_EQ(held.size(), 7u) << held;
    int minutes = std::stoi(held.substr(2, 2)) * 60 + std::stoi(held.substr(5, 2));
    EXPECT_EQ(minutes % 30, 0) << held;
    EXPECT_GT((minutes - (21 * 60 + 5) + 1440) % 1440, 40) << held;
    EXPECT_EQ(value(screenTexts(dir.file("held.txt")), 2), " 2026-12-08 Tu");
}

// --- RecordNow ---

TEST(TimerEditor, AStartBeforeNowRecordsAtOnceAndTheWatchHandsItToItsRecording) {
    TempDir dir;
    ScriptRun r = runScript(dir, {}, R"rod(key GUIDE
key TIMERLIST
key RED
key DOWN x5
key RIGHT
expect screen "  Every Day  (ED)"
key UP x2
key REWIND
key LEFT x2
expect screen " Record Now"
expect screen "  19:59"
expect screen "  One Time  (OT)"
expect screen " Run Record"
dump screen {dir}/editor.txt
key DOWN x6
key OK
expect no-screen " Record Now"
wait 2s
dump timers {dir}/set.json
dump recordings {dir}/recording.json
wait 6s
dump timers {dir}/reset.json
wait 10s
expect timers 0
dump recordings {dir}/handed-over.json
wait 2h
dump recordings {dir}/done.json
)rod");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(objects(dir.file("set.json")),
              std::vector<std::string>{timer(0, "Rec", 1, 0, "19:59", 120, "Das Erste HD.rec")});
    std::vector<std::string> recording = recordings(dir.file("recording.json"), "running");
    ASSERT_EQ(recording.size(), 1u) << readFile(dir.file("recording.json"));
    EXPECT_NE(recording[0].find("\"channel\": 0"), std::string::npos) << recording[0];
    // The fifth second: set anew on the other tuner.
    EXPECT_EQ(objects(dir.file("reset.json")),
              std::vector<std::string>{timer(0, "Rec", 0, 0, "19:59", 120, "Das Erste HD.rec")});
    // The timer has left; its recording runs on to the timer's end.
    std::vector<std::string> running = recordings(dir.file("handed-over.json"), "running");
    ASSERT_EQ(running.size(), 1u) << readFile(dir.file("handed-over.json"));
    EXPECT_NE(running[0].find("\"end\": \"2026-12-07 21:59\""), std::string::npos) << running[0];
    std::vector<std::string> done = recordings(dir.file("done.json"), "done");
    ASSERT_EQ(done.size(), 1u) << readFile(dir.file("done.json"));
    EXPECT_NE(done[0].find("\"channel\": 0"), std::string::npos) << done[0];
    // Mode and record are fixed for a record-now timer: grey.
    std::vector<DumpedText> editor = screenTexts(dir.file("editor.txt"));
    std::string modeFg, nameFg;
    for (const DumpedText &t : editor) {
        if (t.x == 291 && t.text == "  One Time  (OT)")
            modeFg = t.fg;
        if (t.x == 291 && t.text == " 1. Das Erste HD")
            nameFg = t.fg;
    }
    EXPECT_NE(modeFg, nameFg);
}

// --- Name ---

TEST(TimerEditor, TheNameTypedOnTheKeyboardNamesTheTimerAndBlanksGiveTheChannels) {
    TempDir dir;
    // N (row 2, column 4), E, W, S: the cursor keys from the keyboard's first key.
    ScriptRun r = runScript(dir, {}, R"rod(key GUIDE
key TIMERLIST
key RED
key OK
expect screen "Keyboard"
key REWIND x12
key DOWN
key RIGHT x3
key OK
key UP
key RIGHT
key OK
key DOWN x2
key LEFT x2
key OK
key UP
key RIGHT x6
key OK
key STOP
expect no-screen "Keyboard"
expect screen " NEWS"
key DOWN x9
key OK
dump timers {dir}/named.json
key OK
key OK
key REWIND x4
key FORWARD x3
key STOP
expect screen " Das Erste HD"
key DOWN x9
key OK
dump timers {dir}/blank.json
)rod");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(objects(dir.file("named.json")),
              std::vector<std::string>{timer(0, "Rec", 1, 0, "21:00", 120, "NEWS.rec")});
    EXPECT_EQ(objects(dir.file("blank.json")),
              std::vector<std::string>{timer(0, "Rec", 1, 0, "21:00", 120, "Das Erste HD.rec")});
}

// --- Existing ---

TEST(TimerEditor, AChangedTimerIsModifiedInPlace) {
    TempDir dir;
    ScriptRun r = runScript(dir, {}, R"rod(add-timer tv:4 "2026-12-08 20:00" 30 "First"
add-timer tv:8 "2026-12-08 21:00" 30 tuner 1 "Second"
add-timer tv:13 "2026-12-08 22:00" 30 "Third"
key GUIDE
key TIMERLIST
key DOWN
key OK
expect screen " Edit Timer Nr. 2"
expect screen " Second"
key DOWN x4
key RIGHT x5
key DOWN
key RIGHT x3
key DOWN x4
key OK
expect screen " Timer List"
expect screen "2/3"
dump timers {dir}/t.json
)rod");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(objects(dir.file("t.json")),
              (std::vector<std::string>{timer(0, "Rec", 3, 4, "2026-12-08 20:00", 30, "First"),
                                        timer(1, "Rec", 1, 8, "2026-12-08 21:00", 35, "Second.rec", "WL"),
                                        timer(2, "Rec", 3, 13, "2026-12-08 22:00", 30, "Third")}));
}

TEST(TimerEditor, ADeletedTimerIsGoneAndItsCutNeighbourGrowsBack) {
    TempDir dir;
    ScriptRun r = runScript(dir, {{COMBINE_TIMERS, 2}, {REC_LEAD_TIME, 5}, {REC_STOP_ADD, 10}}, R"rod(key GUIDE
key DOWN
key RECORD
key DOWN
key RECORD
dump timers {dir}/cut.json
key TIMERLIST
key DOWN
key HELP
expect screen " Edit Timer Nr. 2"
key OK
expect screen "1/1"
dump timers {dir}/after.json
)rod");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(objects(dir.file("cut.json")),
              (std::vector<std::string>{timer(0, "Rec", 1, 0, "20:10", 50, "Terra X.rec"),
                                        timer(1, "Rec", 1, 0, "21:00", 55, "Markt.rec")}));
    EXPECT_EQ(objects(dir.file("after.json")),
              std::vector<std::string>{timer(0, "Rec", 1, 0, "20:10", 60, "Terra X.rec")});
}

TEST(TimerEditor, BlueShowsTheTimersEventInTheGuide) {
    TempDir dir;
    ScriptRun r = runScript(dir, {}, R"rod(key GUIDE
key RIGHT x4
key DOWN x2
key RECORD
key LEFT x4
key TIMERLIST
key BLUE
expect no-screen " Timer List"
expect screen "5. ZDF HD"
dump screen {dir}/guide.txt
)rod");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<DumpedText> guide = screenTexts(dir.file("guide.txt"));
    EXPECT_EQ(selectedRow(guide, 61), 0);
    EXPECT_EQ(textAt(guide, 61, 0), " 21:00 - 22:15");
}

// --- Watch ---

TEST(TimerWatch, APTimerSwitchesOnceInItsMinuteAndARecordingTimerNever) {
    TempDir dir;
    ScriptRun r = runScript(dir, {}, R"rod(add-timer tv:4 "2026-12-07 20:15" 10 p "Wake"
add-timer tv:8 "2026-12-07 20:30" 10 "Rec"
wait 14m
wait 55s
key GUIDE
expect screen "1. Das Erste HD"
key EXIT
wait 20s
key GUIDE
expect screen "5. ZDF HD"
key EXIT
tune tv:0
wait 30s
key GUIDE
expect screen "1. Das Erste HD"
key EXIT
wait 16m
key GUIDE
expect screen "1. Das Erste HD"
key EXIT
)rod");
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST(TimerWatch, TwoRunningRecordingsKeepTheirTunersAndRadioWaitsForTheGuideToClose) {
    TempDir dir;
    ScriptRun r = runScript(dir, {}, R"rod(add-timer tv:8 "2026-12-07 20:10" 5 p "Third transponder"
add-timer ra:2 "2026-12-07 20:20" 5 p "Radio"
record tv:0
record tv:4
wait 9m
wait 50s
wait 30s
dump recordings {dir}/recordings.json
key GUIDE
expect screen "1. Das Erste HD"
record-stop
wait 10m
expect screen "1. Das Erste HD"
key EXIT
wait 10s
key GUIDE
expect screen "3. SWR3"
)rod");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> running = recordings(dir.file("recordings.json"), "running");
    ASSERT_EQ(running.size(), 2u) << readFile(dir.file("recordings.json"));
    EXPECT_NE(running[0].find("\"channel\": 0"), std::string::npos) << running[0];
    EXPECT_NE(running[1].find("\"channel\": 4"), std::string::npos) << running[1];
}

}  // namespace
