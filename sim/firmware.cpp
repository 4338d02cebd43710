// The firmware object and the pointer the TAP_* entries reach it by (see firmware.h).
#include "sim/firmware.h"

#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {
Firmware *g_active = nullptr;
}

Firmware::Firmware(const FirmwareConfig &config)
    : disk(config.diskDir, config.freeMb), clock(config.clockMs), channels(config.lineup), heap(config.heapSize),
      timers(channels, clock, recordings, log) {
    system.osdLanguage = config.osdLanguage;
    epg.eitMode = config.eitMode;
    channels.tune(config.channel.svcType, config.channel.svcNum, TuneSource::Firmware, clock.nowMs());
}

Firmware::~Firmware() { deactivate(); }

Firmware &Firmware::active(const char *call) {
    if (!g_active) {
        std::fprintf(stderr, "virtual receiver: %s was called while no receiver is running\n", call);
        std::abort();
    }
    return *g_active;
}

Firmware *Firmware::activeOrNull() { return g_active; }

void Firmware::activate() { g_active = this; }

void Firmware::deactivate() {
    if (g_active == this)
        g_active = nullptr;
}

PluginLeftovers Firmware::reclaimPluginResources() {
    // What a plug-in left open or allocated is closed and freed; the counts go to the caller.
    PluginLeftovers left;
    left.openFiles = disk.closeAll();
    left.heapBytes = heap.usedBytes();
    left.heapBlocks = heap.releaseAll();
    for (int r = 0; r < kMaxRegions; ++r)
        screen.deleteRegion(r);
    system.pluginEnded();
    return left;
}

TvPicture Firmware::tvPicture() const {
    TvPicture tv;
    ChannelRef now = channels.current();
    tv.svcType = now.svcType;
    tv.svcNum = now.svcNum;
    if (const Channel *c = channels.find(now.svcType, now.svcNum))
        tv.channelName = c->name;
    return tv;
}

void Firmware::tick() {
    int64_t now = clock.nowMs();
    recordings.update(now);
    uint64_t used = static_cast<uint64_t>(recordings.takeRecordedMinutes(now)) * Recordings::kMbPerMinute;
    disk.freeMb = used >= disk.freeMb ? 0 : static_cast<uint32_t>(disk.freeMb - used);
    bool full = disk.freeMb < static_cast<uint32_t>(Recordings::kMbPerMinute);
    if (full && recordings.runningCount() > 0) {
        log.write("the disk is full (" + std::to_string(disk.freeMb) + " MB free): every recording stops");
        for (int s = 0; s < Recordings::kSlots; ++s)
            recordings.stop(s, now);
    }
    recordings.diskFull = full;
    timers.tick(now);
}

int Firmware::recordButton(ChannelRef channel) {
    const Channel *c = channels.find(channel.svcType, channel.svcNum);
    if (!c || recordings.slotOf(channel) >= 0)
        return -1;
    int64_t now = clock.nowMs();
    // Recordings start on the minute, as the firmware's recording times are whole minutes.
    int64_t start = now - now % 60000;
    return recordings.start(channel, c->transponder, c->name + ".rec", start,
                            start + Recordings::kButtonMinutes * 60000, RecordSource::Button);
}

int Firmware::menuTimer(const TimerRecord &timer) {
    int result = timers.add(timer, "the timer menu");
    tick();
    return result;
}

}  // namespace sim
