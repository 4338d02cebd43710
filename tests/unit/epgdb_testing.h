// Helpers of the EPG data base tests: a virtual receiver with the plug-in linked in but not
// started (the tests call the plug-in directly), the settings at their defaults, broadcast
// schedules for the firmware's EPG, and readers of what a slot holds.
// Example:
//   epgtest::Bench b("2026-12-07 10:15");
//   b.schedule(0, 3, {b.event("10:00", 60, "News")});
//   FillBuffer(0, 3);   // max_Event[3] == 1, epgtest::text(3, 0) == "News"
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "epgdb/buffer.h"
#include "epgdb/fill.h"
#include "frame/state.h"
#include "receiver/lineup.h"
#include "settings/settings.h"
#include "sim/clock.h"
#include "sim/epg.h"
#include "tests/support/support.h"
#include "text/coded.h"

namespace epgtest {

// n TV channels "TV 1" .. "TV n" (service ids 1000 + i, logical numbers i + 1) and two radio channels.
inline std::vector<sim::Channel> lineup(int n) {
    std::vector<sim::Channel> out;
    for (int i = 0; i < n; ++i)
        out.push_back({sim::kTv, "TV " + std::to_string(i + 1), 1000 + i, i + 1, 1 + i / 8, ""});
    out.push_back({sim::kRadio, "Radio 1", 5000, 501, 30, ""});
    out.push_back({sim::kRadio, "Radio 2", 5001, 502, 30, ""});
    return out;
}

inline int64_t localMs(const std::string &text) {
    int64_t ms = 0;
    if (!sim::parseLocalTime(text, ms))
        ADD_FAILURE() << "bad time " << text;
    return ms;
}

struct Bench {
    testsupport::TempDir dir;
    std::unique_ptr<sim::Receiver> rx;
    std::string day;   // "YYYY-MM-DD" of the clock at the start

    // powerOn: the plug-in starts as on the receiver (TAP_Main); otherwise only the settings are
    // brought to their defaults and the clock and channel copies read.
    explicit Bench(const std::string &clock = "2026-12-07 10:15", int tvChannels = 40,
                   size_t heapBytes = sim::Heap::kDefaultSize, bool powerOn = false)
        : Bench(clock, lineup(tvChannels), heapBytes, powerOn) {}
    // The same with a lineup of the test's own.
    Bench(const std::string &clock, std::vector<sim::Channel> channels, size_t heapBytes = sim::Heap::kDefaultSize,
          bool powerOn = false) {
        testsupport::LinkedOptions o;
        o.clock = clock;
        o.lineup = std::move(channels);
        o.heapSize = heapBytes;
        o.powerOn = powerOn;
        rx = testsupport::linkedReceiver(dir.path(), o);
        day = clock.substr(0, 10);
        if (powerOn)
            return;
        Clear_Settings();
        ReadClock();
        TAP_Channel_GetCurrent(&_svcType, &_svcNum);
        CountChannels();
        Check_Settings();
    }

    sim::Firmware &fw() { return rx->firmware(); }
    sim::Heap &heap() { return rx->firmware().heap; }

    // Sets the receiver's clock and the plug-in's copy of it ("HH:MM" today or a full time).
    void clock(const std::string &when) {
        rx->setClock(at(when));
        ReadClock();
    }
    // Local ms of "HH:MM" today, "+1 HH:MM" tomorrow, or "YYYY-MM-DD HH:MM".
    int64_t at(const std::string &when) const {
        if (when.size() == 5)
            return localMs(day + " " + when);
        if (when.rfind("+1 ", 0) == 0)
            return localMs(day + " " + when.substr(3)) + 24LL * 3600 * 1000;
        return localMs(when);
    }
    sim::GuideEvent event(const std::string &start, int minutes, const std::string &title,
                          const std::string &shortText = "", const std::string &extText = "", int id = 0) const {
        sim::GuideEvent e;
        e.startMs = at(start);
        e.endMs = e.startMs + int64_t(minutes) * 60000;
        e.eventId = static_cast<uint16_t>(id);
        e.title = title;
        e.shortText = shortText;
        e.extText = extText;
        return e;
    }
    void schedule(int svcType, int svcNum, std::vector<sim::GuideEvent> events) {
        rx->firmware().epg.setSchedule(svcType, svcNum, std::move(events));
    }
};

inline EpgEvent &rec(int slot, int index) { return EPG_Buffer[slot * EVENTS_PER_SLOT + index]; }

// The decoded text of a record ("" for none).
inline std::string text(int slot, int index) { return DCT(rec(slot, index).text); }

// "HH:MM-HH:MM" of a record (end from its end fields).
inline std::string times(int slot, int index) {
    const EpgEvent &e = rec(slot, index);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d-%02d:%02d", e.start_hour, e.start_min, e.end_hour, e.end_min);
    return buf;
}

// Every valid record of a slot as "HH:MM-HH:MM title-and-texts".
inline std::vector<std::string> contents(int slot) {
    std::vector<std::string> out;
    for (int i = 0; i < max_Event[slot]; ++i)
        out.push_back(times(slot, i) + " " + text(slot, i));
    return out;
}

// Whether every text of every slot lies inside its slot's block (the heap block record 0 owns,
// of BlockSize bytes) and ends there: a NUL for plain texts, an all-zero word for coded ones.
// Slot 201 is skipped (its texts are borrowed).
inline void expectTextsInsideBlocks(sim::Heap &heap, int coded) {
    for (int s = 0; s <= SLOT_SCRATCH; ++s) {
        const char *block = rec(s, 0).text;
        if (block == nullptr) {
            for (int i = 0; i < EVENTS_PER_SLOT; ++i)
                ASSERT_EQ(rec(s, i).text, nullptr) << "slot " << s << " record " << i << " without a block";
            continue;
        }
        ASSERT_EQ(heap.blockSize(block), static_cast<size_t>(BlockSize[s])) << "slot " << s;
        for (int i = 0; i < EVENTS_PER_SLOT; ++i) {
            const char *t = rec(s, i).text;
            if (t == nullptr)
                continue;
            ASSERT_LT(i, max_Event[s]) << "slot " << s << ": a text beyond the valid records";
            ASSERT_GE(t, block);
            ASSERT_LT(t, block + BlockSize[s]) << "slot " << s << " record " << i;
            long room = static_cast<long>(block + BlockSize[s] - t);
            bool ends = false;
            if (!coded)
                ends = std::memchr(t, 0, static_cast<size_t>(room)) != nullptr;
            for (long at = 0; coded && at + 4 <= room && !ends; at += 4)
                ends = t[at] == 0 && t[at + 1] == 0 && t[at + 2] == 0 && t[at + 3] == 0;
            ASSERT_TRUE(ends) << "slot " << s << " record " << i << " runs past its block";
        }
    }
}

// Forgets the buffer without freeing anything, as a freshly loaded plug-in starts.
inline void forgetBuffer() {
    std::memset(EPG_Buffer, 0, sizeof EPG_Buffer);
    std::memset(max_Event, 0, sizeof max_Event);
    std::memset(currEvent, 0, sizeof currEvent);
    std::memset(hole, 0, sizeof hole);
    std::memset(BlockSize, 0, sizeof BlockSize);
    std::memset(chMarkInfo, 0, sizeof chMarkInfo);
    largetxt_lastmem = nullptr;
}

// Empties every slot and drops the firmware's event array: afterwards the plug-in holds no heap.
inline void releaseAll() {
    for (int s = 0; s <= SLOT_SCRATCH; ++s)
        DelBuf(s);
    if (_evtInfo != nullptr)
        TAP_MemFree(_evtInfo);
    _evtInfo = nullptr;
    _eventNum = 0;
}

}  // namespace epgtest
