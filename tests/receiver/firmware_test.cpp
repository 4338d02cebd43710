// The firmware library as the plug-in calls it (TAP_* entries on an active sim::Firmware):
//   Disk      names outside the folder refused, open/create/read/write/seek, short reads,
//             faults (full, power cut, refused open), handle tracking, free space, rename; the
//             firmware's log of refused writes and timers
//   Clock     MJD round trip on known dates, weekdays, invalid dates, the civil time kept per
//             second, ticks and delays
//   Heap      accounting, limit, double free and leak detection, scheduled failure
//   Channels  counts, channel records, tuning and its log
//   System    state, display ownership, generated events, language, printing, exit request
//   Recorder  the record button: tuners shared per transponder, refusal, the end of a recording
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "frame/platform/tap.h"
#include "sim/firmware.h"
#include "tests/support/support.h"

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::vector<sim::Channel> smallLineup() {
    return {{sim::kTv, "Das Erste HD", 10301, 1, 1, "Das.Erste.de"},
            {sim::kTv, "A name that is far longer than the record holds", 11110, 5, 2, ""},
            {sim::kTv, "ORF1 HD", 4911, 24, 6, ""},
            {sim::kRadio, "Bayern 3", 28403, 101, 9, ""}};
}

struct FirmwareFixture : ::testing::Test {
    TempDir dir;
    std::unique_ptr<sim::Firmware> fw;
    void SetUp() override {
        sim::FirmwareConfig config;
        config.diskDir = dir.path() + "/disk";
        config.lineup = smallLineup();
        sim::parseLocalTime("2026-12-07 20:00", config.clockMs);
        config.freeMb = 1234;
        config.heapSize = 1000;
        fw = std::make_unique<sim::Firmware>(config);
        fw->activate();
    }
    std::string diskFile(const std::string &name) const { return dir.path() + "/disk/" + name; }
};

// --- Disk ---

TEST_F(FirmwareFixture, DiskRefusesNamesOutsideTheFolder) {
    writeFile(dir.file("outside.txt"), "secret");
    const char *bad[] = {"", ".", "..", "../outside.txt", "sub/file", "a\\b", "/etc/passwd"};
    for (const char *name : bad) {
        EXPECT_EQ(TAP_Hdd_Fopen(name), nullptr) << name;
        EXPECT_NE(TAP_Hdd_Create(name, ATTR_NORMAL), 0) << name;
        EXPECT_NE(TAP_Hdd_Delete(name), 0) << name;
        EXPECT_EQ(TAP_Hdd_Exist(name), 0) << name;
    }
    std::string longName(101, 'a');
    EXPECT_NE(TAP_Hdd_Create(longName.c_str(), ATTR_NORMAL), 0);
    EXPECT_EQ(TAP_Hdd_Create(std::string(100, 'a').c_str(), ATTR_NORMAL), 0);
    EXPECT_EQ(TAP_Hdd_Fopen(nullptr), nullptr);
    EXPECT_EQ(readFile(dir.file("outside.txt")), "secret");
    EXPECT_GT(fw->disk.refusedNames(), 0);
}

TEST_F(FirmwareFixture, DiskFilesCreateWriteSeekReadAndDelete) {
    EXPECT_EQ(TAP_Hdd_Fopen("Diro_ROD.Settings.DAT"), nullptr);
    ASSERT_EQ(TAP_Hdd_Create("Diro_ROD.Settings.DAT", ATTR_NORMAL), 0);
    EXPECT_EQ(TAP_Hdd_Exist("Diro_ROD.Settings.DAT"), 1);
    TYPE_File *f = TAP_Hdd_Fopen("Diro_ROD.Settings.DAT");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(TAP_Hdd_Flen(f), 0u);
    EXPECT_EQ(TAP_Hdd_Fwrite("0123456789", 5, 2, f), 2u);
    EXPECT_EQ(TAP_Hdd_Ftell(f), 10u);
    EXPECT_EQ(TAP_Hdd_Flen(f), 10u);
    EXPECT_EQ(TAP_Hdd_Fseek(f, 3, SEEK_FROM_START), 3u);
    char buf[16] = {};
    // A short read: 7 bytes are left, one whole block of 4 and the rest still copied.
    EXPECT_EQ(TAP_Hdd_Fread(buf, 4, 3, f), 1u);
    EXPECT_STREQ(buf, "3456789");
    EXPECT_EQ(TAP_Hdd_Fseek(f, -2, SEEK_FROM_END), 8u);
    EXPECT_EQ(TAP_Hdd_Fwrite("XY", 2, 1, f), 1u);
    EXPECT_EQ(TAP_Hdd_Fseek(f, -5, SEEK_FROM_START), 10u) << "a seek before the start leaves the position";
    TAP_Hdd_Fclose(f);
    EXPECT_EQ(readFile(diskFile("Diro_ROD.Settings.DAT")), "01234567XY");
    // Opening starts at 0; creating again truncates.
    f = TAP_Hdd_Fopen("Diro_ROD.Settings.DAT");
    EXPECT_EQ(TAP_Hdd_Fread(buf, 10, 1, f), 1u);
    TAP_Hdd_Fclose(f);
    EXPECT_EQ(TAP_Hdd_Create("Diro_ROD.Settings.DAT", ATTR_NORMAL), 0);
    EXPECT_EQ(readFile(diskFile("Diro_ROD.Settings.DAT")), "");
    EXPECT_EQ(TAP_Hdd_Delete("Diro_ROD.Settings.DAT"), 0);
    EXPECT_NE(TAP_Hdd_Delete("Diro_ROD.Settings.DAT"), 0);
    EXPECT_EQ(TAP_Hdd_Exist("Diro_ROD.Settings.DAT"), 0);
    EXPECT_EQ(TAP_Hdd_FreeSize(), 1234u);
}

TEST_F(FirmwareFixture, DiskTracksHandlesAndCountsBadCloses) {
    TAP_Hdd_Create("a.txt", ATTR_NORMAL);
    TYPE_File *a = TAP_Hdd_Fopen("a.txt");
    TYPE_File *b = TAP_Hdd_Fopen("a.txt");
    EXPECT_EQ(fw->disk.openFiles().size(), 2u);
    TAP_Hdd_Fclose(a);
    EXPECT_EQ(fw->disk.openFiles(), std::vector<std::string>{"a.txt"}) << "the leaked handle is visible";
    TAP_Hdd_Fclose(a);
    TAP_Hdd_Fclose(nullptr);
    EXPECT_EQ(fw->disk.badCloses(), 2);
    char c;
    EXPECT_EQ(TAP_Hdd_Fread(&c, 1, 1, a), 0u);
    EXPECT_EQ(TAP_Hdd_Fwrite("x", 1, 1, a), 0u);
    EXPECT_EQ(fw->disk.badHandleUses(), 2);
    EXPECT_EQ(fw->disk.closeAll(), 1);
    (void)b;
}

TEST_F(FirmwareFixture, DiskFaultsFullPowerCutAndRefusedOpen) {
    TAP_Hdd_Create("buf.dat", ATTR_NORMAL);
    fw->disk.faults.full = true;
    EXPECT_NE(TAP_Hdd_Create("other.dat", ATTR_NORMAL), 0);
    TYPE_File *f = TAP_Hdd_Fopen("buf.dat");
    EXPECT_EQ(TAP_Hdd_Fwrite("abcdef", 1, 6, f), 0u);
    fw->disk.faults.full = false;

    // The power fails after 5 more bytes: the file keeps exactly those, counted in whole blocks.
    fw->disk.faults.failWritesAfterBytes = 5;
    EXPECT_EQ(TAP_Hdd_Fwrite("abc", 3, 1, f), 1u);
    EXPECT_EQ(TAP_Hdd_Fwrite("defg", 4, 1, f), 0u);
    EXPECT_EQ(TAP_Hdd_Fwrite("hij", 1, 3, f), 0u);
    TAP_Hdd_Fclose(f);
    EXPECT_EQ(readFile(diskFile("buf.dat")), "abcde");

    fw->disk.faults.refuseOpenOf.insert("buf.dat");
    EXPECT_EQ(TAP_Hdd_Fopen("buf.dat"), nullptr);
    fw->disk.faults.refuseOpenOf.clear();
    fw->disk.faults.refuseOpen = true;
    EXPECT_EQ(TAP_Hdd_Fopen("buf.dat"), nullptr);
    EXPECT_EQ(TAP_Hdd_Exist("buf.dat"), 1);
}

// --- Clock ---

TEST(Clock, MjdRoundTripsOnKnownDatesWithWeekdays) {
    struct Known {
        int y, m, d, mjd, weekday;
    } known[] = {
        {1858, 11, 17, 0, 2},      {1970, 1, 1, 40587, 3},  {2000, 1, 1, 51544, 5}, {2000, 2, 29, 51603, 1},
        {2000, 3, 1, 51604, 2},    {2026, 12, 7, 61381, 0}, {2038, 4, 22, 65535, 3},
    };
    for (const Known &k : known) {
        EXPECT_EQ(TAP_MakeMjd(static_cast<word>(k.y), static_cast<byte>(k.m), static_cast<byte>(k.d)), k.mjd)
            << k.y << "-" << k.m << "-" << k.d;
        word y = 0;
        byte m = 0, d = 0, wd = 9;
        EXPECT_EQ(TAP_ExtractMjd(static_cast<word>(k.mjd), &y, &m, &d, &wd), 0);
        EXPECT_EQ(y, k.y);
        EXPECT_EQ(m, k.m);
        EXPECT_EQ(d, k.d);
        EXPECT_EQ(wd, k.weekday) << k.mjd;
    }
}

TEST(Clock, DatesThatDoNotExistGiveMjdZero) {
    EXPECT_EQ(TAP_MakeMjd(2001, 2, 29), 0);
    EXPECT_EQ(TAP_MakeMjd(2026, 13, 1), 0);
    EXPECT_EQ(TAP_MakeMjd(2026, 4, 31), 0);
    EXPECT_EQ(TAP_MakeMjd(2026, 1, 0), 0);
    EXPECT_EQ(TAP_MakeMjd(2038, 4, 23), 0) << "beyond the 16-bit day number";
    EXPECT_EQ(TAP_MakeMjd(1858, 11, 16), 0);
}

// The clock keeps the second it worked out last: whichever way time moves (small steps over
// second, midnight and year ends, set back, before 1970), it tells what the calendar says.
TEST(Clock, CivilTimeFollowsEveryMoveOfTheClock) {
    int64_t start = 0;
    ASSERT_TRUE(sim::parseLocalTime("2026-12-31 23:59:58", start));
    sim::Clock clock(start);
    uint32_t seed = 1;
    for (int step = 0; step < 5000; ++step) {
        seed = seed * 1103515245u + 12345u;
        unsigned r = seed >> 8;
        if (r % 50 == 0)
            clock.set(start - int64_t(r % 3000) * 997);
        else if (r % 97 == 0)
            clock.set(-int64_t(r % 100000));
        else
            clock.advanceMs(r % 7 == 0 ? int64_t(r % 5000) : int64_t(r % 300));
        sim::CivilTime got = clock.civil(), want = sim::Clock::toCivil(clock.nowMs());
        ASSERT_EQ(std::memcmp(&got, &want, sizeof got), 0) << "at " << clock.nowMs();
    }
}

TEST(Clock, ParsesAndFormatsLocalTimes) {
    int64_t ms = 0;
    ASSERT_TRUE(sim::parseLocalTime("2000-02-29 23:59:58", ms));
    EXPECT_EQ(sim::formatLocalTime(ms), "2000-02-29 23:59:58");
    ASSERT_TRUE(sim::parseLocalTime("2026-12-07 20:00", ms));
    EXPECT_EQ(sim::formatLocalTime(ms), "2026-12-07 20:00:00");
    for (const char *bad : {"2026-02-30 10:00", "2026-12-07", "2026-12-07 24:00", "2026-12-07 10:00:60",
                            "2026-12-07 10:00x", "tomorrow"})
        EXPECT_FALSE(sim::parseLocalTime(bad, ms)) << bad;
}

TEST_F(FirmwareFixture, DiskRenamesAndTheFirmwareLogsWhatItRefuses) {
    writeFile(diskFile("a.dat"), "abc");
    writeFile(diskFile("b.dat"), "old");
    EXPECT_EQ(TAP_Hdd_Rename("a.dat", "b.dat"), 0);
    EXPECT_EQ(readFile(diskFile("b.dat")), "abc");
    EXPECT_EQ(TAP_Hdd_Exist("a.dat"), 0);
    EXPECT_NE(TAP_Hdd_Rename("a.dat", "c.dat"), 0);       // no such file
    EXPECT_NE(TAP_Hdd_Rename("b.dat", "../c.dat"), 0);    // outside the folder
    EXPECT_TRUE(fw->log.lines().empty());
    EXPECT_EQ(TAP_Hdd_Fopen("missing.dat"), nullptr);     // a missing file is no refusal
    EXPECT_TRUE(fw->log.lines().empty());

    // A write that falls short, a file that cannot be created, a refused timer: one line each.
    TYPE_File *f = TAP_Hdd_Fopen("b.dat");
    ASSERT_NE(f, nullptr);
    fw->disk.faults.failWritesAfterBytes = 2;
    EXPECT_EQ(TAP_Hdd_Fwrite("xyz", 3, 1, f), 0u);
    TAP_Hdd_Fclose(f);
    fw->disk.faults.full = true;
    EXPECT_NE(TAP_Hdd_Create("new.dat", 0xD0), 0);
    fw->disk.faults = {};
    EXPECT_NE(TAP_Timer_Add(nullptr), 0);
    ASSERT_EQ(fw->log.lines().size(), 3u);
    EXPECT_EQ(fw->log.lines()[0],
              "TAP_Hdd_Fwrite: 0 of 1 blocks of 3 bytes written to b.dat (the disk is full or failing)");
    EXPECT_EQ(fw->log.lines()[1], "TAP_Hdd_Create: cannot create new.dat");
    EXPECT_EQ(fw->log.lines()[2], "TAP_Timer_Add refused a timer: no timer record was given [9]");
}

TEST_F(FirmwareFixture, ClockTimeTicksAndDelays) {
    word mjd = 0;
    byte h = 0, m = 0, s = 0;
    TAP_GetTime(&mjd, &h, &m, &s);
    EXPECT_EQ(mjd, 61381);
    EXPECT_EQ(h, 20);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(TAP_GetTick(), 0u);
    TAP_Delay(400);  // 4 seconds, at once
    TAP_Sleep(50);
    EXPECT_EQ(TAP_GetTick(), 450u);
    // Past midnight the day number moves on.
    fw->clock.advanceMs((3 * 60 + 59) * 60 * 1000LL + 56 * 1000);
    TAP_GetTime(&mjd, &h, &m, &s);
    EXPECT_EQ(mjd, 61382);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(s, 0);
    // Setting the time of day does not touch the ticks; a power cycle restarts them.
    dword ticks = TAP_GetTick();
    fw->clock.set(0);
    EXPECT_EQ(TAP_GetTick(), ticks);
    fw->clock.powerCycle();
    EXPECT_EQ(TAP_GetTick(), 0u);
}

// --- Heap ---

TEST_F(FirmwareFixture, HeapAccountsBlocksAndRefusesBeyondItsSize) {
    dword size = 0, freeB = 0, avail = 0;
    TAP_MemInfo(&size, &freeB, &avail);
    EXPECT_EQ(size, 1000u);
    EXPECT_EQ(freeB, 1000u);
    void *a = TAP_MemAlloc(600);
    ASSERT_NE(a, nullptr);
    std::memset(a, 0xAB, 600);
    EXPECT_EQ(TAP_MemAlloc(401), nullptr);
    EXPECT_EQ(TAP_MemAlloc(0), nullptr);
    void *b = TAP_MemAlloc(400);
    ASSERT_NE(b, nullptr);
    TAP_MemInfo(&size, &freeB, &avail);
    EXPECT_EQ(freeB, 0u);
    EXPECT_EQ(avail, 0u);
    EXPECT_EQ(TAP_MemFree(a), 0);
    TAP_MemInfo(&size, &freeB, &avail);
    EXPECT_EQ(freeB, 600u);
    EXPECT_EQ(fw->heap.liveBlocks(), 1u) << "b is still held: a leak a test can see";
    EXPECT_EQ(fw->heap.blockSize(b), 400u);
    EXPECT_EQ(fw->heap.failedAllocations(), 2);
}

TEST_F(FirmwareFixture, HeapCountsDoubleAndUnknownFreesWithoutFreeing) {
    void *a = TAP_MemAlloc(10);
    int onStack = 0;
    EXPECT_EQ(TAP_MemFree(a), 0);
    EXPECT_NE(TAP_MemFree(a), 0);
    EXPECT_NE(TAP_MemFree(&onStack), 0);
    EXPECT_NE(TAP_MemFree(nullptr), 0);
    EXPECT_EQ(fw->heap.doubleFrees(), 2);
    EXPECT_EQ(fw->heap.nullFrees(), 1);
    EXPECT_EQ(fw->heap.usedBytes(), 0u);
}

TEST_F(FirmwareFixture, HeapFailsAfterScheduledCallsAndReclaimsAtTheEnd) {
    fw->heap.faults.failAfterCalls = 2;
    EXPECT_NE(TAP_MemAlloc(10), nullptr);
    EXPECT_NE(TAP_MemAlloc(10), nullptr);
    EXPECT_EQ(TAP_MemAlloc(10), nullptr);
    EXPECT_EQ(TAP_MemAlloc(10), nullptr);
    fw->heap.faults.failAfterCalls = -1;
    EXPECT_NE(TAP_MemAlloc(10), nullptr);
    sim::PluginLeftovers left = fw->reclaimPluginResources();
    EXPECT_EQ(left.heapBlocks, 3u);
    EXPECT_EQ(left.heapBytes, 30u);
    EXPECT_EQ(fw->heap.usedBytes(), 0u);
}

// --- Channels ---

TEST_F(FirmwareFixture, ChannelsGiveCountsRecordsAndTune) {
    int tv = 0, radio = 0;
    EXPECT_EQ(TAP_Channel_GetTotalNum(&tv, &radio), 0);
    EXPECT_EQ(tv, 3);
    EXPECT_EQ(radio, 1);
    PlatformChannelInfo info;
    ASSERT_EQ(TAP_Channel_GetInfo(SVC_TYPE_Tv, 2, &info), 1);
    EXPECT_STREQ(info.name, "ORF1 HD");
    EXPECT_EQ(info.svc_type, 0);
    EXPECT_EQ(info.svc_num, 2);
    EXPECT_EQ(info.service_id, 4911);
    EXPECT_EQ(info.lcn, 24);
    EXPECT_EQ(info.transponder, 6);
    EXPECT_EQ(info.frequency, 306000u + 8000u * 27u);
    EXPECT_NE(info.video_pid, 0);
    ASSERT_EQ(TAP_Channel_GetInfo(SVC_TYPE_Tv, 1, &info), 1);
    EXPECT_EQ(std::strlen(info.name), 23u) << "names are cut to 23 bytes";
    ASSERT_EQ(TAP_Channel_GetInfo(SVC_TYPE_Radio, 0, &info), 1);
    EXPECT_EQ(info.video_pid, 0);
    std::memset(&info, 0x55, sizeof info);
    EXPECT_EQ(TAP_Channel_GetInfo(SVC_TYPE_Radio, 1, &info), 0);
    EXPECT_EQ(info.name[0], 0);
    EXPECT_EQ(info.service_id, 0);

    int type = -1, num = -1;
    TAP_Channel_GetCurrent(&type, &num);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(num, 0);
    EXPECT_EQ(TAP_Channel_Start(1, SVC_TYPE_Radio, 0), 0);
    EXPECT_NE(TAP_Channel_Start(1, SVC_TYPE_Tv, 3), 0);
    EXPECT_NE(TAP_Channel_Start(0, SVC_TYPE_Tv, 1), 0);
    TAP_Channel_GetCurrent(&type, &num);
    EXPECT_EQ(type, 1);
    EXPECT_EQ(num, 0);
    ASSERT_EQ(fw->channels.tunings().size(), 2u);
    EXPECT_EQ(fw->channels.tunings()[0].source, sim::TuneSource::Firmware);
    EXPECT_TRUE((fw->channels.tunings()[1].channel == sim::ChannelRef{1, 0}));
    EXPECT_EQ(fw->channels.tunings()[1].source, sim::TuneSource::PlugIn);
}

// --- System, and the stubs of later work ---

TEST_F(FirmwareFixture, SystemStateDisplayEventsAndExit) {
    dword main = 9, sub = 9;
    TAP_GetState(&main, &sub);
    EXPECT_EQ(main, 0u);
    EXPECT_EQ(sub, 31u);
    TAP_ExitNormal();
    EXPECT_EQ(fw->system.display(), sim::Display::PlugIn);
    TAP_EnterNormal();
    EXPECT_EQ(fw->system.display(), sim::Display::Firmware);
    EXPECT_EQ(TAP_GenerateEvent(256, 0x20001, 0), 0);
    ASSERT_EQ(fw->system.generated().size(), 1u);
    EXPECT_EQ(fw->system.generated()[0].param1, 0x20001u);
    fw->system.osdLanguage = LAN_German;
    EXPECT_EQ(TAP_GetSystemVar(SYSVAR_OsdLan), 2);
    TAP_Print("scan %d of %s\n", 3, "ZDF");
    EXPECT_EQ(fw->system.printed().back(), "scan 3 of ZDF\n");
    char buf[32];
    TAP_SPrint(buf, "%02d:%02d", 7, 5);
    EXPECT_STREQ(buf, "07:05");
    EXPECT_FALSE(fw->system.exitRequested());
    TAP_Exit();
    EXPECT_TRUE(fw->system.exitRequested());
}

TEST_F(FirmwareFixture, NoEpgAnEmptyTimerTableAndNoRecordingsAtFirst) {
    int n = 7;
    EXPECT_EQ(TAP_GetEvent(SVC_TYPE_Tv, 0, &n), nullptr);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(TAP_EPG_GetExtInfo(nullptr), nullptr);
    EXPECT_EQ(TAP_Timer_GetTotalNum(), 0);
    TimerRecord t;
    std::memset(&t, 1, sizeof t);
    EXPECT_EQ(TAP_Timer_GetInfo(0, &t), 0);
    EXPECT_EQ(t.start, 0u);
    // An empty record is no timer: refused, and not as a collision.
    EXPECT_EQ(TAP_Timer_Add(&t), sim::Timers::kRefusedDuration);
    EXPECT_EQ(TAP_Timer_Modify(0, &t), sim::Timers::kRefusedNoSuchTimer);
    EXPECT_EQ(TAP_Timer_Delete(0), 0);
    EXPECT_EQ(TAP_Timer_GetTotalNum(), 0);
    PlatformRecInfo rec;
    EXPECT_EQ(TAP_Hdd_GetRecInfo(1, &rec), 0);
    EXPECT_EQ(rec.rec_state, 0);
    EXPECT_NE(TAP_Hdd_GetRecInfo(2, &rec), 0);
    PlatformPlayInfo play;
    EXPECT_EQ(TAP_Hdd_GetPlayInfo(&play), 0);
    EXPECT_EQ(play.play_mode, 0);
}

TEST_F(FirmwareFixture, TheRecordButtonSharesATunerPerTransponderAndStopsAtTheEnd) {
    // Channels 0 and 1 lie on transponders 1 and 2, channel 2 on 6: two tuners, three multiplexes.
    fw->disk.freeMb = 500000;  // room for the two hours
    int64_t t0 = fw->clock.nowMs();
    EXPECT_EQ(fw->recordButton({sim::kTv, 0}), 0);
    EXPECT_EQ(fw->recordButton({sim::kTv, 0}), -1);  // records already
    EXPECT_EQ(fw->recordButton({sim::kTv, 1}), 1);
    EXPECT_EQ(fw->recordButton({sim::kTv, 2}), -1);  // both tuners busy, both slots taken
    PlatformRecInfo rec;
    ASSERT_EQ(TAP_Hdd_GetRecInfo(1, &rec), 0);
    EXPECT_EQ(rec.rec_state, 1);
    EXPECT_EQ(rec.tuner, 1);
    EXPECT_EQ(rec.svc_num, 1);
    EXPECT_EQ(rec.start, (61381u << 16) | (20u << 8));
    EXPECT_EQ(rec.end, (61381u << 16) | (22u << 8));
    EXPECT_STREQ(rec.file_name, "A name that is far longer than the record holds.rec");

    // Stopped by hand, it is listed as done with the time it ended.
    fw->clock.advanceMs(30 * 60000);
    EXPECT_TRUE(fw->recordings.stop(1, fw->clock.nowMs()));
    ASSERT_EQ(fw->recordings.done().size(), 1u);
    EXPECT_EQ(fw->recordings.done()[0].endMs - t0, 30 * 60000);

    // Left alone, it ends after the record button's two hours.
    fw->clock.advanceMs(90 * 60000 - 1);
    fw->tick();
    EXPECT_EQ(fw->recordings.runningCount(), 1);
    fw->clock.advanceMs(1);
    fw->tick();
    EXPECT_EQ(fw->recordings.runningCount(), 0);
    ASSERT_EQ(TAP_Hdd_GetRecInfo(0, &rec), 0);
    EXPECT_EQ(rec.rec_state, 0);
    EXPECT_EQ(fw->recordings.done().size(), 2u);
}

TEST_F(FirmwareFixture, TwoRecordingsOnOneTransponderUseOneTuner) {
    sim::Recordings rec;
    int64_t t = fw->clock.nowMs();
    EXPECT_EQ(rec.start({sim::kTv, 0}, 7, "a.rec", t, t + 60000, sim::RecordSource::Timer), 0);
    EXPECT_EQ(rec.start({sim::kTv, 1}, 7, "b.rec", t, t + 60000, sim::RecordSource::Button), 1);
    EXPECT_EQ(rec.running(0)->tuner, 0);
    EXPECT_EQ(rec.running(1)->tuner, 0);
    EXPECT_EQ(rec.start({sim::kTv, 2}, 8, "c.rec", t, t + 60000, sim::RecordSource::Button), -1);
    EXPECT_EQ(rec.start({sim::kTv, 2}, 8, "c.rec", t, t, sim::RecordSource::Button), -1);
}

TEST(FirmwareActivation, TheLibraryAbortsWhenNoReceiverRuns) {
    EXPECT_DEATH(TAP_GetTick(), "TAP_GetTick was called while no receiver is running");
}

}  // namespace
