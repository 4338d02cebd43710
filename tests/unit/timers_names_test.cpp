// Timer names and the small helpers of the timer table.
//   Suffixes        every style, its length limit, an old suffix replaced and never stacked
//   Combined names  style 200 with and without a date, the renewal after an edit
//   Numbers, time   atoi_x, TimeRevision across midnight
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/support.h"
#include "timers/names.h"
#include "timers/table.h"

namespace {

class TimerNames : public ::testing::Test {
protected:
    void SetUp() override { rx_ = testsupport::linkedReceiver(dir_.path()); }

    // Slot 71 holds a timer on 2012-03-15 from hh:mm for `minutes` named `name`.
    void timer(const std::string &name, int hh = 20, int mm = 0, int minutes = 15) {
        TimerRecord &t = TimerList[TIMER_SLOT_NEW].rec;
        std::memset(&t, 0, sizeof t);
        std::strncpy(t.name, name.c_str(), TIMER_NAME_KEPT);
        t.start = (dword(TAP_MakeMjd(2012, 3, 15)) << 16) | (dword(hh) << 8) | dword(mm);
        t.duration = word(minutes);
    }
    std::string styled(int style) {
        Replace_TimerName(TIMER_SLOT_NEW, style);
        return TimerList[TIMER_SLOT_NEW].rec.name;
    }

    testsupport::TempDir dir_;
    std::unique_ptr<sim::Receiver> rx_;
};

TEST_F(TimerNames, EveryStyleAppendsItsSuffixToTheTitle) {
    const char *expected[] = {"News",          "News_20120315", "News_2000",  "News_20120315_2000", "News_#",
                              "News_12-03-15", "News_15.03.12", "News_15.03.", "News_03-15"};
    for (int style = 0; style <= NAME_STYLE_LAST; style++) {
        timer("News.rec");
        if (style == 0)
            EXPECT_EQ(styled(style), "News.rec") << "style 0 leaves the name alone";
        else
            EXPECT_EQ(styled(style), expected[style]) << "style " << style;
    }
    timer("News");
    EXPECT_EQ(styled(NAME_STYLE_COMBINED), "News+2000-2015");
    timer("News");
    EXPECT_EQ(styled(9), "News") << "unknown styles change nothing";
}

TEST_F(TimerNames, AnOldSuffixIsReplacedNeverStacked) {
    for (int first = 1; first <= NAME_STYLE_LAST; first++) {
        for (int second = 1; second <= NAME_STYLE_LAST; second++) {
            timer("Tatort");
            styled(first);
            std::string twice = styled(second) + ".rec";
            timer(twice);   // as the firmware hands it back
            timer("Tatort");
            std::string once = styled(second);
            timer(twice);
            EXPECT_EQ(styled(second), once) << "style " << first << " then " << second;
        }
    }
    timer("News_20120315.REC");
    EXPECT_EQ(styled(3), "News_20120315_2000") << "the old date goes, the upper-case .REC too";
}

TEST_F(TimerNames, NamesEndAtFortyCharacters) {
    std::string title(60, 'x');
    for (int style = 1; style <= NAME_STYLE_LAST; style++) {
        timer(title);
        std::string name = styled(style);
        EXPECT_LE(name.size(), 40u) << "style " << style;
        EXPECT_EQ(name.substr(0, 4), "xxxx");
    }
    timer(title);
    EXPECT_EQ(styled(1), std::string(31, 'x') + "_20120315");
}

TEST_F(TimerNames, CombinedNamesKeepADateAndFollowAnEdit) {
    timer("Film_15.03.", 19, 0, 120);
    EXPECT_EQ(styled(NAME_STYLE_COMBINED), "Film_15.03.+1900-2100") << "a dated name keeps its date";
    timer("Film+1900-2100.rec", 19, 0, 150);
    Replace_CombiName(TIMER_SLOT_NEW);
    EXPECT_STREQ(TimerList[TIMER_SLOT_NEW].rec.name, "Film+1900-2130");
    timer("News+2000-2015.rec", 20, 0, 30);
    Replace_CombiName(TIMER_SLOT_NEW);
    EXPECT_STREQ(TimerList[TIMER_SLOT_NEW].rec.name, "News+2000-2030");
    timer("Plain name.rec", 20, 0, 30);
    Replace_CombiName(TIMER_SLOT_NEW);
    EXPECT_STREQ(TimerList[TIMER_SLOT_NEW].rec.name, "Plain name.rec") << "other names stay";
    timer("Late", 23, 30, 60);
    EXPECT_EQ(styled(NAME_STYLE_COMBINED), "Late+2330-0030") << "the end after midnight";
}

TEST_F(TimerNames, RecEndingIsAddedOnceAndCutsToForty) {
    char name[TIMER_NAME_SIZE] = {};
    std::memset(name, 'a', 60);
    TimerName_AddRec(name);
    EXPECT_EQ(std::string(name), std::string(40, 'a') + ".rec");
    std::strcpy(name, "Krimi.REC");
    TimerName_AddRec(name);
    EXPECT_STREQ(name, "Krimi.REC");
}

TEST(TimerNumbers, AtoiXTakesSignAndDigitsUpToItsLimit) {
    EXPECT_EQ(atoi_x("20sec", 7), 20);
    EXPECT_EQ(atoi_x("def", 7), 7);
    EXPECT_EQ(atoi_x("-", 7), 7);
    EXPECT_EQ(atoi_x("+", 7), 7);
    EXPECT_EQ(atoi_x("", 7), 7);
    EXPECT_EQ(atoi_x(nullptr, 7), 7);
    EXPECT_EQ(atoi_x("05", 0), 5);
    EXPECT_EQ(atoi_x("-15", 0), -15);
    EXPECT_EQ(atoi_x("+3", 0), 3);
    EXPECT_EQ(atoi_x("99999", 0), 9999);
    EXPECT_EQ(atoi_x("32766", 0), 32766);
    EXPECT_EQ(atoi_x("32767", 0), 3276);
}

TEST(TimerTime, TimeRevisionCarriesAcrossMidnightBothWays) {
    word mjd = 56000;
    int h = 23, m = 50 + 20;
    TimeRevision(&mjd, &h, &m);
    EXPECT_EQ(mjd, 56001);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(m, 10);
    h = 0, m = 5 - 10;
    TimeRevision(&mjd, &h, &m);
    EXPECT_EQ(mjd, 56000);
    EXPECT_EQ(h, 23);
    EXPECT_EQ(m, 55);
    EXPECT_EQ(PackedTime(56000, 24, 0), (dword(56001) << 16));
}

}  // namespace
