// Combining and cutting timers of one channel, against the virtual receiver's timer table.
//   Combining   overlapping timers merge, an enclosing one widens, a second neighbour joins,
//               repeating neighbours go on through the queue, a refused merge changes nothing
//   Cutting     lead and follow shrink to meet the neighbours, a refused cut is undone,
//               deleting a cut timer extends its neighbour again
//   "-P-"       a recording timer extends over adjacent "-P-" timers, the second record press
#include "tests/unit/timers_testing.h"

#include <algorithm>

#include "frame/idle.h"
#include "remote/commands.h"
#include "timers/combine.h"
#include "timers/set.h"

namespace {

using timertest::TimerTest;

// --- Combining ---

TEST_F(TimerTest, CombineMergesOverlappingRecordingTimers) {
    ASSERT_EQ(addTimer(timer(0, 1, "19:00", 70, "Film.rec")), 0);
    put(TIMER_SLOT_NEW, timer(0, 1, "20:00", 60, "News"));
    EXPECT_EQ(Set_Timer(TIMER_SLOT_NEW), 0);
    EXPECT_EQ(described(), std::vector<std::string>{"tv:0 +1 19:00-21:00 OT Rec T2 Film+1900-2100.rec"});
    EXPECT_EQ(TimerError, 0);
}

TEST_F(TimerTest, AnEnclosingNewTimerWidensTheExistingOne) {
    ASSERT_EQ(addTimer(timer(0, 1, "20:00", 30, "Short.rec")), 0);
    put(TIMER_SLOT_NEW, timer(0, 1, "19:30", 90, "Long"));
    EXPECT_EQ(Set_Timer(TIMER_SLOT_NEW), 0);
    EXPECT_EQ(described(), std::vector<std::string>{"tv:0 +1 19:30-21:00 OT Rec T2 Short+1930-2100.rec"});
}

TEST_F(TimerTest, ATimerWithinAnotherOrOfAnotherKindIsSetOnItsOwn) {
    ASSERT_EQ(addTimer(timer(0, 1, "19:00", 120, "Long.rec")), 0);
    put(TIMER_SLOT_NEW, timer(0, 1, "19:30", 30, "Inside"));
    EXPECT_EQ(Set_Timer(TIMER_SLOT_NEW), 0);
    put(TIMER_SLOT_NEW, timer(0, 1, "20:30", 60, "Switch", 0, 1, 0));
    EXPECT_EQ(Set_Timer(TIMER_SLOT_NEW), 0);
    EXPECT_EQ(described(), (std::vector<std::string>{"tv:0 +1 19:00-21:00 OT Rec T2 Long.rec",
                                                      "tv:0 +1 19:30-20:00 OT Rec T2 Inside.rec",
                                                      "tv:0 +1 20:30-21:30 OT -P- T2 Switch.rec"}));
}

TEST_F(TimerTest, AMergeReachesOneMoreNeighbourAndDeletesIt) {
    ASSERT_EQ(addTimer(timer(0, 1, "19:00", 70, "Film.rec")), 0);
    ASSERT_EQ(addTimer(timer(4, 1, "19:00", 60, "Other.rec", 0, 0)), 0);
    ASSERT_EQ(addTimer(timer(0, 1, "20:50", 70, "Late.rec")), 0);
    put(TIMER_SLOT_NEW, timer(0, 1, "20:00", 60, "News"));
    EXPECT_EQ(Set_Timer(TIMER_SLOT_NEW), 0);
    EXPECT_EQ(described(), (std::vector<std::string>{"tv:0 +1 19:00-22:00 OT Rec T2 Film+1900-2200.rec",
                                                      "tv:4 +1 19:00-20:00 OT Rec T1 Other.rec"}));
}

TEST_F(TimerTest, AMergedWeeklyTimerStaysWeeklyForTheNextWeek) {
    ASSERT_EQ(addTimer(timer(0, 1, "19:00", 70, "Serie.rec", TIMER_MODE_WEEKLY)), 0);
    put(TIMER_SLOT_NEW, timer(0, 1, "20:00", 60, "News"));
    EXPECT_EQ(Set_Timer(TIMER_SLOT_NEW), 0);
    EXPECT_EQ(described(), std::vector<std::string>{"tv:0 +1 19:00-21:00 OT Rec T2 Serie+1900-2100.rec"});
    ASSERT_EQ(ToSetTimer_max, 1);
    rx_->advance(1000);   // the idle duty sets the queued occurrence
    EXPECT_EQ(ToSetTimer_max, 0);
    EXPECT_EQ(described(), (std::vector<std::string>{"tv:0 +1 19:00-21:00 OT Rec T2 Serie+1900-2100.rec",
                                                      "tv:0 +8 19:00-20:10 WL Rec T2 Serie.rec"}));
}

TEST_F(TimerTest, RepeatingNeighboursMoveOnToTheirNextDayOfTheirKind) {
    // Friday's weekday timer goes on on Monday, Sunday's weekend timer on Saturday.
    ASSERT_EQ(addTimer(timer(0, 4, "19:00", 70, "Daily.rec", TIMER_MODE_WEEKDAYS)), 0);
    ASSERT_EQ(addTimer(timer(4, 6, "19:00", 70, "Weekend.rec", TIMER_MODE_WEEKEND)), 0);
    put(TIMER_SLOT_NEW, timer(0, 4, "20:00", 60, "A"));
    ASSERT_EQ(Set_Timer(TIMER_SLOT_NEW), 0);
    put(TIMER_SLOT_NEW, timer(4, 6, "20:00", 60, "B"));
    ASSERT_EQ(Set_Timer(TIMER_SLOT_NEW), 0);
    ASSERT_EQ(ToSetTimer_max, 2);
    EXPECT_EQ(describe(ToSetTimer[0]), "tv:0 +7 19:00-20:10 WD Rec T2 Daily.rec");
    EXPECT_EQ(describe(ToSetTimer[1]), "tv:4 +12 19:00-20:10 WE Rec T2 Weekend.rec");
}

TEST_F(TimerTest, ARefusedMergeChangesNothing) {
    // The merged timer would need tuner 2 at 20:30 (B) and tuner 1 at 21:30 (C): refused on both.
    ASSERT_EQ(addTimer(timer(0, 1, "19:00", 70, "Film.rec")), 0);
    ASSERT_EQ(addTimer(timer(4, 1, "20:30", 10, "B.rec")), 0);
    ASSERT_EQ(addTimer(timer(0, 1, "20:50", 70, "Late.rec", TIMER_MODE_WEEKLY)), 0);
    ASSERT_EQ(addTimer(timer(8, 1, "21:30", 15, "C.rec", 0, 0)), 0);
    auto before = described();
    put(TIMER_SLOT_NEW, timer(0, 1, "20:00", 60, "News"));
    EXPECT_EQ(Timer_Combination(TIMER_SLOT_NEW), 1);
    EXPECT_NE(TimerError, 0);
    EXPECT_EQ(describe(TimerList[TIMER_SLOT_NEW].rec), "tv:0 +1 20:00-21:00 OT Rec T2 News") << "the slot keeps its timer";
    EXPECT_EQ(ToSetTimer_max, 0) << "no next occurrence of a timer that stays as it was";
    auto after = described();
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before) << "the deleted neighbour is back";
}

// A queued timer of a command file that neither merges nor is set: its own box, not its
// neighbour's (the merge borrowed the reference slot the box is drawn from).
TEST_F(TimerTest, AQueuedTimerThatNeitherMergesNorIsSetShowsItsOwnBox) {
    ASSERT_EQ(addTimer(timer(0, 1, "19:00", 70, "Film.rec")), 0);
    put(TIMER_SLOT_NEW, timer(0, 1, "20:00", 60, "News"));
    CopyTimerToSet(QUEUE_APPEND, TIMER_SLOT_NEW);
    settings.search_record_delay = 0;
    RemoteMsg = 1;
    rx_->firmware().timers.faults.failAfterCalls = 0;
    Idle_Chain();
    EXPECT_EQ(ToSetTimer_max, 0);
    EXPECT_TRUE(rx_->screen().shows("20:00 - 21:00  \"News\""));
    EXPECT_FALSE(rx_->screen().shows("\"Film\""));
    EXPECT_EQ(describe(TimerList[TIMER_SLOT_REFERENCE].rec), "tv:0 +1 20:00-21:00 OT Rec T2 News");
}

// --- Cutting ---

class TimerCut : public TimerTest {
protected:
    void SetUp() override {
        TimerTest::SetUp();
        settings.combine_timers = COMBINE_AND_CUT;
        settings.rec_lead_time = 5;
        settings.rec_stop_add = 10;
    }
};

TEST_F(TimerCut, LeadShrinksAndTheNeighbourIsCutToMeetTheNewTimer) {
    ASSERT_EQ(addTimer(timer(0, 1, "19:00", 80, "Film.rec")), 0);
    put(TIMER_SLOT_NEW, timer(0, 1, "20:15", 45, "News"));
    EXPECT_EQ(Timer_Cut(TIMER_SLOT_NEW, 5, 10), 0);
    EXPECT_EQ(described(), (std::vector<std::string>{"tv:0 +1 19:00-20:15 OT Rec T2 Film.rec",
                                                      "tv:0 +1 20:15-21:10 OT Rec T2 News.rec"}));

    // Deleting the later of the two gives the earlier its follow time back.
    put(TIMER_SLOT_REFERENCE, table()[1]);
    EXPECT_EQ(Timer_EditSave(EDIT_DELETE, TIMER_SLOT_REFERENCE), 0);
    EXPECT_EQ(described(), std::vector<std::string>{"tv:0 +1 19:00-20:25 OT Rec T2 Film.rec"});
}

TEST_F(TimerCut, ASuccessorStartsWhereTheNewTimerEnds) {
    ASSERT_EQ(addTimer(timer(0, 1, "20:55", 65, "Late.rec", TIMER_MODE_DAILY)), 0);
    put(TIMER_SLOT_NEW, timer(0, 1, "20:00", 60, "News"));
    EXPECT_EQ(Timer_Cut(TIMER_SLOT_NEW, 5, 10), 0);
    EXPECT_EQ(described(), (std::vector<std::string>{"tv:0 +1 21:00-22:00 OT Rec T2 Late.rec",
                                                      "tv:0 +1 19:55-21:00 OT Rec T2 News.rec"}));
    ASSERT_EQ(ToSetTimer_max, 1) << "the daily timer goes on tomorrow";
    EXPECT_EQ(describe(ToSetTimer[0]), "tv:0 +2 20:55-22:00 ED Rec T2 Late.rec");

    put(TIMER_SLOT_REFERENCE, table()[1]);
    EXPECT_EQ(Timer_EditSave(EDIT_DELETE, TIMER_SLOT_REFERENCE), 0);
    EXPECT_EQ(described(), std::vector<std::string>{"tv:0 +1 20:55-22:00 OT Rec T2 Late.rec"})
        << "the later one starts its lead time earlier again";
}

TEST_F(TimerCut, ACutTheFirmwareRefusesIsUndone) {
    // The table is full: the neighbour's cut is taken, the new timer is not.
    ASSERT_EQ(addTimer(timer(0, 1, "19:00", 80, "Film.rec", TIMER_MODE_WEEKLY)), 0);
    for (int i = 1; i < sim::Timers::kMaxTimers; i++) {
        char hhmm[8];
        std::snprintf(hhmm, sizeof hhmm, "%02d:00", i % 24);
        ASSERT_EQ(addTimer(timer(13, 2 + i / 24, hhmm, 30, "Filler.rec")), 0) << i;
    }
    auto before = described();
    put(TIMER_SLOT_NEW, timer(0, 1, "20:15", 45, "News"));
    EXPECT_EQ(Timer_Cut(TIMER_SLOT_NEW, 5, 10), 1);
    EXPECT_EQ(TimerError, sim::Timers::kRefusedTableFull);
    EXPECT_EQ(described(), before);
    EXPECT_EQ(ToSetTimer_max, 0);
}

TEST_F(TimerCut, CuttingIsOnlyForCombineTwoAndNotForTheWorkSlots) {
    put(TIMER_SLOT_NEW, timer(0, 1, "20:15", 45, "News"));
    EXPECT_EQ(Timer_Cut(TIMER_SLOT_REFERENCE, 5, 10), 1);
    EXPECT_EQ(Timer_Cut(TIMER_SLOT_WORK, 5, 10), 1);
    settings.combine_timers = COMBINE_MERGE;
    EXPECT_EQ(Timer_Cut(TIMER_SLOT_NEW, 5, 10), 1);
    EXPECT_EQ(Timer_DelCut(TIMER_SLOT_REFERENCE), 1);
    EXPECT_EQ(Timer_RCutP(TIMER_SLOT_NEW), 1);
    EXPECT_TRUE(table().empty());
}

TEST_F(TimerCut, ANewTimerAlreadyCoveredIsNotSetAgain) {
    ASSERT_EQ(addTimer(timer(0, 1, "19:00", 180, "Long.rec")), 0);
    put(TIMER_SLOT_NEW, timer(0, 1, "20:00", 30, "Inside"));
    EXPECT_EQ(Timer_Cut(TIMER_SLOT_NEW, 5, 10), 0);
    EXPECT_EQ(table().size(), 1u);
}

// --- "-P-" timers ---

TEST_F(TimerCut, ARecordingTimerExtendsOverAdjacentSwitchTimers) {
    ASSERT_EQ(addTimer(timer(0, 1, "19:00", 60, "Before.rec", 0, 1, 0)), 0);
    ASSERT_EQ(addTimer(timer(0, 1, "20:00", 60, "Show.rec")), 0);
    ASSERT_EQ(addTimer(timer(0, 1, "21:00", 30, "After.rec", 0, 1, 0)), 0);
    ReadTimers();
    CopyTimer(TIMER_SLOT_NEW, 1);
    EXPECT_EQ(Timer_RCutP(TIMER_SLOT_NEW), 0);
    EXPECT_EQ(described()[1], "tv:0 +1 19:55-21:10 OT Rec T2 Show.rec");
}

TEST_F(TimerTest, TheSecondRecordPressTurnsASwitchTimerIntoARecording) {
    settings.manual_timer_method = 3;
    ASSERT_EQ(addTimer(timer(0, 1, "20:00", 60, "Show.rec", 0, 1, 0)), 0);
    ReadTimers();
    CopyTimer(TIMER_SLOT_REFERENCE, 0);
    EXPECT_EQ(ChangePTimer(), 0);
    EXPECT_EQ(described(), std::vector<std::string>{"tv:0 +1 19:57-21:15 OT Rec T2 Show.rec"});
    CopyTimer(TIMER_SLOT_REFERENCE, 0);
    EXPECT_EQ(ChangePTimer(), 1) << "a recording timer opens the editor";
    settings.manual_timer_method = 2;
    EXPECT_EQ(ChangePTimer(), 1);
}

TEST_F(TimerTest, ARefusedSecondPressLeavesTheSwitchTimer) {
    settings.manual_timer_method = 4;
    ASSERT_EQ(addTimer(timer(0, 1, "20:00", 60, "Show.rec", 0, 1, 0)), 0);
    ReadTimers();
    CopyTimer(TIMER_SLOT_REFERENCE, 0);
    auto before = described();
    rx_->firmware().timers.faults.failAfterCalls = 0;
    EXPECT_EQ(ChangePTimer(), 0);
    EXPECT_NE(TimerError, 0);
    rx_->firmware().timers.faults.failAfterCalls = -1;
    rx_->advance(1000);   // the queued "-P-" timer is set again
    EXPECT_EQ(described(), before);
}

}  // namespace
