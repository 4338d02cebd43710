// The settings menu through the receiver program: keys in a script, then what the plug-in left on
// its disk (`dump settings`, `--dump-buffer`, the files).
//   Saving    values stepped in the menu reach the settings file, with the words their rows
//             keep consistent; a menu closed without a change writes nothing
//   Buffer    "Delete EPG Buffer Content" and a change of the text compression leave an empty
//             buffer file
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

}  // namespace
