// The timer table copy and setting timers, against the virtual receiver's timer table.
//   Copy and queue   the 70 mirrored slots, sorting, the queue's limits, deleting in bulk
//   Rules            the collision count (one-time and repeating timers), covered timers
//   Composing        a timer from a buffered event: title, channel name, kind by method; a past
//                    event is not recorded
//   Adding           names, the retry on the other tuner
//   Error boxes      collision and other refusals in three languages, the queued timer's box
#include "tests/unit/timers_testing.h"

#include "epgdb/buffer.h"
#include "frame/state.h"
#include "timers/names.h"
#include "timers/set.h"

namespace {

using timertest::TimerTest;

// --- Copy and queue ---

TEST_F(TimerTest, TheCopyMirrorsSeventyTimersAndLeavesTheWorkSlots) {
    for (int i = 0; i < 72; i++) {
        char name[20], hhmm[8];
        std::snprintf(name, sizeof name, "T%02d.rec", i);
        std::snprintf(hhmm, sizeof hhmm, "%02d:00", i % 24);
        ASSERT_EQ(addTimer(timer(i % 40, 1 + i / 24, hhmm, 30, name, 0, 3)), 0) << i;
    }
    std::strcpy(TimerList[TIMERS_MIRRORED].rec.name, "record now");
    ReadTimers();
    EXPECT_EQ(max_Timers, 72);
    EXPECT_STREQ(TimerList[69].rec.name, "T69.rec");
    EXPECT_EQ(TimerList[69].index, 69);
    EXPECT_STREQ(TimerList[TIMERS_MIRRORED].rec.name, "record now");
}

TEST_F(TimerTest, SortingByStartKeepsTheOrderOfEqualStartsAndTheirIndexes) {
    addTimer(timer(1, 2, "20:00", 30, "c.rec"));
    addTimer(timer(2, 1, "20:00", 30, "a.rec"));
    addTimer(timer(4, 1, "20:00", 30, "b.rec", 0, 0));
    addTimer(timer(3, 1, "18:00", 30, "first.rec"));
    ReadTimers();
    settings.timerlist_sort = 1;
    SortTimer(2);
    EXPECT_STREQ(TimerList[0].rec.name, "c.rec") << "sort 1 keeps the firmware's order";
    settings.timerlist_sort = 2;
    SortTimer(1);
    EXPECT_STREQ(TimerList[0].rec.name, "c.rec") << "only the list's kind sorts";
    SortTimer(2);
    const char *order[] = {"first.rec", "a.rec", "b.rec", "c.rec"};
    const int index[] = {3, 1, 2, 0};
    for (int i = 0; i < 4; i++) {
        EXPECT_STREQ(TimerList[i].rec.name, order[i]);
        EXPECT_EQ(TimerList[i].index, index[i]);
    }
}

TEST_F(TimerTest, TheQueueKeepsSeventyInOrderAndIgnoresBadSlots) {
    for (int i = 0; i < 72; i++) {
        put(TIMER_SLOT_NEW, timer(i % 40, 1, "20:00", 30 + i));
        CopyTimerToSet(QUEUE_APPEND, TIMER_SLOT_NEW);
    }
    EXPECT_EQ(ToSetTimer_max, TIMER_QUEUE_SIZE) << "a full queue drops the rest";
    EXPECT_EQ(CopyTimerToSet(QUEUE_APPEND, 76), TIMER_QUEUE_SIZE);
    EXPECT_EQ(CopyTimerToSet(QUEUE_TAKE_FIRST, 74), 69);
    EXPECT_EQ(TimerList[74].rec.duration, 30);
    EXPECT_EQ(TimerList[74].index, -1);
    EXPECT_EQ(CopyTimerToSet(QUEUE_TAKE_FIRST, 74), 68);
    EXPECT_EQ(TimerList[74].rec.duration, 31);
    EXPECT_EQ(CopyTimerToSet(QUEUE_TAKE_FIRST, -1), 68);
    CopyTimer(80, 74);
    CopyTimer(74, -3);
    EXPECT_EQ(TimerList[74].rec.duration, 31);
}

TEST_F(TimerTest, DeletingInBulkTakesOneKindOrAllAndEmptiesTheQueue) {
    addTimer(timer(0, 1, "20:00", 30, "p1.rec", 0, 1, 0));
    addTimer(timer(4, 1, "20:00", 30, "r1.rec", 0, 0));
    addTimer(timer(8, 2, "20:00", 30, "p2.rec", 0, 1, 0));
    addTimer(timer(13, 3, "20:00", 30, "r2.rec"));
    addTimer(timer(13, 4, "20:00", 30, "p4.rec", 0, 1, 2));   // any kind but 1 is a "-P-" timer
    put(TIMER_SLOT_NEW, timer(0, 4, "20:00", 30));
    CopyTimerToSet(QUEUE_APPEND, TIMER_SLOT_NEW);
    DelAllTimers(0);
    EXPECT_EQ(ToSetTimer_max, 0);
    ASSERT_EQ(max_Timers, 2);
    EXPECT_STREQ(TimerList[0].rec.name, "r1.rec");
    EXPECT_STREQ(TimerList[1].rec.name, "r2.rec");
    addTimer(timer(0, 1, "20:00", 30, "p3.rec", 0, 1, 0));
    DelAllTimers(1);
    ASSERT_EQ(max_Timers, 1);
    EXPECT_STREQ(TimerList[0].rec.name, "p3.rec");
    DelAllTimers(2);
    EXPECT_EQ(max_Timers, 0);

    // Timers beyond the copy's seventy go too.
    for (int i = 0; i < 75; i++) {
        char hhmm[8];
        std::snprintf(hhmm, sizeof hhmm, "%02d:00", i % 24);
        ASSERT_EQ(addTimer(timer(13, 1 + i / 24, hhmm, 30, "x.rec", 0, 1, i >= 72 ? 0 : 1)), 0) << i;
    }
    DelAllTimers(0);
    EXPECT_EQ(max_Timers, 72) << "the three -P- timers beyond the copy";
    DelAllTimers(2);
    EXPECT_EQ(max_Timers, 0);
}

// --- Rules ---

TEST_F(TimerTest, CollisionsCountOtherChannelsOnceAndOneChannelShares) {
    ASSERT_EQ(addTimer(timer(0, 1, "20:00", 60, "A.rec")), 0);
    put(TIMER_SLOT_NEW, timer(4, 1, "20:30", 90));
    int same = -1;
    EXPECT_EQ(CheckTimerCollision(TIMER_SLOT_NEW, &same), 1);
    EXPECT_EQ(same, 0);
    EXPECT_TRUE(TimerCollisionFree(TIMER_SLOT_NEW));
    ASSERT_EQ(addTimer(timer(4, 1, "20:30", 90, "B.rec", 0, 0)), 0);
    put(TIMER_SLOT_NEW, timer(8, 1, "20:45", 30));
    EXPECT_EQ(CheckTimerCollision(TIMER_SLOT_NEW, &same), 2);
    EXPECT_FALSE(TimerCollisionFree(TIMER_SLOT_NEW)) << "a third tuner would be needed";
    put(TIMER_SLOT_NEW, timer(0, 1, "20:40", 30));
    EXPECT_EQ(CheckTimerCollision(TIMER_SLOT_NEW, &same), 1);
    EXPECT_EQ(same, 1);
    put(TIMER_SLOT_NEW, timer(8, 1, "21:00", 30));
    EXPECT_EQ(CheckTimerCollision(TIMER_SLOT_NEW, &same), 1) << "A ends when it begins";
    EXPECT_EQ(CheckTimerCollision(90, &same), 99);
}

TEST_F(TimerTest, TwoTimersOfOneChannelOnOneTunerCountOnce) {
    ASSERT_EQ(addTimer(timer(0, 1, "20:00", 60, "A.rec")), 0);
    ASSERT_EQ(addTimer(timer(0, 1, "20:30", 60, "A2.rec")), 0);
    put(TIMER_SLOT_NEW, timer(4, 1, "20:15", 60));
    EXPECT_EQ(CheckTimerCollision(TIMER_SLOT_NEW, nullptr), 1);
}

TEST_F(TimerTest, RepeatingTimersCollideOnTheDaysTheyOccur) {
    struct Case {
        int mode, startDay, newDay, expected;
    } cases[] = {
        {3, 0, 7, 1}, {3, 0, 8, 0},                  // weekly on Monday: a later Monday, not Tuesday
        {1, 0, 3, 1},                                // every day
        {2, 0, 5, 1}, {2, 0, 4, 0},                  // weekend: Saturday, not Friday
        {4, 0, 8, 1}, {4, 0, 12, 0},                 // weekdays: Tuesday, not Saturday
        {3, 2, 0, 0},                                // a timer that begins later does not reach back
        {0, 0, 7, 0},                                // one time: once only
    };
    for (const Case &c : cases) {
        DelAllTimers(2);
        ASSERT_EQ(addTimer(timer(0, c.startDay, "21:00", 60, "Weekly.rec", c.mode)), 0);
        put(TIMER_SLOT_NEW, timer(4, c.newDay, "21:30", 60));
        EXPECT_EQ(CheckTimerCollision(TIMER_SLOT_NEW, nullptr), c.expected)
            << "mode " << c.mode << " from day " << c.startDay << ", new on day " << c.newDay;
    }
}

TEST_F(TimerTest, ACoveredTimerLiesWithinATimerOrARecordingOfItsChannel) {
    ASSERT_EQ(addTimer(timer(0, 1, "20:00", 60, "A.rec")), 0);
    put(TIMER_SLOT_NEW, timer(0, 1, "19:00", 60));
    EXPECT_EQ(TimerAlreadyExist(TIMER_SLOT_NEW), 0) << "an event ending when the timer starts";
    put(TIMER_SLOT_NEW, timer(0, 1, "20:10", 40));
    EXPECT_EQ(TimerAlreadyExist(TIMER_SLOT_NEW), 1);
    put(TIMER_SLOT_NEW, timer(0, 1, "20:00", 60));
    EXPECT_EQ(TimerAlreadyExist(TIMER_SLOT_NEW), 1);
    put(TIMER_SLOT_NEW, timer(0, 1, "20:30", 31));
    EXPECT_EQ(TimerAlreadyExist(TIMER_SLOT_NEW), 0);
    put(TIMER_SLOT_NEW, timer(0, 1, "20:10", 40, "P", 0, 1, 0));
    EXPECT_EQ(TimerAlreadyExist(TIMER_SLOT_NEW), 0) << "a -P- timer is not covered by a recording timer";
    ASSERT_GE(rx_->record({sim::kTv, 5}), 0);   // records until 22:00
    put(TIMER_SLOT_NEW, timer(5, 0, "21:00", 60));
    EXPECT_EQ(TimerAlreadyExist(TIMER_SLOT_NEW), 1);
    put(TIMER_SLOT_NEW, timer(5, 0, "21:30", 60));
    EXPECT_EQ(TimerAlreadyExist(TIMER_SLOT_NEW), 0) << "the recording ends half an hour before the timer";
    put(TIMER_SLOT_NEW, timer(5, 0, "22:00", 60));
    EXPECT_EQ(TimerAlreadyExist(TIMER_SLOT_NEW), 0);
}

// --- Composing ---

// Channel 3's only event: today from hh:mm for `minutes`, with the stored text `text`.
static void oneEvent(char *text, int hh, int mm, int minutes)
{
    settings.compress_text = 0;
    EpgEvent *e = EpgRecord(3, 0);
    std::memset(e, 0, sizeof *e);
    e->start_mjd = e->end_mjd = timertest::kToday;
    e->start_hour = byte(hh);
    e->start_min = byte(mm);
    e->end_hour = byte(hh + (mm + minutes) / 60);
    e->end_min = byte((mm + minutes) % 60);
    e->dur_hour = byte(minutes / 60);
    e->dur_min = byte(minutes % 60);
    e->text = text;
    max_Event[3] = 1;
}

TEST_F(TimerTest, AnEventBecomesATimerNamedByItsTitleOrItsChannel) {
    char film[] = "Film/Teil 2: Ende? ~ Drama|Lang";
    oneEvent(film, 21, 30, 95);
    settings.rec_tuner = 3;
    ASSERT_EQ(BufToTimer(3, 0), 0);
    EXPECT_EQ(describe(TimerList[TIMER_SLOT_NEW].rec), "tv:3 +0 21:30-23:05 OT Rec T4 Film-Teil 2 Ende");
    EXPECT_EQ(TimerList[TIMER_SLOT_NEW].rec.name_fixed, 1);
    char x[] = "X|only a long text";
    oneEvent(x, 21, 30, 95);
    settings.manual_timer_method = 2;
    ASSERT_EQ(BufToTimer(3, 0), 0);
    EXPECT_EQ(describe(TimerList[TIMER_SLOT_NEW].rec), "tv:3 +0 21:30-23:05 OT -P- T4 ARD-alpha HD")
        << "a title under two characters gives the channel's name";
    EXPECT_EQ(BufToTimer(3, 1), 1) << "no such event";
}

TEST_F(TimerTest, RecordOnAPastEventSetsNothingAndSaysSo) {
    char news[] = "News";
    oneEvent(news, 18, 0, 60);
    _svcType = 0;
    _svcNum = 3;
    settings.view = 0;
    search_mode = 0;
    ListOffset = cursor = 0;
    RecordSelectedEvent();
    EXPECT_TRUE(rx_->screen().shows("This event is already over!"));
    EXPECT_EQ(help, 2);
    EXPECT_TRUE(table().empty());
}

// --- Adding ---

TEST_F(TimerTest, SetTimerEndsNamesInRecAndNamesNamelessTimersAfterTheChannel) {
    settings.combine_timers = 0;
    put(TIMER_SLOT_NEW, timer(0, 1, "20:00", 30, std::string(60, 'x').c_str()));
    EXPECT_EQ(Set_Timer(TIMER_SLOT_NEW), 0);
    put(TIMER_SLOT_NEW, timer(4, 1, "20:00", 30, "Krimi.REC", 0, 0));
    EXPECT_EQ(Set_Timer(TIMER_SLOT_NEW), 0);
    put(TIMER_SLOT_NEW, timer(8, 2, "20:00", 30, ""));
    EXPECT_EQ(Set_Timer(TIMER_SLOT_NEW), 0);
    auto t = table();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(std::string(t[0].name), std::string(40, 'x') + ".rec");
    EXPECT_STREQ(t[1].name, "Krimi.REC");
    EXPECT_STREQ(t[2].name, "RTL Television.rec");
    EXPECT_EQ(TimerError, 0);
    EXPECT_EQ(max_Timers, 3) << "the copy is read again";
}

TEST_F(TimerTest, ARefusedTimerIsTriedOnceMoreOnTheOtherTuner) {
    ASSERT_EQ(addTimer(timer(0, 1, "20:00", 60, "A.rec", 0, 1)), 0);
    put(TIMER_SLOT_NEW, timer(4, 1, "20:30", 60, "B", 0, 1));
    EXPECT_EQ(Set_Timer(TIMER_SLOT_NEW), 0);
    EXPECT_EQ(described()[1], "tv:4 +1 20:30-21:30 OT Rec T1 B.rec") << "tuner 1 was taken";

    rx_->firmware().timers.faults.failAfterCalls = 0;
    const int tuners[][2] = {{0, 1}, {1, 0}, {3, 3}};
    for (const auto &tuner : tuners) {
        put(TIMER_SLOT_NEW, timer(8, 2, "20:00", 60, "C", 0, tuner[0]));
        EXPECT_EQ(Set_Timer(TIMER_SLOT_NEW), 1);
        EXPECT_EQ(TimerList[TIMER_SLOT_NEW].rec.tuner, tuner[1]) << "the retry of tuner " << tuner[0];
        EXPECT_EQ(TimerError, sim::Timers::kRefusedByFault);
    }
    EXPECT_EQ(table().size(), 2u);
}

// --- Error boxes ---

class TimerErrorBox : public TimerTest {
protected:
    // A on tuner 2 and B on tuner 1 at 20:30; C on a third transponder is refused.
    void refuseThird() {
        settings.combine_timers = 0;
        ASSERT_EQ(addTimer(timer(0, 1, "20:00", 60, "A.rec", 0, 1)), 0);
        ASSERT_EQ(addTimer(timer(4, 1, "20:30", 60, "Das Leben der Anderen.rec", 0, 0)), 0);
        put(TIMER_SLOT_NEW, timer(8, 1, "20:45", 30, "C"));
        ASSERT_EQ(Set_Timer(TIMER_SLOT_NEW), 1);
        ASSERT_EQ(TimerError, TIMER_COLLISION_BASE + 1) << "the retry on tuner 1 meets B";
        ASSERT_EQ(table().size(), 2u);
    }
};

TEST_F(TimerErrorBox, ACollisionNamesTheTimerItsChannelTimesAndName) {
    refuseThird();
    TimerErrorMsg();
    EXPECT_TRUE(rx_->screen().shows("Timer Setting Error!"));
    EXPECT_TRUE(rx_->screen().shows("Collision with timer nr. 2 at channel 5"));
    EXPECT_TRUE(rx_->screen().shows("20:30 - 21:30  \"Das Leben der Anderen\""));
    EXPECT_EQ(help, 2) << "the next key closes it";
    language = LAN_German;
    TimerErrorMsg();
    EXPECT_TRUE(rx_->screen().shows("Aufnahme konnte nicht gesetzt werden!"));
    EXPECT_TRUE(rx_->screen().shows("Kollision mit Timer Nr. 2 auf Programm 5"));
    language = LAN_Finnish;
    TimerErrorMsg();
    EXPECT_TRUE(rx_->screen().shows("Virhe ajastuksen asettamisessa!"));
    EXPECT_TRUE(rx_->screen().shows("Kanavalla 5 on samanaikainen ajastus nro 2"));
}

TEST_F(TimerErrorBox, OtherRefusalsAndQuietWithoutAnError) {
    TimerError = 0;
    help = 0;
    TimerErrorMsg();
    EXPECT_EQ(help, 0);
    EXPECT_FALSE(rx_->screen().shows("Timer Setting Error!"));
    rx_->firmware().timers.faults.failAfterCalls = 0;
    put(TIMER_SLOT_NEW, timer(8, 1, "20:45", 30, "C"));
    ASSERT_EQ(Set_Timer(TIMER_SLOT_NEW), 1);
    TimerErrorMsg();
    EXPECT_TRUE(rx_->screen().shows("Invalid Entry or No resource available!"));
    EXPECT_FALSE(rx_->screen().shows("Collision"));
}

TEST_F(TimerErrorBox, AQueuedTimersBoxShowsItsChannelDateAndTimes) {
    refuseThird();
    CopyTimer(TIMER_SLOT_REFERENCE, TIMER_SLOT_NEW);
    TimerErrorMsg2();
    EXPECT_TRUE(rx_->screen().shows("9. RTL Television - 2026-12-08 Tu"));
    EXPECT_TRUE(rx_->screen().shows("20:45 - 21:15  \"C\""));
    EXPECT_TRUE(rx_->screen().shows("Collision with timer nr. 2 at channel 5"));
    language = LAN_German;
    TimerErrorMsg2();
    EXPECT_TRUE(rx_->screen().shows("9. RTL Television - 08.12.2026 Di"));
}

}  // namespace
