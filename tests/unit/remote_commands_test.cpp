// The remote command parser and the timer list files, with the plug-in linked in (Monday
// 2026-12-07 20:00, a lineup with a service id above 32766):
//   CommandWords    every word in any case, the table's order, the settings commands and their
//                   ranges, the message mode and its waits
//   TimerLines      the sample layouts (TV, T+, -P-, radio, hour 24, Ext with Ch/Sid/LCN, by
//                   channel name), lead, follow and name styles, DelTimer
//   UntrustedLines  malformed lines of every kind set nothing and are counted; duplicates and
//                   covered timers queue nothing; a full queue; the summary on the screen; lines
//                   the reader cannot take whole (too long, junk, beyond 300, cut by the limit)
//   TimerListFiles  the list and the backup as written, padding, no timers; restoring the
//                   backup (radio, names cut to 30, existing timers queue nothing)
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "export/channels.h"
#include "frame/state.h"
#include "remote/commands.h"
#include "remote/timerline.h"
#include "search/entries.h"
#include "settings/settings.h"
#include "tests/unit/timers_testing.h"
#include "timers/backup.h"
#include "timers/table.h"

namespace {

std::vector<sim::Channel> lineup() {
    return {
        {sim::kTv, "Das Erste HD", 10301, 1, 1, ""},
        {sim::kTv, "tagesschau24 HD", 10375, 2, 1, ""},
        {sim::kTv, "Sid Four", 4000, 3, 2, ""},
        {sim::kTv, "Sid Forty", 40000, 40000, 2, ""},
        {sim::kTv, "BBC One HD", 17472, 36, 3, ""},
        {sim::kRadio, "Bayern 3", 28403, 101, 9, ""},
        {sim::kRadio, "SWR3", 28427, 103, 9, ""},
        {sim::kRadio, "NDR 2", 28437, 104, 9, ""},
        {sim::kRadio, "1LIVE", 28475, 105, 9, ""},
        {sim::kRadio, "FM4", 13114, 107, 10, ""},
        {sim::kRadio, "Yle Radio 1", 34, 109, 10, ""},
    };
}

using Lines = std::vector<std::string>;

// The timer tests' receiver, on the lineup above.
class RemoteTest : public timertest::TimerTest {
protected:
    void SetUp() override {
        testsupport::LinkedOptions o;
        o.lineup = lineup();
        rx_ = testsupport::linkedReceiver(dir_.path(), o);
        settings.combine_timers = 1;
        settings.rec_lead_time = 3;
        settings.rec_stop_add = 15;
        settings.rec_tuner = 1;
        settings.rec_name_manual = 0;
        settings.timerlist_sort = 1;
        ToSetTimer_max = 0;
        RemoteMsg = 0;
        RemoteMsgWait = REMOTE_WAIT_DEFAULT;
        ClearRejectedCommands();
    }

    // Runs lines through the parser; every one of them must be a command.
    void run(std::initializer_list<const char *> lines) {
        for (const char *line : lines)
            EXPECT_EQ(CheckCommands(line), 1) << line;
    }
    bool logged(const std::string &text) const {
        for (const sim::ScreenText &t : rx_->screen().textLog())
            if (t.text.find(text) != std::string::npos)
                return true;
        return false;
    }
    // "tv:0 +1 20:15-21:45 OT Rec T2 Name" as the timer tests write it, "ra:" for radio.
    static std::string describeTimer(const TimerRecord &t) {
        std::string d = describe(t);
        return t.svc_type == 1 ? "ra" + d.substr(2) : d;
    }
    static std::vector<std::string> tableLines() {
        std::vector<std::string> out;
        for (const TimerRecord &t : table())
            out.push_back(describeTimer(t));
        return out;
    }
    static std::vector<std::string> queued() {
        std::vector<std::string> out;
        for (int i = 0; i < ToSetTimer_max; i++)
            out.push_back(describeTimer(ToSetTimer[i]));
        return out;
    }
    // A timer on any tuner of `type` (0 TV, 1 radio) in the receiver's table; its result.
    static int addTimer(int type, int channel, int day, const char *hhmm, int minutes, const char *name,
                        int isRec = 1, int mode = 0) {
        TimerRecord t = timer(channel, day, hhmm, minutes, name, mode, 3, isRec);
        t.svc_type = byte(type);
        return TimerTest::addTimer(t);
    }
    std::string file(const char *name) const { return testsupport::readFile(dir_.file(name)); }
};

// --- Command words ---

TEST_F(RemoteTest, CommandWordsAreKnownInAnyCaseAndNothingElseIs) {
    const char *commands[] = {
        "Command.CreateChannelList", "command.createtimerlist", "COMMAND.CREATETIMERBACKUP",
        "Command.Delete-P-Timers", "Command.DeleteRecTimers", "Command.DeleteAllTimers", "Command.ExportEpgCsv",
        "Command.ExportEpgHTML", "Command.RecordBySearchWordNow", "Command.Set.RecordBySearchWord:Off",
        "Command.Set.RemoteMode:Off", "Command.RestoreTimerBackup", "Command.AddTimer:", "Command.DelTimer:x",
        "Command.AddTimerExt:", "Command.AddTimerByChName:"};
    for (const char *line : commands) {
        Command_found = 0;
        EXPECT_EQ(CheckCommands(line), 1) << line;
        EXPECT_EQ(Command_found, 1) << line;
    }
    EXPECT_EQ(create_TimerList, 1);
    EXPECT_EQ(restore_timerbackup, 1);
    EXPECT_EQ(settings.remote_mode, 0);
    EXPECT_NE(file(TV_CHANNEL_LIST_NAME).find("0003|Sid Four|4000"), std::string::npos);
    EXPECT_FALSE(file("Diro_ROD.Export.html").empty());

    Command_found = 0;
    for (const char *line : {"Krimi|3|M", "Command", "Command.AddTimer", "xCommand.RemoteMsg", "Command.Remote", ""})
        EXPECT_EQ(CheckCommands(line), 0) << line;
    EXPECT_EQ(CheckCommands(nullptr), 0);
    EXPECT_EQ(Command_found, 0);
}

TEST_F(RemoteTest, RemoteModeTakesOneToOneHundredTwentyMinutes) {
    settings.remote_mode = 10;
    run({"Command.Set.RemoteMode:0", "Command.Set.RemoteMode:121", "Command.Set.RemoteMode:",
         "Command.Set.RemoteMode:x"});
    EXPECT_EQ(settings.remote_mode, 10);
    EXPECT_EQ(RejectedCommands(), 4);
    run({"Command.Set.RemoteMode:3min"});
    EXPECT_EQ(settings.remote_mode, 3);
    run({"Command.Set.RemoteMode:45"});
    EXPECT_EQ(settings.remote_mode, 45);
    run({"command.set.remotemode:120"});
    EXPECT_EQ(settings.remote_mode, 120);
    run({"Command.Set.RemoteMode:Off"});
    EXPECT_EQ(settings.remote_mode, 0);
    // The change is saved: a restart keeps it.
    run({"Command.Set.RemoteMode:7"});
    settings.remote_mode = 0;
    ReadSettingsFile();
    EXPECT_EQ(settings.remote_mode, 7);
}

TEST_F(RemoteTest, RecordBySearchWordTakesOneDigitAtTheEndOfTheLine) {
    settings.auto_record_by_search = 1;
    run({"Command.Set.RecordBySearchWord:3 ", "Command.Set.RecordBySearchWord:5",
         "Command.Set.RecordBySearchWord:1 (0 ... 4)"});
    EXPECT_EQ(settings.auto_record_by_search, 1);
    EXPECT_EQ(RejectedCommands(), 3);
    run({"Command.Set.RecordBySearchWord:3"});
    EXPECT_EQ(settings.auto_record_by_search, 3);
    run({"Command.Set.RecordBySearchWord:0"});
    EXPECT_EQ(settings.auto_record_by_search, 0);
    run({"Command.Set.RecordBySearchWord:On"});
    EXPECT_EQ(settings.auto_record_by_search, 2);
    run({"Command.Set.RecordBySearchWord:Off"});
    EXPECT_EQ(settings.auto_record_by_search, 0);
}

TEST_F(RemoteTest, MessageModeSwitchesOnWithItsWaitAndOffWithZero) {
    run({"Command.RemoteMsg"});
    EXPECT_EQ(RemoteMsg, 1);
    EXPECT_EQ(RemoteMsgWait, REMOTE_WAIT_DEFAULT);
    EXPECT_EQ(RemoteErrorSeconds(), 5) << "without a value an error stands 5 seconds, not 100";
    EXPECT_TRUE(logged("Start Remote Commands! Please wait ..."));

    rx_->screen().clearLog();
    run({"Command.RemoteMsg:20sec"});
    EXPECT_EQ(RemoteMsgWait, 20);
    EXPECT_EQ(RemoteErrorSeconds(), 20);
    EXPECT_FALSE(logged("Start Remote")) << "already on: no second start message";
    run({"Command.RemoteMsg:-3"});
    EXPECT_EQ(RemoteMsgWait, REMOTE_WAIT_DEFAULT);

    run({"Command.RemoteMsg:0"});
    EXPECT_EQ(RemoteMsg, 0);
    EXPECT_EQ(RemoteMsgWait, 0);
    run({"Command.RemoteMsg:7"});
    EXPECT_EQ(RemoteMsg, 1);
    EXPECT_EQ(RemoteMsgWait, 7);

    RemoteMsg = 0;
    language = LAN_German;
    run({"Command.RemoteMsg"});
    EXPECT_TRUE(logged("Starte Remote-Kommandos! Bitte warten ..."));
}

// --- Timer lines ---

TEST_F(RemoteTest, TheSampleLayoutsQueueTheirTimers) {
    run({"Command.AddTimer:0001,2026-12-08,20:15,01:30,TV,OT,Rec;Name of the Show (Record)",
         "Command.AddTimer:0002,2026-12-08,20:15,01:30,T+,OT,-P-;Name of the Show (Wake Up Timer)",
         "command.addtimer:0003,2026-12-08,24:10,00:30,tv,ed,rec;Late",
         "Command.AddTimer:0006,2026-12-09,06:00,00:30,RA,WD,Rec;Morning",
         "Command.AddTimer:0001,2026-12-09,06:00,00:30,R+,wl,-p-",
         "Command.AddTimer:0001,2026-12-10,20:00,00:45",
         "Command.AddTimer:0005,2026-12-10,21:00,00:45,TV,WE,Rec;A name of more than thirty characters"});
    EXPECT_EQ(queued(), (Lines{"tv:0 +1 20:15-21:45 OT Rec T2 Name of the Show (Record)",
                               "tv:1 +1 20:12-22:00 OT -P- T2 Name of the Show (Wake Up Time",
                               "tv:2 +2 00:10-00:40 ED Rec T2 Late",
                               "ra:5 +2 06:00-06:30 WD Rec T2 Morning",
                               "ra:0 +2 05:57-06:45 WL -P- T2 Bayern 3",
                               "tv:0 +3 20:00-20:45 OT Rec T2 Das Erste HD",
                               "tv:4 +3 21:00-21:45 WE Rec T2 A name of more than thirty cha"}));
    EXPECT_EQ(RejectedCommands(), 0);
}

TEST_F(RemoteTest, ExtLinesFindTheirChannelByNumberServiceIdOrLogicalNumber) {
    settings.rec_name_manual = 1;
    run({"Command.AddTimerExt:Ch_TV0002|2026-12-08,20:15,01:30,003,015,def,OT,Rec;Name of the Show",
         "Command.AddTimerExt:ch_ra0003|2026-12-08,20:15,01:30,000,000,000,WD,-P-;Radio",
         // 40000 is read whole: cut at 32766 it would be 4000, another channel.
         "Command.AddTimerExt:Sid040000|2026-12-08,21:00,00:30,def,def,011,OT,Rec;Forty",
         "Command.AddTimerExt:sid004000|2026-12-08,22:00,00:30,010,005,003,OT,Rec;Four",
         "Command.AddTimerExt:LCN000036|2026-12-08,23:00,00:30,DEF,Def,def,OT,Rec",
         "Command.AddTimerExt:LCN000001|2026-12-09,20:15,01:30,001,002,000"});
    EXPECT_EQ(queued(), (Lines{"tv:1 +1 20:12-22:00 OT Rec T2 Name of the Show_20261208",
                               "ra:2 +1 20:15-21:45 WD -P- T2 Radio", "tv:3 +1 20:57-21:45 OT Rec T2 Forty",
                               "tv:2 +1 21:50-22:35 OT Rec T2 Four_20261208_2150",
                               "tv:4 +1 22:57-23:45 OT Rec T2 BBC One HD_20261208",
                               "tv:0 +2 20:14-21:47 OT Rec T2 Das Erste HD"}));
}

TEST_F(RemoteTest, ByChannelNameFindsTheNameInAnyCaseOrSaysItIsNotFound) {
    run({"Command.AddTimerByChName:das erste hd|2026-12-08,20:15,01:30,def,def,def,OT,Rec;Name of the Show",
         "Command.AddTimerByChName:SWR3|2026-12-08,06:00,02:00,000,000,000,ED,Rec;Wecker"});
    EXPECT_EQ(queued(), (Lines{"tv:0 +1 20:12-22:00 OT Rec T2 Name of the Show", "ra:1 +1 06:00-08:00 ED Rec T2 Wecker"}));

    // Unknown channels: a message only while remote messages are on.
    run({"Command.AddTimerByChName:BBC Two|2026-12-08,20:15,01:30,def,def,def,OT,Rec;Show"});
    EXPECT_FALSE(logged("Channel name not found!"));
    RemoteMsg = 1;
    run({"Command.AddTimerByChName:BBC Two|2026-12-08,20:15,01:30,def,def,def,OT,Rec;Show",
         "Command.AddTimerExt:Sid012345|2026-12-08,20:15,01:30,def,def,def,OT,Rec;Show",
         "Command.AddTimerExt:LCN000099|2026-12-08,20:15,01:30,def,def,def,OT,Rec;Show"});
    EXPECT_TRUE(logged("Channel name not found!"));
    EXPECT_TRUE(logged("\"BBC Two\""));
    EXPECT_TRUE(logged("Service ID not found!"));
    EXPECT_TRUE(logged("\"12345\""));
    EXPECT_TRUE(logged("Logical Channel Number not found!"));
    EXPECT_TRUE(logged("\"99\""));
    EXPECT_EQ(ToSetTimer_max, 2);
    EXPECT_EQ(RejectedCommands(), 4);
}

TEST_F(RemoteTest, DelTimerDeletesTheEqualTimerWhateverItsName) {
    ASSERT_EQ(addTimer(0, 0, 1, "20:15", 90, "Show.rec"), 0);
    ASSERT_EQ(addTimer(0, 0, 1, "20:12", 108, "Show with lead.rec"), 0);
    ASSERT_EQ(addTimer(1, 5, 1, "20:15", 90, "Radio.rec"), 0);
    run({"Command.DelTimer:0001,2026-12-08,20:15,01:30,T+,OT,Rec;another name",
         "Command.DelTimer:0006,2026-12-08,20:15,01:30,RA,OT,Rec"});
    EXPECT_EQ(tableLines(), (Lines{"tv:0 +1 20:15-21:45 OT Rec T4 Show.rec"}));
    // Kind and mode must match too.
    run({"Command.DelTimer:0001,2026-12-08,20:15,01:30,TV,OT,-P-", "Command.DelTimer:0001,2026-12-08,20:15,01:30,TV,ED,Rec"});
    EXPECT_EQ(tableLines().size(), 1u);
    EXPECT_EQ(RejectedCommands(), 2);
    run({"Command.DelTimer:0001,2026-12-08,20:15,01:30"});
    EXPECT_TRUE(tableLines().empty());
    EXPECT_EQ(ToSetTimer_max, 0);

    // A timer added and deleted again before its turn in the queue is not set after all.
    run({"Command.AddTimer:0001,2026-12-09,20:15,01:30,TV,OT,Rec;Show",
         "Command.AddTimer:0002,2026-12-09,20:15,01:30,TV,OT,Rec;Other",
         "Command.AddTimer:0003,2026-12-09,20:15,01:30,TV,OT,Rec;Third",
         "Command.DelTimer:0002,2026-12-09,20:15,01:30,TV,OT,Rec"});
    EXPECT_EQ(queued(), (Lines{"tv:0 +2 20:15-21:45 OT Rec T2 Show", "tv:2 +2 20:15-21:45 OT Rec T2 Third"}));
    EXPECT_EQ(RejectedCommands(), 2);
}

// --- Untrusted lines ---

TEST_F(RemoteTest, RepeatingTimersOfPastDaysMoveOnToTheirComingOccurrenceOneTimeOnesStayRejected) {
    // As a backup made a week ago holds them; now is Monday 2026-12-07 20:00.
    run({"Command.AddTimer:0001,2026-11-30,21:15,00:30,TV,ED,Rec;Daily",     // -> today
         "Command.AddTimer:0002,2026-12-04,06:00,00:30,TV,WD,Rec;Weekdays",   // Friday -> Tuesday
         "Command.AddTimer:0003,2026-11-30,19:30,01:00,TV,WL,Rec;Weekly",     // runs now: today
         "Command.AddTimer:0004,2026-11-29,10:00,01:00,TV,WE,Rec;Weekend",    // Sunday -> Saturday
         "Command.AddTimer:0005,2026-12-06,21:15,00:30,TV,OT,Rec;Once"});
    EXPECT_EQ(queued(), (Lines{"tv:0 +0 21:15-21:45 ED Rec T2 Daily", "tv:1 +1 06:00-06:30 WD Rec T2 Weekdays",
                               "tv:2 +0 19:30-20:30 WL Rec T2 Weekly", "tv:3 +5 10:00-11:00 WE Rec T2 Weekend"}));
    EXPECT_EQ(RejectedCommands(), 1);

    // The receiver moved the series on as well: a DelTimer written from its first day finds it.
    ASSERT_EQ(addTimer(0, 4, 0, "20:15", 60, "Series.rec", 1, TIMER_MODE_DAILY), 0);
    run({"Command.DelTimer:0005,2026-12-01,20:15,01:00,TV,ED,Rec"});
    EXPECT_TRUE(table().empty());
    EXPECT_EQ(RejectedCommands(), 1);
}

TEST_F(RemoteTest, MalformedLinesSetNothingAndAreCounted) {
    const char *bad[] = {
        "Command.AddTimer:0001,2026-12-08,20:15,01:3",                 // too short
        "Command.AddTimer:1,2026-12-08,20:15,01:30,TV,OT,Rec;Shifted",  // shifted columns
        "Command.AddTimer:0001,2026-12-8,20:15,01:30,TV,OT,Rec;Shifted",
        "Command.AddTimer:0001,2026-12-08,20:15,1:30,TV,OT,Rec;Shifted",
        "Command.AddTimer:0001,2026-12-08, 20:15,01:30,TV,OT,Rec;Shifted",
        "Command.AddTimer:00x1,2026-12-08,20:15,01:30,TV,OT,Rec;Letters",
        "Command.AddTimer:0001,2026-12-08,20:15,01:3x,TV,OT,Rec;Letters",
        "Command.AddTimer:-001,2026-12-08,20:15,01:30,TV,OT,Rec;Sign",
        "Command.AddTimer:0000,2026-12-08,20:15,01:30,TV,OT,Rec;No channel 0",
        "Command.AddTimer:0006,2026-12-08,20:15,01:30,TV,OT,Rec;No TV channel 6",
        "Command.AddTimer:0007,2026-12-08,20:15,01:30,RA,OT,Rec;No radio channel 7",
        "Command.AddTimer:0001,1999-12-08,20:15,01:30,TV,OT,Rec;Year",
        "Command.AddTimer:0001,2039-12-08,20:15,01:30,TV,OT,Rec;Year",
        "Command.AddTimer:0001,2038-12-08,20:15,01:30,TV,OT,Rec;Beyond the calendar",
        "Command.AddTimer:0001,2026-13-08,20:15,01:30,TV,OT,Rec;Month",
        "Command.AddTimer:0001,2026-00-08,20:15,01:30,TV,OT,Rec;Month",
        "Command.AddTimer:0001,2026-12-32,20:15,01:30,TV,OT,Rec;Day",
        "Command.AddTimer:0001,2027-02-29,20:15,01:30,TV,OT,Rec;No 29 February",
        "Command.AddTimer:0001,2026-12-08,25:15,01:30,TV,OT,Rec;Hour",
        "Command.AddTimer:0001,2026-12-08,20:60,01:30,TV,OT,Rec;Minute",
        "Command.AddTimer:0001,2026-12-08,20:15,25:00,TV,OT,Rec;Duration",
        "Command.AddTimer:0001,2026-12-08,20:15,00:60,TV,OT,Rec;Duration",
        "Command.AddTimer:0001,2026-12-08,20:15,00:00,TV,OT,Rec;No duration",
        "Command.AddTimer:0001,2026-12-07,18:00,01:30,TV,OT,Rec;Past",
        "Command.AddTimer:0001,2026-12-07,19:00,01:00,TV,OT,Rec;Ends now",
        "Command.AddTimerExt:Ch_TV0001|2026-12-08,20:15,01:30,601,015,def,OT,Rec;Lead",
        "Command.AddTimerExt:Ch_TV0001|2026-12-08,20:15,01:30,-01,015,def,OT,Rec;Lead",
        "Command.AddTimerExt:Ch_TV0001|2026-12-08,20:15,01:30,003,1500,def,OT,Rec;Follow",
        "Command.AddTimerExt:Ch_TV0001|2026-12-08,20:15,01:30,003,015,abc,OT,Rec;Style",
        "Command.AddTimerExt:Ch_XX0001|2026-12-08,20:15,01:30,003,015,def,OT,Rec;Type",
        "Command.AddTimerExt:Ch_TV0009|2026-12-08,20:15,01:30,003,015,def,OT,Rec;Channel",
        "Command.AddTimerExt:Xyz000001|2026-12-08,20:15,01:30,003,015,def,OT,Rec;Prefix",
        "Command.AddTimerExt:Sid065536|2026-12-08,20:15,01:30,003,015,def,OT,Rec;Sid",
        "Command.AddTimerExt:Sid10301|2026-12-08,20:15,01:30,003,015,def,OT,Rec;Five digits",
        "Command.AddTimerExt:Ch_TV0001|2026-12-08,20:15,01:30,003,015,de",
        "Command.AddTimerByChName:SWR3 2026-12-08,20:15,01:30,def,def,def,OT,Rec;No bar",
        "Command.AddTimerByChName:A channel name of more than thirty|2026-12-08,20:15,01:30,def,def,def,OT,Rec",
        "Command.AddTimerByChName:SWR3|2026-12-08,20:15,01:30,def,def,de",
        "Command.AddTimerByChName:|2026-12-08,20:15,01:30,def,def,def,OT,Rec;Empty name",
        "Command.AddTimerByChName:Das Erste HD|2026-12-08,20:15,01:30,def,def,def,OT,Rec;|x",
        "Command.AddTimer:\xFF\xFE\xFD\xFC,\xC3\xA4\xC3\xB6-12-08,20:15,01:30,TV,OT,Rec;Junk",
    };
    int n = 0;
    for (const char *line : bad) {
        EXPECT_EQ(CheckCommands(line), 1) << line;
        n++;
    }
    // The last line is right: its name loses the '|' that a file name cannot hold.
    EXPECT_EQ(RejectedCommands(), n - 1);
    EXPECT_EQ(queued(), (Lines{"tv:0 +1 20:12-22:00 OT Rec T2 x"}));
    EXPECT_TRUE(tableLines().empty());
}

TEST_F(RemoteTest, CoveredTimersAndRepeatedLinesQueueNothingAndAFullQueueRejects) {
    ASSERT_EQ(addTimer(0, 0, 1, "20:00", 120, "Evening.rec"), 0);
    const char *line = "Command.AddTimer:0001,2026-12-08,20:15,01:30,TV,OT,Rec;Inside";
    run({line, "Command.AddTimer:0002,2026-12-08,20:15,01:30,TV,OT,Rec;Twice",
         "Command.AddTimer:0002,2026-12-08,20:15,01:30,TV,OT,Rec;Twice again"});
    EXPECT_EQ(queued(), (Lines{"tv:1 +1 20:15-21:45 OT Rec T2 Twice"}));

    // A running recording covers what starts before it ends.
    sim::ChannelRef ch{sim::kTv, 4};
    ASSERT_GE(rx_->record(ch), 0);
    run({"Command.AddTimer:0005,2026-12-07,21:00,01:00,TV,OT,Rec;Recording"});
    EXPECT_EQ(ToSetTimer_max, 1);

    for (int i = 0; ToSetTimer_max < TIMER_QUEUE_SIZE && i < 100; i++) {
        char text[100];
        std::snprintf(text, sizeof text, "Command.AddTimer:0002,2027-01-15,%02d:15,01:%02d,TV,OT,Rec;Q", 10 + i / 60,
                      i % 60);
        run({text});
    }
    EXPECT_EQ(RejectedCommands(), 0);
    run({"Command.AddTimer:0004,2027-03-01,20:15,01:30,TV,OT,Rec;One too many"});
    EXPECT_EQ(RejectedCommands(), 1);
    EXPECT_EQ(ToSetTimer_max, TIMER_QUEUE_SIZE);
}

TEST_F(RemoteTest, RejectedLinesAreSummedUpWhileMessagesAreOn) {
    const std::string lines = "Command.AddTimer:0001,2026-02-31,20:15,01:30,TV,OT,Rec;Bad\r\n"
                              "Command.AddTimer:0001,2026-12-08,20:15,01:30,TV,OT,Rec;Good\r\n"
                              "Command.Set.RemoteMode:999\r\n";
    testsupport::writeFile(dir_.file(COMMAND_FILE_NAME), lines);
    ReadCommandINI();
    EXPECT_EQ(RejectedCommands(), 2);
    EXPECT_FALSE(logged("rejected")) << "messages are off";
    EXPECT_EQ(ToSetTimer_max, 1);

    testsupport::writeFile(dir_.file(COMMAND_FILE_NAME), "Command.RemoteMsg:3\r\n" + lines);
    ReadCommandINI();
    EXPECT_TRUE(logged("Remote commands rejected: 2"));
    EXPECT_TRUE(logged("\"AddTimer:0001,2026-02-31,20:15,01:30,TV,\""));
    EXPECT_EQ(ToSetTimer_max, 1) << "the good line is queued once";
}

TEST_F(RemoteTest, CommandsTheReaderCannotTakeWholeAreNotCarriedOut) {
    ASSERT_EQ(addTimer(0, 0, 1, "20:00", 60, "Keep.rec"), 0);
    const std::string good = "Command.AddTimer:0002,2026-12-08,20:15,01:30,TV,OT,Rec;Good";
    std::string text = "Command.DeleteAllTimers" + std::string(240, ' ') + "\r\n" +   // longer than 255
                       "Command.DeleteAllTimers\x01\r\n" +                            // a control byte
                       std::string("Command.DeleteAllTimers\0\r\n", 26) +            // a 0 byte
                       good + "\r\n";
    for (int i = 4; i < 300; i++)
        text += ";\r\n";
    text += "Command.DeleteAllTimers\r\n";   // line 301
    testsupport::writeFile(dir_.file(COMMAND_FILE_NAME), text);
    ReadCommandINI();
    EXPECT_EQ(tableLines().size(), 1u);
    EXPECT_EQ(queued(), (Lines{"tv:1 +1 20:15-21:45 OT Rec T2 Good"}));

    // A file longer than what is read: its cut last line is no command; a whole last line without
    // a line end is one.
    ToSetTimer_max = 0;
    std::string big;
    const size_t head = 65099 - good.size() - 2 - 25;   // good ends 25 bytes before the limit
    while (big.size() + 252 <= head)   // fewer than 300 lines
        big += ";" + std::string(249, 'c') + "\r\n";
    big += std::string(head - big.size(), '\n');
    testsupport::writeFile(dir_.file(COMMAND_FILE_NAME), big + good + "\r\nCommand.DeleteAllTimers (the whole table)");
    ReadCommandINI();
    EXPECT_EQ(tableLines().size(), 1u);
    EXPECT_EQ(ToSetTimer_max, 1);
    testsupport::writeFile(dir_.file(COMMAND_FILE_NAME), good + "\r\nCommand.DeleteAllTimers");
    ReadCommandINI();
    EXPECT_TRUE(tableLines().empty());
}

TEST_F(RemoteTest, ATabInALineIsABlankNotJunk) {
    max_Search = 0;
    testsupport::writeFile(dir_.file(COMMAND_FILE_NAME),
                           "Command.AddTimer:0002,2026-12-08,20:15,01:30,TV,OT,Rec;Tab\tname\r\n"
                           "Command.AddTimer:0003,2026-12-08,20:15,01:30,TV,OT,Rec;Trailing tab\t\r\n"
                           "Tatort\t|1-40|Rec\r\n");
    ReadCommandINI();
    EXPECT_EQ(queued(), (Lines{"tv:1 +1 20:15-21:45 OT Rec T2 Tab name", "tv:2 +1 20:15-21:45 OT Rec T2 Trailing tab "}));
    ASSERT_EQ(max_Search, 1);
    EXPECT_STREQ(Search[0].word, "Tatort ");
}

// --- Timer list files ---

TEST_F(RemoteTest, TheTimerListHoldsThreeLinesATimerPaddedToABlock) {
    Create_TimerList(TIMER_FILE_LIST);
    EXPECT_TRUE(rx_->firmware().disk.exists(TIMER_LIST_FILE_NAME));
    EXPECT_EQ(file(TIMER_LIST_FILE_NAME), "") << "no timers: an empty file";
    Create_TimerList(TIMER_FILE_BACKUP);
    EXPECT_FALSE(rx_->firmware().disk.exists(TIMER_BACKUP_FILE_NAME)) << "no timers: no backup";

    ASSERT_EQ(addTimer(0, 1, 2, "06:05", 1505, "Long \"quoted\".rec", 0, 4), 0);
    ASSERT_EQ(addTimer(1, 5, 1, "20:15", 90, "Radio.rec"), 0);
    Create_TimerList(TIMER_FILE_LIST);
    std::string text = "01.Timer:0002,2026-12-09,06:05,25:05,TV,WD,-P-,T4;tagesschau24 HD\r\n"
                       "\"Long quoted.rec\"\r\n\r\n"
                       "02.Timer:0006,2026-12-08,20:15,01:30,Ra,OT,Rec,T4;Yle Radio 1\r\n"
                       "\"Radio.rec\"\r\n\r\n";
    EXPECT_EQ(file(TIMER_LIST_FILE_NAME), text + std::string(512 - text.size(), ' '));

    settings.timerlist_sort = 2;
    Create_TimerList(TIMER_FILE_BACKUP);
    text = "Command.AddTimer:0006,2026-12-08,20:15,01:30,Ra,OT,Rec;Radio\r\n"
           "Command.AddTimer:0002,2026-12-09,06:05,25:05,TV,WD,-P-;Long quoted\r\n"
           "Command.RemoteMsg:5\r\n";
    EXPECT_EQ(file(TIMER_BACKUP_FILE_NAME), text + std::string(512 - text.size(), ' '));

    // With the timers gone the backup stays as it was.
    DelAllTimers(2);
    Create_TimerList(TIMER_FILE_BACKUP);
    EXPECT_EQ(file(TIMER_BACKUP_FILE_NAME).substr(0, text.size()), text);
}

TEST_F(RemoteTest, RestoringTheBackupQueuesWhatIsMissing) {
    settings.rec_tuner = 0;
    ASSERT_EQ(addTimer(0, 0, 1, "20:15", 90, "A name of more than thirty characters.rec"), 0);
    ASSERT_EQ(addTimer(1, 5, 1, "06:00", 30, "Radio.rec", 1, 4), 0);
    ASSERT_EQ(addTimer(0, 3, 2, "21:00", 45, "Wake up.rec", 0), 0);
    Create_TimerList(TIMER_FILE_BACKUP);

    // All still there: nothing to do, but messages are on for what the queue would set.
    ReadCommandFile(COMMAND_KIND_BACKUP);
    EXPECT_EQ(ToSetTimer_max, 0);
    EXPECT_EQ(RemoteMsg, 1);
    EXPECT_EQ(RemoteMsgWait, 5);

    DelAllTimers(2);
    ReadCommandFile(COMMAND_KIND_BACKUP);
    EXPECT_EQ(queued(), (Lines{"tv:0 +1 20:15-21:45 OT Rec T1 A name of more than thirty cha",
                               "ra:5 +1 06:00-06:30 WD Rec T1 Radio", "tv:3 +2 21:00-21:45 OT -P- T1 Wake up"}));
    EXPECT_EQ(RejectedCommands(), 0);
    EXPECT_TRUE(rx_->firmware().disk.exists(TIMER_BACKUP_FILE_NAME)) << "a backup is kept after reading";
}

}  // namespace
