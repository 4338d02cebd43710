// The virtual receiver's firmware: one object that owns every component the plug-in library
// reaches (screen, disk, clock, channels, heap, the firmware's own state, EPG, timers,
// recordings, the firmware's own log). The TAP_* entries (sim/tap_*.cpp) forward to the
// firmware made active here.
// Example:
//   sim::Firmware fw({"/tmp/disk", lineup, sim::Clock::fromCivil({2026, 12, 7, 20, 0, 0})});
//   fw.activate();                              // TAP_* calls now reach fw
//   fw.disk.faults.full = true;                 // the next TAP_Hdd_Create fails
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/channels.h"
#include "sim/clock.h"
#include "sim/disk.h"
#include "sim/epg.h"
#include "sim/heap.h"
#include "sim/log.h"
#include "sim/recordings.h"
#include "sim/screen.h"
#include "sim/system.h"
#include "sim/timers.h"

namespace sim {

struct FirmwareConfig {
    std::string diskDir = "receiver-disk";  // the plug-in's folder (created if missing)
    std::vector<Channel> lineup;            // TV and radio channels
    int64_t clockMs = 0;                    // local time at power-on
    ChannelRef channel;                     // tuned at power-on (ignored when it does not exist)
    int osdLanguage = LAN_English;
    uint32_t freeMb = 500000;
    size_t heapSize = Heap::kDefaultSize;
    EitMode eitMode = EitMode::All;         // what the firmware knows of the schedules
};

// What the firmware took back from a plug-in that ended.
struct PluginLeftovers {
    int openFiles = 0;
    size_t heapBlocks = 0;
    size_t heapBytes = 0;
};

class Firmware {
public:
    explicit Firmware(const FirmwareConfig &config);
    ~Firmware();

    // The firmware the TAP_* entries reach; aborts naming the call when there is none.
    static Firmware &active(const char *call);
    static Firmware *activeOrNull();
    void activate();
    void deactivate();  // only when this one is active

    // The plug-in ended: its open files are closed, its heap blocks and OSD regions released,
    // the display is the firmware's again.
    PluginLeftovers reclaimPluginResources();

    // What the TV shows now (for screenshots).
    TvPicture tvPicture() const;

    // The firmware's own machinery acts on the time now: recordings whose end has come stop,
    // timers start, end and move on (sim/timers.h), the recorded minutes take their room on the
    // disk (Recordings::kMbPerMinute); when the disk has no room for another minute every
    // recording stops and none starts until there is room. Called after every move of the clock.
    void tick();
    // The record button on a channel (it need not be the tuned one): records
    // Recordings::kButtonMinutes on a free tuner, named after the channel. The recording slot,
    // or -1 when the channel does not exist, already records or no tuner is free.
    int recordButton(ChannelRef channel);
    // A timer set with the receiver's own timer menu: the table's result (0 set, else its
    // refusal, see sim/timers.h); a timer whose time has come starts at once.
    int menuTimer(const TimerRecord &timer);

    Screen screen;
    Disk disk;
    Clock clock;
    Channels channels;
    Heap heap;
    System system;
    Epg epg;
    FirmwareLog log;
    Recordings recordings;
    Timers timers;

    Firmware(const Firmware &) = delete;
    Firmware &operator=(const Firmware &) = delete;
};

}  // namespace sim
