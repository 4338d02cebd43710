// The settings menu through the receiver program: keys in a script, then what the plug-in left on
// its disk (`dump settings`, `--dump-buffer`, the files).
//   Saving    values stepped in the menu reach the settings file, with the words their rows
//             keep consistent; a menu closed without a change writes nothing
//   Buffer    "Delete EPG Buffer Content" and a change of the text compression leave an empty
//             buffer file
//   Commands  rows 55 to 60 with digit 1, each seen in the files it writes or the timers it sets
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "tests/support/support.h"

using testsupport::readFile;
using testsupport::runReceiver;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// A clock outside the plug-in's default scan window (3:00 to 7:00), so that it starts quietly.
const char *const kClock = "2026-12-07 20:00";

// Runs a script on the demo receiver with its disk in dir/disk; fails the test on a bad run.
testsupport::ProgramResult run(const TempDir &dir, const std::string &script) {
    auto r = runReceiver({"--disk", dir.file("disk"), "--clock", kClock, "--script", "-"}, script);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r;
}

// The "offset value" lines of `dump settings` as a map.
std::map<int, long> settingsWords(const std::string &dump) {
    std::map<int, long> words;
    std::istringstream in(dump);
    int offset = 0;
    long value = 0;
    while (in >> offset >> value)
        words[offset] = value;
    return words;
}

// The number of events `--dump-buffer` lists for the disk in dir/disk.
int bufferedEvents(const TempDir &dir) {
    auto r = runReceiver({"--dump-buffer", dir.file("disk")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    int lines = 0;
    for (char c : r.out)
        lines += c == '\n';
    return lines;
}

TEST(SettingsMenuProgram, SteppedValuesReachTheSettingsFile) {
    TempDir dir;
    auto r = run(dir,
                 "wait 2s\nkey GUIDE\nkey MENU\n"
                 "key LEFT x5\n"            // row 1: lead time stops at 0
                 "key DOWN x2\nkey RIGHT\n"  // row 3: the third tuner choice, stored as 3
                 "key DOWN\nkey LEFT\n"      // row 4: wraps to the last name style
                 "key >> x4\nkey DOWN x2\nkey RIGHT\n"   // row 46: beyond the 40 channels, 30
                 "key << x2\nkey DOWN x2\nhold RIGHT 3\n"  // row 28: the prime time in tens
                 "key DOWN\nkey RIGHT x2\n"  // row 29: German
                 "key MENU\n"
                 "dump settings -\n");
    std::map<int, long> w = settingsWords(r.out);
    ASSERT_EQ(w.size(), 128u) << r.out;
    EXPECT_EQ(w[4], 0);      // rec_lead_time
    EXPECT_EQ(w[28], 3);     // rec_tuner
    EXPECT_EQ(w[32], 8);     // rec_name_manual
    EXPECT_EQ(w[200], 30);   // buffered_channels
    EXPECT_EQ(w[12], 30);    // scan_max_channels follows the buffered channels down ...
    EXPECT_EQ(w[204], 30);   // ... and so do the channels with extended texts
    EXPECT_EQ(w[144] % 10, 0) << w[144];   // prime_time
    EXPECT_GT(w[144], 1240);
    EXPECT_EQ(w[84], 2);     // language_choice
    EXPECT_EQ(w[0], 15);     // an untouched row keeps its default
}

TEST(SettingsMenuProgram, AMenuClosedWithoutAChangeWritesNothing) {
    TempDir dir;
    // Lead time already 0: V- on row 1 stops there, and V- on a command row changes nothing.
    const std::string image = testsupport::settingsImage({{4, 0}});
    std::filesystem::create_directories(dir.file("disk"));
    writeFile(dir.file("disk/Diro_ROD.Settings.DAT"), image);
    run(dir,
        "wait 2s\nkey GUIDE\nkey MENU\nkey LEFT\n"
        "key >> x5\nkey DOWN x4\nkey LEFT\nkey RIGHT\nkey EXIT\n"
        "key MENU\nkey DOWN x3\nkey OK\n"
        "expect no-screen \" Record: lead time\"\n"
        "expect no-file Diro_ROD.BufferExt.DAT\n");
    EXPECT_EQ(readFile(dir.file("disk/Diro_ROD.Settings.DAT")), image);
}

TEST(SettingsMenuProgram, ClearingTheBufferOrChangingTheCompressionLeavesAnEmptyBufferFile) {
    TempDir dir;
    // The Red Button saves the guide of the first channel, filled on opening.
    run(dir, "wait 2s\nkey GUIDE\nkey RED\nexpect file Diro_ROD.BufferExt.DAT\n");
    ASSERT_GT(bufferedEvents(dir), 10);
    run(dir, "wait 2s\nkey GUIDE\nkey MENU\nkey >> x6\nkey 1\nexpect screen \" EPG\"\n");
    EXPECT_EQ(bufferedEvents(dir), 0);

    TempDir again;
    run(again, "wait 2s\nkey GUIDE\nkey RED\n");
    ASSERT_GT(bufferedEvents(again), 10);
    run(again, "wait 2s\nkey GUIDE\nkey MENU\nkey >> x3\nkey DOWN x2\n"
               "expect screen \" Compress text 100% to 80% (for Eng/Ger)\"\nkey RIGHT\nkey MENU\n");
    EXPECT_EQ(bufferedEvents(again), 0);
}

// Each command row of the menu carried out with digit 1: the exports and channel lists are
// written, recording by search words and the command file set timers, the backup is written
// and restoring it brings back the timers deleted meanwhile.
TEST(SettingsMenuProgram, EveryCommandRowDoesWhatItNames) {
    TempDir dir;
    std::string disk = dir.file("disk");
    std::filesystem::create_directories(disk);
    // A word that records: the demo guide's Weltspiegel on Das Erste (channel place 1), tonight at
    // 21:45 and tomorrow at 10:15.
    writeFile(disk + "/Diro_ROD.Search.ini", "Weltspiegel|1|Rec,3,15|00:00-00:00|ED\r\n");
    const std::string rows = "key GUIDE\nkey MENU\nkey >> x5\nkey DOWN x4\n";  // on row 55
    run(dir, "wait 2m\n" + rows +
                 "key 1\n"                              // 55: the exports
                 "expect file Diro_ROD.Export.CSV\nexpect file Diro_ROD.Export.html\n"
                 "key DOWN x2\nkey 1\n"                 // 57: the channel lists
                 "expect file TV_Channel_List.txt\nexpect file Radio_Channel_List.txt\n"
                 "key UP\nkey 1\n"                      // 56: timers by search words
                 "dump timers " + dir.file("by-words.json") + "\n"
                 "put Diro_ROD.Command.ini\n"
                 "Command.AddTimer:0004,2026-12-09,21:00,00:45,TV,OT,Rec;From the command file\n"
                 "end\n"
                 "key DOWN x2\nkey 1\n"                 // 58: the command file, read at once
                 "expect no-file Diro_ROD.Command.ini\n"
                 "wait 5s\n"                            // its timer comes from the queue
                 "dump timers " + dir.file("with-command.json") + "\n"
                 "key DOWN\nkey 1\n"                    // 59: the timer backup
                 "expect file Diro_ROD.TimerList.bak\n"
                 "key EXIT\nkey EXIT\n");
    std::vector<std::string> byWords = testsupport::jsonObjects(dir.file("by-words.json"));
    ASSERT_EQ(byWords.size(), 2u);
    for (const std::string &t : byWords)
        EXPECT_NE(t.find("\"name\": \"Weltspiegel"), std::string::npos) << t;
    std::vector<std::string> all = testsupport::jsonObjects(dir.file("with-command.json"));
    ASSERT_EQ(all.size(), byWords.size() + 1);
    EXPECT_NE(all.back().find("\"name\": \"From the command file.rec\""), std::string::npos) << all.back();
    EXPECT_NE(readFile(disk + "/Diro_ROD.Export.CSV").find("|Weltspiegel|"), std::string::npos);
    EXPECT_NE(readFile(disk + "/TV_Channel_List.txt").find("Das Erste HD"), std::string::npos);
    EXPECT_NE(readFile(disk + "/Diro_ROD.TimerList.bak").find("From the command file"), std::string::npos);

    // The next power-on finds the receiver's table empty (the virtual receiver keeps no timers
    // between runs): row 60 restores them from the backup, and a second restore adds nothing.
    run(dir, "wait 2s\n" + rows + "key DOWN x5\nkey 1\nwait 1m\n"
             "dump timers " + dir.file("restored.json") + "\nkey 1\nwait 1m\n"
             "dump timers " + dir.file("again.json") + "\nkey EXIT\nkey EXIT\n");
    EXPECT_EQ(testsupport::jsonObjects(dir.file("restored.json")), all);
    EXPECT_EQ(testsupport::jsonObjects(dir.file("again.json")), all);
}

}  // namespace
