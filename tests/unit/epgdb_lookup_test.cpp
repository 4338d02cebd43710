// Event lookup and the pieces of an event text (epgdb/lookup.h).
//   FindEvent*    which record runs at a time: inside, between and after the events, empty
//                 slots, the slot rule for radio and unbuffered channels
//   WeekDay*      weekdays of dates and their names
//   TextPieces*   title, short info and long info taken apart
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "epgdb/lookup.h"
#include "tests/unit/epgdb_testing.h"

using epgtest::Bench;

namespace {

const int kMjd = 61381;   // 2026-12-07

void put(int slot, int index, int h1, int m1, int h2, int m2) {
    EpgEvent &e = epgtest::rec(slot, index);
    e.start_mjd = e.end_mjd = kMjd;
    e.start_hour = (byte)h1;
    e.start_min = (byte)m1;
    e.end_hour = (byte)h2;
    e.end_min = (byte)m2;
    int minutes = (h2 * 60 + m2) - (h1 * 60 + m1);
    e.dur_hour = (byte)(minutes / 60);
    e.dur_min = (byte)(minutes % 60);
}

// Cuts a copy of text with fn and returns what is left.
std::string cut(void (*fn)(char *), const char *text) {
    char buf[128];
    std::strcpy(buf, text);
    fn(buf);
    return buf;
}

std::string infoOnly(const char *text, int size, int noTitle) {
    char buf[128];
    std::memset(buf, 'x', sizeof buf);
    InfoOnly(buf, text, size, noTitle);
    return buf;
}

}  // namespace

TEST(FindEvent, FindsTheEventRunningAtATime) {
    Bench b;
    put(5, 0, 10, 0, 11, 0);
    put(5, 1, 11, 0, 12, 0);
    max_Event[5] = 2;
    EXPECT_EQ(FindEvent(5, kMjd, 10, 30), 0);
    EXPECT_EQ(FindEvent(5, kMjd, 11, 0), 1);
    EXPECT_EQ(FindEvent(5, kMjd, 9, 0), 0);      // before the first event
    EXPECT_EQ(FindEvent(5, kMjd, 11, 59), 1);
    EXPECT_EQ(FindEvent(5, kMjd - 1, 23, 0), 0);
}

TEST(FindEvent, AfterTheLastEventGivesAnIndexBeyondTheCount) {
    Bench b;
    put(5, 0, 10, 0, 11, 0);
    put(5, 1, 11, 0, 12, 0);
    max_Event[5] = 2;
    // Records beyond the count hold zeros: the scan runs on through them.
    EXPECT_GE(FindEvent(5, kMjd, 12, 0), 2);
    EXPECT_GE(FindEvent(5, kMjd + 1, 8, 0), 2);
    // The end of the last event is its start plus its duration, not its end fields.
    epgtest::rec(5, 1).dur_hour = 2;
    EXPECT_EQ(FindEvent(5, kMjd, 12, 30), 1);
    // An empty slot, or one with a damaged count, gives 0.
    max_Event[5] = 0;
    EXPECT_EQ(FindEvent(5, kMjd, 10, 30), 0);
    max_Event[5] = -7;
    EXPECT_EQ(FindEvent(5, kMjd, 10, 30), 0);
    max_Event[5] = 2;
    // Records of an older fill beyond the count take part in the scan.
    put(5, 2, 12, 30, 13, 30);
    put(5, 3, 14, 0, 15, 0);
    EXPECT_EQ(FindEvent(5, kMjd, 13, 30), 2);
}

TEST(FindEvent, RadioAndUnbufferedChannelsLookInTheScratchSlot) {
    Bench b;
    settings.buffered_channels = 30;
    put(SLOT_SCRATCH, 0, 10, 0, 11, 0);
    put(SLOT_SCRATCH, 1, 11, 0, 12, 0);
    max_Event[SLOT_SCRATCH] = 2;
    put(3, 0, 8, 0, 9, 0);
    put(3, 1, 9, 0, 23, 0);
    max_Event[3] = 2;
    EXPECT_EQ(FindEvent(3, kMjd, 11, 30), 1);          // TV channel 3: its own slot
    EXPECT_EQ(FindEvent(30, kMjd, 11, 30), 1);         // at the buffered limit: slot 200
    EXPECT_EQ(FindEvent(250, kMjd, 10, 30), 0);
    _svcType = SVC_TYPE_Radio;
    EXPECT_EQ(FindEvent(3, kMjd, 8, 30), 0);           // radio: slot 200, where 8:30 is before all

    b.clock("11:15");
    currEvent[SLOT_SCRATCH] = 9;
    currEvent[3] = 9;
    EXPECT_EQ(FindCurrentEvent(3), 1);
    EXPECT_EQ(currEvent[SLOT_SCRATCH], 1);
    EXPECT_EQ(currEvent[3], 9);
    _svcType = SVC_TYPE_Tv;
    EXPECT_EQ(FindCurrentEvent(3), 1);
    EXPECT_EQ(currEvent[3], 1);
}

TEST(WeekDay, CountsFromMondayWithNamesInThreeLanguages) {
    EXPECT_EQ(WeekDay(55000), 3);                  // a Thursday
    EXPECT_EQ(WeekDay(kMjd), 0);                   // 2026-12-07 is a Monday
    EXPECT_EQ(WeekDay(kMjd + 6), 6);
    EXPECT_EQ(WeekDay(0), 2);                      // 1858-11-17, a Wednesday
    EXPECT_STREQ(weekDay_name[0][WeekDay(55000)], "Th");
    EXPECT_STREQ(weekDay_name[1][WeekDay(55000)], "Do");
    EXPECT_STREQ(weekDay_name[2][WeekDay(55000)], "To");
    EXPECT_STREQ(weekDay_name[1][6], "So");
    EXPECT_STREQ(weekDay_name[2][0], "Ma");
}

TEST(TextPieces, TitleShortAndLongInfo) {
    const char *full = "Film ~ Drama|L1|L2";
    EXPECT_EQ(cut(RemInfo, full), "Film");
    EXPECT_EQ(cut(RemLongInfo, full), "Film ~ Drama");
    EXPECT_EQ(infoOnly(full, 128, 0), "Drama");
    EXPECT_EQ(infoOnly(full, 128, 1), "Drama");
    EXPECT_STREQ(LongInfo(full), "L1|L2");
    EXPECT_STREQ(AllInfo(full), " Drama|L1|L2");
}

TEST(TextPieces, WithoutShortInfoTheTitleStandsIn) {
    const char *text = "News|Headlines";
    EXPECT_EQ(cut(RemInfo, text), "News");
    EXPECT_EQ(cut(RemLongInfo, text), "News");
    EXPECT_EQ(infoOnly(text, 128, 0), "News");
    EXPECT_EQ(infoOnly(text, 128, 1), "");
    EXPECT_STREQ(LongInfo(text), "Headlines");
    EXPECT_STREQ(AllInfo(text), "Headlines");

    EXPECT_EQ(cut(RemInfo, "Quiz"), "Quiz");
    EXPECT_EQ(infoOnly("Quiz ~ Round 2", 128, 0), "Round 2");
    EXPECT_STREQ(LongInfo("Quiz ~ Round 2"), "");
    EXPECT_STREQ(AllInfo("Quiz"), "");
}

TEST(TextPieces, CutsToTheSizeAndHandlesNullTexts) {
    EXPECT_EQ(infoOnly("A ~ Drama", 4, 0), "Dra");
    EXPECT_EQ(infoOnly("Headline|long", 5, 0), "Head");
    EXPECT_EQ(infoOnly(nullptr, 16, 0), "");
    EXPECT_EQ(infoOnly("A ~ Drama", 1, 0), "");
    char untouched[4] = "abc";
    EXPECT_EQ(InfoOnly(untouched, "A ~ B", 0, 0), nullptr);
    EXPECT_STREQ(untouched, "abc");
    EXPECT_STREQ(LongInfo(nullptr), "");
    EXPECT_STREQ(AllInfo(nullptr), "");
    RemInfo(nullptr);
    RemLongInfo(nullptr);
}
