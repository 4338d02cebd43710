// The running recordings as the plug-in reads them: slots, tuner and the recorded channel's
// transponder, refreshed when the recorder changes.
#include <gtest/gtest.h>

#include "tests/support/support.h"
#include "timers/set.h"
#include "timers/table.h"

namespace {

TEST(RecordingState, ReadRecInfoTakesBothSlotsWithTheTranspondersOfTheirChannels) {
    testsupport::TempDir dir;
    auto rx = testsupport::linkedReceiver(dir.path());
    const sim::Channel *ch3 = rx->firmware().channels.find(sim::kTv, 3);
    const sim::Channel *ch9 = rx->firmware().channels.find(sim::kTv, 9);
    ASSERT_TRUE(ch3 && ch9);
    ASSERT_GE(rx->record({sim::kTv, 3}), 0);
    ASSERT_GE(rx->record({sim::kTv, 9}), 0);
    ReadRecInfo();
    EXPECT_EQ(recSlot[0].info.rec_state, 1);
    EXPECT_EQ(recSlot[0].info.svc_num, 3);
    EXPECT_EQ(recSlot[0].transponder, ch3->transponder);
    EXPECT_EQ(recSlot[1].info.svc_num, 9);
    EXPECT_EQ(recSlot[1].transponder, ch9->transponder);

    rx->stopRecordings(nullptr);
    ReadRecInfo();
    EXPECT_EQ(recSlot[0].info.rec_state, 0);
    EXPECT_EQ(recSlot[1].transponder, 0);
}

}  // namespace
