// The buffer file read on a PC (`--dump-buffer`), on files made by hand byte by byte.
//   Lines     plain and coded texts, title / short info / long info, umlauts as UTF-8, events
//             without text, empty slots left out
//   Damage    cut short, a byte too many, a strange coding word, counts out of range, texts
//             outside their block, impossible times: clear messages, the rest still listed
//   Program   a file or its folder, exit codes, a missing file
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "receiver/buffer_dump.h"
#include "sim/clock.h"
#include "tests/support/support.h"

using testsupport::runReceiver;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

const char kCodeChars[] = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz,.:!?-'\"&/()"
                          "\xC4\xDC\xE4\xF6\xFC\xDF|~";

void put32(std::string &b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The coded form of a text of characters the code has: words of five codes, the zero word.
std::string encode(const std::string &text) {
    std::string out;
    std::vector<uint32_t> codes;
    for (char c : text)
        codes.push_back(static_cast<uint32_t>(std::strchr(kCodeChars, c) - kCodeChars + 1));
    codes.push_back(0);
    while (codes.size() % 5)
        codes.push_back(0);
    for (size_t i = 0; i < codes.size(); i += 5) {
        uint32_t w = codes[i] + 84 * (codes[i + 1] + 84 * (codes[i + 2] + 84 * (codes[i + 3] + 84 * codes[i + 4])));
        std::string word(4, '\0');
        put32(word, 0, w);
        out += word;
    }
    return out + std::string(4, '\0');
}

// A buffer file assembled field by field, as the plug-in lays it out.
struct BufferImage {
    int32_t count[rx::kBufferSlots] = {};
    int32_t hole[rx::kBufferSlots] = {};
    uint32_t coding = 0;
    std::string records = std::string(rx::kBufferRecordsSize, '\0');
    std::string blocks[rx::kBufferedChannels];
    std::string marks = std::string(rx::kBufferMarksSize, '\0');
    static constexpr uint32_t kBase = 0x80401000;  // where the block lay in the receiver's memory

    void mark(int slot, const std::string &name) {
        size_t at = static_cast<size_t>(slot) * rx::kChannelMarkSize;
        marks[at + 2] = static_cast<char>(slot);
        marks.replace(at + 10, name.size(), name);
    }

    // Adds an event: text "" with `noText` stores a null text.
    void event(int slot, const char *start, const char *end, const std::string &text, bool noText = false) {
        size_t at = (static_cast<size_t>(slot) * rx::kEventsPerSlot + static_cast<size_t>(count[slot])) * 16;
        for (const char *t : {start, end}) {
            int64_t ms = 0;
            EXPECT_TRUE(sim::parseLocalTime(t, ms));
            sim::CivilTime c = sim::Clock::toCivil(ms);
            records[at] = static_cast<char>(c.mjd & 0xFF);
            records[at + 1] = static_cast<char>(c.mjd >> 8);
            records[at + 2] = static_cast<char>(c.hour);
            records[at + 3] = static_cast<char>(c.minute);
            at += 4;
        }
        uint32_t pointer = 0;
        if (!noText) {
            pointer = kBase + static_cast<uint32_t>(blocks[slot].size());
            blocks[slot] += coding == 1 ? encode(text) + std::string(1, '\0') : text + std::string(1, '\0');
        }
        put32(records, at + 4, pointer);
        ++count[slot];
    }

    void setText(int slot, int index, uint32_t pointer) {
        put32(records, (static_cast<size_t>(slot) * rx::kEventsPerSlot + static_cast<size_t>(index)) * 16 + 12,
              pointer);
    }

    std::string bytes() const {
        std::string head(rx::kBufferHeadSize, '\0');
        for (int s = 0; s < rx::kBufferSlots; ++s) {
            uint32_t size =
                s < rx::kBufferedChannels && !blocks[s].empty() ? static_cast<uint32_t>(blocks[s].size() + 4) : 0;
            put32(head, 4 * static_cast<size_t>(s), static_cast<uint32_t>(count[s]));
            put32(head, 4 * (rx::kBufferSlots + static_cast<size_t>(s)), size);
            put32(head, 4 * (2 * rx::kBufferSlots + static_cast<size_t>(s)), static_cast<uint32_t>(hole[s]));
        }
        put32(head, 3 * 4 * rx::kBufferSlots, coding);
        std::string out = head + records;
        for (int s = 0; s < rx::kBufferedChannels; ++s)
            if (!blocks[s].empty())
                out += blocks[s] + std::string(4, '\0');
        return out + marks;
    }
};

BufferImage sample(uint32_t coding) {
    BufferImage b;
    b.coding = coding;
    b.mark(0, "Das Erste HD");
    b.event(0, "2026-12-07 20:00", "2026-12-07 20:15", "Tagesschau ~ Nachrichten|Mit dem Wetter|Zweite Zeile");
    b.event(0, "2026-12-07 20:15", "2026-12-07 21:45", "Tatort ~ Sch\xF6ne Gr\xFC\xDF" "e");
    b.event(0, "2026-12-07 21:45", "2026-12-08 00:05", "Nachtfilm|Ein Film, der bis nach Mitternacht l\xE4uft.");
    b.event(0, "2026-12-08 00:05", "2026-12-08 00:10", "", true);
    b.mark(3, "A name of 23 characters");
    b.event(3, "2026-12-07 19:30", "2026-12-07 20:00", "Nur Titel");
    return b;
}

const char *const kSampleLines[] = {
    "0|Das Erste HD|2026-12-07 20:00|2026-12-07 20:15|Tagesschau|Nachrichten|Mit dem Wetter|Zweite Zeile",
    "0|Das Erste HD|2026-12-07 20:15|2026-12-07 21:45|Tatort|Sch\xC3\xB6ne Gr\xC3\xBC\xC3\x9F" "e|",
    "0|Das Erste HD|2026-12-07 21:45|2026-12-08 00:05|Nachtfilm||Ein Film, der bis nach Mitternacht l\xC3\xA4uft.",
    "0|Das Erste HD|2026-12-08 00:05|2026-12-08 00:10|||",
    "3|A name of 23 characters|2026-12-07 19:30|2026-12-07 20:00|Nur Titel||",
};

TEST(BufferDump, PlainAndCodedTextsGiveTheSameLines) {
    for (uint32_t coding : {0u, 1u}) {
        rx::BufferDump d = rx::dumpBuffer(sample(coding).bytes());
        EXPECT_TRUE(d.readable);
        EXPECT_EQ(d.coded, coding == 1);
        EXPECT_EQ(d.channels, 2);
        EXPECT_TRUE(d.problems.empty()) << d.problems[0];
        ASSERT_EQ(d.lines.size(), 5u) << "coding " << coding;
        for (size_t i = 0; i < 5; ++i)
            EXPECT_EQ(d.lines[i], kSampleLines[i]) << "coding " << coding;
    }
}

TEST(BufferDump, TheCodedTextDecoderStopsAtTheEndCodeAndAtTheBlockEnd) {
    std::string coded = encode("Film ~ Drama|L1|L2");
    EXPECT_EQ(rx::decodeCodedText(reinterpret_cast<const unsigned char *>(coded.data()), coded.size()),
              "Film ~ Drama|L1|L2");
    // Cut inside the text: what whole words hold.
    EXPECT_EQ(rx::decodeCodedText(reinterpret_cast<const unsigned char *>(coded.data()), 6), "Film ");
    // A word above 84^5 - 1 cannot come from the encoder: its top code ends the text.
    std::string wild(4, '\xFF');
    EXPECT_EQ(rx::decodeCodedText(reinterpret_cast<const unsigned char *>(wild.data()), 4).size(), 4u);
    std::string title, shortInfo, longInfo;
    rx::splitEventText("News|Headlines ~ more", title, shortInfo, longInfo);
    EXPECT_EQ(title, "News");
    EXPECT_EQ(shortInfo, "");
    EXPECT_EQ(longInfo, "Headlines ~ more");
}

TEST(BufferDump, DamagedFilesGiveClearMessagesAndTheRestIsStillListed) {
    std::string good = sample(0).bytes();
    rx::BufferDump shortFile = rx::dumpBuffer(good.substr(0, 5000));
    EXPECT_FALSE(shortFile.readable);
    EXPECT_NE(shortFile.problems.at(0).find("the file is 5000 bytes; a buffer file has at least 1625296"),
              std::string::npos);
    rx::BufferDump longer = rx::dumpBuffer(good + "x");
    EXPECT_FALSE(longer.readable);
    EXPECT_NE(longer.problems.at(0).find("but its text block sizes make"), std::string::npos) << longer.problems[0];
    EXPECT_TRUE(longer.lines.empty());
    rx::BufferDump cut = rx::dumpBuffer(good.substr(0, good.size() - 10));
    EXPECT_FALSE(cut.readable);

    BufferImage b = sample(0);
    b.coding = 7;
    rx::BufferDump coding = rx::dumpBuffer(b.bytes());
    EXPECT_FALSE(coding.readable);
    EXPECT_EQ(coding.problems.at(0), "the coding word is 7, not 0 (plain texts) or 1 (coded texts)");

    BufferImage c = sample(0);
    c.count[3] = 600;              // its block still follows: the layout holds
    c.setText(0, 1, 0x80400000);   // before the block
    c.setText(0, 2, BufferImage::kBase + 5000);  // after it
    c.records[(0 * 500 + 3) * 16 + 2] = 24;      // 24 o'clock
    rx::BufferDump d = rx::dumpBuffer(c.bytes());
    EXPECT_TRUE(d.readable);
    ASSERT_EQ(d.lines.size(), 1u);
    EXPECT_EQ(d.lines[0], kSampleLines[0]);
    ASSERT_EQ(d.problems.size(), 4u);
    EXPECT_EQ(d.problems[0], "slot 0: event 1: its text lies outside the slot's text block; left out");
    EXPECT_EQ(d.problems[1], "slot 0: event 2: its text lies outside the slot's text block; left out");
    EXPECT_EQ(d.problems[2], "slot 0: event 3: its times are out of range; left out");
    EXPECT_EQ(d.problems[3], "slot 3: the event count 600 lies outside 0..500; slot left out");
}

TEST(BufferDump, TheProgramPrintsAFileOrTheOneInAFolder) {
    TempDir dir;
    writeFile(dir.file(rx::kBufferFileName), sample(1).bytes());
    for (const std::string &arg : {dir.path(), dir.file(rx::kBufferFileName)}) {
        auto r = runReceiver({"--dump-buffer", arg});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::string expected;
        for (const char *l : kSampleLines)
            expected += std::string(l) + "\n";
        EXPECT_EQ(r.out, expected);
        EXPECT_NE(r.err.find("5 events of 2 channels, texts coded"), std::string::npos) << r.err;
    }
    writeFile(dir.file("damaged.DAT"), sample(0).bytes() + "xyz");
    auto damaged = runReceiver({"--dump-buffer", dir.file("damaged.DAT")});
    EXPECT_EQ(damaged.exitCode, 2);
    EXPECT_EQ(damaged.out, "");
    EXPECT_NE(damaged.err.find("this buffer file is damaged; nothing could be read"), std::string::npos) << damaged.err;
    auto missing = runReceiver({"--dump-buffer", dir.file("none.DAT")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("none.DAT: cannot read the buffer file"), std::string::npos);
    auto both = runReceiver({"--dump-buffer", dir.path(), "--script", "-"});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_NE(both.err.find("--dump-buffer runs on its own"), std::string::npos);
}

}  // namespace
