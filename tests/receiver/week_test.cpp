// A simulated week: the plug-in image runs on the virtual receiver with the demo lineup and the
// demo guide for seven days of clock, as fast as it can. Nightly scans with exports after them,
// background filling, the buffer saved every two hours, search words that record (Rec, 1xRec),
// switch (P) and mark (M) every minute, a command file every 30 minutes in remote mode (timers
// added and deleted, lists, backups, exports, a search word), timers recording, a STOP and a
// power cycle every day. Afterwards: no heap block leaked, the heap's high-water mark within the
// plug-in's budget, every file readable, every timer that should have been set was in the
// firmware's table and recorded, and no recording lost to a collision the plug-in could have
// avoided.
//   SimulatedWeek*   the week (DIRO_WEEK_DAYS sets another length, the sanitized build runs three
//                    days; the figures go to stdout)
//
// Idle events come once a second of clock, not every 50 ms: every duty of the plug-in goes by
// the second or the minute (a new second, a new minute of the day), so a second's step runs each
// of them as often as the receiver would.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "frame/platform/tap.h"
#include "receiver/buffer_dump.h"
#include "receiver/demo_guide.h"
#include "receiver/lineup.h"
#include "sim/epg.h"
#include "tests/support/support.h"

using testsupport::TempDir;

namespace {

namespace fs = std::filesystem;

constexpr int64_t kSecond = 1000, kMinute = 60 * kSecond, kHour = 60 * kMinute, kDay = 24 * kHour;
const char kStart[] = "2026-12-07 12:00";   // a Monday
const char kBufferFile[] = "Diro_ROD.BufferExt.DAT";

// Channels of the command file's timers (from 0): VOX and WDR, on two transponders.
constexpr int kCommandChannels[2] = {9, 19};
constexpr int kCommandMinutes = 30;
constexpr int kStopMinute = 13 * 60 + 17;      // the daily STOP and power-on
constexpr int kTuneMinute = 2 * 60 + 55;       // channel 1 again for the nightly scan

// The settings file: recording by search words every minute (3), remote mode every 30 minutes,
// the buffer saved every two hours, both exports after the nightly scan.
std::string settingsFile() {
    return testsupport::settingsImage({{100, 3}, {112, 30}, {156, 4}, {80, 3}});
}

// Search words: the 20:00 Tagesschau on channel 1 recorded every day, the first Tatort recorded
// once, the BBC News at noon on weekdays switched to, the weather marked.
const char kSearchFile[] =
    "Tagesschau|1|Rec,2,5|20:00-20:01|ED\r\n"
    "Tatort|1|1xRec,3,10\r\n"
    "BBC News|36|P,0,0|12:00-12:01|WD\r\n"
    "Wetter|1-40|M\r\n";

std::string two(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", v);
    return b;
}

std::string dateOf(int64_t ms) {
    sim::CivilTime c = sim::Clock::toCivil(ms);
    return std::to_string(c.year) + "-" + two(c.month) + "-" + two(c.day);
}

int minuteOfDay(int64_t ms) {
    sim::CivilTime c = sim::Clock::toCivil(ms);
    return c.hour * 60 + c.minute;
}

int64_t dayStart(int64_t ms) { return ms - int64_t(minuteOfDay(ms)) * kMinute - ms % kMinute; }

struct CommandTimer {
    int channel;      // from 0
    int64_t startMs;
    bool deleted = false;
    std::string line() const {
        sim::CivilTime c = sim::Clock::toCivil(startMs);
        char b[128];
        std::snprintf(b, sizeof b, "%04d,%s,%02d:%02d,00:%02d,TV,OT,Rec", channel + 1, dateOf(startMs).c_str(),
                      c.hour, c.minute, kCommandMinutes);
        return b;
    }
    int64_t endMs() const { return startMs + kCommandMinutes * kMinute; }
};

class Week {
public:
    explicit Week(int days) : days_(days) {
        dir_ = tmp_.path() + "/disk";
        fs::create_directories(dir_);
        testsupport::writeFile(dir_ + "/Diro_ROD.Settings.DAT", settingsFile());
        testsupport::writeFile(dir_ + "/Diro_ROD.Search.ini", kSearchFile);
        testsupport::LinkedOptions o;
        o.clock = kStart;
        o.powerOn = false;
        rx_ = testsupport::imageReceiver(dir_, o);
        lineup_ = rx::demoLineup();
        t0_ = fw().clock.nowMs();
        installGuide();
    }

    void run();

    sim::Firmware &fw() { return rx_->firmware(); }

private:
    TempDir tmp_;
    std::string dir_;
    std::unique_ptr<sim::Receiver> rx_;
    std::vector<sim::Channel> lineup_;
    int days_;
    int64_t t0_ = 0;
    int files_ = 0;                      // command files written
    std::vector<CommandTimer> timers_;   // the timers the command files asked for
    std::vector<size_t> pending_;        // ... of the last file, checked a minute after the poll
    size_t refusalsSeen_ = 0;
    int stops_ = 0, powerCycles_ = 0, avoidable_ = 0, checkedRefusals_ = 0;
    size_t mostEvents_ = 0;

    std::vector<int64_t> tagesschau_;    // starts of the 20:00 Tagesschau on channel 1 broadcast
    int64_t firstTatortEnd_ = INT64_MAX; // end of the first Tatort on channel 1 after the start

    // The demo guide from yesterday 06:00 on; the 20:00 Tagesschau and the first Tatort of channel
    // 1 noted.
    void installGuide() {
        rx::installDemoGuide(fw().epg, lineup_, fw().clock.nowMs());
        for (const sim::GuideEvent &e : fw().epg.schedule(0, 0)) {
            if (e.title == "Tagesschau" && minuteOfDay(e.startMs) == 20 * 60 &&
                std::find(tagesschau_.begin(), tagesschau_.end(), e.startMs) == tagesschau_.end())
                tagesschau_.push_back(e.startMs);
            if (e.title.find("Tatort") != std::string::npos && e.startMs > t0_ + 15 * kMinute)
                firstTatortEnd_ = std::min(firstTatortEnd_, e.endMs);
        }
    }
    void writeCommandFile(int64_t pollMs);
    void checkPending();
    void checkRefusals();
    void stopAndStart();
    bool inTable(int channel, int64_t startMs, int64_t endMs) const;
    void finalChecks();
};

bool Week::inTable(int channel, int64_t startMs, int64_t endMs) const {
    const sim::Timers &t = const_cast<Week *>(this)->fw().timers;
    for (int i = 0; i < t.count(); ++i) {
        const TimerRecord &r = t.entry(i)->record;
        if (r.svc_type == 0 && r.svc_num == channel && sim::Timers::startMs(r) <= startMs &&
            sim::Timers::endMs(r) >= endMs)
            return true;
    }
    return false;
}

// The command file for the poll at pollMs: every other file asks for a timer the day after (30
// minutes, 06:00 to 21:20, one transponder and then the other); the others delete one of them,
// write the timer list, the backup, the channel lists, an export, or add a search word.
void Week::writeCommandFile(int64_t pollMs) {
    int k = files_++;
    std::string text = "; command file " + std::to_string(k) + "\r\n";
    int slot = (k / 2) % 24;
    int64_t tomorrow = dayStart(pollMs) + kDay;
    if (k % 2 == 1) {
        CommandTimer t{kCommandChannels[slot % 2], tomorrow + 6 * kHour + int64_t(slot) * 40 * kMinute};
        bool known = false;
        for (const CommandTimer &c : timers_)
            known = known || (c.channel == t.channel && c.startMs == t.startMs && !c.deleted);
        text += "Command.AddTimer:" + t.line() + ";Cmd " + std::to_string(slot) + "\r\n";
        if (!known) {
            timers_.push_back(t);
            pending_.push_back(timers_.size() - 1);
        }
    } else {
        switch ((k / 2) % 6) {
        case 0: text += "Command.CreateTimerList\r\n"; break;
        case 1: text += "Command.CreateTimerBackup\r\n"; break;
        case 2:   // the timer the file before asked for, while it lies ahead
            if (!timers_.empty() && timers_.back().startMs > pollMs + kMinute && !timers_.back().deleted) {
                text += "Command.DelTimer:" + timers_.back().line() + "\r\n";
                timers_.back().deleted = true;
            }
            break;
        case 3: text += "Command.ExportEpgCsv\r\n"; break;
        case 4: text += "Command.CreateChannelList\r\n"; break;
        default: text += "Wort" + std::to_string(k) + "|1-40|M\r\n"; break;
        }
    }
    testsupport::writeFile(dir_ + "/Diro_ROD.Command.ini", text);
}

// The timers of the last command file are in the firmware's table (perhaps combined with
// another); a deleted one is gone.
void Week::checkPending() {
    for (size_t i : pending_) {
        const CommandTimer &t = timers_[i];
        if (!t.deleted) {
            EXPECT_TRUE(inTable(t.channel, t.startMs, t.endMs())) << "the command file's timer " << t.line()
                                                                   << " is not in the table";
        }
    }
    pending_.clear();
    for (const CommandTimer &t : timers_) {
        if (t.deleted && t.startMs > fw().clock.nowMs()) {
            EXPECT_FALSE(inTable(t.channel, t.startMs, t.endMs())) << "deleted " << t.line();
        }
    }
}

// A timer the firmware refused, that did not get into the table otherwise (on the other tuner,
// combined), must not fit: not on any tuner beside the timers set, and not combined with a timer
// on its channel that it meets.
void Week::checkRefusals() {
    const auto &refusals = fw().timers.refusals();
    for (; refusalsSeen_ < refusals.size(); ++refusalsSeen_) {
        const sim::Timers::Refusal &r = refusals[refusalsSeen_];
        ++checkedRefusals_;
        int64_t start = sim::Timers::startMs(r.timer), end = sim::Timers::endMs(r.timer);
        if (r.code > sim::Timers::kCollision + sim::Timers::kMaxTimers || r.code < sim::Timers::kCollision)
            continue;   // not a collision
        if (inTable(r.timer.svc_num, start, end))
            continue;   // set after all
        sim::FirmwareLog scratchLog;
        sim::Timers scratch(fw().channels, fw().clock, fw().recordings, scratchLog);
        bool meets = false;
        for (int i = 0; i < fw().timers.count(); ++i) {
            const TimerRecord &e = fw().timers.entry(i)->record;
            scratch.add(e);
            meets = meets || (e.svc_type == r.timer.svc_type && e.svc_num == r.timer.svc_num &&
                              sim::Timers::startMs(e) < end && sim::Timers::endMs(e) > start);
        }
        bool fits = false;
        for (int tuner : {0, 1, 3}) {
            TimerRecord t = r.timer;
            t.tuner = byte(tuner);
            fits = fits || scratch.add(t) == 0;
        }
        if (meets || fits) {
            ++avoidable_;
            ADD_FAILURE() << "lost to an avoidable collision at " << sim::formatLocalTime(r.atMs) << ": "
                          << sim::Timers::describe(r.timer) << (meets ? " (meets a timer of its channel)" : "")
                          << (fits ? " (fits on another tuner)" : "");
        }
    }
}

// STOP in the guide: the plug-in saves the buffer file and ends. What the firmware takes back
// must be exactly the text blocks the file holds: nothing else was left allocated.
void Week::stopAndStart() {
    rx_->pressKey(RKEY_Guide);
    rx_->advance(2 * kSecond);
    rx_->pressKey(RKEY_Stop);
    ASSERT_FALSE(rx_->pluginRunning()) << "STOP did not end the plug-in";
    const sim::PluginLeftovers &left = rx_->host().lastLeftovers();
    testsupport::BufferBlocks b = testsupport::bufferBlocks(testsupport::readFile(dir_ + "/" + kBufferFile));
    EXPECT_EQ(left.heapBlocks, b.count) << "heap blocks left at " << sim::formatLocalTime(fw().clock.nowMs());
    EXPECT_EQ(left.heapBytes, b.bytes);
    EXPECT_EQ(left.openFiles, 0);
    EXPECT_EQ(fw().heap.liveBlocks(), 0u);
    ++stops_;
    mostEvents_ = std::max(mostEvents_, rx::dumpBuffer(testsupport::readFile(dir_ + "/" + kBufferFile)).lines.size());
    ASSERT_TRUE(rx_->powerOn()) << rx_->error();
}

void Week::run() {
    ASSERT_TRUE(rx_->powerOn()) << rx_->error();
    const int64_t end = t0_ + int64_t(days_) * kDay;
    auto wall0 = std::chrono::steady_clock::now();
    while (fw().clock.nowMs() < end) {
        int64_t now = fw().clock.nowMs();
        int m = minuteOfDay(now);
        int day = int((now - t0_) / kDay);
        if (m % 30 == 29)
            writeCommandFile(now + kMinute);
        if (m % 30 == 1)
            checkPending();
        if (m == 6 * 60)
            installGuide();   // the broadcast goes on: always eight days ahead
        if (m == kTuneMinute)
            rx_->tune(sim::kTv, 0);
        if (m == kStopMinute)
            stopAndStart();
        // A power cycle a day, each day at another hour (one of them during the nightly scan).
        if (m == (day * 7 + 3) % 24 * 60 + 7) {
            ASSERT_TRUE(rx_->restart()) << rx_->error();
            ++powerCycles_;
        }
        rx_->advance(kMinute, kSecond);
        checkRefusals();
        if (::testing::Test::HasFatalFailure())
            return;
    }
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    finalChecks();

    const sim::Heap &heap = fw().heap;
    long searchTimers = 0;
    for (const sim::Recording &r : fw().recordings.done())
        searchTimers += r.name.find("Tagesschau") != std::string::npos || r.name.find("Tatort") != std::string::npos;
    std::printf("week: %d days in %.1f s; command files %d, timers set %ld (refused %ld, all checked), "
                "recordings %zu (by search words %ld), events in the data base at most %zu, STOPs %d, "
                "power cycles %d\n",
                days_, wall, files_, fw().timers.acceptedAdds(), fw().timers.refusedAdds(),
                fw().recordings.done().size(), searchTimers, mostEvents_, stops_, powerCycles_);
    std::printf("heap: high-water %zu bytes of %zu; at most %zu blocks at once, %zu of them the firmware's\n",
                heap.peakBytes(), heap.size(), heap.peakBlocks(), heap.peakFirmwareBlocks());
    ::testing::Test::RecordProperty("heap_peak_bytes", int(heap.peakBytes()));
}

void Week::finalChecks() {
    stopAndStart();
    const int64_t now = fw().clock.nowMs();
    const sim::Heap &heap = fw().heap;

    // The budget: one text block per buffered channel (40 TV channels, the scratch slot) plus
    // the firmware's event array and one extended text while they are copied.
    EXPECT_LE(heap.peakBlocks(), size_t(40 + 1 + 2));
    EXPECT_LE(heap.peakFirmwareBlocks(), 2u);
    EXPECT_LT(heap.peakBytes(), heap.size() - 110000);
    EXPECT_EQ(heap.doubleFrees(), 0);
    EXPECT_EQ(heap.nullFrees(), 0);

    // Every file whole and readable: the buffer file loaded at the start just made, with a block
    // for every channel it holds one for; no piece of a save, no damaged file set aside.
    std::string buffer = testsupport::readFile(dir_ + "/" + kBufferFile);
    rx::BufferDump dump = rx::dumpBuffer(buffer);
    EXPECT_TRUE(dump.readable);
    EXPECT_TRUE(dump.problems.empty()) << dump.problems.front();
    EXPECT_EQ(dump.channels, 40);
    EXPECT_EQ(heap.liveBlocks(), testsupport::bufferBlocks(buffer).count);
    EXPECT_TRUE(fw().system.printed().empty()) << fw().system.printed().front();
    for (const auto &e : fs::directory_iterator(dir_)) {
        std::string name = e.path().filename().string();
        std::string ext = name.substr(name.find_last_of('.') + 1);
        EXPECT_TRUE(ext != "tmp" && ext != "new" && ext != "bad") << name;
        bool text = ext == "txt" || ext == "html" || ext == "CSV" || ext == "ini" || ext == "bak";
        EXPECT_TRUE(!text || e.file_size() % 512 == 0) << name;
    }
    for (const char *name : {"Diro_ROD.Settings.DAT", "Diro_ROD.Search.ini", "Diro_ROD.Export.html",
                             "Diro_ROD.Export.CSV", "TV_Channel_List.txt", "Radio_Channel_List.txt",
                             "Timer_List.txt", "Diro_ROD.TimerList.bak"})
        EXPECT_TRUE(fs::exists(dir_ + "/" + name)) << name;
    EXPECT_EQ(fs::file_size(dir_ + "/Diro_ROD.Settings.DAT"), 512u);
    std::string search = testsupport::readFile(dir_ + "/Diro_ROD.Search.ini");
    EXPECT_EQ(search.find("Tagesschau|1|Rec,2,5|20:00-20:01|ED\r\n"), 0u);
    EXPECT_NE(search.find("Wort"), std::string::npos);

    // Every command timer that ended was recorded whole; the ones ahead are in the table; the
    // deleted ones did not record.
    const auto &done = fw().recordings.done();
    auto recorded = [&done](int channel, int64_t from, int64_t to) {
        for (const sim::Recording &r : done)
            if (r.channel.svcType == 0 && r.channel.svcNum == channel && r.startMs <= from && r.endMs >= to)
                return true;
        return false;
    };
    int recordedCommand = 0;
    for (const CommandTimer &t : timers_) {
        if (t.deleted) {
            EXPECT_FALSE(recorded(t.channel, t.startMs, t.endMs())) << "deleted " << t.line();
        } else if (t.endMs() <= now) {
            EXPECT_TRUE(recorded(t.channel, t.startMs, t.endMs())) << "not recorded: " << t.line();
            ++recordedCommand;
        } else if (t.startMs > now) {
            EXPECT_TRUE(inTable(t.channel, t.startMs, t.endMs())) << "not in the table: " << t.line();
        }
    }
    if (days_ > 1) {
        EXPECT_GT(recordedCommand, (days_ - 1) * 10);
    }
    for (const std::string &line : fw().log.lines()) {
        EXPECT_EQ(line.find("did not record"), std::string::npos) << line;
        EXPECT_EQ(line.find("does not record"), std::string::npos) << line;
    }

    // The search words' recordings: every 20:00 Tagesschau on channel 1 from the second day on
    // (the first run of the minute duty comes ten minutes after power-on, the horizon is 26
    // hours), and one Tatort once the first has ended.
    int tagesschau = 0, expected = 0;
    for (int64_t start : tagesschau_) {
        if (start < t0_ + kDay || start + kHour > now)
            continue;
        ++expected;
        tagesschau += recorded(0, start - 2 * kMinute, start + 15 * kMinute);
    }
    EXPECT_GE(expected, days_ - 2);
    EXPECT_EQ(tagesschau, expected);
    long tatort = 0;
    for (const sim::Recording &r : done)
        tatort += r.name.find("Tatort") != std::string::npos;
    if (firstTatortEnd_ <= now) {
        EXPECT_NE(search.find("Tatort|1|M,3,10"), std::string::npos) << "the 1xRec word is now M";
        EXPECT_EQ(tatort, 1);
    } else {
        EXPECT_EQ(tatort, 0);
    }
}

}  // namespace

TEST(SimulatedWeek, NoLeakNoLossEveryFileWholeEveryTimerSet) {
    int days = testsupport::kSanitized ? 3 : 7;   // the same duties at several times the cost
    if (const char *v = std::getenv("DIRO_WEEK_DAYS"))
        days = std::atoi(v) > 0 ? std::atoi(v) : days;
    Week week(days);
    week.run();
}
