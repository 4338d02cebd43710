// The firmware's timer table and what it records, as the plug-in meets them through TAP_Timer_*
// and TAP_Hdd_GetRecInfo:
//   Table       appended at the end, dense after a delete, 100 at most, records as stored
//   Refusals    every reason has its code and log line, and a refused call changes nothing
//   Collisions  two tuners, transponders sharing one, tuner 0/1/3, "-P-" timers, repeating
//               timers on later days, the lowest index in the way, modify against the others
//   Time        a timer records at its start minute and leaves at its end; weekly ones move on;
//               "-P-" timers record nothing; the record button holding a tuner; tuner 3 choosing;
//               stopping, deleting and modifying a running timer; clock jumps; the disk filling
//   Faults      refusals on demand
#include <gtest/gtest.h>

#include <cstring>

#include "frame/platform/tap.h"
#include "sim/epg.h"
#include "sim/firmware.h"
#include "tests/support/support.h"

using testsupport::TempDir;

namespace {

constexpr int kCollision = sim::Timers::kCollision;

// Transponders: tv:0 and tv:1 share 1; tv:2 is on 2, tv:3 on 3, tv:4 on 4; the radio on 9.
std::vector<sim::Channel> lineup() {
    return {{sim::kTv, "Eins", 1, 1, 1, ""},     {sim::kTv, "Eins Plus", 2, 2, 1, ""},
            {sim::kTv, "Zwei", 3, 3, 2, ""},     {sim::kTv, "Drei", 4, 4, 3, ""},
            {sim::kTv, "Vier", 5, 5, 4, ""},     {sim::kRadio, "Welle", 6, 101, 9, ""}};
}

int64_t at(const char *when) {
    int64_t ms = 0;
    EXPECT_TRUE(sim::parseLocalTime(when, ms)) << when;
    return ms;
}

struct Spec {
    int channel = 0;
    const char *start = "2026-12-07 20:00";
    int minutes = 60;
    int tuner = 3;
    int mode = 0;
    bool rec = true;
    const char *name = "Film.rec";
    int type = sim::kTv;
};

TimerRecord timer(const Spec &s) {
    TimerRecord t{};
    t.is_rec = s.rec ? 1 : 0;
    t.tuner = static_cast<byte>(s.tuner);
    t.svc_type = static_cast<byte>(s.type);
    t.svc_num = static_cast<word>(s.channel);
    t.mode = static_cast<byte>(s.mode);
    t.name_fixed = 1;
    t.duration = static_cast<word>(s.minutes);
    t.start = sim::packedTime(at(s.start));
    std::strncpy(t.name, s.name, sizeof t.name - 1);
    return t;
}

std::string startOf(const TimerRecord &t) { return sim::formatLocalTime(sim::Timers::startMs(t)).substr(0, 16); }

struct Timers : ::testing::Test {
    TempDir dir;
    std::unique_ptr<sim::Firmware> fw;
    void SetUp() override {
        sim::FirmwareConfig config;
        config.diskDir = dir.path() + "/disk";
        config.lineup = lineup();
        config.clockMs = at("2026-12-07 20:00");  // a Monday
        fw = std::make_unique<sim::Firmware>(config);
        fw->log.echo = false;
        fw->activate();
    }
    int add(const Spec &s) {
        TimerRecord t = timer(s);
        return TAP_Timer_Add(&t);
    }
    // The table as the plug-in reads it, byte for byte.
    std::string table() {
        std::string bytes;
        for (int i = 0; i < TAP_Timer_GetTotalNum(); ++i) {
            TimerRecord t;
            EXPECT_EQ(TAP_Timer_GetInfo(i, &t), 1);
            bytes.append(reinterpret_cast<const char *>(&t), sizeof t);
        }
        return bytes;
    }
    // Lets time pass in steps of 10 s, the firmware acting after each.
    void pass(int64_t ms) {
        for (; ms > 0; ms -= 10000) {
            fw->clock.advanceMs(ms < 10000 ? ms : 10000);
            fw->tick();
        }
    }
    void jumpTo(const char *when) {
        fw->clock.set(at(when));
        fw->tick();
    }
    PlatformRecInfo recInfo(int slot) {
        PlatformRecInfo r;
        EXPECT_EQ(TAP_Hdd_GetRecInfo(static_cast<byte>(slot), &r), 0);
        return r;
    }
};

// --- Table ---

TEST_F(Timers, NewTimersAreAppendedAndADeleteClosesTheGap) {
    EXPECT_EQ(add({0, "2026-12-07 21:00", 30, 3, 0, true, "a.rec"}), 0);
    EXPECT_EQ(add({2, "2026-12-07 20:30", 30, 3, 0, true, "b.rec"}), 0);
    EXPECT_EQ(add({3, "2026-12-07 22:00", 30, 3, 0, false, "c.rec"}), 0);
    ASSERT_EQ(TAP_Timer_GetTotalNum(), 3);
    TimerRecord t;
    ASSERT_EQ(TAP_Timer_GetInfo(1, &t), 1);
    EXPECT_STREQ(t.name, "b.rec");  // appended, not sorted by time

    EXPECT_EQ(TAP_Timer_Delete(1), 1);
    ASSERT_EQ(TAP_Timer_GetTotalNum(), 2);
    ASSERT_EQ(TAP_Timer_GetInfo(1, &t), 1);
    EXPECT_STREQ(t.name, "c.rec");
    EXPECT_EQ(t.is_rec, 0);
    EXPECT_EQ(TAP_Timer_GetInfo(2, &t), 0);
    EXPECT_EQ(t.start, 0u);
    EXPECT_EQ(TAP_Timer_Delete(2), 0);
    EXPECT_EQ(TAP_Timer_Delete(-1), 0);
}

TEST_F(Timers, TheTableKeepsTheRecordWithItsNameEndedAndUnusedBytesClear) {
    TimerRecord t = timer({2, "2026-12-07 21:00", 45, 1, 3});
    std::memset(t.name, 'x', sizeof t.name);  // no end in its 100 bytes
    std::memset(t.unused1, 0x55, sizeof t.unused1);
    ASSERT_EQ(TAP_Timer_Add(&t), 0);
    TimerRecord back;
    std::memset(&back, 0x77, sizeof back);
    ASSERT_EQ(TAP_Timer_GetInfo(0, &back), 1);
    EXPECT_EQ(std::string(back.name), std::string(99, 'x'));
    EXPECT_EQ(back.unused1[0], 0);
    EXPECT_EQ(back.tuner, 1);
    EXPECT_EQ(back.mode, 3);
    EXPECT_EQ(back.duration, 45);
    EXPECT_EQ(back.start, t.start);
}

TEST_F(Timers, TheTableHoldsAHundredTimers) {
    for (int i = 0; i < sim::Timers::kMaxTimers; ++i) {
        std::string start = sim::formatLocalTime(at("2026-12-08 00:00") + i * 120000LL).substr(0, 16);
        ASSERT_EQ(add({i % 5, start.c_str(), 1}), 0) << i;
    }
    std::string before = table();
    EXPECT_EQ(add({0, "2026-12-09 12:00", 10}), sim::Timers::kRefusedTableFull);
    EXPECT_EQ(TAP_Timer_GetTotalNum(), 100);
    EXPECT_EQ(table(), before);
    EXPECT_TRUE(fw->log.contains("the table holds 100 timers already"));
    EXPECT_EQ(fw->timers.refusedAdds(), 1);
}

// --- Refusals ---

TEST_F(Timers, RefusalsNameTheirReasonAndChangeNothing) {
    ASSERT_EQ(add({0, "2026-12-07 21:00", 30}), 0);
    const std::string before = table();
    struct Bad {
        TimerRecord record;
        int code;
        const char *logged;
    };
    auto with = [](Spec s, void (*change)(TimerRecord &)) {
        TimerRecord t = timer(s);
        change(t);
        return t;
    };
    const Bad bad[] = {
        {timer({2, "2026-12-07 21:00", 0}), sim::Timers::kRefusedDuration, "the duration is 0 minutes"},
        {timer({40, "2026-12-07 21:00", 30}), sim::Timers::kRefusedChannel, "there is no channel tv:40"},
        {timer({1, "2026-12-07 21:00", 30, 3, 0, true, "r.rec", sim::kRadio}), sim::Timers::kRefusedChannel,
         "there is no channel ra:1"},
        {with({}, [](TimerRecord &t) { t.svc_type = 2; }), sim::Timers::kRefusedChannel, "there is no channel"},
        {with({}, [](TimerRecord &t) { t.start = (61381u << 16) | (24u << 8); }), sim::Timers::kRefusedStart,
         "the start 0xEFC51800 is not a valid time"},
        {with({}, [](TimerRecord &t) { t.start = (61382u << 16) | 60u; }), sim::Timers::kRefusedStart,
         "is not a valid time"},
        {with({}, [](TimerRecord &t) { t.start = (20u << 8); }), sim::Timers::kRefusedStart, "is not a valid time"},
        {timer({2, "2026-12-07 18:00", 60}), sim::Timers::kRefusedEnded, "it ends at 2026-12-07 19:00, not after now"},
        {timer({2, "2026-12-07 19:00", 60}), sim::Timers::kRefusedEnded, "it ends at 2026-12-07 20:00"},
        {timer({2, "2026-12-07 21:00", 30, 2}), sim::Timers::kRefusedTuner, "tuner 2 is not 0, 1 or 3"},
        {timer({2, "2026-12-07 21:00", 30, 3, 5}), sim::Timers::kRefusedMode, "mode 5 is not 0..4"},
    };
    for (const Bad &b : bad) {
        TimerRecord t = b.record;
        size_t logged = fw->log.lines().size();
        EXPECT_EQ(TAP_Timer_Add(&t), b.code) << b.logged;
        EXPECT_EQ(TAP_Timer_Modify(0, &t), b.code) << b.logged;
        EXPECT_NE(b.code & 0xFFFF0000, 0xFFFF0000u) << "not a collision code";
        ASSERT_EQ(fw->log.lines().size(), logged + 2);
        EXPECT_NE(fw->log.lines()[logged].find(std::string("TAP_Timer_Add refused")), std::string::npos);
        EXPECT_NE(fw->log.lines()[logged].find(b.logged), std::string::npos) << fw->log.lines()[logged];
        EXPECT_NE(fw->log.lines()[logged + 1].find(std::string("TAP_Timer_Modify refused")), std::string::npos);
        EXPECT_EQ(table(), before) << b.logged;
    }
    EXPECT_EQ(TAP_Timer_Add(nullptr), sim::Timers::kRefusedNoRecord);
    EXPECT_EQ(TAP_Timer_Modify(0, nullptr), sim::Timers::kRefusedNoRecord);
    TimerRecord good = timer({2, "2026-12-07 21:00", 30});
    EXPECT_EQ(TAP_Timer_Modify(1, &good), sim::Timers::kRefusedNoSuchTimer);
    EXPECT_TRUE(fw->log.contains("there is no timer 1 (the table holds 1)"));
    EXPECT_EQ(table(), before);

    // A timer that began but has not ended is taken: it records what is left.
    EXPECT_EQ(add({2, "2026-12-07 19:30", 31}), 0);
}

// --- Collisions ---

TEST_F(Timers, TwoTunersTakeTwoTransponders_AThirdCollidesWithTheLowestIndexInItsWay) {
    ASSERT_EQ(add({3, "2026-12-07 21:00", 60}), 0);  // 0: transponder 3, after the others
    ASSERT_EQ(add({0, "2026-12-07 20:00", 60}), 0);  // 1: transponder 1
    ASSERT_EQ(add({2, "2026-12-07 20:30", 60}), 0);  // 2: transponder 2
    const std::string before = table();
    // 20:40 - 20:55 meets timers 1 and 2 only; 20:45 - 21:15 meets 0 and 2 after 21:00 as well.
    EXPECT_EQ(add({4, "2026-12-07 20:40", 15}), kCollision + 1);
    EXPECT_EQ(add({4, "2026-12-07 20:45", 30}), kCollision + 0);
    EXPECT_TRUE(fw->log.contains("collision with timer 1 (Rec tv:0 2026-12-07 20:00 60 min OT tuner 3 \"Film.rec\") "
                                 "at 2026-12-07 20:40: a third tuner would be needed [-65535]"));
    EXPECT_EQ(table(), before);
    // Ending as another begins is no overlap.
    EXPECT_EQ(add({4, "2026-12-07 19:50", 40}), 0);
}

TEST_F(Timers, ChannelsOfOneTransponderShareATuner) {
    ASSERT_EQ(add({0, "2026-12-07 20:00", 60}), 0);  // transponder 1
    ASSERT_EQ(add({2, "2026-12-07 20:00", 60}), 0);  // transponder 2
    EXPECT_EQ(add({1, "2026-12-07 20:10", 60}), 0);  // transponder 1 again
    EXPECT_EQ(add({0, "2026-12-07 20:20", 30}), 0);  // the same channel
    EXPECT_EQ(add({3, "2026-12-07 20:30", 10}), kCollision + 0);
    EXPECT_EQ(TAP_Timer_GetTotalNum(), 4);
}

TEST_F(Timers, ATunerZeroOrOneTimerNeedsThatTuner_TunerThreeEither) {
    ASSERT_EQ(add({0, "2026-12-07 20:00", 60, 0}), 0);        // 0: tuner 0, transponder 1
    EXPECT_EQ(add({2, "2026-12-07 20:30", 60, 0}), kCollision + 0);  // tuner 1 is free, but not asked for
    EXPECT_EQ(add({1, "2026-12-07 20:30", 60, 0}), 0);        // 1: same transponder, same tuner
    EXPECT_EQ(add({2, "2026-12-07 20:30", 60, 3}), 0);        // 2: tuner 3 takes tuner 1
    // A tuner-1 timer on a third transponder: timer 0 holds tuner 0, which it could not use;
    // in its way on tuner 1 is timer 2.
    EXPECT_EQ(add({3, "2026-12-07 20:40", 10, 1}), kCollision + 2);
    EXPECT_EQ(add({3, "2026-12-07 20:40", 10, 3}), kCollision + 0);
}

TEST_F(Timers, ATunerThreeTimerGivesWayToTimersOnAFixedTuner) {
    ASSERT_EQ(add({0, "2026-12-07 20:00", 60, 3}), 0);  // 0: either tuner
    ASSERT_EQ(add({2, "2026-12-07 20:00", 60, 0}), 0);  // 1: tuner 0, so timer 0 goes on tuner 1
    // Tuner 1 is what timer 0 must use: it is in the way, timer 1 (tuner 0) is not.
    EXPECT_EQ(add({3, "2026-12-07 20:15", 15, 1}), kCollision + 0);
    EXPECT_EQ(add({3, "2026-12-07 20:15", 15, 0}), kCollision + 0);
}

TEST_F(Timers, PTimersHoldATunerAsRecordingTimersDo) {
    ASSERT_EQ(add({0, "2026-12-07 20:00", 60, 3, 0, false}), 0);
    ASSERT_EQ(add({2, "2026-12-07 20:00", 60}), 0);
    EXPECT_EQ(add({3, "2026-12-07 20:30", 30, 3, 0, false}), kCollision + 0);
    EXPECT_EQ(add({1, "2026-12-07 20:30", 30, 3, 0, false}), 0);
}

TEST(TimerCollisions, RepeatingTimersCountOnEveryDayTheyOccur) {
    // Each case on a fresh receiver (Monday 2026-12-07 20:00): the timers set, then the new
    // one, all on tuner 0 so that one other timer at the same minute is a collision.
    struct Case {
        const char *what;
        std::vector<Spec> set;
        Spec next;
        int expected;
    };
    const Case cases[] = {
        {"weekly, a later Monday", {{0, "2026-12-07 20:00", 60, 0, 3}}, {2, "2026-12-14 20:30", 10, 0}, kCollision},
        {"weekly, a Tuesday", {{0, "2026-12-07 20:00", 60, 0, 3}}, {2, "2026-12-15 20:30", 10, 0}, 0},
        {"weekly, months on", {{0, "2026-12-07 20:00", 60, 0, 3}}, {2, "2027-03-01 20:59", 10, 0}, kCollision},
        {"every day", {{0, "2026-12-07 21:00", 60, 0, 1}}, {2, "2026-12-10 21:30", 10, 0}, kCollision},
        {"every day, the hour before", {{0, "2026-12-07 21:00", 60, 0, 1}}, {2, "2026-12-10 20:00", 60, 0}, 0},
        {"weekend, a Saturday", {{0, "2026-12-07 21:00", 60, 0, 2}}, {2, "2026-12-12 21:30", 10, 0}, kCollision},
        {"weekend, a Friday", {{0, "2026-12-07 21:00", 60, 0, 2}}, {2, "2026-12-11 21:30", 10, 0}, 0},
        {"weekdays, a Friday", {{0, "2026-12-07 21:00", 60, 0, 4}}, {2, "2026-12-11 21:30", 10, 0}, kCollision},
        {"weekdays, a Sunday", {{0, "2026-12-07 21:00", 60, 0, 4}}, {2, "2026-12-13 21:30", 10, 0}, 0},
        {"over midnight", {{0, "2026-12-07 23:30", 60, 0, 1}}, {2, "2026-12-09 00:10", 10, 0}, kCollision},
        {"a new weekly one meets a one-time timer weeks on",
         {{3, "2026-12-07 22:00", 10, 1}, {2, "2027-01-04 20:30", 10, 0}}, {0, "2026-12-07 20:00", 60, 0, 3},
         kCollision + 1},
        {"a new weekly one on another weekday", {{2, "2027-01-04 20:30", 10, 0}}, {0, "2026-12-08 20:00", 60, 0, 3}, 0},
        {"weekend and weekdays never meet", {{0, "2026-12-12 20:00", 60, 0, 2}}, {2, "2026-12-07 20:30", 60, 0, 4}, 0},
        {"every day meets weekend", {{0, "2026-12-12 20:00", 60, 0, 2}}, {2, "2026-12-07 20:30", 60, 0, 1}, kCollision},
    };
    for (const Case &c : cases) {
        TempDir dir;
        sim::FirmwareConfig config;
        config.diskDir = dir.path();
        config.lineup = lineup();
        config.clockMs = at("2026-12-07 20:00");
        sim::Firmware fw(config);
        fw.log.echo = false;
        fw.activate();
        for (const Spec &s : c.set)
            ASSERT_EQ(fw.timers.add(timer(s)), 0) << c.what;
        EXPECT_EQ(fw.timers.add(timer(c.next)), c.expected) << c.what;
    }
}

TEST_F(Timers, ModifyJudgesTheTimerAgainstTheOthersNotItsOldSelf) {
    ASSERT_EQ(add({0, "2026-12-07 20:00", 60, 0}), 0);
    ASSERT_EQ(add({2, "2026-12-07 20:00", 60, 1}), 0);
    // Timer 0 moves half an hour and to another transponder: it overlaps its old self only.
    TimerRecord moved = timer({3, "2026-12-07 20:30", 60, 0, 0, true, "moved.rec"});
    EXPECT_EQ(TAP_Timer_Modify(0, &moved), 0);
    TimerRecord t;
    ASSERT_EQ(TAP_Timer_GetInfo(0, &t), 1);
    EXPECT_STREQ(t.name, "moved.rec");
    EXPECT_EQ(startOf(t), "2026-12-07 20:30");
    // Timer 1 onto tuner 0 would meet timer 0 there: refused, timer 1 stays as it was.
    const std::string before = table();
    TimerRecord clash = timer({2, "2026-12-07 20:00", 60, 0});
    EXPECT_EQ(TAP_Timer_Modify(1, &clash), kCollision + 0);
    EXPECT_EQ(table(), before);
}

// --- Time ---

TEST_F(Timers, ATimerRecordsFromItsStartMinuteAndLeavesTheTableAtItsEnd) {
    const uint32_t freeAtStart = fw->disk.freeMb;
    ASSERT_EQ(add({2, "2026-12-07 20:10", 30, 3, 0, true, "Krimi.rec"}), 0);
    pass(9 * 60000 + 50000);  // 20:09:50
    EXPECT_EQ(recInfo(0).rec_state, 0);
    pass(10000);  // 20:10:00
    PlatformRecInfo r = recInfo(0);
    EXPECT_EQ(r.rec_state, 1);
    EXPECT_EQ(r.rec_type, 1);
    EXPECT_EQ(r.svc_type, 0);
    EXPECT_EQ(r.svc_num, 2);
    EXPECT_EQ(r.duration, 30);
    EXPECT_EQ(r.start, sim::packedTime(at("2026-12-07 20:10")));
    EXPECT_EQ(r.end, sim::packedTime(at("2026-12-07 20:40")));
    EXPECT_STREQ(r.file_name, "Krimi.rec");
    EXPECT_EQ(recInfo(1).rec_state, 0);
    EXPECT_EQ(TAP_Timer_GetTotalNum(), 1);

    pass(10 * 60000);  // 20:20: ten minutes recorded
    EXPECT_EQ(TAP_Hdd_FreeSize(), freeAtStart - 10 * sim::Recordings::kMbPerMinute);
    pass(20 * 60000);  // 20:40: done
    EXPECT_EQ(recInfo(0).rec_state, 0);
    EXPECT_EQ(TAP_Timer_GetTotalNum(), 0);
    ASSERT_EQ(fw->recordings.done().size(), 1u);
    const sim::Recording &done = fw->recordings.done()[0];
    EXPECT_EQ(done.startMs, at("2026-12-07 20:10"));
    EXPECT_EQ(done.endMs, at("2026-12-07 20:40"));
    EXPECT_EQ(done.name, "Krimi.rec");
    EXPECT_EQ(TAP_Hdd_FreeSize(), freeAtStart - 30 * sim::Recordings::kMbPerMinute);
}

TEST_F(Timers, AWeeklyTimerMovesOnAWeekAndRecordsAgain) {
    ASSERT_EQ(add({0, "2026-12-07 20:05", 10, 3, 3, true, ""}), 0);
    pass(16 * 60000);
    ASSERT_EQ(fw->recordings.done().size(), 1u);
    EXPECT_EQ(fw->recordings.done()[0].name, "Eins.rec");  // no name: the channel's
    ASSERT_EQ(TAP_Timer_GetTotalNum(), 1);
    TimerRecord t;
    ASSERT_EQ(TAP_Timer_GetInfo(0, &t), 1);
    EXPECT_EQ(startOf(t), "2026-12-14 20:05");
    jumpTo("2026-12-14 20:04");
    pass(60000);
    EXPECT_EQ(recInfo(0).rec_state, 1);
    EXPECT_EQ(recInfo(0).start, sim::packedTime(at("2026-12-14 20:05")));
    pass(10 * 60000);
    EXPECT_EQ(fw->recordings.done().size(), 2u);
    ASSERT_EQ(TAP_Timer_GetInfo(0, &t), 1);
    EXPECT_EQ(startOf(t), "2026-12-21 20:05");
}

TEST_F(Timers, RepeatingTimersMoveOnToTheNextDayOfTheirKind) {
    struct Case {
        int mode;
        const char *start, *next;
    };
    // From a Tuesday every day gives Wednesday; from a Friday the weekend gives Saturday; from
    // a Friday weekdays give Monday; from a Sunday the weekend gives the next Saturday.
    const Case cases[] = {{1, "2026-12-08 20:05", "2026-12-09 20:05"},
                          {2, "2026-12-11 20:05", "2026-12-12 20:05"},
                          {4, "2026-12-18 20:05", "2026-12-21 20:05"},
                          {2, "2026-12-20 20:05", "2026-12-26 20:05"}};
    for (const Case &c : cases) {
        jumpTo(c.start);
        ASSERT_EQ(add({0, c.start, 10, 3, c.mode}), 0);
        pass(11 * 60000);
        TimerRecord t;
        ASSERT_EQ(TAP_Timer_GetInfo(0, &t), 1);
        EXPECT_EQ(startOf(t), c.next) << c.mode << " " << c.start;
        EXPECT_EQ(TAP_Timer_Delete(0), 1);
    }
}

TEST_F(Timers, APTimerRecordsNothingAndLeavesAtItsEnd) {
    ASSERT_EQ(add({2, "2026-12-07 20:05", 10, 3, 0, false}), 0);
    pass(6 * 60000);
    EXPECT_EQ(fw->timers.entry(0)->state, sim::TimerState::Watching);
    EXPECT_EQ(fw->recordings.runningCount(), 0);
    EXPECT_EQ(fw->channels.current().svcNum, 0);  // the plug-in switches, not the firmware
    pass(10 * 60000);
    EXPECT_EQ(TAP_Timer_GetTotalNum(), 0);
    EXPECT_TRUE(fw->recordings.done().empty());
}

TEST_F(Timers, ATimerWhoseTunerTheRecordButtonHoldsRecordsOnceItIsFree) {
    ASSERT_EQ(fw->recordButton({sim::kTv, 0}), 0);  // tuner 0, transponder 1
    ASSERT_EQ(fw->recordButton({sim::kTv, 2}), 1);  // tuner 1, transponder 2
    ASSERT_EQ(add({3, "2026-12-07 20:05", 30, 3, 0, true, "Doku.rec"}), 0);
    pass(6 * 60000);
    EXPECT_EQ(fw->timers.entry(0)->state, sim::TimerState::Blocked);
    EXPECT_TRUE(fw->log.contains("timer 0 (Rec tv:3 2026-12-07 20:05 30 min OT tuner 3 \"Doku.rec\") does not "
                                 "record: both recording slots are busy"));
    size_t lines = fw->log.lines().size();
    pass(60000);
    EXPECT_EQ(fw->log.lines().size(), lines) << "said once";

    ASSERT_EQ(fw->recordings.stop(1, fw->clock.nowMs()), true);  // 20:07
    pass(10000);
    EXPECT_EQ(fw->timers.entry(0)->state, sim::TimerState::Recording);
    PlatformRecInfo r = recInfo(1);
    EXPECT_EQ(r.svc_num, 3);
    EXPECT_EQ(r.tuner, 1);
    EXPECT_EQ(r.start, sim::packedTime(at("2026-12-07 20:07")));
    EXPECT_EQ(r.end, sim::packedTime(at("2026-12-07 20:35")));
}

TEST_F(Timers, AFixedTunerTimerDoesNotTakeTheOtherTuner) {
    ASSERT_EQ(fw->recordButton({sim::kTv, 0}), 0);  // tuner 0
    ASSERT_EQ(add({2, "2026-12-07 20:05", 10, 0}), 0);
    pass(6 * 60000);
    EXPECT_EQ(fw->recordings.runningCount(), 1);
    EXPECT_TRUE(fw->log.contains("does not record: tuner 0 records tv:0 for the record button"));
    // The same transponder shares the tuner the button uses.
    ASSERT_EQ(add({1, "2026-12-07 20:15", 10, 0}), 0);
    pass(10 * 60000);
    EXPECT_EQ(fw->recordings.runningCount(), 2);
    EXPECT_EQ(recInfo(1).tuner, 0);
}

TEST_F(Timers, ATunerThreeTimerLeavesTheTunerALaterTimerNeeds) {
    ASSERT_EQ(add({0, "2026-12-07 20:05", 60, 3}), 0);
    ASSERT_EQ(add({2, "2026-12-07 20:30", 30, 0}), 0);
    pass(6 * 60000);
    EXPECT_EQ(recInfo(0).tuner, 1);
    pass(25 * 60000);
    EXPECT_EQ(recInfo(1).svc_num, 2);
    EXPECT_EQ(recInfo(1).tuner, 0);
    EXPECT_EQ(fw->recordings.runningCount(), 2);
    // While timer 0 records on tuner 1, a tuner-3 timer on a third transponder has no tuner.
    EXPECT_EQ(add({3, "2026-12-07 20:40", 5, 3}), kCollision + 0);
}

TEST_F(Timers, StoppingDeletingAndModifyingARunningTimer) {
    ASSERT_EQ(add({0, "2026-12-07 20:00", 60, 3, 0, true, "a.rec"}), 0);
    ASSERT_EQ(add({2, "2026-12-07 20:00", 60, 3, 0, true, "b.rec"}), 0);
    ASSERT_EQ(add({3, "2026-12-07 21:00", 60, 3, 0, true, "c.rec"}), 0);
    fw->tick();
    EXPECT_EQ(fw->recordings.runningCount(), 2);

    // Stopped by hand: the timer records no more until its end, then leaves.
    pass(10 * 60000);
    ASSERT_EQ(fw->recordings.stop(0, fw->clock.nowMs()), true);
    pass(10000);
    EXPECT_EQ(fw->timers.entry(0)->state, sim::TimerState::Stopped);
    EXPECT_EQ(fw->recordings.runningCount(), 1);

    // Modified on the same channel: the recording runs to the new end.
    TimerRecord longer = timer({2, "2026-12-07 20:00", 75, 3, 0, true, "b.rec"});
    ASSERT_EQ(TAP_Timer_Modify(1, &longer), 0);
    EXPECT_EQ(recInfo(1).end, sim::packedTime(at("2026-12-07 21:15")));

    // Deleted: its recording goes on to its end without it.
    ASSERT_EQ(TAP_Timer_Delete(1), 1);
    EXPECT_EQ(recInfo(1).rec_state, 1);
    pass(50 * 60000);  // 21:00:10: a.rec has ended and left, c.rec records
    EXPECT_EQ(TAP_Timer_GetTotalNum(), 1);
    EXPECT_EQ(recInfo(1).rec_state, 1);
    EXPECT_EQ(recInfo(0).svc_num, 3);
    pass(15 * 60000);  // 21:15:10
    ASSERT_EQ(fw->recordings.done().size(), 2u);
    EXPECT_EQ(fw->recordings.done()[0].name, "a.rec");
    EXPECT_EQ(fw->recordings.done()[0].endMs, at("2026-12-07 20:10"));
    EXPECT_EQ(fw->recordings.done()[1].name, "b.rec");
    EXPECT_EQ(fw->recordings.done()[1].endMs, at("2026-12-07 21:15"));

    // Modified onto another time while it records: the recording stops, the timer waits.
    TimerRecord later = timer({3, "2026-12-07 22:30", 30, 3, 0, true, "c.rec"});
    ASSERT_EQ(TAP_Timer_Modify(0, &later), 0);
    EXPECT_EQ(fw->recordings.runningCount(), 0);
    EXPECT_EQ(fw->timers.entry(0)->state, sim::TimerState::Waiting);
}

TEST_F(Timers, ATimerTakesOverARecordingOfItsChannelThatHasNoTimer) {
    // Set for now, deleted once it records, set again: one recording, never two.
    pass(30000);
    ASSERT_EQ(add({2, "2026-12-07 20:00", 30, 3, 0, true, "Jetzt.rec"}), 0);
    pass(10000);
    ASSERT_EQ(TAP_Timer_Delete(0), 1);
    ASSERT_EQ(add({2, "2026-12-07 20:00", 30, 1, 0, true, "Jetzt.rec"}), 0);
    pass(10000);
    EXPECT_EQ(fw->recordings.runningCount(), 1);
    EXPECT_EQ(fw->timers.entry(0)->state, sim::TimerState::Recording);
    ASSERT_EQ(TAP_Timer_Delete(0), 1);
    pass(30 * 60000);
    ASSERT_EQ(fw->recordings.done().size(), 1u);
    EXPECT_EQ(fw->recordings.done()[0].startMs, at("2026-12-07 20:00"));
    EXPECT_EQ(fw->recordings.done()[0].endMs, at("2026-12-07 20:30"));

    // The record button's two hours outlast a timer on its channel: the recording goes on.
    ASSERT_EQ(fw->recordButton({sim::kTv, 0}), 0);  // 20:30:50 to 22:30
    ASSERT_EQ(add({0, "2026-12-07 20:40", 10}), 0);
    pass(10 * 60000);
    EXPECT_EQ(fw->timers.entry(0)->state, sim::TimerState::Recording);
    pass(10 * 60000);  // 20:50:50
    EXPECT_EQ(fw->recordings.runningCount(), 1);
    EXPECT_EQ(TAP_Timer_GetTotalNum(), 0);
    EXPECT_EQ(recInfo(0).end, sim::packedTime(at("2026-12-07 22:30")));
    // A timer on it that lasts longer carries it on to the timer's end.
    ASSERT_EQ(add({0, "2026-12-07 22:00", 60}), 0);
    jumpTo("2026-12-07 22:00");
    EXPECT_EQ(recInfo(0).end, sim::packedTime(at("2026-12-07 23:00")));
    EXPECT_EQ(fw->recordings.runningCount(), 1);
}

TEST_F(Timers, AClockJumpOverATimersWholeTimeMissesIt) {
    ASSERT_EQ(add({2, "2026-12-07 20:10", 30, 3, 0, true, "Weg.rec"}), 0);
    ASSERT_EQ(add({3, "2026-12-07 20:10", 30, 3, 1, true, "Daily.rec"}), 0);
    jumpTo("2026-12-09 09:00");
    EXPECT_TRUE(fw->recordings.done().empty());
    EXPECT_TRUE(fw->log.contains("timer 0 (Rec tv:2 2026-12-07 20:10 30 min OT tuner 3 \"Weg.rec\") did not record: "
                                 "the clock passed its whole time"));
    ASSERT_EQ(TAP_Timer_GetTotalNum(), 1);
    TimerRecord t;
    ASSERT_EQ(TAP_Timer_GetInfo(0, &t), 1);
    EXPECT_EQ(startOf(t), "2026-12-09 20:10");  // the next day not yet over
    // Into the middle of its time: it records from that minute.
    jumpTo("2026-12-09 20:25:30");
    EXPECT_EQ(recInfo(0).start, sim::packedTime(at("2026-12-09 20:25")));
}

TEST_F(Timers, AFullDiskStopsTheRecordingsAndNoneStarts) {
    fw->disk.freeMb = 100;
    ASSERT_EQ(add({2, "2026-12-07 20:00", 60}), 0);
    EXPECT_EQ(fw->recordings.runningCount(), 0) << "starts at the next tick";
    fw->tick();
    EXPECT_EQ(fw->recordings.runningCount(), 1);
    pass(3 * 60000);  // 90 MB used, 10 MB left: no room for another minute
    EXPECT_EQ(fw->recordings.runningCount(), 0);
    EXPECT_EQ(fw->disk.freeMb, 10u);
    EXPECT_TRUE(fw->log.contains("the disk is full (10 MB free): every recording stops"));
    EXPECT_EQ(fw->timers.entry(0)->state, sim::TimerState::Stopped);
    EXPECT_EQ(fw->recordButton({sim::kTv, 0}), -1);
    ASSERT_EQ(add({0, "2026-12-07 20:10", 10}), 0);
    pass(8 * 60000);
    EXPECT_TRUE(fw->log.contains("timer 1 (Rec tv:0 2026-12-07 20:10 10 min OT tuner 3 \"Film.rec\") does not "
                                 "record: the disk is full"));
}

// --- Faults ---

TEST_F(Timers, FaultsRefuseAfterTheCallsTheyAllow) {
    fw->timers.faults.failAfterCalls = 1;
    EXPECT_EQ(add({0, "2026-12-07 21:00", 10}), 0);
    EXPECT_EQ(add({0, "2026-12-07 22:00", 10}), sim::Timers::kRefusedByFault);
    fw->timers.faults.failCode = kCollision + 0;
    TimerRecord t = timer({0, "2026-12-07 21:00", 20});
    EXPECT_EQ(TAP_Timer_Modify(0, &t), kCollision + 0);
    EXPECT_TRUE(fw->log.contains("TAP_Timer_Modify refused"));
    fw->timers.faults.failAfterCalls = -1;
    EXPECT_EQ(TAP_Timer_Modify(0, &t), 0);
    EXPECT_EQ(TAP_Timer_GetTotalNum(), 1);
}

}  // namespace
