// Stepping menu values and the numbers channels are shown under.
//   - EditValue*: the four ways a value leaves its bounds, rows that are not selected
//   - Lcn*: logical channel numbers and the fallback to the place in the list
#include <gtest/gtest.h>

#include "search/values.h"
#include "settings/settings.h"
#include "tests/support/support.h"

TEST(EditValue, EditValueWrapsOrStopsAtEachEndByKindOnTheSelectedRowOnly) {
    struct Case {
        int kind, value, step, want;
    };
    const Case cases[] = {
        {EDIT_WRAP, 0, -1, 9},        {EDIT_WRAP, 9, 1, 0},        {EDIT_WRAP, 2, -60, 9},
        {EDIT_STOP_AT_MIN, 0, -1, 0}, {EDIT_STOP_AT_MIN, 9, 1, 0}, {EDIT_STOP_AT_MAX, 0, -1, 9},
        {EDIT_STOP_AT_MAX, 9, 1, 9},  {EDIT_STOP, 1, -5, 0},       {EDIT_STOP, 8, 60, 9},
    };
    for (const Case &c : cases)
        EXPECT_EQ(EditValue(3, 3, c.kind, c.step, c.value, 0, 9), c.want) << c.kind << " " << c.value;
    EXPECT_EQ(EditValue(0, 0, EDIT_STOP, 2147483647, 2147483000, -5, 2147483600), 2147483600);   // no overflow
    EXPECT_EQ(EditValue(2, 3, EDIT_WRAP, 1, 5, 0, 9), 5);
    EXPECT_EQ(EditValue(3, 3, EDIT_WRAP, 0, 42, 0, 9), 42);
}

TEST(Lcn, LcnShowsTheLogicalNumberOnlyWhenSupportIsOn) {
    testsupport::TempDir dir;
    testsupport::LinkedOptions options;
    options.powerOn = false;
    options.lineup = {{0, "Das Erste", 28106, 1, 1, ""}, {0, "ZDF", 28006, 2, 1, ""},
                      {1, "Deutschlandfunk", 16, 301, 2, ""}};
    auto rx = testsupport::linkedReceiver(dir.path(), options);
    Clear_Settings();
    settings.lcn_support = 0;
    EXPECT_EQ(LCN(SVC_TYPE_Radio, 0), 1);
    settings.lcn_support = 1;
    EXPECT_EQ(LCN(SVC_TYPE_Radio, 0), 301);
    EXPECT_EQ(LCN(SVC_TYPE_Tv, 7), 8);   // no such channel: its place in the list
}
