// The firmware's heap running out at every allocation of a fill, a buffer file load and a search,
// with the plug-in linked in. After each, the data base must be consistent: every slot owns its
// text block and all its texts lie in it, or it is empty; the search results point into live
// blocks; the heap holds those blocks and the firmware's event array, nothing else.
//   HeapExhaustion*   one allocation failing, and every allocation from the n-th on
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "epgdb/bufferfile.h"
#include "receiver/demo_guide.h"
#include "search/entries.h"
#include "search/results.h"
#include "search/search.h"
#include "tests/unit/epgdb_testing.h"

using epgtest::Bench;
using epgtest::rec;

namespace {

constexpr int kChannels = 4;

// Four channels with two days of the demo guide: long texts, so a fill asks for many extended
// texts besides the event array and the block; filled.
void fillDemo(Bench &b) {
    std::vector<sim::Channel> channels = b.fw().channels.list(sim::kTv);
    for (int ch = 0; ch < kChannels; ++ch)
        b.schedule(0, ch, rx::demoSchedule(channels[size_t(ch)], sim::mjdFromDate(2026, 12, 7), 2));
    for (int ch = 0; ch < kChannels; ++ch)
        FillBuffer(SVC_TYPE_Tv, ch);
}

std::vector<std::vector<std::string>> allContents() {
    std::vector<std::vector<std::string>> out;
    for (int s = 0; s < kChannels; ++s)
        out.push_back(epgtest::contents(s));
    return out;
}

// Whether p lies inside the block of some slot 0..200.
bool insideABlock(const char *p) {
    for (int s = 0; s <= SLOT_SCRATCH; ++s) {
        const char *block = rec(s, 0).text;
        if (block != nullptr && p >= block && p < block + BlockSize[s])
            return true;
    }
    return false;
}

void expectConsistent(Bench &b, const std::string &when) {
    SCOPED_TRACE(when);
    epgtest::expectTextsInsideBlocks(b.heap(), settings.compress_text);
    size_t owned = 0;
    for (int s = 0; s <= SLOT_SCRATCH; ++s) {
        if (rec(s, 0).text != nullptr) {
            ++owned;
            continue;
        }
        EXPECT_EQ(max_Event[s], 0) << "slot " << s << " has events but no block";
        EXPECT_EQ(BlockSize[s], 0) << "slot " << s;
    }
    for (int i = 0; i < max_Event[SLOT_RESULT]; ++i) {
        const char *t = rec(SLOT_RESULT, i).text;
        EXPECT_TRUE(t == nullptr || insideABlock(t)) << "result " << i << " points into a freed block";
    }
    sim::Heap &heap = b.heap();
    size_t array = _evtInfo != nullptr ? 1 : 0;
    EXPECT_EQ(heap.liveBlocks(), owned + array) << "a block leaked";
    EXPECT_EQ(heap.liveFirmwareBlocks(), array) << "an extended text was kept";
    EXPECT_EQ(heap.doubleFrees(), 0);
    EXPECT_EQ(heap.nullFrees(), 0);
}

}  // namespace

TEST(HeapExhaustion, AFillLeavesItsSlotWholeOrEmptyAndTheOthersAsTheyWere) {
    Bench b("2026-12-07 10:15", 6);
    fillDemo(b);
    const auto full = allContents();
    ASSERT_GT(full[2].size(), 20u);
    SearchTxt("e", 0, kChannels - 1, 0, 0, SEARCH_DAYS_ED);   // results borrow texts of every slot
    ASSERT_GT(max_Event[SLOT_RESULT], 20);

    sim::Heap &heap = b.heap();
    long before = heap.allocations();
    FillBuffer(SVC_TYPE_Tv, 2);
    long perFill = heap.allocations() - before;
    ASSERT_GT(perFill, 20) << "the event array, the extended texts and the block";
    ASSERT_EQ(epgtest::contents(2), full[2]);

    int emptied = 0, shortened = 0;
    for (bool onlyOne : {true, false}) {
        for (long n = 0; n <= perFill; ++n) {
            std::string when = (onlyOne ? "allocation " : "allocations from ") + std::to_string(n);
            heap.faults.failAfterCalls = n;
            heap.faults.failOnlyOne = onlyOne;
            FillBuffer(SVC_TYPE_Tv, 2);
            heap.faults.failAfterCalls = -1;
            expectConsistent(b, when);
            const auto now = allContents();
            for (int s = 0; s < kChannels; ++s)
                ASSERT_TRUE(s == 2 || now[size_t(s)] == full[size_t(s)]) << when << ": slot " << s;
            // Whole (perhaps without some long texts: an extended text the firmware could not
            // hand over), or empty.
            ASSERT_TRUE(now[2].empty() || now[2].size() == full[2].size()) << when;
            emptied += now[2].empty();
            shortened += !now[2].empty() && now[2] != full[2];
            if (HasFailure())
                return;
            FillBuffer(SVC_TYPE_Tv, 2);   // with the heap back, the next fill restores it
            ASSERT_EQ(epgtest::contents(2), full[2]) << when;
        }
    }
    EXPECT_GT(emptied, 0);
    EXPECT_GT(shortened, 0);
    std::printf("heap exhaustion, fill: %ld allocations, each failed alone and from it on (%ld fills); "
                "the slot emptied %d times, without some long texts %d times\n",
                perFill, 2 * (perFill + 1), emptied, shortened);
}

TEST(HeapExhaustion, ABufferFileLoadLeavesEachChannelWholeOrEmpty) {
    Bench b("2026-12-07 10:15", 6);
    fillDemo(b);
    const auto full = allContents();
    ASSERT_EQ(SaveBufferFile(), 0);
    sim::Heap &heap = b.heap();

    for (bool onlyOne : {true, false}) {
        for (long n = 0; n <= kChannels; ++n) {
            std::string when = (onlyOne ? "allocation " : "allocations from ") + std::to_string(n);
            epgtest::releaseAll();
            epgtest::forgetBuffer();
            heap.faults.failAfterCalls = n;
            heap.faults.failOnlyOne = onlyOne;
            ASSERT_EQ(ReadBufferFile(), 0) << when;
            heap.faults.failAfterCalls = -1;
            expectConsistent(b, when);
            const auto now = allContents();
            for (int s = 0; s < kChannels; ++s) {
                bool lost = s == n || (!onlyOne && s > n);
                ASSERT_EQ(now[size_t(s)], lost ? std::vector<std::string>() : full[size_t(s)]) << when << ": slot " << s;
            }
        }
    }
}

TEST(HeapExhaustion, ASearchNeedsNoHeap) {
    Bench b("2026-12-07 10:15", 6);
    fillDemo(b);
    SearchTxt("e", 0, kChannels - 1, 0, 0, SEARCH_DAYS_ED);
    std::vector<std::string> found = epgtest::contents(SLOT_RESULT);
    ASSERT_FALSE(found.empty());

    b.heap().faults.failAfterCalls = 0;   // every allocation fails
    long failedBefore = b.heap().failedAllocations();
    SearchTxt("e", 0, kChannels - 1, 0, 0, SEARCH_DAYS_ED);
    EXPECT_EQ(epgtest::contents(SLOT_RESULT), found);
    EXPECT_EQ(b.heap().failedAllocations(), failedBefore);
    expectConsistent(b, "searched");
}
