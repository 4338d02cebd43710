// The script commands of the firmware's timers and recordings:
//   Parsing   add-timer with its options and the start in one word or two, dump timers and
//             recordings, expect timers; bad lines say why
//   Program   a script sets timers, lets them record and dumps the table and the recordings as
//             JSON that a JSON reader takes (names with quotes, backslashes, controls, Latin-1);
//             a refusal fails the script with the firmware's code; the plug-in sees the disk shrink
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "receiver/firmware_dump.h"
#include "receiver/script.h"
#include "sim/clock.h"
#include "tests/support/support.h"

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// --- Parsing ---

TEST(TimerScriptParse, AddTimerTakesItsOptionsInAnyOrder) {
    rx::Script s;
    std::vector<std::string> errors;
    ASSERT_TRUE(rx::parseScript("add-timer tv:3 \"2026-12-07 20:15\" 45\n"
                                "add-timer ra:1 2026-12-08 06:00 30 p tuner 1 mode wd \"Früh \\\"mix\\\"\"\n"
                                "add-timer tv:0 \"2026-12-09 23:59\" 0 \"Name\" mode ED rec tuner 0\n"
                                "dump timers t.json\ndump recordings -\nexpect timers 12\n",
                                "t.rod", s, errors))
        << errors[0];
    ASSERT_EQ(s.commands.size(), 6u);
    const rx::Command &a = s.commands[0], &b = s.commands[1], &c = s.commands[2];
    EXPECT_EQ(a.op, rx::Op::AddTimer);
    EXPECT_EQ(a.svcNum, 3);
    EXPECT_EQ(sim::formatLocalTime(a.ms), "2026-12-07 20:15:00");
    EXPECT_EQ(a.minutes, 45);
    EXPECT_TRUE(a.isRec);
    EXPECT_EQ(a.tuner, 3);
    EXPECT_EQ(a.mode, 0);
    EXPECT_EQ(a.arg, "");
    EXPECT_EQ(b.svcType, 1);
    EXPECT_EQ(sim::formatLocalTime(b.ms), "2026-12-08 06:00:00");
    EXPECT_FALSE(b.isRec);
    EXPECT_EQ(b.tuner, 1);
    EXPECT_EQ(b.mode, 4);
    EXPECT_EQ(b.arg, "Früh \"mix\"");
    EXPECT_EQ(c.minutes, 0);  // for the firmware to refuse
    EXPECT_EQ(c.mode, 1);
    EXPECT_EQ(c.tuner, 0);
    EXPECT_EQ(c.arg, "Name");
    EXPECT_EQ(s.commands[3].op, rx::Op::DumpTimers);
    EXPECT_EQ(s.commands[3].arg, "t.json");
    EXPECT_EQ(s.commands[4].op, rx::Op::DumpRecordings);
    EXPECT_EQ(s.commands[5].op, rx::Op::ExpectTimers);
    EXPECT_EQ(s.commands[5].count, 12);
}

TEST(TimerScriptParse, BadTimerLinesSayWhy) {
    rx::Script s;
    std::vector<std::string> errors;
    EXPECT_FALSE(rx::parseScript("add-timer tv:3\n"
                                 "add-timer sat:3 \"2026-12-07 20:15\" 45\n"
                                 "add-timer tv:3 \"2026-12-07 20:15:30\" 45\n"
                                 "add-timer tv:3 \"2026-12-07 20:15\" -5\n"
                                 "add-timer tv:3 \"2026-12-07 20:15\" 45 tuner 2\n"
                                 "add-timer tv:3 \"2026-12-07 20:15\" 45 mode XX\n"
                                 "add-timer tv:3 \"2026-12-07 20:15\" 45 \"a\" \"b\"\n"
                                 "add-timer tv:3 \"2026-12-07 20:15\" 45 \"" + std::string(100, 'n') + "\"\n"
                                 "dump timer x\nexpect timers 101\nexpect timers many\n",
                                 "t.rod", s, errors));
    ASSERT_EQ(errors.size(), 11u);
    EXPECT_NE(errors[0].find("t.rod:1: expected: add-timer tv:N \"YYYY-MM-DD HH:MM\" MINUTES"), std::string::npos);
    EXPECT_NE(errors[1].find("\"sat:3\" is not tv:N or ra:N"), std::string::npos) << errors[1];
    EXPECT_NE(errors[2].find("\"2026-12-07 20:15:30\" is not a start"), std::string::npos) << errors[2];
    EXPECT_NE(errors[3].find("the duration must be minutes"), std::string::npos) << errors[3];
    EXPECT_NE(errors[4].find("\"tuner\" is not understood"), std::string::npos) << errors[4];
    EXPECT_NE(errors[5].find("the mode \"XX\" is not OT, ED, WE, WL or WD"), std::string::npos) << errors[5];
    EXPECT_NE(errors[6].find("\"b\" is not understood"), std::string::npos) << errors[6];
    EXPECT_NE(errors[7].find("the name is longer than 99 characters"), std::string::npos) << errors[7];
    EXPECT_NE(errors[8].find("dump what? \"timer\""), std::string::npos) << errors[8];
    EXPECT_NE(errors[9].find("the number of timers \"101\" is not 0..100"), std::string::npos) << errors[9];
    EXPECT_NE(errors[10].find("t.rod:11:"), std::string::npos);
}

TEST(TimerJson, NamesBecomeValidJsonStrings) {
    EXPECT_EQ(rx::jsonString("plain"), "\"plain\"");
    EXPECT_EQ(rx::jsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(rx::jsonString("tab\there\nline\x01\x7F"), "\"tab\\there\\nline\\u0001\\u007F\"");
    EXPECT_EQ(rx::jsonString("\xC4rger \x8A \xFF"), "\"\xC3\x84rger \\u008A \xC3\xBF\"");
}

// --- Program ---

// Runs python3 on a JSON file: strict UTF-8, strict JSON, then one line per object with its
// keys and values ("key=value" joined by "|"), "running:" and "done:" heading the recordings.
std::string readBackJson(const std::string &path) {
    const char *program =
        "import json,sys\n"
        "data = json.loads(open(sys.argv[1], 'rb').read().decode('utf-8'))\n"
        "def line(o): return '|'.join('%s=%s' % (k, o[k]) for k in o)\n"
        "if isinstance(data, list):\n"
        "    for o in data: print(line(o))\n"
        "else:\n"
        "    print('keys=' + ','.join(data))\n"
        "    for part in ('running', 'done'):\n"
        "        print(part + ':')\n"
        "        for o in data[part]: print(line(o))\n";
    std::string command = "python3 -c \"$(cat <<'PY'\n" + std::string(program) + "PY\n)\" '" + path + "' 2>&1";
    std::string out;
    if (FILE *p = popen(command.c_str(), "r")) {
        char buf[512];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        if (pclose(p) != 0)
            out += "(python3 failed)";
    }
    return out;
}

TEST(TimerScriptProgram, TimersRecordAndTheDumpsAreJson) {
    TempDir dir;
    // The plug-in warns below 999 GB free: after a restart it shows what the recordings took.
    std::filesystem::create_directories(dir.path() + "/disk");
    writeFile(dir.path() + "/disk/Diro_ROD.Settings.DAT", testsupport::settingsImage({{24, 999}}));
    writeFile(dir.file("t.rod"),
              "add-timer tv:2 \"2026-12-07 20:05\" 10 \"Say \\\"Ä\\\" \\\\ back\tslash\"\n"
              "add-timer ra:1 \"2026-12-07 20:30\" 60 p tuner 1 mode WL\n"
              "add-timer tv:9 \"2026-12-07 20:10\" 20 tuner 0\n"
              "expect timers 3\n"
              "dump timers " + dir.file("timers.json") + "\n"
              "wait 12m\n"
              "dump recordings " + dir.file("running.json") + "\n"
              "wait 20m\n"
              "dump recordings " + dir.file("done.json") + "\n"
              "wait 1h\n"
              "dump timers " + dir.file("later.json") + "\n"
              "expect timers 1\n"
              "restart\n"
              "wait 1s\n"
              "expect screen \"There is 499100 MB free on the hard disk!\"\n");
    auto r = testsupport::runReceiver({"--disk", dir.path() + "/disk", "--clock", "2026-12-07 20:00", "--script",
                                       dir.file("t.rod")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readBackJson(dir.file("timers.json")),
              "index=0|kind=Rec|tuner=3|type=tv|channel=2|start=2026-12-07 20:05|duration=10|mode=OT|"
              "name=Say \"Ä\" \\ back\tslash\n"
              "index=1|kind=-P-|tuner=1|type=radio|channel=1|start=2026-12-07 20:30|duration=60|mode=WL|"
              "name=Deutschlandfunk.rec\n"
              "index=2|kind=Rec|tuner=0|type=tv|channel=9|start=2026-12-07 20:10|duration=20|mode=OT|"
              "name=VOX.rec\n");
    EXPECT_EQ(readBackJson(dir.file("running.json")),
              "keys=running,done\nrunning:\n"
              "slot=0|type=tv|channel=2|start=2026-12-07 20:05|end=2026-12-07 20:15|name=Say \"Ä\" \\ back\tslash\n"
              "slot=1|type=tv|channel=9|start=2026-12-07 20:10|end=2026-12-07 20:30|name=VOX.rec\n"
              "done:\n");
    EXPECT_EQ(readBackJson(dir.file("done.json")),
              "keys=running,done\nrunning:\ndone:\n"
              "slot=0|type=tv|channel=2|start=2026-12-07 20:05|end=2026-12-07 20:15|name=Say \"Ä\" \\ back\tslash\n"
              "slot=1|type=tv|channel=9|start=2026-12-07 20:10|end=2026-12-07 20:30|name=VOX.rec\n");
    // The "-P-" timer is weekly: after its first time (20:30 - 21:30) it waits for the next Monday.
    EXPECT_EQ(readBackJson(dir.file("later.json")),
              "index=0|kind=-P-|tuner=1|type=radio|channel=1|start=2026-12-14 20:30|duration=60|mode=WL|"
              "name=Deutschlandfunk.rec\n");
}

TEST(TimerScriptProgram, ARefusedTimerFailsTheScriptWithTheFirmwaresCode) {
    TempDir dir;
    auto r = testsupport::runReceiver(
        {"--disk", dir.path(), "--clock", "2026-12-07 20:00", "--script", "-"},
        "add-timer tv:0 \"2026-12-07 20:00\" 60\n"   // transponder 1
        "add-timer tv:4 \"2026-12-07 20:00\" 60\n"   // transponder 2
        "add-timer tv:9 \"2026-12-07 20:30\" 60\n"   // transponder 3: a third tuner
        "add-timer tv:99 \"2026-12-07 20:30\" 60\n"
        "add-timer tv:1 \"2026-12-07 19:00\" 60\n"
        "expect timers 3\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("-:3: add-timer tv:9 \"2026-12-07 20:30\" 60: FAILED: the firmware refused the timer with "
                         "-65536 (collision with timer 0)"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("virtual receiver: the timer menu refused Rec tv:9 2026-12-07 20:30 60 min OT tuner 3 "
                         "\"VOX.rec\": collision with timer 0"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("FAILED: the firmware refused the timer with 4 (there is no such channel)"), std::string::npos);
    EXPECT_NE(r.err.find("virtual receiver: the timer menu refused Rec tv:99 2026-12-07 20:30 60 min OT tuner 3 \"\": "
                         "there is no channel tv:99 [4]"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("FAILED: the firmware refused the timer with 6 (it ends before now)"), std::string::npos);
    EXPECT_NE(r.err.find("-:6: expect timers 3: FAILED: the firmware's table holds 2 timers\n"
                         "    0: Rec tv:0 2026-12-07 20:00 60 min OT tuner 3 \"Das Erste HD.rec\"\n"
                         "    1: Rec tv:4 2026-12-07 20:00 60 min OT tuner 3 \"ZDF HD.rec\""),
              std::string::npos)
        << r.err;
}

}  // namespace
