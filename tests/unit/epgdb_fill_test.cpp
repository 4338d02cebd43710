// Filling the EPG buffer from the firmware's EPG (epgdb/fill.h), with the plug-in linked in.
//   FillEvents*   repeats dropped; gaps, leading and trailing events from the previous contents;
//                 the hole mark; the events limit; a slot left alone when it holds enough
//   FillTexts*    title, short and long info; which channels get long info; coded and plain
//                 texts and their cuts
//   FillHeap*     the heap thresholds of a fill; a failed block allocation; all 200 channels with
//                 500 events and long texts
//   SortResult*   the search results sorted by start, channel and name, with their extensions
//   Refill*       the background's refill: unchanged channels skipped, every change still arriving
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "epgdb/lookup.h"
#include "search/results.h"
#include "settings/colors.h"
#include "tests/unit/epgdb_testing.h"

using epgtest::Bench;
using epgtest::contents;
using epgtest::rec;
using epgtest::text;

namespace {

// Every event starts `minutes` after the one before and lasts as long.
std::vector<sim::GuideEvent> series(Bench &b, const std::string &from, int count, int minutes,
                                    const std::string &title = "Show", const std::string &ext = "") {
    std::vector<sim::GuideEvent> out;
    int64_t t0 = b.at(from);
    for (int i = 0; i < count; ++i) {
        sim::GuideEvent e;
        e.startMs = t0 + int64_t(i) * minutes * 60000;
        e.endMs = e.startMs + int64_t(minutes) * 60000;
        e.eventId = static_cast<uint16_t>(i + 1);
        e.title = title + " " + std::to_string(i);
        e.extText = ext;
        out.push_back(e);
    }
    return out;
}

// Drops the firmware's event array, then allocates ballast so that a fill of a channel that
// delivers `delivered` events finds exactly `avail` bytes free at its heap check.
void *leaveFree(Bench &b, size_t avail, int delivered) {
    GetEvent(SVC_TYPE_Radio, 1);   // a channel without events: the array is freed
    size_t take = b.heap().freeBytes() - avail - size_t(delivered) * sizeof(PlatformEvent);
    return b.heap().alloc(take);
}

}  // namespace

// --- Events ---

TEST(FillEvents, RepeatedEventsAreStoredOnce) {
    Bench b;
    b.schedule(0, 3, {b.event("10:00", 60, "News"), b.event("10:00", 60, "News again"),
                      b.event("10:00", 60, "News"), b.event("11:00", 30, "Sport")});
    FillBuffer(SVC_TYPE_Tv, 3);
    EXPECT_EQ(contents(3), (std::vector<std::string>{"10:00-11:00 News", "11:00-11:30 Sport"}));
    EXPECT_EQ(hole[3], 0);
}

TEST(FillEvents, GapsAreFilledFromThePreviousContents) {
    Bench b;
    b.schedule(0, 3, {b.event("11:00", 30, "Half one", "", "", 1), b.event("11:30", 30, "Half two", "", "", 2)});
    FillBuffer(SVC_TYPE_Tv, 3);
    ASSERT_EQ(max_Event[3], 2);
    b.schedule(0, 3, {b.event("10:00", 60, "Morning", "", "", 3), b.event("12:00", 60, "Noon", "", "", 4)});
    FillBuffer(SVC_TYPE_Tv, 3);
    EXPECT_EQ(contents(3), (std::vector<std::string>{"10:00-11:00 Morning", "11:00-11:30 Half one",
                                                     "11:30-12:00 Half two", "12:00-13:00 Noon"}));
    EXPECT_EQ(rec(3, 1).event_id, 1);
    EXPECT_EQ(hole[3], 0);
    epgtest::expectTextsInsideBlocks(b.heap(), 0);
}

TEST(FillEvents, GapsTakeTheFirstFittingEventEvenFromContentsOutOfOrder) {
    Bench b;
    // Contents as a damaged buffer file may leave them: a later event before an earlier one.
    b.schedule(0, 3, {b.event("11:00", 30, "Early", "", "", 1), b.event("12:30", 30, "Later", "", "", 2)});
    FillBuffer(SVC_TYPE_Tv, 3);
    ASSERT_EQ(max_Event[3], 2);
    std::swap(rec(3, 0), rec(3, 1));             // the events change places,
    std::swap(rec(3, 0).text, rec(3, 1).text);   // the texts stay (record 0 owns the block)
    b.schedule(0, 3, {b.event("10:00", 60, "Morning"), b.event("12:00", 60, "Noon")});
    FillBuffer(SVC_TYPE_Tv, 3);
    ASSERT_EQ(max_Event[3], 3);
    EXPECT_EQ(epgtest::times(3, 1), "11:00-11:30");   // found behind a record that starts later
    EXPECT_EQ(rec(3, 1).event_id, 1);
    EXPECT_EQ(epgtest::times(3, 2), "12:00-13:00");
    EXPECT_EQ(hole[3], 2);
    EXPECT_EQ(b.heap().doubleFrees(), 0);
}

TEST(FillEvents, AGapOfThreeMinutesOrMoreMarksAHole) {
    Bench b;
    b.schedule(0, 1, {b.event("10:00", 60, "A"), b.event("11:05", 55, "B")});
    b.schedule(0, 2, {b.event("10:00", 60, "A"), b.event("11:02", 58, "B")});
    FillBuffer(SVC_TYPE_Tv, 1);
    FillBuffer(SVC_TYPE_Tv, 2);
    EXPECT_EQ(hole[1], 2);
    EXPECT_EQ(hole[2], 0);
    EXPECT_EQ(max_Event[1], 2);
    // A slot whose first event lies after today is marked at the next fill.
    b.schedule(0, 4, {b.event("+1 06:00", 60, "Tomorrow")});
    FillBuffer(SVC_TYPE_Tv, 4);
    EXPECT_EQ(hole[4], 0);
    b.schedule(0, 4, {});
    FillBuffer(SVC_TYPE_Tv, 4);
    EXPECT_EQ(hole[4], 1);
    EXPECT_EQ(max_Event[4], 1);   // nothing delivered: the slot stays
}

TEST(FillEvents, EarlierEventsOfTheLastFourHoursAreKeptBeforeTheDelivered) {
    Bench b("2026-12-07 06:00");
    b.schedule(0, 0, {b.event("05:30", 60, "Early"), b.event("06:30", 60, "Morning"),
                      b.event("07:30", 90, "Mid"), b.event("09:00", 60, "Late")});
    FillBuffer(SVC_TYPE_Tv, 0);
    ASSERT_EQ(max_Event[0], 4);
    b.clock("10:15");
    b.schedule(0, 0, {b.event("10:30", 30, "Next")});   // nothing runs now
    FillBuffer(SVC_TYPE_Tv, 0);
    EXPECT_EQ(contents(0), (std::vector<std::string>{"06:30-07:30 Morning", "07:30-09:00 Mid", "09:00-10:00 Late",
                                                     "10:30-11:00 Next"}));
    EXPECT_EQ(hole[0], 2);
}

TEST(FillEvents, LaterEventsAreKeptWhileEachEndsWithinTwelveHours) {
    Bench b("2026-12-07 20:00");
    b.schedule(0, 0, {b.event("20:00", 60, "A"), b.event("21:00", 120, "B"), b.event("23:00", 30, "C"),
                      b.event("23:30", 90, "D"), b.event("+1 01:00", 780, "E")});
    FillBuffer(SVC_TYPE_Tv, 0);
    ASSERT_EQ(max_Event[0], 5);
    b.schedule(0, 0, {b.event("20:00", 60, "A"), b.event("21:00", 120, "B")});
    FillBuffer(SVC_TYPE_Tv, 0);
    // D ends at 01:00 the next day, within 720 minutes after C; E would end 13 hours after D.
    EXPECT_EQ(contents(0),
              (std::vector<std::string>{"20:00-21:00 A", "21:00-23:00 B", "23:00-23:30 C", "23:30-01:00 D"}));
    EXPECT_EQ(rec(0, 3).end_mjd, rec(0, 0).start_mjd + 1);
}

TEST(FillEvents, AtMostTheSetNumberOfEventsIsKept) {
    Bench b;
    settings.max_events_per_channel = 150;
    b.schedule(0, 0, series(b, "10:10", 300, 10));
    FillBuffer(SVC_TYPE_Tv, 0);
    EXPECT_EQ(max_Event[0], 150);
    EXPECT_EQ(text(0, 149), "Show 149");
    settings.max_events_per_channel = 500;
    b.schedule(0, 1, series(b, "10:10", 600, 10));
    FillBuffer(SVC_TYPE_Tv, 1);
    EXPECT_EQ(max_Event[1], 500);
    EXPECT_EQ(text(1, 499), "Show 499");
}

TEST(FillEvents, ASlotHoldingAsManyEventsFromNowOnIsLeftAlone) {
    Bench b;
    b.schedule(0, 5, {b.event("10:00", 60, "A"), b.event("11:00", 60, "B"), b.event("12:00", 60, "C")});
    FillBuffer(SVC_TYPE_Tv, 5);
    const char *block = rec(5, 0).text;
    b.schedule(0, 5, {b.event("10:30", 30, "X"), b.event("11:00", 60, "Y")});   // a gap at 10:15
    FillBuffer(SVC_TYPE_Tv, 5);
    EXPECT_EQ(rec(5, 0).text, block);
    EXPECT_EQ(contents(5), (std::vector<std::string>{"10:00-11:00 A", "11:00-12:00 B", "12:00-13:00 C"}));
    EXPECT_EQ(currEvent[5], 0);
}

// --- Texts ---

TEST(FillTexts, TitleShortInfoAndLongInfoMakeOneText) {
    Bench b;
    b.schedule(0, 0, {b.event("10:00", 30, "Film", "Drama", "L1\nL2"), b.event("10:30", 30, "News", "NEWS", ""),
                      b.event("11:00", 30, "Bell\x07" "e ~ x", "", "a|b~c"), b.event("11:30", 30, "", "Only short")});
    FillBuffer(SVC_TYPE_Tv, 0);
    EXPECT_EQ(text(0, 0), "Film ~ Drama|L1|L2");
    EXPECT_EQ(text(0, 1), "News");                     // the short text equals the title
    EXPECT_EQ(text(0, 2), "Belle - x|a|bc");          // control bytes dropped, the separators folded
    EXPECT_EQ(text(0, 3), " ~ Only short");
    EXPECT_EQ(chMarkInfo[0].service_id, 1000);
    EXPECT_STREQ(chMarkInfo[0].name, "TV 1");
    EXPECT_EQ(chMarkInfo[0].svc_num, 0);
    EXPECT_EQ(chMarkInfo[0].lcn, 1);
}

TEST(FillTexts, SeparatorsInTitlesAndShortTextsAreFoldedSoTheTitleStaysWhole) {
    Bench b;
    b.schedule(0, 0, {b.event("10:00", 30, "Juste Debout | Stik in Shoreditch", "Part 1 ~ The start|again",
                              "Line one|Line two"),
                      b.event("10:30", 30, "~Tilde~", "x|y")});
    FillBuffer(SVC_TYPE_Tv, 0);
    EXPECT_EQ(text(0, 0), "Juste Debout - Stik in Shoreditch ~ Part 1 - The start-again|Line one|Line two");
    EXPECT_EQ(text(0, 1), "-Tilde- ~ x-y");
    char title[STRBUF_SIZE];
    std::strcpy(title, text(0, 0).c_str());
    RemInfo(title);
    EXPECT_STREQ(title, "Juste Debout - Stik in Shoreditch");
    std::strcpy(title, text(0, 0).c_str());
    RemLongInfo(title);
    EXPECT_STREQ(title, "Juste Debout - Stik in Shoreditch ~ Part 1 - The start-again");
}

TEST(FillTexts, LongInfoOnlyForChannelsBelowTheSetting) {
    Bench b;
    settings.ext_info_channels = 2;
    for (int ch = 0; ch < 3; ++ch)
        b.schedule(0, ch, {b.event("10:00", 60, "T", "", "Long")});
    b.schedule(1, 0, {b.event("10:00", 60, "R", "", "Long")});
    for (int ch = 0; ch < 3; ++ch)
        FillBuffer(SVC_TYPE_Tv, ch);
    EXPECT_EQ(text(0, 0), "T|Long");
    EXPECT_EQ(text(1, 0), "T|Long");
    EXPECT_EQ(text(2, 0), "T");
    FillBuffer(SVC_TYPE_Radio, 0);   // a radio channel fills the scratch slot, with long info
    EXPECT_EQ(epgtest::contents(SLOT_SCRATCH), (std::vector<std::string>{"10:00-11:00 R|Long"}));
    EXPECT_EQ(hole[SLOT_SCRATCH], 0);
    settings.ext_info_channels = -1;
    FillBuffer(SVC_TYPE_Radio, 0);
    EXPECT_EQ(text(SLOT_SCRATCH, 0), "R");
    settings.ext_info_channels = 0;
    FillBuffer(SVC_TYPE_Tv, 0);
    FillBuffer(SVC_TYPE_Radio, 0);
    EXPECT_EQ(text(0, 0), "T");
    EXPECT_EQ(text(SLOT_SCRATCH, 0), "R|Long");
    // The extended texts were freed right after they were copied.
    EXPECT_EQ(b.heap().liveBlocks(), 3u + 1u + 1u);
    settings.buffered_channels = 30;   // an unbuffered TV channel fills the scratch slot too
    b.schedule(0, 35, {b.event("10:00", 60, "Far", "", "Long")});
    FillBuffer(SVC_TYPE_Tv, 35);
    EXPECT_EQ(text(SLOT_SCRATCH, 0), "Far|Long");
}

TEST(FillTexts, CodedTextsReadBackAsBuilt) {
    Bench b;
    settings.compress_text = 1;
    std::vector<sim::GuideEvent> events = {b.event("10:00", 60, "Tatort", "Krimi", "Line one\nLine two"),
                                           b.event("11:00", 60, "Caf\xE9 #1", "", ""),
                                           b.event("12:00", 60, "Talk", "", std::string(400, 'z'))};
    b.schedule(0, 0, events);
    b.schedule(0, 1, events);
    FillBuffer(SVC_TYPE_Tv, 0);
    EXPECT_EQ(text(0, 0), "Tatort ~ Krimi|Line one|Line two");
    EXPECT_EQ(text(0, 1), "Cafe 1");   // folded and dropped as the code does
    epgtest::expectTextsInsideBlocks(b.heap(), 1);
    settings.compress_text = 0;
    FillBuffer(SVC_TYPE_Tv, 1);
    EXPECT_EQ(text(1, 0), "Tatort ~ Krimi|Line one|Line two");
    EXPECT_LT(BlockSize[0], BlockSize[1]);   // the code saves room
}

TEST(FillTexts, LongTextsAreCutToWhatTheStoreHolds) {
    Bench b;
    std::string longExt(3000, 'x');
    b.schedule(0, 0, {b.event("10:00", 60, "Title", "", longExt)});
    b.schedule(0, 1, {b.event("10:00", 60, "Title", "", longExt)});
    FillBuffer(SVC_TYPE_Tv, 0);
    EXPECT_EQ(text(0, 0), "Title|" + std::string(1535 - 6, 'x'));
    settings.compress_text = 1;
    FillBuffer(SVC_TYPE_Tv, 1);
    EXPECT_EQ(text(1, 0), "Title|" + std::string(1915 - 6, 'x'));
}

TEST(FillTexts, GapEventsKeepTheirTexts) {
    Bench b;
    settings.compress_text = 1;
    b.schedule(0, 3, {b.event("11:00", 60, "Kept", "Short", "Long\nLines")});
    FillBuffer(SVC_TYPE_Tv, 3);
    b.schedule(0, 3, {b.event("10:00", 60, "A"), b.event("12:00", 60, "B")});
    FillBuffer(SVC_TYPE_Tv, 3);
    ASSERT_EQ(max_Event[3], 3);
    EXPECT_EQ(text(3, 1), "Kept ~ Short|Long|Lines");
    epgtest::expectTextsInsideBlocks(b.heap(), 1);
}

// --- Heap ---

TEST(FillHeap, AFillNeedsHeapToSpareAndARefreshLess) {
    Bench b("2026-12-07 10:15", 40, 4000000);
    for (int ch : {5, 6, 7})
        b.schedule(0, ch, series(b, "10:00", ch == 7 ? 3 : 4, 60, "First"));
    sim::Heap &heap = b.heap();

    void *ballast = leaveFree(b, FILL_HEAP_COMFORTABLE + 1, 4);
    FillBuffer(SVC_TYPE_Tv, 5);
    EXPECT_EQ(max_Event[5], 4);
    heap.free(ballast);

    ballast = leaveFree(b, FILL_HEAP_COMFORTABLE, 4);
    FillBuffer(SVC_TYPE_Tv, 6);
    EXPECT_EQ(max_Event[6], 0);                    // an empty slot needs the comfortable margin
    EXPECT_EQ(rec(6, 0).text, nullptr);
    heap.free(ballast);

    b.schedule(0, 5, series(b, "10:00", 4, 60, "Second"));
    ballast = leaveFree(b, FILL_HEAP_COMFORTABLE, 4);
    FillBuffer(SVC_TYPE_Tv, 5);
    EXPECT_EQ(text(5, 0), "Second 0");             // four events or more: refreshed
    heap.free(ballast);

    b.schedule(0, 5, series(b, "10:00", 4, 60, "Third"));
    ballast = leaveFree(b, FILL_HEAP_REFRESH_ONLY, 4);
    FillBuffer(SVC_TYPE_Tv, 5);
    EXPECT_EQ(text(5, 0), "Second 0");             // too little for a refresh
    EXPECT_EQ(max_Event[SLOT_SCRATCH], 0);         // and the backup was dropped
    EXPECT_EQ(rec(SLOT_SCRATCH, 1).text, nullptr);
    heap.free(ballast);

    ballast = leaveFree(b, FILL_HEAP_REFRESH_ONLY + 1, 4);
    FillBuffer(SVC_TYPE_Tv, 5);
    EXPECT_EQ(text(5, 0), "Third 0");
    heap.free(ballast);

    ballast = leaveFree(b, FILL_HEAP_COMFORTABLE + 1, 3);
    FillBuffer(SVC_TYPE_Tv, 7);
    ASSERT_EQ(max_Event[7], 3);
    heap.free(ballast);
    ballast = leaveFree(b, 1500000, 3);
    b.schedule(0, 7, series(b, "10:00", 3, 60, "Other"));
    FillBuffer(SVC_TYPE_Tv, 7);
    EXPECT_EQ(text(7, 0), "First 0");              // three events are not enough for a refresh
    heap.free(ballast);
    EXPECT_EQ(heap.failedAllocations(), 0);
}

TEST(FillHeap, AFailedBlockAllocationLeavesTheSlotEmpty) {
    Bench b;
    settings.ext_info_channels = -1;
    b.schedule(0, 3, series(b, "10:00", 5, 30));
    FillBuffer(SVC_TYPE_Tv, 3);
    ASSERT_EQ(max_Event[3], 5);
    sim::Heap &heap = b.heap();
    heap.faults.failAfterCalls = 1;   // the event array comes, the new block does not
    FillBuffer(SVC_TYPE_Tv, 3);
    heap.faults.failAfterCalls = -1;
    EXPECT_EQ(max_Event[3], 0);
    EXPECT_EQ(BlockSize[3], 0);
    EXPECT_EQ(hole[3], 1);
    EXPECT_EQ(heap.liveBlocks(), 1u);   // only the event array: the old block was released
    epgtest::expectTextsInsideBlocks(heap, 0);
    FillBuffer(SVC_TYPE_Tv, 3);
    EXPECT_EQ(max_Event[3], 5);
}

TEST(FillHeap, AllChannelsWithFiveHundredLongEventsStayWithinTheLimits) {
    Bench b("2026-12-07 10:15", 200);
    ASSERT_EQ(settings.buffered_channels, 200);
    for (int ch = 0; ch < 200; ++ch)
        b.schedule(0, ch, series(b, "10:10", 500, 10, "Channel " + std::to_string(ch) + " event",
                                 std::string(1600, 'a' + ch % 26)));
    sim::Heap &heap = b.heap();
    auto t0 = std::chrono::steady_clock::now();
    int filled = 0;
    for (int round = 0; round < 2; ++round) {
        for (int ch = 0; ch < 200; ++ch) {
            FillBuffer(SVC_TYPE_Tv, ch);
            ASSERT_TRUE(max_Event[ch] == 0 || max_Event[ch] == 500) << "channel " << ch;
            ASSERT_LE(BlockSize[ch], TEXT_BLOCK_MAX);
        }
    }
    for (int ch = 0; ch < 200; ++ch)
        filled += max_Event[ch] == 500;
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("400 fills (%d channels kept) in %.2f s\n", filled, seconds);
    EXPECT_GT(filled, 20);
    EXPECT_LT(filled, 200);
    EXPECT_GE(heap.size() - heap.peakBytes(), size_t(FILL_HEAP_RESERVE - TEXT_BLOCK_SLACK));
    EXPECT_EQ(heap.failedAllocations(), 0);
    EXPECT_EQ(text(0, 499), "Channel 0 event 499|" + std::string(1535 - 20, 'a'));
    epgtest::expectTextsInsideBlocks(heap, 0);
    epgtest::releaseAll();
    EXPECT_EQ(heap.usedBytes(), 0u);
    EXPECT_EQ(heap.doubleFrees(), 0);
}

// --- Sorting the search results ---

namespace {

struct Result {
    int channel, hour;
};

void putResults(const std::vector<Result> &results) {
    for (size_t i = 0; i < results.size(); ++i) {
        EpgEvent &e = rec(SLOT_RESULT, (int)i);
        std::memset(&e, 0, sizeof e);
        e.start_mjd = 61381;
        e.start_hour = (byte)results[i].hour;
        e.event_id = (word)i;
        searchresult_ext[i] = SearchResultExt{results[i].channel, (int32_t)i, 0, 0, 0, 0};
    }
    max_Event[SLOT_RESULT] = (int)results.size();
}

std::vector<std::string> order() {
    std::vector<std::string> out;
    for (int i = 0; i < max_Event[SLOT_RESULT]; ++i) {
        EXPECT_EQ(searchresult_ext[i].lead_time, rec(SLOT_RESULT, i).event_id) << "extension left behind";
        out.push_back(std::to_string(searchresult_ext[i].channel) + "@" + std::to_string(rec(SLOT_RESULT, i).start_hour));
    }
    return out;
}

}  // namespace

TEST(SortResult, SortsByStartChannelOrNameWithTheirExtensions) {
    Bench b;
    std::vector<sim::Channel> named = {{sim::kTv, "ZDF", 1, 1, 1, ""},        {sim::kTv, "arte", 2, 2, 1, ""},
                                       {sim::kTv, "\xC4rzte TV", 3, 3, 1, ""}, {sim::kTv, "\xDFport", 4, 4, 1, ""},
                                       {sim::kTv, "Das Erste", 5, 5, 1, ""}};
    b.fw().channels = sim::Channels(named);
    const std::vector<Result> results = {{0, 12}, {1, 10}, {4, 12}, {2, 11}, {3, 9}, {1, 8}};

    putResults(results);
    SortResult(1, 0);
    EXPECT_EQ(order(), (std::vector<std::string>{"1@8", "3@9", "1@10", "2@11", "0@12", "4@12"}));
    putResults(results);
    SortResult(2, 0);
    EXPECT_EQ(order(), (std::vector<std::string>{"0@12", "1@8", "1@10", "2@11", "3@9", "4@12"}));
    putResults(results);
    SortResult(3, 0);   // "\xDF" sorts before every ASCII letter; "\xC4" folds to "a"
    EXPECT_EQ(order(), (std::vector<std::string>{"3@9", "1@8", "1@10", "2@11", "4@12", "0@12"}));
    putResults(results);
    SortResult(4, 0);
    EXPECT_EQ(order(), (std::vector<std::string>{"0@12", "1@10", "4@12", "2@11", "3@9", "1@8"}));

    rgn = (word)TAP_Osd_Create(0, 0, OSD_WIDTH, OSD_HEIGHT, 0, 0);
    Set_Colors();
    language = LAN_German;
    SortResult(1, 1);
    EXPECT_TRUE(b.rx->screen().shows("Sortiere! Bitte warten ..."));
    EXPECT_EQ(b.rx->screen().osdPixel(62, 72), titlebox_color);
    language = LAN_English;
    SortResult(1, 1);
    EXPECT_TRUE(b.rx->screen().shows("Please wait ..."));
}

// --- The background's refill ---

TEST(Refill, AnUnchangedChannelIsSkippedAndEveryChangeStillArrives) {
    Bench b("2026-12-07 10:15");
    settings.compress_text = 1;
    b.schedule(0, 3, series(b, "10:00", 6, 60, "Show", "Line 1\nLine 2"));
    FillBuffer(SVC_TYPE_Tv, 3);
    std::vector<std::string> first = contents(3);
    char *block = rec(3, 0).text;

    // Nothing changed: nothing is rebuilt, the slot is as it was.
    EXPECT_EQ(RefillBuffer(SVC_TYPE_Tv, 3), 1);
    EXPECT_EQ(rec(3, 0).text, block);
    EXPECT_EQ(contents(3), first);

    // A changed title arrives at once.
    std::vector<sim::GuideEvent> changed = series(b, "10:00", 6, 60, "Show", "Line 1\nLine 2");
    changed[2].title = "Film";
    b.schedule(0, 3, changed);
    EXPECT_EQ(RefillBuffer(SVC_TYPE_Tv, 3), 0);
    EXPECT_EQ(text(3, 2), "Film|Line 1|Line 2");
    EXPECT_EQ(RefillBuffer(SVC_TYPE_Tv, 3), 1);

    // A new event at the end, and a new short text, arrive at once.
    changed.push_back(b.event("16:00", 30, "Late"));
    changed[1].shortText = "Drama";
    b.schedule(0, 3, changed);
    EXPECT_EQ(RefillBuffer(SVC_TYPE_Tv, 3), 0);
    EXPECT_EQ(max_Event[3], 7);
    EXPECT_EQ(text(3, 1), "Show 1 ~ Drama|Line 1|Line 2");

    // A changed long text alone arrives with the next fill after FILL_RECHECK_MINUTES.
    changed[4].extText = "New line";
    b.schedule(0, 3, changed);
    b.clock("10:25");
    EXPECT_EQ(RefillBuffer(SVC_TYPE_Tv, 3), 1);
    EXPECT_EQ(text(3, 4), "Show 4|Line 1|Line 2");
    b.clock("10:46");
    EXPECT_EQ(RefillBuffer(SVC_TYPE_Tv, 3), 0);
    EXPECT_EQ(text(3, 4), "Show 4|New line");

    // Time passing: the events that ended are gone from the firmware's list, so the list changed.
    b.clock("11:05");
    EXPECT_EQ(RefillBuffer(SVC_TYPE_Tv, 3), 0);
    EXPECT_EQ(max_Event[3], 6);
    EXPECT_EQ(RefillBuffer(SVC_TYPE_Tv, 3), 1);

    // A slot emptied in between (the menu's clear command) is filled again; so is one whose
    // settings changed.
    DelBuf(3);
    EXPECT_EQ(RefillBuffer(SVC_TYPE_Tv, 3), 0);
    EXPECT_EQ(max_Event[3], 6);
    settings.compress_text = 0;
    DelBuf(3);
    FillBuffer(SVC_TYPE_Tv, 3);
    settings.max_events_per_channel = 150;
    EXPECT_EQ(RefillBuffer(SVC_TYPE_Tv, 3), 0);
    epgtest::releaseAll();
}

TEST(Refill, WhileTheFirstEventLiesAheadEveryMinuteCounts) {
    Bench b("2026-12-07 09:00");
    b.schedule(0, 5, series(b, "10:00", 4, 30));
    FillBuffer(SVC_TYPE_Tv, 5);
    EXPECT_EQ(RefillBuffer(SVC_TYPE_Tv, 5), 1);
    // The fill reads the clock while the first event is still ahead: a new minute is a new fill
    // (which here finds the slot holding all four from now on and leaves it as it is).
    b.clock("09:01");
    EXPECT_EQ(RefillBuffer(SVC_TYPE_Tv, 5), 0);
    EXPECT_EQ(max_Event[5], 4);
    // Radio channels live in the scratch slot and are always filled.
    b.schedule(1, 0, series(b, "09:00", 2, 30));
    EXPECT_EQ(RefillBuffer(SVC_TYPE_Radio, 0), 0);
    EXPECT_EQ(RefillBuffer(SVC_TYPE_Radio, 0), 0);
    epgtest::releaseAll();
}
