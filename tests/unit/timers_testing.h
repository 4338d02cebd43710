// Shared by the timer tests: a receiver with the plug-in linked in at Monday 2026-12-07 20:00 on
// the demo lineup (transponders: tv:0..3 ARD, tv:4..7 ZDF, tv:8..12 RTL, tv:13..17 SAT.1), and
// timers written in one line.
// Example:
//   addTimer(timer(0, 1, "19:00", 70, "Film.rec"));       // tv:0 tomorrow 19:00-20:10
//   put(TIMER_SLOT_NEW, timer(0, 1, "20:00", 60, "News"));
//   EXPECT_EQ(describe(table()[0]), "tv:0 +1 19:00-21:00 OT Rec T2 Film+1900-2100.rec");
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "tests/support/support.h"
#include "timers/table.h"

namespace timertest {

constexpr int kToday = 61381;   // MJD of Monday 2026-12-07

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        rx_ = testsupport::linkedReceiver(dir_.path());
        settings.combine_timers = 1;
        settings.rec_lead_time = 3;
        settings.rec_stop_add = 15;
        settings.rec_tuner = 1;
        settings.manual_timer_method = 0;
        settings.rec_name_manual = 0;
        ToSetTimer_max = 0;   // each test runs in a process of its own; this keeps a shared one sane
    }

    // A timer on tv:`channel`, `day` days from today, from "HH:MM" for `minutes`.
    static TimerRecord timer(int channel, int day, const char *hhmm, int minutes, const char *name = "Show.rec",
                             int mode = 0, int tuner = 1, int isRec = 1) {
        TimerRecord t;
        std::memset(&t, 0, sizeof t);
        int hh = 0, mm = 0;
        std::sscanf(hhmm, "%d:%d", &hh, &mm);
        t.is_rec = byte(isRec);
        t.tuner = byte(tuner);
        t.svc_num = word(channel);
        t.mode = byte(mode);
        t.name_fixed = 1;
        t.duration = word(minutes);
        t.start = (dword(kToday + day) << 16) | (dword(hh) << 8) | dword(mm);
        std::strncpy(t.name, name, TIMER_NAME_KEPT);
        return t;
    }
    static int addTimer(TimerRecord t) { return TAP_Timer_Add(&t); }
    static void put(int slot, const TimerRecord &t) {
        TimerList[slot].rec = t;
        TimerList[slot].index = -1;
    }
    static std::vector<TimerRecord> table() {
        std::vector<TimerRecord> out;
        for (int i = 0; i < TAP_Timer_GetTotalNum(); i++) {
            TimerRecord t;
            TAP_Timer_GetInfo(i, &t);
            out.push_back(t);
        }
        return out;
    }
    // "tv:0 +1 19:00-21:00 OT Rec T2 Film.rec": channel, day from today, times, mode, kind, tuner, name.
    static std::string describe(const TimerRecord &t) {
        static const char *modes[] = {"OT", "ED", "WE", "WL", "WD"};
        int start = int(t.start >> 8 & 0xFF) * 60 + int(t.start & 0xFF), end = (start + t.duration) % 1440;
        char line[200];
        std::snprintf(line, sizeof line, "tv:%d +%d %02d:%02d-%02d:%02d %s %s T%d %s", t.svc_num,
                      int(t.start >> 16) - kToday, start / 60, start % 60, end / 60, end % 60,
                      t.mode < 5 ? modes[t.mode] : "??", t.is_rec == 1 ? "Rec" : "-P-", t.tuner + 1, t.name);
        return line;
    }
    static std::vector<std::string> described() {
        std::vector<std::string> out;
        for (const TimerRecord &t : table())
            out.push_back(describe(t));
        return out;
    }

    testsupport::TempDir dir_;
    std::unique_ptr<sim::Receiver> rx_;
};

}  // namespace timertest
