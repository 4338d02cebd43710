// Power cuts while the plug-in saves its files: one run that writes every kind of file (settings,
// buffer file, search file, both exports, both channel lists, timer list and backup) is repeated
// with the power cut at each change it makes to the disk and inside each of its writes; the
// receiver is then switched on again on what the cut left. The plug-in image is loaded as the
// firmware loads it, so every start has fresh globals. The sanitized build takes every fourth cut.
//   PowerCutSweep*   after every cut the next start finds each file whole, the old or the new one,
//                    loads the buffer file whole and leaves no temporary file behind
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "frame/platform/tap.h"
#include "receiver/demo_guide.h"
#include "sim/epg.h"
#include "tests/support/support.h"

using testsupport::TempDir;

namespace {

namespace fs = std::filesystem;

const char kClock[] = "2026-12-08 20:01";
const char kBaseClock[] = "2026-12-07 19:31";
const char kCommandFile[] = "Diro_ROD.Command.ini";
const char kBufferFile[] = "Diro_ROD.BufferExt.DAT";

// The files the plug-in saves.
const std::vector<std::string> &savedFiles() {
    static const std::vector<std::string> names = {
        "Diro_ROD.Settings.DAT", kBufferFile,         "Diro_ROD.Search.ini",  "Diro_ROD.Export.html",
        "Diro_ROD.Export.CSV",   "TV_Channel_List.txt", "Radio_Channel_List.txt", "Timer_List.txt",
        "Diro_ROD.TimerList.bak"};
    return names;
}

std::vector<sim::Channel> lineup() {
    return {{sim::kTv, "Das Erste HD", 28106, 1, 1, ""}, {sim::kTv, "ZDF HD", 28006, 2, 1, ""},
            {sim::kTv, "YLE TV1", 17, 3, 2, ""},         {sim::kTv, "BBC One", 4161, 4, 2, ""},
            {sim::kRadio, "Radio Eins", 28205, 100, 1, ""}};
}

std::unique_ptr<sim::Receiver> receiverOn(const std::string &dir, const char *clock) {
    testsupport::LinkedOptions o;
    o.clock = clock;
    o.lineup = lineup();
    o.powerOn = false;
    auto rx = testsupport::imageReceiver(dir, o);
    rx::installDemoGuide(rx->firmware().epg, o.lineup, rx->firmware().clock.nowMs());
    return rx;
}

// Commands that make the plug-in write every file but the buffer file (a search word goes into
// the search file; remote mode is a setting), then GUIDE and RED save the settings and the
// buffer file. The firmware's table starts with a timer of its own menu (the backup's).
void saveEverything(sim::Receiver &rx, const std::string &dir, const std::string &commands) {
    TimerRecord t{};
    t.is_rec = 1;
    t.tuner = 3;
    t.svc_num = 1;
    t.duration = 30;
    t.start = sim::packedTime(rx.firmware().clock.nowMs() + 46LL * 3600 * 1000);
    std::snprintf(t.name, sizeof t.name, "Menu.rec");
    ASSERT_EQ(rx.addTimer(t), 0);
    testsupport::writeFile(dir + "/" + kCommandFile, commands);
    ASSERT_TRUE(rx.powerOn()) << rx.error();
    rx.advance(20000);   // the queued timers are set one by one, then the timer list written
    rx.pressKey(RKEY_Guide);
    rx.advance(300);
    rx.pressKey(RKEY_Red);
    rx.advance(300);
}

const char kBaseCommands[] =
    "Command.Set.RemoteMode:Off\r\n"
    "Alpha|1-4|M\r\n"
    "Command.AddTimer:0001,2026-12-09,20:15,01:30,TV,OT,Rec;Film\r\n"
    "Command.CreateChannelList\r\nCommand.ExportEpgCsv\r\nCommand.ExportEpgHTML\r\n";
const char kBaseBackup[] = "Command.CreateTimerBackup\r\n";
const char kNewCommands[] =
    "Command.Set.RemoteMode:7\r\n"
    "Beta|2|Rec,5,10\r\n"
    "Command.AddTimer:0003,2026-12-09,21:00,00:45,TV,OT,Rec;Serie\r\n"
    "Command.CreateChannelList\r\nCommand.ExportEpgCsv\r\nCommand.ExportEpgHTML\r\n"
    "Command.CreateTimerBackup\r\nCommand.CreateTimerList\r\n";

std::map<std::string, std::string> filesOf(const std::string &dir) {
    std::map<std::string, std::string> out;
    for (const auto &e : fs::directory_iterator(dir))
        out[e.path().filename().string()] = testsupport::readFile(e.path().string());
    return out;
}

void restore(const std::string &dir, const std::map<std::string, std::string> &files) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const auto &f : files)
        testsupport::writeFile(dir + "/" + f.first, f.second);
}

struct Cut {
    long changes = -1;   // power cut after this many changes, or
    int64_t bytes = -1;  // after this many bytes written
    std::string what;
};

}  // namespace

TEST(PowerCutSweep, EveryFileIsOldOrNewAndWholeAfterACutAtAnyChange) {
    TempDir tmp;
    const std::string dir = tmp.path() + "/disk";

    // The files as saved before: every kind but the timer list (its first save is swept too).
    {
        auto rx = receiverOn(dir, kBaseClock);
        saveEverything(*rx, dir, kBaseCommands);
        testsupport::writeFile(dir + "/" + kCommandFile, kBaseBackup);   // a backup of the one timer
        ASSERT_TRUE(rx->restart());
        rx->advance(1000);
    }
    const std::map<std::string, std::string> before = filesOf(dir);
    for (const std::string &name : savedFiles())
        ASSERT_TRUE(before.count(name) || name == "Timer_List.txt") << name;
    ASSERT_FALSE(before.count("Timer_List.txt"));

    // The run without a cut: what it changes, and the files it leaves.
    std::vector<sim::DiskChange> journal;
    std::map<std::string, std::string> after;
    {
        auto rx = receiverOn(dir, kClock);
        rx->firmware().disk.keepJournal = true;
        saveEverything(*rx, dir, kNewCommands);
        journal = rx->firmware().disk.journal;
        after = filesOf(dir);
    }
    std::map<std::string, int> writesOf;
    for (const sim::DiskChange &c : journal) {
        if (c.kind == sim::DiskChange::Write)
            ++writesOf[c.name];
    }
    for (const std::string &name : savedFiles()) {
        ASSERT_TRUE(after.count(name)) << name;
        EXPECT_GT(writesOf[name + ".tmp"], 0) << name << " is written in the run";
        if (name != "TV_Channel_List.txt" && name != "Radio_Channel_List.txt") {
            EXPECT_NE(after[name], before.count(name) ? before.at(name) : "") << name << " changes in the run";
        }
    }

    // Every change, and 1 byte, half and all but 1 byte into every write.
    std::vector<Cut> cuts;
    int64_t written = 0;
    for (size_t i = 0; i < journal.size(); ++i) {
        const sim::DiskChange &c = journal[i];
        const char *kinds[] = {"create", "delete", "rename", "write"};
        cuts.push_back({long(i), -1, std::string("before ") + kinds[c.kind] + " " + c.name});
        if (c.kind == sim::DiskChange::Write) {
            std::vector<int64_t> at = {1, int64_t(c.bytes / 2), int64_t(c.bytes) - 1};
            std::sort(at.begin(), at.end());
            at.erase(std::unique(at.begin(), at.end()), at.end());
            for (int64_t k : at)
                if (k > 0 && k < int64_t(c.bytes))
                    cuts.push_back({-1, written + k, std::to_string(k) + " bytes into a write of " + c.name});
            written += int64_t(c.bytes);
        }
    }
    cuts.push_back({long(journal.size()), -1, "after the last change"});
    // The sanitized build, at ten times the cost, takes every fourth cut: still several in every
    // save, as each makes at least five changes.
    if (testsupport::kSanitized) {
        std::vector<Cut> some;
        for (size_t i = 0; i < cuts.size(); i += 4)
            some.push_back(cuts[i]);
        some.push_back(cuts.back());
        cuts = some;
    }

    int checked = 0, filesChecked = 0;
    for (const Cut &cut : cuts) {
        SCOPED_TRACE(cut.what);
        restore(dir, before);
        {
            auto rx = receiverOn(dir, kClock);
            rx->firmware().disk.faults.powerCutAfterChanges = cut.changes;
            rx->firmware().disk.faults.powerCutAfterBytes = cut.bytes;
            saveEverything(*rx, dir, kNewCommands);
            ASSERT_EQ(rx->firmware().disk.faults.powerIsOff, cut.changes < long(journal.size()));
        }
        // A command file the cut left would be carried out again at the next start; it is taken
        // away so that the start shows what it makes of the files the cut left.
        fs::remove(dir + "/" + kCommandFile);

        auto rx = receiverOn(dir, kClock);
        ASSERT_TRUE(rx->powerOn()) << rx->error();
        std::map<std::string, std::string> now = filesOf(dir);
        for (const std::string &name : savedFiles()) {
            auto f = now.find(name);
            if (f == now.end()) {
                EXPECT_FALSE(before.count(name)) << name << " was lost";
                continue;
            }
            ++filesChecked;
            bool old = before.count(name) && f->second == before.at(name);
            EXPECT_TRUE(old || f->second == after.at(name)) << name << " is neither the old file nor the new one ("
                                                             << f->second.size() << " bytes)";
        }
        for (const auto &f : now) {
            const std::string &name = f.first;
            EXPECT_TRUE(name.size() < 4 || (name.compare(name.size() - 4, 4, ".tmp") != 0 &&
                                            name.compare(name.size() - 4, 4, ".new") != 0))
                << name << " is left behind";
        }
        // The buffer file is loaded whole: a text block for every channel it holds one for.
        EXPECT_FALSE(now.count("Diro_ROD.BufferExt.bad"));
        EXPECT_TRUE(rx->firmware().system.printed().empty());
        EXPECT_EQ(rx->firmware().heap.liveBlocks(), testsupport::bufferBlocks(now[kBufferFile]).count);
        ++checked;
        if (HasFatalFailure() || ::testing::Test::HasFailure())
            break;
    }
    EXPECT_EQ(checked, int(cuts.size()));
    RecordProperty("cuts", checked);
    RecordProperty("changes", int(journal.size()));
    std::printf("power cuts: %d (%zu changes to the disk, %lld bytes written); files checked after them: %d\n",
                checked, journal.size(), (long long)written, filesChecked);
}
