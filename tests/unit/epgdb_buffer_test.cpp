// The EPG buffer and its text store (epgdb/buffer.h), with the plug-in linked in.
//   Ownership*    text blocks on the firmware heap: every slot filled and emptied again gives the
//                 heap back; a second DelBuf frees nothing; the backup in slot 200 is never freed
//   TextBlock*    moving the staging store into a block: offsets, slack, too little heap
// (A failed allocation and the 4-byte block of an empty fill are met in the fill and file tests.)
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/unit/epgdb_testing.h"

using epgtest::Bench;
using epgtest::rec;

namespace {

// A few events with texts on TV channels 0..n-1 and radio channel 0, so that fills have work.
void scheduleAll(Bench &b, int tvChannels) {
    for (int ch = 0; ch < tvChannels; ++ch)
        b.schedule(0, ch, {b.event("10:00", 60, "News " + std::to_string(ch), "Today", "Line"),
                           b.event("11:00", 45, "Film", "Drama"), b.event("11:45", 30, "Quiz")});
    b.schedule(1, 0, {b.event("10:00", 120, "Morning show", "", "Music")});
}

// Stages texts the way a fill does: each text and its NUL, one after the other.
void stage(int slot, const std::vector<std::string> &texts) {
    largetxt_p = largetxt_buf;
    largetxt_len = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        rec(slot, (int)i).text = largetxt_p;
        std::memcpy(largetxt_p, texts[i].c_str(), texts[i].size() + 1);
        largetxt_p += texts[i].size() + 1;
        largetxt_len += (int)texts[i].size() + 1;
    }
    max_Event[slot] = (int)texts.size();
}

}  // namespace

TEST(Ownership, FillingEverySlotAndEmptyingItGivesTheHeapBack) {
    Bench b("2026-12-07 10:15", 200);
    settings.buffered_channels = 200;
    scheduleAll(b, 200);
    sim::Heap &heap = b.heap();
    size_t before = heap.usedBytes();
    for (int round = 0; round < 2; ++round) {   // the second round replaces every block
        for (int ch = 0; ch < 200; ++ch)
            FillBuffer(SVC_TYPE_Tv, ch);
        FillBuffer(SVC_TYPE_Radio, 0);
    }
    for (int s = 0; s <= SLOT_SCRATCH; ++s) {
        ASSERT_EQ(max_Event[s], s == SLOT_SCRATCH ? 1 : 3) << "slot " << s;
        ASSERT_EQ(heap.blockSize(rec(s, 0).text), (size_t)BlockSize[s]) << "slot " << s;
    }
    EXPECT_EQ(heap.liveBlocks(), 201u + 1u);   // the blocks and the firmware's event array
    epgtest::expectTextsInsideBlocks(heap, 0);
    epgtest::releaseAll();
    EXPECT_EQ(heap.usedBytes(), before);
    EXPECT_EQ(heap.liveBlocks(), 0u);
    EXPECT_EQ(heap.doubleFrees(), 0);
    EXPECT_EQ(heap.nullFrees(), 0);
}

TEST(Ownership, DelBufFreesTheBlockOnceAndThenNothing) {
    Bench b;
    scheduleAll(b, 5);
    FillBuffer(SVC_TYPE_Tv, 4);
    sim::Heap &heap = b.heap();
    size_t live = heap.liveBlocks();
    ASSERT_NE(rec(4, 0).text, nullptr);
    EXPECT_EQ(DelBuf(4), 0);
    EXPECT_EQ(heap.liveBlocks(), live - 1);
    EXPECT_EQ(max_Event[4], 0);
    EXPECT_EQ(BlockSize[4], 0);
    EXPECT_EQ(currEvent[4], 0);
    EXPECT_EQ(hole[4], 1);
    for (int i = 0; i < EVENTS_PER_SLOT; ++i)
        ASSERT_EQ(rec(4, i).text, nullptr);
    EXPECT_EQ(rec(4, 1).start_hour, 11);   // the times stay
    EXPECT_EQ(DelBuf(4), 0);
    EXPECT_EQ(heap.liveBlocks(), live - 1);
    EXPECT_EQ(heap.doubleFrees(), 0);
    EXPECT_EQ(heap.nullFrees(), 0);
    EXPECT_EQ(DelBuf(SLOT_RESULT), 1);     // the result channel owns nothing
    EXPECT_EQ(DelBuf(-1), 1);
}

TEST(Ownership, TheBackupInTheScratchSlotIsNeverFreed) {
    Bench b;
    scheduleAll(b, 5);
    sim::Heap &heap = b.heap();
    FillBuffer(SVC_TYPE_Radio, 0);            // slot 200 holds a channel of its own
    ASSERT_EQ(max_Event[SLOT_SCRATCH], 1);
    FillBuffer(SVC_TYPE_Tv, 3);
    FillBuffer(SVC_TYPE_Tv, 3);               // refilled: slot 200 held the backup of slot 3
    const char *block = rec(3, 0).text;
    ASSERT_GT(heap.blockSize(block), 0u);
    EXPECT_EQ(max_Event[SLOT_SCRATCH], 0);
    for (int i = 0; i < EVENTS_PER_SLOT; ++i)
        ASSERT_EQ(rec(SLOT_SCRATCH, i).text, nullptr) << "a borrowed text stayed in slot 200";
    size_t live = heap.liveBlocks();
    EXPECT_EQ(DelBuf(SLOT_SCRATCH), 0);
    EXPECT_EQ(heap.liveBlocks(), live);
    EXPECT_GT(heap.blockSize(block), 0u);
    EXPECT_EQ(epgtest::text(3, 1), "Film ~ Drama");
    EXPECT_EQ(heap.doubleFrees(), 0);
    EXPECT_EQ(heap.nullFrees(), 0);
}

TEST(TextBlock, MovesTheStagedTextsAndRebasesThem) {
    Bench b;
    stage(7, {"Alpha", "", "Gamma ~ g"});
    rec(7, 3).text = largetxt_buf + 2;           // beyond the count: dropped
    char outside[8] = "x";
    rec(7, 2).text = outside;                    // not in the staging store: dropped
    largetxt_lastmem = nullptr;
    ASSERT_EQ(static_to_alloc(7, largetxt_len, FILL_HEAP_RESERVE), 0);
    char *block = rec(7, 0).text;
    EXPECT_EQ(BlockSize[7], 6 + 1 + 10 + TEXT_BLOCK_SLACK);
    EXPECT_EQ(b.heap().blockSize(block), (size_t)BlockSize[7]);
    EXPECT_STREQ(block, "Alpha");
    EXPECT_EQ(rec(7, 1).text, block + 6);
    EXPECT_STREQ(rec(7, 1).text, "");
    EXPECT_EQ(rec(7, 2).text, nullptr);
    EXPECT_EQ(rec(7, 3).text, nullptr);
    for (int i = 0; i < TEXT_BLOCK_SLACK; ++i)
        EXPECT_EQ(block[BlockSize[7] - 1 - i], 0);
}

TEST(TextBlock, TooLittleHeapLeavesTheSlotEmptyAndReleasesTheOldBlock) {
    Bench b("2026-12-07 10:15", 40, 2000000);
    scheduleAll(b, 5);
    sim::Heap &heap = b.heap();
    FillBuffer(SVC_TYPE_Tv, 1);
    ASSERT_EQ(max_Event[1], 3);
    char *old = rec(1, 0).text;
    stage(1, {"One", "Two"});
    largetxt_lastmem = old;
    dword freeNow = (dword)heap.freeBytes();
    // length + reserve must stay below the free heap.
    EXPECT_EQ(static_to_alloc(1, largetxt_len, (int)freeNow - largetxt_len), 2);
    EXPECT_EQ(heap.blockSize(old), 0u);            // released
    EXPECT_EQ(largetxt_lastmem, nullptr);
    EXPECT_EQ(max_Event[1], 0);
    EXPECT_EQ(BlockSize[1], 0);
    EXPECT_EQ(hole[1], 1);
    for (int i = 0; i < EVENTS_PER_SLOT; ++i)
        ASSERT_EQ(rec(1, i).text, nullptr);

    stage(1, {"One", "Two"});
    EXPECT_EQ(static_to_alloc(1, largetxt_len, (int)heap.freeBytes() - largetxt_len - 1), 0);
    EXPECT_EQ(max_Event[1], 2);
    EXPECT_EQ(static_to_alloc(BUFFER_SLOTS, 0, 0), 1);
    EXPECT_EQ(static_to_alloc(1, LARGETXT_SIZE + 1, 0), 1);
}
