// The buffer file across real restarts of the plug-in image (loaded as the firmware loads it, its
// globals fresh at every load). The image's buffer is seen through the firmware's heap: one
// block per channel it loaded, of the size the file gives, taken back at the next restart.
//   BufferFileStartUp*   a file written in the documented layout is loaded at start-up; channels
//                        whose service changed are dropped; a restart loads it again
//   DamagedBufferFile*   damaged and cut files never bring the start-up down; a file that
//                        contradicts itself is set aside, the start is empty and says so
//   BufferedChannels*    saving on a radio channel keeps every TV channel's events
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "frame/platform/tap.h"
#include "receiver/buffer_dump.h"
#include "tests/support/support.h"

using testsupport::TempDir;

namespace {

const char kFile[] = "Diro_ROD.BufferExt.DAT";
const uint32_t kTextBase = 0x10000000;
const int kSlots = 202, kEvents = 500, kMjd = 61381;   // 2026-12-07

std::vector<sim::Channel> lineup() {
    std::vector<sim::Channel> out;
    for (int i = 0; i < 20; ++i)
        out.push_back({sim::kTv, "Channel " + std::to_string(i), 2000 + i, i + 1, 1 + i / 5, ""});
    out.push_back({sim::kRadio, "Radio", 3000, 100, 9, ""});
    return out;
}

struct Slot {
    int slot;
    std::vector<std::string> texts;   // plain texts, one event each
    int serviceId;
};

void put(std::string &d, size_t at, uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i)
        d[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

// A buffer file in the documented layout: counts, block sizes, holes, the coding word, the
// records (events of 30 minutes from 10:00), the blocks, the channel marks.
std::string bufferFile(const std::vector<Slot> &slots) {
    std::string d(2428 + size_t(kSlots) * kEvents * 16, '\0');
    std::string blocks;
    std::string marks(size_t(kSlots) * 34, '\0');
    for (const Slot &s : slots) {
        std::string block;
        for (size_t i = 0; i < s.texts.size(); ++i) {
            size_t r = 2428 + (size_t(s.slot) * kEvents + i) * 16;
            int start = 600 + int(i) * 30, end = start + 30;
            put(d, r, kMjd, 2);
            d[r + 2] = char(start / 60);
            d[r + 3] = char(start % 60);
            put(d, r + 4, kMjd, 2);
            d[r + 6] = char(end / 60);
            d[r + 7] = char(end % 60);
            d[r + 9] = 30;
            put(d, r + 10, uint32_t(i + 1), 2);
            put(d, r + 12, kTextBase + uint32_t(block.size()));
            block += s.texts[i] + '\0';
        }
        block += std::string(4, '\0');
        put(d, size_t(s.slot) * 4, uint32_t(s.texts.size()));
        if (!s.texts.empty()) {
            put(d, 808 + size_t(s.slot) * 4, uint32_t(block.size()));
            blocks += block;
        }
        size_t m = size_t(s.slot) * 34;
        put(marks, m + 2, uint32_t(s.slot), 2);
        put(marks, m + 6, uint32_t(s.serviceId), 2);
        std::string name = "Channel " + std::to_string(s.slot);
        marks.replace(m + 10, name.size(), name);
    }
    return d + blocks + marks;
}

size_t blockSize(const Slot &s) {
    size_t n = 4;
    for (const std::string &t : s.texts)
        n += t.size() + 1;
    return n;
}

std::unique_ptr<sim::Receiver> start(const TempDir &dir) {
    testsupport::LinkedOptions o;
    o.clock = "2026-12-07 10:15";
    o.lineup = lineup();
    return testsupport::imageReceiver(dir.path(), o);
}

}  // namespace

TEST(BufferFileStartUp, LoadsTheChannelsOfTheFileAndAgainAfterARestart) {
    TempDir dir;
    std::vector<Slot> slots = {{0, {"News ~ Today|Line", "Film"}, 2000},
                               {1, {"Other channel's show"}, 9999},   // the service changed meanwhile
                               {2, {}, 2002},                        // no events: no block
                               {7, {"A", "B ~ b", "C|c1|c2", "D"}, 2007}};
    testsupport::writeFile(dir.file(kFile), bufferFile(slots));
    auto rx = start(dir);
    ASSERT_TRUE(rx->pluginRunning()) << rx->error();
    sim::Heap &heap = rx->firmware().heap;
    size_t expected = blockSize(slots[0]) + blockSize(slots[3]);
    EXPECT_EQ(heap.liveBlocks(), 2u);
    EXPECT_EQ(heap.usedBytes(), expected);
    EXPECT_TRUE(rx->firmware().disk.openFiles().empty());

    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(rx->restart()) << rx->error();
        EXPECT_EQ(rx->host().lastLeftovers().heapBlocks, 2u);
        EXPECT_EQ(rx->host().lastLeftovers().heapBytes, expected);
        EXPECT_EQ(heap.liveBlocks(), 2u);
        EXPECT_EQ(heap.usedBytes(), expected);
    }
    EXPECT_EQ(heap.doubleFrees(), 0);
    EXPECT_EQ(testsupport::readFile(dir.file(kFile)), bufferFile(slots));   // reading leaves the file
}

TEST(BufferFileStartUp, StartsOnARadioChannelWithoutTheChannelCheck) {
    TempDir dir;
    testsupport::writeFile(dir.file(kFile), bufferFile({{3, {"Kept"}, 2003}, {4, {"Changed"}, 1}}));
    testsupport::LinkedOptions o;
    o.clock = "2026-12-07 10:15";
    o.lineup = lineup();
    o.channel = {sim::kRadio, 0};
    auto rx = testsupport::imageReceiver(dir.path(), o);
    ASSERT_TRUE(rx->pluginRunning()) << rx->error();
    EXPECT_EQ(rx->firmware().heap.liveBlocks(), 2u);   // the check waits until TV is shown
}

TEST(DamagedBufferFile, NeverBringsTheStartUpDown) {
    TempDir dir;
    std::vector<Slot> slots;
    for (int s = 0; s < 12; ++s)
        slots.push_back({s, {"Title " + std::to_string(s) + " ~ short|long info", "Second", "Third ~ x"}, 2000 + s});
    const std::string good = bufferFile(slots);
    auto rx = start(dir);
    ASSERT_TRUE(rx->pluginRunning());

    // Bytes changed in the counts, sizes and text values, and files cut anywhere.
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int round = 0; round < 60; ++round) {
        std::string d = good;
        if (round % 3 == 2) {
            d.resize(next() % d.size());
        } else {
            for (int k = 0; k < 6; ++k) {
                size_t at;
                switch (next() % 3) {
                case 0: at = next() % 2428; break;                                        // counters
                case 1: at = 2428 + (next() % (12 * kEvents)) * 16 + 12 + next() % 4; break;   // text values
                default: at = 2428 + size_t(kSlots) * kEvents * 16 + next() % (d.size() - 1618428); break;
                }
                d[at] = char(next());
            }
        }
        testsupport::writeFile(dir.file(kFile), d);
        ASSERT_TRUE(rx->restart()) << "round " << round << ": " << rx->error();
        sim::Heap &heap = rx->firmware().heap;
        EXPECT_LE(heap.liveBlocks(), 12u) << "round " << round;
        EXPECT_LE(heap.usedBytes(), good.size()) << "round " << round;
        EXPECT_TRUE(rx->firmware().disk.openFiles().empty());
    }
}

TEST(DamagedBufferFile, AFileWithABlockSizeOffIsSetAsideAndSavedAnewFromRadio) {
    TempDir dir;
    std::vector<Slot> slots;
    for (int s = 0; s < 4; ++s)
        slots.push_back({s, {"Title " + std::to_string(s), "Second"}, 2000 + s});
    std::string damaged = bufferFile(slots);
    put(damaged, 808 + 1 * 4, uint32_t(blockSize(slots[1]) + 3));   // a block size a few bytes off
    testsupport::writeFile(dir.file(kFile), damaged);
    testsupport::LinkedOptions o;
    o.clock = "2026-12-07 10:15";
    o.lineup = lineup();
    o.channel = {sim::kRadio, 0};   // no channel check on radio: nothing else would catch it
    auto rx = testsupport::imageReceiver(dir.path(), o);
    ASSERT_TRUE(rx->pluginRunning()) << rx->error();
    EXPECT_EQ(rx->firmware().heap.liveBlocks(), 0u);
    ASSERT_EQ(rx->firmware().system.printed().size(), 1u);
    EXPECT_NE(rx->firmware().system.printed()[0].find("its length does not match its text block sizes"),
              std::string::npos)
        << rx->firmware().system.printed()[0];
    EXPECT_EQ(testsupport::readFile(dir.file("Diro_ROD.BufferExt.bad")), damaged);

    // The next save writes a sound file beside the one set aside.
    rx->pressKey(RKEY_Guide);
    rx->pressKey(RKEY_Red);
    rx::BufferDump saved = rx::dumpBuffer(testsupport::readFile(dir.file(kFile)));
    EXPECT_TRUE(saved.readable);
    EXPECT_TRUE(saved.problems.empty());
    EXPECT_EQ(saved.channels, 0);
    EXPECT_EQ(testsupport::readFile(dir.file("Diro_ROD.BufferExt.bad")), damaged);
}

TEST(DamagedBufferFile, CountsOverRecordsOfZerosAreNotLoaded) {
    TempDir dir;
    std::string d = bufferFile({{0, {"Kept"}, 2000}});
    put(d, 5 * 4, 3);   // three events of slot 5, whose records are all zero: dated 17 Nov 1858
    testsupport::writeFile(dir.file(kFile), d);
    auto rx = start(dir);
    ASSERT_TRUE(rx->pluginRunning()) << rx->error();
    EXPECT_EQ(rx->firmware().heap.liveBlocks(), 0u);
    EXPECT_FALSE(testsupport::readFile(dir.file("Diro_ROD.BufferExt.bad")).empty());
}

TEST(BufferedChannels, SavingOnARadioChannelKeepsEveryTvChannelsEvents) {
    TempDir dir;
    // The demo lineup (40 TV, 10 radio channels) and guide: filled in the background, saved,
    // restarted on a radio channel and saved again from the guide there.
    auto r = testsupport::runReceiver({"--disk", dir.path(), "--clock", "2026-12-07 10:15", "--script", "-"},
                                      "wait 5m\nkey GUIDE\nkey RED\ndump settings " + dir.file("before.txt") +
                                          "\ntune ra:0\nrestart\nwait 2s\nkey GUIDE\nkey RED\n"
                                          "dump settings " + dir.file("after.txt") + "\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(testsupport::readFile(dir.file("before.txt")).find("\n200 40\n"), std::string::npos);
    EXPECT_NE(testsupport::readFile(dir.file("after.txt")).find("\n200 40\n"), std::string::npos)
        << "the buffered channels are the TV channels, also on radio";
    EXPECT_EQ(rx::dumpBuffer(testsupport::readFile(dir.file(kFile))).channels, 40);
}
