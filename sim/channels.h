// The receiver's service lists (TV and radio: name, service id, logical channel number,
// transponder), the channel now tuned, and the log of every tuning with its time.
// Example:
//   sim::Channels ch({{sim::kTv, "Das Erste HD", 28106, 1, 1}});
//   ch.tune(sim::kTv, 0, sim::TuneSource::Firmware, t0);   // 0, ch.current().svcNum == 0
//   PlatformChannelInfo info; ch.info(sim::kTv, 0, &info);  // 1, info.lcn == 1
//   ch.transponderSeenUntil(1, 10000, t0 + 12000);       // t0 + 12000: tuned there for 12 s
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/platform/tap.h"

namespace sim {

constexpr int kTv = 0;
constexpr int kRadio = 1;

struct Channel {
    int type = kTv;             // 0 TV, 1 radio
    std::string name;           // Latin-1, at most 23 bytes reach the plug-in
    int serviceId = 0;
    int lcn = 0;                // logical channel number
    int transponder = 0;        // channels sharing it share a multiplex
    std::string xmltvId;        // the guide's id for the channel ("" none)
};

struct ChannelRef {
    int svcType = kTv;
    int svcNum = 0;
    bool operator==(const ChannelRef &o) const { return svcType == o.svcType && svcNum == o.svcNum; }
};

enum class TuneSource { PlugIn, Firmware };

struct Tuning {
    ChannelRef channel;
    TuneSource source;
    int64_t atMs;  // clock time of the tuning
};

class Channels {
public:
    Channels() = default;
    // Channels of type kTv go to the TV list, kRadio to the radio list, in the order given.
    explicit Channels(const std::vector<Channel> &lineup);

    const std::vector<Channel> &list(int svcType) const { return svcType == kRadio ? radio_ : tv_; }
    int count(int svcType) const { return static_cast<int>(list(svcType).size()); }
    const Channel *find(int svcType, int svcNum) const;  // null when there is no such channel

    ChannelRef current() const { return current_; }
    // Tunes a channel; 0 done, 1 no such channel (nothing changes).
    int tune(int svcType, int svcNum, TuneSource source, int64_t atMs = 0);
    const std::vector<Tuning> &tunings() const { return tunings_; }
    // The last moment up to nowMs at which the tuner was on a transponder, counting only stays
    // there (tunings in a row to its channels) of at least minStayMs: nowMs while such a stay
    // goes on, -1 when the tuner never stayed that long.
    int64_t transponderSeenUntil(int transponder, int64_t minStayMs, int64_t nowMs) const;

    // The firmware's channel record; 1 filled, 0 no such channel (record zeroed).
    int info(int svcType, int svcNum, PlatformChannelInfo *out) const;
    // Frequency in kHz of a transponder: UHF channel 21 + (transponder mod 49), 8 MHz apart.
    static uint32_t frequencyKhz(int transponder);

private:
    std::vector<Channel> tv_, radio_;
    ChannelRef current_;
    std::vector<Tuning> tunings_;
};

}  // namespace sim
