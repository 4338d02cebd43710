// The receiver program end to end (build/receiver run as a separate process):
//   Options   help, usage without a script, bad options and lineups give exit 2 with a reason
//   Scripts   from a file and from standard input; exit 0 / 1 / 2; the German free-disk message
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
    };
    for (const Bad &b : bad) {
        auto r = runReceiver(b.args);
        EXPECT_EQ(r.exitCode, 2) << b.says;
        EXPECT_NE(r.err.find(b.says), std::string::npos) << r.err;
    }
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
    // A second run starts again from a fresh disk.
    writeFile(out + "/disk/leftover.txt", "x");
    ASSERT_EQ(runReceiver({"--demo", out}).exitCode, 0);
    EXPECT_EQ(readFile(out + "/disk/leftover.txt"), "");
}

}  // namespace
