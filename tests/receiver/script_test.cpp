// The script language:
//   Parsing   every command and key name parses; bad lines give their line number and why
//   Running   keys, holds and waits move the clock with idle events; clock forward only; tune,
//             state, restart; snap and dumps write files (or standard output)
//   Expect    screen / no-screen / file / no-file; a failure lists the screen's texts
#include <gtest/gtest.h>

#include <sstream>

#include "receiver/script.h"
#include "sim/clock.h"
#include "tests/support/support.h"

using testsupport::readFile;
using testsupport::TempDir;

namespace {

rx::Script parsed(const std::string &text) {
    rx::Script s;
    std::vector<std::string> errors;
    EXPECT_TRUE(rx::parseScript(text, "t.rod", s, errors)) << (errors.empty() ? "" : errors[0]);
    return s;
}

std::vector<std::string> parseErrors(const std::string &text) {
    rx::Script s;
    std::vector<std::string> errors;
    EXPECT_FALSE(rx::parseScript(text, "t.rod", s, errors));
    return errors;
}

TEST(ScriptParse, EveryCommandParses) {
    rx::Script s = parsed(
        "# a comment\n"
        "key OK\n"
        "key 7 x3   # three sevens\n"
        "key << \n"
        "key 0x1001E\n"
        "hold DOWN 2\n"
        "wait 500ms\n"
        "wait 20m\n"
        "clock \"2026-12-08 06:30\"\n"
        "tune ra:3\n"
        "state 0 31\n"
        "restart\n"
        "snap shots/a.png\n"
        "dump screen -\n"
        "dump settings s.txt\n"
        "expect screen \"Auf der Festplatte # sind \\\"frei\\\"\"\n"
        "expect no-screen \"x\"\n"
        "expect file Diro_ROD.Settings.DAT\n"
        "expect no-file \"Diro_ROD.BufferExt.DAT\"\n");
    ASSERT_EQ(s.commands.size(), 18u);
    const auto &c = s.commands;
    EXPECT_EQ(c[0].op, rx::Op::Key);
    EXPECT_EQ(c[0].key, static_cast<uint32_t>(RKEY_Ok));
    EXPECT_EQ(c[0].line, 2);
    EXPECT_EQ(c[1].key, static_cast<uint32_t>(RKEY_7));
    EXPECT_EQ(c[1].count, 3);
    EXPECT_EQ(c[2].key, static_cast<uint32_t>(RKEY_Rewind));
    EXPECT_EQ(c[3].key, static_cast<uint32_t>(RKEY_Ok));
    EXPECT_EQ(c[4].op, rx::Op::Hold);
    EXPECT_EQ(c[4].ms, 2000);
    EXPECT_EQ(c[5].ms, 500);
    EXPECT_EQ(c[6].ms, 20 * 60000);
    int64_t when = 0;
    sim::parseLocalTime("2026-12-08 06:30", when);
    EXPECT_EQ(c[7].ms, when);
    EXPECT_EQ(c[8].svcType, 1);
    EXPECT_EQ(c[8].svcNum, 3);
    EXPECT_EQ(c[9].subState, 31u);
    EXPECT_EQ(c[10].op, rx::Op::Restart);
    EXPECT_EQ(c[11].arg, "shots/a.png");
    EXPECT_EQ(c[12].op, rx::Op::DumpScreen);
    EXPECT_EQ(c[13].op, rx::Op::DumpSettings);
    EXPECT_EQ(c[14].arg, "Auf der Festplatte # sind \"frei\"");
    EXPECT_EQ(c[15].op, rx::Op::ExpectNoScreen);
    EXPECT_EQ(c[16].op, rx::Op::ExpectFile);
    EXPECT_EQ(c[17].arg, "Diro_ROD.BufferExt.DAT");
}

TEST(ScriptParse, EveryKeyNameOfTheRemoteIsKnown) {
    const char *names[] = {"0", "9", "OK", "EXIT", "UP", "DOWN", "LEFT", "RIGHT", "MENU", "GUIDE", "INFO",
                           "RECORD", "PLAY", "PAUSE", "STOP", "REWIND", "<<", "FORWARD", ">>", "SLOW", "|>",
                           "PREV", "|<", "NEXT", ">|", "RED", "GREEN", "YELLOW", "BLUE", "TELETEXT", "SUBTITLE",
                           "SLEEP", "MUTE", "UHF", "TVSAT", "RECALL", "RADIO", "AUDIO", "SAT", "TIMERLIST", "HELP",
                           "ok", "0x10049"};
    for (const char *n : names) {
        uint32_t code = 0;
        EXPECT_TRUE(rx::keyCode(n, code)) << n;
        EXPECT_GE(code, 0x10000u) << n;
    }
    uint32_t code = 0;
    EXPECT_TRUE(rx::keyCode("AUDIO", code));
    EXPECT_EQ(code, static_cast<uint32_t>(RKEY_AudioTrk));
    EXPECT_TRUE(rx::keyCode(">|", code));
    EXPECT_EQ(code, static_cast<uint32_t>(RKEY_Next));
    EXPECT_FALSE(rx::keyCode("ENTER", code));
    EXPECT_FALSE(rx::keyCode("10", code));
}

TEST(ScriptParse, BadLinesAreAllReportedWithTheirNumbers) {
    std::vector<std::string> errors = parseErrors(
        "key OK\n"
        "key ENTER\n"
        "wait 3 days\n"
        "wait soon\n"
        "clock \"2026-02-30 10:00\"\n"
        "tune sat:1\n"
        "snap shot.jpg\n"
        "expect screen \"unterminated\n"
        "expect file ../etc/passwd\n"
        "dance\n"
        "key OK x0\n");
    ASSERT_EQ(errors.size(), 10u);
    EXPECT_EQ(errors[0], "t.rod:2: unknown key \"ENTER\"");
    EXPECT_NE(errors[1].find("t.rod:3: expected: wait DURATION"), std::string::npos) << errors[1];
    EXPECT_NE(errors[2].find("t.rod:4: the duration \"soon\""), std::string::npos) << errors[2];
    EXPECT_NE(errors[3].find("t.rod:5:"), std::string::npos);
    EXPECT_NE(errors[4].find("t.rod:6: \"sat:1\" is not tv:N or ra:N"), std::string::npos) << errors[4];
    EXPECT_NE(errors[5].find("t.rod:7: a snapshot is a PNG file"), std::string::npos) << errors[5];
    EXPECT_NE(errors[6].find("t.rod:8: the quote is not closed"), std::string::npos) << errors[6];
    EXPECT_NE(errors[7].find("t.rod:9:"), std::string::npos);
    EXPECT_EQ(errors[8], "t.rod:10: unknown command \"dance\"");
    EXPECT_NE(errors[9].find("t.rod:11: the repeat count"), std::string::npos);
}

// Running scripts on a receiver with the real image.
struct ScriptRun : ::testing::Test {
    TempDir dir;
    std::unique_ptr<sim::Receiver> rx;
    std::ostringstream out, err;
    void SetUp() override { rx = testsupport::imageReceiver(dir.path() + "/disk"); }
    int run(const std::string &text) {
        rx::Script s = parsed(text);
        rx::RunSettings settings;
        settings.outputDir = dir.path();
        settings.out = &out;
        settings.err = &err;
        return rx::runScript(s, *rx, settings);
    }
};

TEST_F(ScriptRun, KeysHoldsAndWaitsMoveTheClockWithIdleEvents) {
    int64_t start = rx->firmware().clock.nowMs();
    EXPECT_EQ(run("key UP x2\nwait 3s\nhold DOWN 1.5\n"), 0) << err.str();
    EXPECT_EQ(rx->firmware().clock.nowMs() - start, 600 + 3000 + 1500);
    // The plug-in passes UP and DOWN in normal viewing; the firmware switched channel.
    EXPECT_EQ(rx->passedKeys().size(), 12u);
    EXPECT_EQ(rx->firmware().channels.current().svcNum, (2 - 10 + 40) % 40);
}

TEST_F(ScriptRun, TheClockOnlyGoesForwardAndAnUnknownChannelStopsTheScript) {
    EXPECT_EQ(run("clock \"2026-12-07 21:15:30\"\n"), 0);
    EXPECT_EQ(sim::formatLocalTime(rx->firmware().clock.nowMs()), "2026-12-07 21:15:30");
    EXPECT_EQ(run("wait 1s\nclock \"2026-12-07 21:00\"\nexpect file never-checked\n"), 2);
    EXPECT_NE(err.str().find("t.rod:2: the clock cannot go back: it is 2026-12-07 21:15:31 already"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(run("tune ra:9\ntune ra:10\n"), 2);
    EXPECT_NE(err.str().find("t.rod:2: there is no such channel: the lineup has 10 radio channels"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(rx->firmware().channels.current().svcType, 1);
    EXPECT_EQ(rx->firmware().channels.current().svcNum, 9);
}

TEST_F(ScriptRun, SnapAndDumpsWriteFilesAndPrintTheirPaths) {
    testsupport::writeFile(dir.path() + "/disk/Diro_ROD.Settings.DAT", testsupport::settingsImage({{24, 999}}));
    EXPECT_EQ(run("restart\nsnap shots/start.png\ndump screen screen.txt\ndump settings -\n"), 0) << err.str();
    EXPECT_NE(out.str().find(dir.path() + "/shots/start.png\n"), std::string::npos) << out.str();
    EXPECT_EQ(readFile(dir.path() + "/shots/start.png").substr(1, 3), "PNG");
    EXPECT_EQ(readFile(dir.path() + "/screen.txt"),
              "138 259 2 0xFFE1E1E1 0xFF1F1F1F \"There is 500000 MB free on the hard disk!\"\n");
    EXPECT_NE(out.str().find("0 -512\n4 -512\n"), std::string::npos);
    EXPECT_NE(out.str().find("\n24 999\n"), std::string::npos);
    EXPECT_NE(out.str().find("\n508 -512\n"), std::string::npos);
}

TEST_F(ScriptRun, ExpectFailuresAreCountedAndListTheScreen) {
    testsupport::writeFile(dir.path() + "/disk/Diro_ROD.Settings.DAT", testsupport::settingsImage({{24, 999}}));
    EXPECT_EQ(run("restart\nexpect screen \"free on the hard disk\"\nexpect no-screen \"MB free\"\n"
                  "expect screen \"Festplatte\"\nexpect file Diro_ROD.Settings.DAT\n"
                  "expect no-file Diro_ROD.Settings.DAT\n"
                  "expect file Diro_ROD.Search.ini\ndump settings gone.txt\n"),
              1);
    std::string e = err.str();
    EXPECT_NE(e.find("t.rod:3: expect no-screen \"MB free\": FAILED: \"MB free\" is on the screen"), std::string::npos)
        << e;
    EXPECT_NE(e.find("t.rod:4: expect screen \"Festplatte\": FAILED"), std::string::npos) << e;
    EXPECT_NE(e.find("    138 259 2 0xFFE1E1E1 0xFF1F1F1F \"There is 500000 MB free on the hard disk!\""),
              std::string::npos)
        << e;
    EXPECT_NE(e.find("t.rod:6: expect no-file Diro_ROD.Settings.DAT: FAILED"), std::string::npos) << e;
    EXPECT_NE(e.find("t.rod:7: expect file Diro_ROD.Search.ini: FAILED"), std::string::npos) << e;
    EXPECT_EQ(e.find("t.rod:2:"), std::string::npos) << "the first expectation held";
    EXPECT_NE(e.find("4 expectations failed"), std::string::npos) << e;

    // A missing settings file is a message, not a crash.
    std::remove((dir.path() + "/disk/Diro_ROD.Settings.DAT").c_str());
    EXPECT_EQ(run("dump settings -\n"), 1);
    EXPECT_NE(err.str().find("there is no settings file Diro_ROD.Settings.DAT"), std::string::npos);
}

}  // namespace
