// The receiver program end to end (build/receiver run as a separate process):
//   Options   help, usage without a script, bad options and lineups give exit 2 with a reason
//             that names the real cause; lineup names folded as guide names are
//   Scripts   from a file and from standard input (a byte-order mark too); exit 0 / 1 / 2; the
//             whole script checked first, channels included; the German free-disk message
//   Demo      the demo lineup's shape; the demo writes its screenshots, dumps and settings on a
//             fresh disk
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "receiver/lineup.h"

#include "tests/support/support.h"

using testsupport::readFile;
using testsupport::runReceiver;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// A clock outside the plug-in's default scan window (3:00 to 7:00), so that it starts quietly.
const char *const kClock = "2026-12-07 20:00";

TEST(ReceiverProgram, HelpUsageAndBadOptions) {
    auto help = runReceiver({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--script FILE"), std::string::npos);

    auto none = runReceiver({});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_NE(none.err.find("usage: receiver"), std::string::npos);

    struct Bad {
        std::vector<std::string> args;
        const char *says;
    } bad[] = {
        {{"--script", "-", "--frobnicate"}, "unknown option --frobnicate"},
        {{"--script", "-", "--clock", "2026-13-01 10:00"}, "--clock \"2026-13-01 10:00\""},
        {{"--script", "-", "--channel", "tv:99"}, "--channel tv:99: there is no such channel"},
        {{"--script", "-", "--channel", "cable:1"}, "expected tv:N or ra:N"},
        {{"--script", "-", "--free-mb", "lots"}, "--free-mb lots"},
        {{"--script", "-", "--disk"}, "option --disk needs a value"},
        {{"--script", "/nonexistent/x.rod"}, "cannot read the script /nonexistent/x.rod"},
        {{"--script", "-", "--plugin", "/nonexistent/p.tap"}, "the plug-in did not start"},
        {{"--script", "-", "--demo", "d"}, "either --script or --demo"},
        {{"--script", "-", "--script", "other.rod"}, "--script given twice (- and other.rod)"},
        {{"--script", "-", "--clock", "1858-11-16 23:59"}, "holds dates from 1858-11-17 to 2038-04-22 only"},
        {{"--script", "-", "--clock", "2038-04-23 00:00"}, "holds dates from 1858-11-17 to 2038-04-22 only"},
    };
    for (const Bad &b : bad) {
        auto r = runReceiver(b.args);
        EXPECT_EQ(r.exitCode, 2) << b.says;
        EXPECT_NE(r.err.find(b.says), std::string::npos) << r.err;
    }
}

TEST(ReceiverProgram, MessagesNameTheRealCause) {
    TempDir dir;
    writeFile(dir.file("a-file"), "x");
    auto fileAsDisk = runReceiver({"--disk", dir.file("a-file"), "--clock", kClock, "--script", "-"}, "");
    EXPECT_EQ(fileAsDisk.exitCode, 2);
    EXPECT_NE(fileAsDisk.err.find("cannot create the disk folder " + dir.file("a-file") + ": " + dir.file("a-file") +
                                  " is a file, not a folder"),
              std::string::npos)
        << fileAsDisk.err;

    writeFile(dir.file("radio.txt"), "RA|Radio One|1|1|1\n");
    auto radioOnly = runReceiver({"--disk", dir.file("disk"), "--lineup", dir.file("radio.txt"), "--script", "-"}, "");
    EXPECT_EQ(radioOnly.exitCode, 2);
    EXPECT_NE(radioOnly.err.find("the lineup " + dir.file("radio.txt") + " has no TV channel to start on"),
              std::string::npos)
        << radioOnly.err;
    EXPECT_EQ(radioOnly.err.find("--channel tv:0"), std::string::npos) << radioOnly.err;
    auto onRadio = runReceiver({"--disk", dir.file("disk"), "--lineup", dir.file("radio.txt"), "--channel", "ra:0",
                                "--clock", kClock, "--script", "-"},
                               "wait 1s\n");
    EXPECT_EQ(onRadio.exitCode, 0) << onRadio.err;

    // A save the disk refuses is seen on standard error, after its message on the screen is gone.
    std::filesystem::create_directories(dir.file("disk3") + "/Diro_ROD.Settings.DAT");
    auto refused = runReceiver({"--disk", dir.file("disk3"), "--clock", kClock, "--script", "-"},
                               "key GUIDE\nkey RED\nwait 5s\nexpect no-screen \"Can't SAVE\"\n");
    EXPECT_EQ(refused.exitCode, 0) << refused.err;
    EXPECT_NE(refused.err.find("firmware: TAP_Hdd_Rename: cannot rename Diro_ROD.Settings.DAT.new to "
                               "Diro_ROD.Settings.DAT"),
              std::string::npos)
        << refused.err;
}

TEST(ReceiverProgram, LineupNamesAreFoldedAsGuideNamesAre) {
    std::vector<sim::Channel> lineup;
    std::string error;
    ASSERT_TRUE(rx::parseLineup("TV|\xC4\x87\xC4\x8D\xC5\xA1\xC5\xBE \xE2\x82\xAC|1|1|1\n"
                                "TV|\xCE\x95\xCE\xA1\xCE\xA4 HD|2|2|1\n",
                                "t", lineup, error))
        << error;
    EXPECT_EQ(lineup[0].name, "ccsz EUR");
    EXPECT_EQ(lineup[1].name, "??? HD");
}

TEST(ReceiverProgram, LineupFilesAreReadAndBadLinesNamed) {
    TempDir dir;
    writeFile(dir.file("lineup.txt"), "# mine\nTV|Yle TV1 HD|17|1|7|Yle.TV1.fi\n\nRA | Yle Radio Suomi | 33 | 2 | 8\n"
                                      "TV|Kanal \xC3\x96sterreich|5|3|9\n");
    auto ok = runReceiver({"--disk", dir.file("disk"), "--lineup", dir.file("lineup.txt"), "--channel", "ra:0",
                           "--clock", kClock, "--script", "-"},
                          "tune tv:1\ntune ra:0\nsnap shot.png\n");
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
    writeFile(dir.file("bad.txt"), "TV|One|1|1|1\nTV|Two|2|x|1\n");
    auto bad = runReceiver({"--disk", dir.file("disk"), "--lineup", dir.file("bad.txt"), "--script", "-"}, "");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find(dir.file("bad.txt") + ":2: service id, logical number and transponder must be numbers"),
              std::string::npos)
        << bad.err;
    writeFile(dir.file("bad.txt"), "SAT|One|1|1|1\n");
    bad = runReceiver({"--disk", dir.file("disk"), "--lineup", dir.file("bad.txt"), "--script", "-"}, "");
    EXPECT_NE(bad.err.find(":1: the type is \"SAT\", expected TV or RA"), std::string::npos) << bad.err;
}

TEST(ReceiverProgram, ScriptsFromFilesAndStandardInputGiveExitCodes) {
    TempDir dir;
    writeFile(dir.file("ok.rod"), "wait 1s\nexpect no-screen \"free on the hard disk\"\n");
    auto fromFile = runReceiver({"--disk", dir.file("disk"), "--clock", kClock, "--script", dir.file("ok.rod")});
    EXPECT_EQ(fromFile.exitCode, 0) << fromFile.err;

    std::vector<std::string> args = {"--disk", dir.file("disk"), "--clock", kClock, "--script", "-"};
    auto failing = runReceiver(args, "expect screen \"Guide\"\n");
    EXPECT_EQ(failing.exitCode, 1);
    EXPECT_NE(failing.err.find("-:1: expect screen \"Guide\": FAILED"), std::string::npos) << failing.err;

    auto badLine = runReceiver(args, "wait 1s\n\nkey FOO\n");
    EXPECT_EQ(badLine.exitCode, 2);
    EXPECT_NE(badLine.err.find("-:3: unknown key \"FOO\""), std::string::npos) << badLine.err;

    auto dump = runReceiver(args, "dump screen -\n");
    EXPECT_EQ(dump.exitCode, 0);
    EXPECT_EQ(dump.out, "") << "no text on the screen";

    // A script saved with a byte-order mark runs.
    auto marked = runReceiver(args, "\xEF\xBB\xBFwait 1s\nexpect no-screen \"Guide\"\n");
    EXPECT_EQ(marked.exitCode, 0) << marked.err;

    // Lines that cannot run are named with the real cause before anything runs.
    struct Bad {
        const char *script, *says;
    } bad[] = {
        {"wait 400d\n", "-:1: the duration \"400d\" is not like 500ms"},
        {"wait 9000h\n", "-:1: the duration \"9000h\" is longer than a script may wait at once (366 days)"},
        {"clock \"2040-01-01 00:00\"\n", "-:1: \"2040-01-01 00:00\": the receiver's clock holds dates from 1858-11-17"},
        {"snap first.png\ntune tv:500\n", "-:2: tune tv:500: there is no such channel: the lineup has 40 TV channels"},
        {"dump guide ra:10 -\n", "-:1: dump guide ra:10 -: there is no such channel: the lineup has 10 radio"},
    };
    for (const Bad &b : bad) {
        auto r = runReceiver({"--disk", dir.file("disk"), "--clock", kClock, "--script", "-"}, b.script);
        EXPECT_EQ(r.exitCode, 2) << b.script;
        EXPECT_NE(r.err.find(b.says), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << "nothing ran: " << b.script;
    }
    // Time cannot run past the last day the receiver's clock holds.
    auto late = runReceiver({"--disk", dir.file("disk"), "--clock", "2038-04-22 23:59:50", "--script", "-"},
                            "wait 5s\nwait 10s\n");
    EXPECT_EQ(late.exitCode, 2);
    EXPECT_NE(late.err.find("-:2: the clock went past the last day it holds"), std::string::npos) << late.err;
}

TEST(ReceiverProgram, GermanFreeDiskWarningWithOneGigabyteLimit) {
    TempDir dir;
    std::string disk = dir.file("disk");
    std::filesystem::create_directories(disk);
    writeFile(disk + "/Diro_ROD.Settings.DAT", testsupport::settingsImage({{84, 2}, {24, 1}}));
    auto r = runReceiver({"--disk", disk, "--clock", kClock, "--free-mb", "100", "--script", "-"},
                         "expect screen \"Auf der Festplatte sind  100 MB  frei!\"\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST(DemoLineup, FortyTvAndTenRadioChannelsOnTranspondersOfFourToEight) {
    std::vector<sim::Channel> lineup = rx::demoLineup();
    sim::Channels channels(lineup);
    EXPECT_EQ(channels.count(sim::kTv), 40);
    EXPECT_EQ(channels.count(sim::kRadio), 10);
    std::map<int, int> perTransponder;
    std::map<int, int> serviceIds;
    for (const sim::Channel &c : lineup) {
        EXPECT_LE(c.name.size(), 23u) << c.name;
        ++perTransponder[c.transponder];
        EXPECT_EQ(++serviceIds[c.serviceId], 1) << "service id " << c.serviceId << " twice";
    }
    for (const auto &t : perTransponder) {
        EXPECT_GE(t.second, 4) << "transponder " << t.first;
        EXPECT_LE(t.second, 8) << "transponder " << t.first;
    }
    EXPECT_EQ(channels.find(sim::kTv, 19)->name, "WDR HD K\xF6ln") << "names are Latin-1";
    EXPECT_EQ(channels.find(sim::kTv, 0)->xmltvId, "Das.Erste.de");
}

TEST(ReceiverProgram, TheDemoWritesScreenshotsOnAFreshDisk) {
    TempDir dir;
    std::string out = dir.file("demo-out");
    writeFile(dir.file("stale"), "");
    auto r = runReceiver({"--demo", out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char *f : {"01-start.png", "02-zdf.png", "03-orf1.png", "04-orf2.png", "05-radio.png"}) {
        EXPECT_NE(r.out.find(out + "/" + f + "\n"), std::string::npos) << f;
        EXPECT_EQ(readFile(out + "/" + f).substr(1, 3), "PNG") << f;
    }
    EXPECT_NE(readFile(out + "/01-start.txt").find("There is 500000 MB free on the hard disk!"), std::string::npos);
    EXPECT_NE(readFile(out + "/settings.txt").find("\n24 999\n"), std::string::npos);
    // It records: two timers from the guide, the third refused in a box.
    EXPECT_EQ(readFile(out + "/11-record.png").substr(1, 3), "PNG");
    EXPECT_NE(readFile(out + "/13-timer-collision.txt").find("Collision with timer nr. 2 at channel 5"),
              std::string::npos);
    EXPECT_NE(readFile(out + "/timers.json").find("\"name\": \"Das Leben der Anderen.rec\""), std::string::npos);
    // The timer list and the second timer in the editor.
    EXPECT_EQ(readFile(out + "/25-timer-list.png").substr(1, 3), "PNG");
    EXPECT_NE(readFile(out + "/26-timer-editor.txt").find("\" Edit Timer Nr. 2\""), std::string::npos);
    // A second run starts again from a fresh disk, and says what of the first it replaces.
    writeFile(out + "/disk/Diro_ROD.Search.ini", "x");
    auto again = runReceiver({"--demo", out});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(again.err.find("demo disk " + out + "/disk: 3 files of an earlier demo replaced"), std::string::npos)
        << again.err;
    EXPECT_EQ(readFile(out + "/disk/Diro_ROD.Search.ini").rfind("TATORT|", 0), 0u);  // the demo's own, anew
    // A folder holding anything else is nobody's demo disk: refused, nothing deleted.
    writeFile(out + "/disk/holiday.jpg", "x");
    auto refused = runReceiver({"--demo", out});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("holds files the demo did not write (holiday.jpg)"), std::string::npos) << refused.err;
    EXPECT_EQ(readFile(out + "/disk/holiday.jpg"), "x");
    EXPECT_NE(readFile(out + "/disk/Diro_ROD.Settings.DAT"), "");
}

}  // namespace
