// The timer list, the timer editor and the timer watch with the plug-in linked into a virtual
// receiver (Monday 2026-12-07 20:00, the demo lineup), driven by remote keys.
//   TimerTexts     every text of the list and the editor fits its box in every language, with
//                  every value the rows step through
//   TimerList*     the status area's small font from 338 pixels on; the selection follows the
//                  order shown also after the copy was read anew
//   TimerEditor*   refusals leave the table and the form as they were; a begun repeating timer
//                  keeps its repetition
//   TimerWatch*    the first of two "-P-" timers of a minute; the record-now watch's calls
#include "tests/unit/timers_testing.h"

#include <string>

#include "frame/state.h"
#include "search/keyboard.h"
#include "timers/editor.h"
#include "timers/list.h"
#include "timers/set.h"
#include "timers/watch.h"
#include "tests/unit/views_testing.h"
#include "views/window.h"

namespace {

using timertest::kToday;
using timertest::TimerTest;

class TimerViews : public TimerTest {
protected:
    void press(uint32_t key, int times = 1) {
        for (int i = 0; i < times; ++i)
            rx_->pressKey(key);
    }
    void openList() {
        views::openGuide(*rx_);
        press(RKEY_TimerList);
        ASSERT_EQ(timer_mode, TIMER_MODE_LIST);
    }
    // The visible text that begins at x in page row `row`, or "(none)".
    std::string at(int x, int row) const {
        for (const auto &t : rx_->screen().texts())
            if (t.x == x && t.y >= 113 + 36 * row && t.y < 113 + 36 * (row + 1))
                return t.text;
        return "(none)";
    }
    const sim::ScreenText *statusName() const {
        for (const auto &t : rx_->screen().texts())
            if (t.x == 69 && t.y >= 471)
                return &t;
        return nullptr;
    }
    void useLanguage(int choice) {
        settings.language_choice = choice;
        Select_Language();
    }
};

// A name of exactly `pixels` in the large font: wide letters filled up with one other letter.
std::string nameOfWidth(int pixels) {
    const sim::Font &font = sim::Font::instance();
    for (std::string wide; font.width(wide, 2) <= pixels; wide += 'W')
        for (char c = 'a'; c <= 'z'; ++c) {
            std::string name = wide;
            while (font.width(name + c, 2) <= pixels)
                name += c;
            if (font.width(name, 2) == pixels)
                return name;
        }
    return "";
}

// --- Texts ---

TEST_F(TimerViews, EveryTextOfTheListAndTheEditorFitsInEveryLanguage) {
    std::string wide(TIMER_NAME_MAX, 'W');
    ASSERT_EQ(addTimer(timer(0, 1, "20:00", 2880, (wide + ".rec").c_str(), 0, 1)), 0);
    ASSERT_EQ(addTimer(timer(17, 2, "23:59", 1439, "Nachtprogramm mit einem sehr langen Titel.rec", 4, 3, 0)), 0);
    TimerRecord radio = timer(9, 5, "06:00", 59, "Radio.rec", 3, 0);
    radio.svc_type = SVC_TYPE_Radio;
    ASSERT_EQ(addTimer(radio), 0);
    for (int choice : {1, 2, 3}) {
        useLanguage(choice);
        std::string lang = "language " + std::to_string(choice);
        openList();
        for (int sort : {RKEY_Green, RKEY_Yellow}) {
            press(static_cast<uint32_t>(sort));
            for (int row = 0; row < 3; ++row) {
                views::expectTextsFit(rx_->screen(), 70, 503, lang + " list row " + std::to_string(row));
                press(RKEY_Down);
            }
        }
        press(RKEY_Green);
        press(RKEY_Ok);
        ASSERT_EQ(timer_mode, TIMER_MODE_FROM_LIST);
        for (int row = 0; row < TIMER_EDITOR_ROWS; ++row) {
            for (int step = 0; step < 5; ++step) {
                views::expectTextsFit(rx_->screen(), 70, 503, lang + " editor row " + std::to_string(row));
                if (row != TIMER_ROW_SAVE && row != TIMER_ROW_DELETE && row != TIMER_ROW_NAME)
                    press(RKEY_Right);
            }
            press(RKEY_Down);
        }
        press(RKEY_Exit);
        press(RKEY_Red);
        press(RKEY_Down, 3);
        press(RKEY_Rewind, 2);   // record now
        ASSERT_NE(at(109, 9).find(choice == 2 ? "Starte" : choice == 3 ? "K\xE4ynnist\xE4" : "Run"),
                  std::string::npos);
        views::expectTextsFit(rx_->screen(), 70, 503, lang + " record now");
        press(RKEY_Exit, 3);
        ASSERT_EQ(_epgShow, 0);
    }
}

// --- List ---

TEST_F(TimerViews, ANameOf338PixelsIsDrawnSmallInTheStatusArea) {
    std::string exact = nameOfWidth(TIMER_NAME_SMALL_PX), narrower = nameOfWidth(TIMER_NAME_SMALL_PX - 1);
    ASSERT_FALSE(exact.empty());
    ASSERT_FALSE(narrower.empty());
    addTimer(timer(0, 1, "20:00", 30, (exact + ".rec").c_str()));
    addTimer(timer(0, 2, "20:00", 30, (narrower + ".rec").c_str()));
    openList();
    press(RKEY_Up);   // the key bar gives way to the status area
    const sim::ScreenText *name = statusName();
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text, exact);
    EXPECT_EQ(name->y, 473);
    EXPECT_EQ(name->size, FNT_Size_1622);
    press(RKEY_Down);
    name = statusName();
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text, narrower);
    EXPECT_EQ(name->y, 471);
    EXPECT_EQ(name->size, FNT_Size_1926);
}

TEST_F(TimerViews, OkOpensTheTimerShownAlsoAfterTheCopyWasReadAgain) {
    addTimer(timer(0, 2, "20:00", 30, "Later.rec"));
    addTimer(timer(4, 1, "20:00", 30, "Sooner.rec"));
    settings.timerlist_sort = TIMERLIST_SORT_TIME;
    openList();
    EXPECT_EQ(at(105, 0), " Sooner");
    ReadTimers();   // the idle duties read the table in its own order
    press(RKEY_Ok);
    EXPECT_STREQ(TimerList[TIMER_SLOT_NEW].rec.name, "Sooner");
    EXPECT_TRUE(rx_->screen().shows(" Edit Timer Nr. 2"));
}

// --- Editor ---

TEST_F(TimerViews, ARefusedTimerLeavesTheTableAndTheFormAsTheyWere) {
    settings.rec_tuner = 0;
    openList();
    press(RKEY_Red);
    rx_->firmware().timers.faults.failAfterCalls = 0;
    rx_->firmware().timers.faults.failCode = sim::Timers::kRefusedChannel;
    press(RKEY_Down, TIMER_ROW_SAVE);
    press(RKEY_Ok);
    EXPECT_TRUE(rx_->screen().shows("Timer Setting Error!"));
    EXPECT_TRUE(rx_->screen().shows("Invalid Entry or No resource available!"));
    EXPECT_EQ(TAP_Timer_GetTotalNum(), 0);
    press(RKEY_Exit);   // closes the box: the editor again, as it was
    EXPECT_EQ(timer_mode, TIMER_MODE_FROM_LIST);
    EXPECT_EQ(TimerList[TIMER_SLOT_NEW].rec.tuner, 0) << "the retry's tuner is not kept";
    EXPECT_EQ(at(291, TIMER_ROW_NAME), " Das Erste HD") << "no \".rec\" in the form";
    rx_->firmware().timers.faults.failAfterCalls = -1;
    press(RKEY_Ok);
    EXPECT_EQ(timer_mode, TIMER_MODE_LIST);
    EXPECT_EQ(described(), std::vector<std::string>{"tv:0 +0 21:00-23:00 OT Rec T1 Das Erste HD.rec"});
}

TEST_F(TimerViews, EditingABegunRepeatingTimerKeepsItsRepetition) {
    addTimer(timer(0, 0, "19:30", 60, "Daily.rec", TIMER_MODE_DAILY));
    openList();
    press(RKEY_Ok);
    EXPECT_EQ(at(109, 9), " Run Record");
    press(RKEY_Down, TIMER_ROW_STOP);
    press(RKEY_Right);
    press(RKEY_Down);
    press(RKEY_Right);   // mode: fixed while it runs
    press(RKEY_Down, 4);
    press(RKEY_Ok);
    EXPECT_EQ(timer_mode, TIMER_MODE_LIST);
    EXPECT_EQ(described(), std::vector<std::string>{"tv:0 +0 19:30-20:31 ED Rec T2 Daily.rec"});
}

TEST_F(TimerViews, SavingATimerGoneMeanwhileSaysSoAndDeletingItJustCloses) {
    addTimer(timer(0, 1, "20:00", 30, "Gone.rec"));
    openList();
    press(RKEY_Ok);
    TAP_Timer_Delete(0);
    press(RKEY_Down, TIMER_ROW_SAVE);
    press(RKEY_Ok);
    EXPECT_TRUE(rx_->screen().shows("Timer Setting Error!"));
    press(RKEY_Ok);
    press(RKEY_Down);
    press(RKEY_Ok);
    EXPECT_EQ(timer_mode, TIMER_MODE_LIST);
    EXPECT_TRUE(rx_->screen().shows("0/0"));
}

TEST_F(TimerViews, ATimerSetInTheBackgroundDoesNotChangeWhichTimerIsSaved) {
    addTimer(timer(0, 1, "20:00", 30, "Edited.rec"));
    addTimer(timer(4, 1, "22:00", 30, "Other.rec"));
    openList();
    press(RKEY_Ok);
    // The idle duty sets a queued timer through the reference slot.
    CopyTimer(TIMER_SLOT_REFERENCE, 1);
    press(RKEY_Down, TIMER_ROW_STOP);
    press(RKEY_Right);
    press(RKEY_Down, TIMER_ROW_SAVE - TIMER_ROW_STOP);
    press(RKEY_Ok);
    EXPECT_EQ(described(), (std::vector<std::string>{"tv:0 +1 20:00-20:31 OT Rec T2 Edited.rec",
                                                     "tv:4 +1 22:00-22:30 OT Rec T2 Other.rec"}));
}

// --- Watch ---

TEST_F(TimerViews, OfTwoPTimersOfAMinuteTheFirstSwitchesAndOnlyOnce) {
    addTimer(timer(4, 0, "20:01", 10, "First.rec", 0, 3, 0));
    addTimer(timer(8, 0, "20:01", 10, "Second.rec", 0, 3, 0));
    rx_->advance(61000);
    const auto &tunings = rx_->firmware().channels.tunings();
    int plugInTunings = 0;
    for (const auto &t : tunings)
        plugInTunings += t.source == sim::TuneSource::PlugIn;
    EXPECT_EQ(plugInTunings, 1);
    EXPECT_EQ(rx_->firmware().channels.current().svcNum, 4);
    EXPECT_EQ(WakeUpTimer_lasttime, 20 * 60 + 1);
}

TEST_F(TimerViews, TheRecordNowWatchSetsTheTimerAnewAtTheFifthCallAndDeletesItAtTheTwelfth) {
    TimerRecord t = timer(0, 0, "20:00", 30, "Now.rec", 0, 1);
    addTimer(t);
    put(TIMER_SLOT_RECORD_NOW, t);
    nowRecordAge = NOW_RECORD_CALLS;
    for (int call = 1; call <= 4; ++call)
        CheckNowTimer();
    EXPECT_EQ(described(), std::vector<std::string>{"tv:0 +0 20:00-20:30 OT Rec T2 Now.rec"});
    CheckNowTimer();
    EXPECT_EQ(nowRecordAge, NOW_RECORD_RESET_AT);
    EXPECT_EQ(described(), std::vector<std::string>{"tv:0 +0 20:00-20:30 OT Rec T1 Now.rec"});
    for (int call = 6; call <= 11; ++call)
        CheckNowTimer();
    EXPECT_EQ(TAP_Timer_GetTotalNum(), 1);
    CheckNowTimer();
    EXPECT_EQ(TAP_Timer_GetTotalNum(), 0);
    CheckNowTimer();
    CheckNowTimer();
    EXPECT_EQ(nowRecordAge, 0);
}

}  // namespace
