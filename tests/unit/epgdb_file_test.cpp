// The buffer file (epgdb/bufferfile.h), with the plug-in linked in.
//   BufferFileRoundTrip*  saved, the receiver restarted, read back at start-up: events, texts,
//                         marks and holes; the coding setting follows the file; a second save
//                         gives the same bytes; channels changed or gone meanwhile are dropped
//   BufferFileLayout*     the bytes as documented: sizes, offsets, text values relative to
//                         their block, never an address; no block for slots 200 and 201; the
//                         receiver program's own reader agrees
//   DamagedBufferFile*    text values that do not fit; files that contradict themselves (counts,
//                         sizes, dates, short files) are not loaded but set aside
//   BufferFileSave*       the message when the file cannot be written
//   AutoSave*             when the periodic save writes
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "epgdb/bufferfile.h"
#include "receiver/buffer_dump.h"
#include "tests/unit/epgdb_testing.h"

using epgtest::Bench;
using epgtest::rec;
using epgtest::text;

namespace {

const std::string kFile = BUFFER_FILE_NAME;

uint32_t get32(const std::string &d, size_t at) {
    return uint32_t(uint8_t(d[at])) | uint32_t(uint8_t(d[at + 1])) << 8 | uint32_t(uint8_t(d[at + 2])) << 16 |
           uint32_t(uint8_t(d[at + 3])) << 24;
}

void put32(std::string &d, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        d[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

size_t textAt(int slot, int index) {
    return BUFFER_FILE_RECORDS_AT + size_t(slot * EVENTS_PER_SLOT + index) * EPG_EVENT_FILE_SIZE + 12;
}

// Offset in the file of a slot's block (the slots before it that have blocks, in order).
size_t blockAt(const std::string &d, int slot) {
    size_t at = BUFFER_FILE_BLOCKS_AT;
    for (int s = 0; s < slot; ++s) {
        int32_t count = int32_t(get32(d, size_t(s) * 4)), size = int32_t(get32(d, 808 + size_t(s) * 4));
        if (size >= 1 && size <= TEXT_BLOCK_MAX && get32(d, textAt(s, 0)) != 0 && count > 0)
            at += size_t(size);
    }
    return at;
}

// Channels 0..n-1 with events of various kinds: texts with long info, a gap (hole 2), a slot
// emptied again (hole 1), a fill that kept nothing (a 4-byte block), a radio channel in slot 200
// and search results in slot 201.
void fillVarious(Bench &b, int n) {
    for (int ch = 0; ch < n; ++ch) {
        std::vector<sim::GuideEvent> events;
        for (int i = 0; i < 3 + ch % 7; ++i)
            events.push_back(b.event("10:00", 0, "", "", "", i + 1));
        int64_t t = b.at("10:00");
        for (size_t i = 0; i < events.size(); ++i) {
            int minutes = 20 + int(i) * 5 + (ch == 1 && i == 2 ? 7 : 0);
            events[i].startMs = t + (ch == 1 && i == 2 ? 7 * 60000 : 0);
            events[i].endMs = events[i].startMs + int64_t(minutes) * 60000;
            t = events[i].endMs;
            events[i].title = "Ch" + std::to_string(ch) + " show " + std::to_string(i);
            events[i].shortText = i % 2 ? "Short" : "";
            events[i].extText = i % 3 ? "Line A\nLine B " + std::string(ch * 3, 'x') : "";
        }
        b.schedule(0, ch, events);
        FillBuffer(SVC_TYPE_Tv, ch);
    }
    DelBuf(n - 1);
    int keep = settings.max_events_per_channel;
    settings.max_events_per_channel = 0;
    FillBuffer(SVC_TYPE_Tv, n - 2);   // nothing kept: max_Event 0 with a 4-byte block
    settings.max_events_per_channel = keep;
    b.schedule(1, 0, {b.event("10:00", 90, "Radio show", "", "Talk")});
    FillBuffer(SVC_TYPE_Radio, 0);
    for (int i = 0; i < 4; ++i)
        CopyEPGBuf(SLOT_RESULT, i, i, 0);
    max_Event[SLOT_RESULT] = 4;
}

// What a slot holds, in a form that survives a reload.
struct SlotImage {
    int count, mark, size;
    std::vector<std::string> fields, texts;
    std::string channel;
    bool operator==(const SlotImage &o) const {
        return count == o.count && mark == o.mark && size == o.size && fields == o.fields && texts == o.texts &&
               channel == o.channel;
    }
};

std::vector<SlotImage> image(int slots) {
    std::vector<SlotImage> out;
    for (int s = 0; s < slots; ++s) {
        SlotImage im{max_Event[s], hole[s], BlockSize[s], {}, {}, ""};
        for (int i = 0; i < EVENTS_PER_SLOT; ++i)
            im.fields.push_back(std::string(reinterpret_cast<const char *>(&rec(s, i)), EPG_EVENT_FIELDS_SIZE));
        for (int i = 0; i < max_Event[s]; ++i)
            im.texts.push_back(text(s, i));
        im.channel = std::string(reinterpret_cast<const char *>(&chMarkInfo[s]), sizeof(ChannelMark));
        out.push_back(im);
    }
    return out;
}

// The receiver program's own reader of the file finds every event of slots 0..199 and no damage.
void expectDumpReads(const std::string &bytes, bool coded) {
    rx::BufferDump dump = rx::dumpBuffer(bytes);
    EXPECT_TRUE(dump.readable);
    EXPECT_EQ(dump.coded, coded);
    EXPECT_TRUE(dump.problems.empty()) << dump.problems.front();
    size_t events = 0;
    for (int s = 0; s < BUFFER_SLOTS_TV; ++s)
        events += size_t(max_Event[s]);
    EXPECT_EQ(dump.lines.size(), events);
}

// Replaces the file, forgets the buffer as a fresh start does and reads the file.
void reload(Bench &b, const std::string &bytes) {
    testsupport::writeFile(b.dir.file(kFile), bytes);
    epgtest::releaseAll();
    epgtest::forgetBuffer();
    ASSERT_EQ(ReadBufferFile(), 0);
}

// Whether the text was drawn since the screen's log was last cleared.
bool drawn(Bench &b, const std::string &text) {
    for (const sim::ScreenText &t : b.rx->screen().textLog())
        if (t.text == text)
            return true;
    return false;
}

// Fills, saves, restarts the receiver (start-up reads the file back) and compares.
void roundTrip(int coded) {
    Bench b("2026-12-07 10:15", 40, sim::Heap::kDefaultSize, true);
    settings.compress_text = coded;
    fillVarious(b, 30);
    ASSERT_EQ(hole[1], 2);
    ASSERT_EQ(hole[29], 1);
    ASSERT_EQ(BlockSize[28], 4);
    // Empty slots as start-up leaves them (emptied, hole 1): then a reload changes nothing.
    for (int s = 0; s < SLOT_SCRATCH; ++s)
        if (max_Event[s] == 0)
            DelBuf(s);
    DelBuf(SLOT_SCRATCH);
    max_Event[SLOT_RESULT] = 0;
    std::vector<SlotImage> before = image(BUFFER_SLOTS_TV);
    ASSERT_EQ(SaveBufferFile(), 0);
    std::string first = testsupport::readFile(b.dir.file(kFile));
    expectDumpReads(first, coded);

    // The settings file says the other coding; the buffer file's wins.
    testsupport::writeFile(b.dir.file(SETTINGS_FILE_NAME), testsupport::settingsImage({{160, 1 - coded}}));
    _evtInfo = nullptr;   // the firmware takes the plug-in's heap back at the restart
    ASSERT_TRUE(b.rx->restart()) << b.rx->error();
    EXPECT_EQ(b.rx->host().lastLeftovers().heapBlocks, 28u + 1u);   // the blocks and the event array
    EXPECT_EQ(settings.compress_text, coded);
    std::vector<SlotImage> after = image(BUFFER_SLOTS_TV);
    for (int s = 0; s < BUFFER_SLOTS_TV; ++s)
        ASSERT_TRUE(before[size_t(s)] == after[size_t(s)]) << "slot " << s;
    EXPECT_EQ(text(0, 1), "Ch0 show 1 ~ Short|Line A|Line B ");
    EXPECT_EQ(max_Event[SLOT_SCRATCH], 0);
    epgtest::expectTextsInsideBlocks(b.heap(), coded);
    EXPECT_EQ(b.heap().liveBlocks(), 28u);
    EXPECT_EQ(b.heap().doubleFrees(), 0);

    ASSERT_EQ(SaveBufferFile(), 0);
    EXPECT_TRUE(testsupport::readFile(b.dir.file(kFile)) == first) << "the second save differs";
}

}  // namespace

// --- Round trip ---

TEST(BufferFileRoundTrip, PlainTextsComeBackAfterARestart) {
    roundTrip(0);
}

TEST(BufferFileRoundTrip, CodedTextsComeBackAndTheSettingFollowsTheFile) {
    roundTrip(1);
}

TEST(BufferFileRoundTrip, ChannelsThatChangedOrVanishedMeanwhileAreDropped) {
    Bench b("2026-12-07 10:15", 40, sim::Heap::kDefaultSize, true);
    fillVarious(b, 8);
    ASSERT_EQ(SaveBufferFile(), 0);
    std::vector<sim::Channel> changed = epgtest::lineup(4);   // channels 4.. are gone
    changed[2].serviceId = 4711;                               // channel 2 is another one now
    b.fw().channels = sim::Channels(changed);
    _evtInfo = nullptr;
    ASSERT_TRUE(b.rx->restart());
    EXPECT_EQ(max_Event[2], 0);
    EXPECT_EQ(rec(2, 0).text, nullptr);
    EXPECT_EQ(max_Event[3], 6);
    EXPECT_EQ(text(3, 0), "Ch3 show 0");
    EXPECT_EQ(max_Event[5], 0);
    EXPECT_EQ(b.heap().liveBlocks(), 3u);   // slots 0, 1 and 3
}

// --- Layout ---

TEST(BufferFileLayout, TheBytesAreTheDocumentedOnes) {
    Bench b;
    fillVarious(b, 12);
    ASSERT_GT(max_Event[SLOT_SCRATCH], 0);
    ASSERT_NE(rec(SLOT_RESULT, 1).text, nullptr);
    hole[SLOT_SCRATCH] = 7;
    ASSERT_EQ(SaveBufferFile(), 0);
    std::string d = testsupport::readFile(b.dir.file(kFile));

    size_t blocks = 0;
    for (int s = 0; s < BUFFER_SLOTS_TV; ++s)
        if (max_Event[s] > 0 && BlockSize[s] > 0)
            blocks += size_t(BlockSize[s]);
    ASSERT_EQ(d.size(), size_t(BUFFER_FILE_FIXED_SIZE) + blocks);
    for (int s = 0; s < BUFFER_SLOTS; ++s) {
        ASSERT_EQ(int32_t(get32(d, size_t(s) * 4)), max_Event[s]);
        ASSERT_EQ(int32_t(get32(d, 808 + size_t(s) * 4)), BlockSize[s]);
        ASSERT_EQ(int32_t(get32(d, 1616 + size_t(s) * 4)), hole[s]);
    }
    EXPECT_EQ(get32(d, 2424), 0u);
    for (int s = 0; s < BUFFER_SLOTS; ++s) {
        bool saved = s < BUFFER_SLOTS_TV && max_Event[s] > 0 && BlockSize[s] > 0;
        const char *block = rec(s, 0).text;
        size_t at = blockAt(d, s);
        if (saved) {
            ASSERT_EQ(d.compare(at, size_t(BlockSize[s]), block, size_t(BlockSize[s])), 0) << "block of slot " << s;
        }
        for (int i = 0; i < EVENTS_PER_SLOT; ++i) {
            size_t r = textAt(s, i) - 12;
            ASSERT_EQ(d.compare(r, 12, reinterpret_cast<const char *>(&rec(s, i)), 12), 0) << s << "/" << i;
            uint32_t v = get32(d, r + 12);
            if (!saved || rec(s, i).text == nullptr)
                ASSERT_EQ(v, 0u) << "slot " << s << " record " << i;
            else
                ASSERT_EQ(v, BUFFER_FILE_TEXT_BASE + uint32_t(rec(s, i).text - block)) << s << "/" << i;
        }
    }
    EXPECT_EQ(d.compare(d.size() - 6868, 6868, reinterpret_cast<const char *>(chMarkInfo), 6868), 0);
    EXPECT_EQ(d.compare(d.size() - 6868 + 10, 5, "TV 1\0", 5), 0);   // slot 0's channel name
    expectDumpReads(d, false);
}

// --- Damaged files ---

TEST(DamagedBufferFile, TextValuesOutsideTheirBlockGiveNoText) {
    Bench b;
    fillVarious(b, 6);
    ASSERT_EQ(SaveBufferFile(), 0);
    std::string d = testsupport::readFile(b.dir.file(kFile));
    uint32_t base = BUFFER_FILE_TEXT_BASE;
    put32(d, textAt(2, 1), base + uint32_t(BlockSize[2]) + 40);   // beyond the block
    put32(d, textAt(2, 2), base - 8);                              // before it
    put32(d, textAt(3, 1), 0xFFFFFFFFu);
    put32(d, textAt(3, 0), 0x7777);                                // another base: the rest is relative
    put32(d, textAt(3, 2), 0x7777 + (get32(d, textAt(3, 2)) - base));
    std::string slot3 = text(3, 2);
    reload(b, d);
    EXPECT_EQ(rec(2, 1).text, nullptr);
    EXPECT_EQ(rec(2, 2).text, nullptr);
    EXPECT_EQ(text(2, 0), "Ch2 show 0");
    EXPECT_EQ(text(2, 3), "Ch2 show 3 ~ Short");
    EXPECT_EQ(rec(3, 1).text, nullptr);
    EXPECT_EQ(text(3, 2), slot3);
    epgtest::expectTextsInsideBlocks(b.heap(), 0);
}

TEST(DamagedBufferFile, AFileThatContradictsItselfIsNotLoadedButKeptAside) {
    Bench b;
    fillVarious(b, 8);
    ASSERT_EQ(SaveBufferFile(), 0);
    std::string good = testsupport::readFile(b.dir.file(kFile));
    std::vector<std::string> slot5 = epgtest::contents(5);

    struct Damage {
        const char *what;
        size_t at;
        uint32_t value;
    } damages[] = {
        {"a count beyond a slot", 1 * 4, 700},
        {"a negative count", 150 * 4, uint32_t(-5)},
        {"a block size a few bytes off", 808 + 2 * 4, 0},   // value set below
        {"a block larger than the file", 808 + 0 * 4, 962500},
        {"counts over records of zeros", 120 * 4, 3},
        {"an hour out of range", BUFFER_FILE_RECORDS_AT + (5 * EVENTS_PER_SLOT + 1) * 16 + 2, 24},
        {"a coding word of 7", 2424, 7},
    };
    damages[2].value = uint32_t(BlockSize[2] + 3);
    for (const Damage &d : damages) {
        std::string bytes = good;
        if (d.at >= BUFFER_FILE_RECORDS_AT && d.at < BUFFER_FILE_BLOCKS_AT)
            bytes[d.at] = char(d.value & 0xFF);   // the start hour alone
        else
            put32(bytes, d.at, d.value);
        testsupport::writeFile(b.dir.file(kFile), bytes);
        epgtest::releaseAll();
        epgtest::forgetBuffer();
        b.fw().system.clearPrinted();
        ASSERT_EQ(ReadBufferFile(), 2) << d.what;
        for (int s = 0; s < BUFFER_SLOTS; ++s)
            ASSERT_EQ(max_Event[s], 0) << d.what << ", slot " << s;
        EXPECT_EQ(b.heap().liveBlocks(), 0u) << d.what;
        EXPECT_EQ(chMarkInfo[3].service_id, 0) << d.what;
        // Set aside under its own name, so the next save does not overwrite it; said on the console.
        EXPECT_FALSE(b.fw().disk.exists(kFile)) << d.what;
        EXPECT_EQ(testsupport::readFile(b.dir.file(BUFFER_FILE_KEPT_NAME)), bytes) << d.what;
        ASSERT_EQ(b.fw().system.printed().size(), 1u) << d.what;
        EXPECT_NE(b.fw().system.printed()[0].find("Diro_ROD.BufferExt.DAT is damaged"), std::string::npos)
            << b.fw().system.printed()[0];
        EXPECT_TRUE(b.fw().disk.openFiles().empty());
    }

    // Counts of the scratch and result slots mean nothing: they start empty, the rest loads.
    std::string d = good;
    put32(d, 200 * 4, 3);
    put32(d, 201 * 4, 9);
    reload(b, d);
    EXPECT_EQ(epgtest::contents(5), slot5);
    EXPECT_EQ(max_Event[SLOT_SCRATCH], 0);
    EXPECT_EQ(max_Event[SLOT_RESULT], 0);
    epgtest::expectTextsInsideBlocks(b.heap(), 0);
}

TEST(DamagedBufferFile, CodedTextsThatRunPastTheirBlockAreDropped) {
    Bench b;
    settings.compress_text = 1;
    fillVarious(b, 8);
    ASSERT_EQ(max_Event[0], 3);
    ASSERT_EQ(max_Event[1], 4);
    ASSERT_EQ(SaveBufferFile(), 0);
    std::string d = testsupport::readFile(b.dir.file(kFile));
    // Slot 0: its three texts overwritten without a zero word; the slack is not word-aligned to
    // record 0's text, so the first text never ends: the slot is emptied.
    int size0 = BlockSize[0];
    ASSERT_NE((size0 - TEXT_BLOCK_SLACK) % 4, 0);
    d.replace(blockAt(d, 0), size_t(size0 - TEXT_BLOCK_SLACK), size_t(size0 - TEXT_BLOCK_SLACK), 'A');
    // Slot 1: its last text overwritten, its value moved off the grid of the slack.
    int size1 = BlockSize[1];
    uint32_t off = uint32_t(rec(1, 3).text - rec(1, 0).text);
    while ((uint32_t(size1 - TEXT_BLOCK_SLACK) - off) % 4 == 0)
        ++off;
    d.replace(blockAt(d, 1) + off, size_t(size1 - TEXT_BLOCK_SLACK) - off, size_t(size1 - TEXT_BLOCK_SLACK) - off, 'B');
    put32(d, textAt(1, 3), BUFFER_FILE_TEXT_BASE + off);
    std::string kept = text(1, 2);
    reload(b, d);
    EXPECT_EQ(max_Event[0], 0);
    EXPECT_EQ(rec(0, 0).text, nullptr);
    EXPECT_EQ(max_Event[1], 4);
    EXPECT_EQ(rec(1, 3).text, nullptr);
    EXPECT_EQ(text(1, 2), kept);
    epgtest::expectTextsInsideBlocks(b.heap(), 1);
}

TEST(DamagedBufferFile, AShortFileIsNotLoaded) {
    Bench b;
    fillVarious(b, 8);
    ASSERT_EQ(SaveBufferFile(), 0);
    std::string good = testsupport::readFile(b.dir.file(kFile));

    for (size_t cut : {size_t(0), size_t(3), size_t(900), size_t(2426), size_t(BUFFER_FILE_RECORDS_AT + 5000),
                       size_t(BUFFER_FILE_BLOCKS_AT), blockAt(good, 3) + 10, good.size() - 1}) {
        testsupport::writeFile(b.dir.file(kFile), good.substr(0, cut));
        epgtest::releaseAll();
        epgtest::forgetBuffer();
        ASSERT_EQ(ReadBufferFile(), 2) << "cut at " << cut;
        for (int s = 0; s < BUFFER_SLOTS; ++s)
            ASSERT_EQ(max_Event[s], 0) << "cut at " << cut << ", slot " << s;
        ASSERT_EQ(b.heap().liveBlocks(), 0u);
        EXPECT_EQ(testsupport::readFile(b.dir.file(BUFFER_FILE_KEPT_NAME)).size(), cut);
    }
    b.fw().disk.remove(kFile);
    settings.compress_text = 1;
    EXPECT_EQ(ReadBufferFile(), 1);   // no file: nothing changes
    EXPECT_EQ(settings.compress_text, 1);
}

// --- Saving ---

TEST(BufferFileSave, AFileThatCannotBeWrittenShowsTheMessage) {
    Bench b;
    rgn = word(TAP_Osd_Create(0, 0, OSD_WIDTH, OSD_HEIGHT, 0, 0));
    fillVarious(b, 4);
    ASSERT_EQ(SaveBufferFile(), 0);
    std::string saved = testsupport::readFile(b.dir.file(kFile));
    b.fw().disk.faults.refuseOpen = true;
    EXPECT_EQ(SaveBufferFile(), 1);
    EXPECT_TRUE(drawn(b, "     Can't SAVE BUFFER FILE"));
    b.fw().disk.faults.refuseOpen = false;
    EXPECT_EQ(text(0, 0), "Ch0 show 0");   // the buffer is unchanged

    b.rx->screen().clearLog();
    b.fw().disk.faults.failWritesAfterBytes = 100000;   // the disk fills up while writing
    EXPECT_EQ(SaveBufferFile(), 1);
    EXPECT_TRUE(drawn(b, "     Can't SAVE BUFFER FILE"));
    b.fw().disk.faults.failWritesAfterBytes = -1;
    EXPECT_TRUE(b.fw().disk.openFiles().empty());
    // The firmware logs the write that fell short, so the failure is seen after the message went.
    ASSERT_FALSE(b.fw().log.lines().empty());
    EXPECT_NE(b.fw().log.lines().back().find("written to Diro_ROD.BufferExt.DAT"), std::string::npos)
        << b.fw().log.lines().back();
    // The full disk cut the new copy short, not the file: the last save is still there whole.
    EXPECT_EQ(testsupport::readFile(b.dir.file(kFile)), saved);
    EXPECT_FALSE(b.fw().disk.exists(std::string(kFile) + ".tmp"));
    epgtest::releaseAll();
    epgtest::forgetBuffer();
    EXPECT_EQ(ReadBufferFile(), 0);
    EXPECT_EQ(text(0, 0), "Ch0 show 0");
}

TEST(AutoSave, WritesOncePerDueMinute) {
    Bench b;
    fillVarious(b, 3);
    int64_t t0 = epgtest::localMs(b.day + " 00:00");
    auto savesOver = [&](int setting, int64_t from, int64_t to) {
        settings.auto_save_buffer = setting;
        std::vector<int> minutes;
        for (int64_t t = from; t < to; t += 10000) {
            b.rx->setClock(t);
            ReadClock();
            if (SaveBufferAuto())
                minutes.push_back(time_h * 60 + time_min + (time_sec ? 10000 : 0));
        }
        return minutes;
    };
    EXPECT_EQ(savesOver(2, t0 + 779 * 60000, t0 + 841 * 60000), (std::vector<int>{780, 840}));
    EXPECT_TRUE(b.fw().disk.exists(kFile));
    SaveBufferAuto_lastmin = -1;
    EXPECT_EQ(savesOver(8, t0, t0 + 1440 * 60000), (std::vector<int>{0, 240, 480, 720, 960, 1200}));
    EXPECT_EQ(savesOver(1, t0 + 60 * 60000, t0 + 121 * 60000), (std::vector<int>{60, 90, 120}));
    EXPECT_TRUE(savesOver(0, t0, t0 + 180 * 60000).empty());
}
