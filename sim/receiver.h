// The virtual receiver as a whole: the firmware and the plug-in host, powered on with a
// configuration, driven by keys, idle time and the clock. Scripts, tests and other front ends act
// through this object only.
// Example:
//   sim::Receiver rx({{"/tmp/disk", lineup, clockMs}, "build/Diro_ROD.tap"});
//   if (!rx.powerOn()) std::cerr << rx.error() << "\n";
//   rx.pressKey(RKEY_Guide); rx.advance(300); bool up = rx.screen().shows("Guide");
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/firmware.h"
#include "sim/plugin_host.h"

namespace sim {

struct ReceiverConfig {
    FirmwareConfig firmware;
    std::string imagePath;           // the plug-in image, or
    TapInitFn linkedInit = nullptr;  // the init of a plug-in linked into the program
};

// A key the plug-in passed on (or that arrived while no plug-in ran): the firmware handled it.
struct PassedKey {
    uint32_t code;
    int64_t atMs;
};

class Receiver {
public:
    static constexpr int64_t kIdleStepMs = 50;  // one idle event per 50 ms of clock

    explicit Receiver(const ReceiverConfig &config);
    ~Receiver();

    // Loads and starts the plug-in. False (with error()) when the image is refused or the
    // plug-in does not stay resident; the receiver runs on without it.
    bool powerOn();
    // A remote key: to the plug-in first; what it returns (non-zero) goes on to the firmware,
    // which in normal viewing switches channel on UP and DOWN. Returns the plug-in's result (the
    // key itself when no plug-in runs).
    uint32_t pressKey(uint32_t code);
    // One idle event to the plug-in (the clock does not move).
    void idle();
    // Lets time pass: the clock moves on in steps of 50 ms, an idle event after each.
    void advance(int64_t ms);
    // The same in steps of stepMs (at least 1): for long stretches a step of a second is enough,
    // as the plug-in's duties go by the second and the minute.
    void advance(int64_t ms, int64_t stepMs);
    // Sets the time of day (any direction).
    void setClock(int64_t localMs);
    // The firmware tunes a channel as its own remote would; false when there is no such channel.
    bool tune(int svcType, int svcNum);
    // The receiver's own record button (Firmware::recordButton): the slot, or -1 when refused.
    int record(ChannelRef channel) { return firmware_->recordButton(channel); }
    // Stops the recording of a channel, or every recording when channel is null; how many stopped.
    // A timer whose recording stops waits for its end without recording.
    int stopRecordings(const ChannelRef *channel);
    // A timer set with the receiver's own timer menu (Firmware::menuTimer): 0, or the refusal.
    int addTimer(const TimerRecord &timer) { return firmware_->menuTimer(timer); }
    // Sets the firmware's main and sub state (TAP_GetState).
    void setState(uint32_t mainState, uint32_t subState);
    // Power cycle: the plug-in is unloaded and loaded afresh (clean globals); the disk, the clock
    // and the tuned channel go on. False (with error()) when the reload fails. A linked plug-in
    // cannot be unloaded: it is started again with its globals as they were.
    bool restart();

    Firmware &firmware() { return *firmware_; }
    Screen &screen() { return firmware_->screen; }
    PluginHost &host() { return *host_; }
    bool pluginRunning() const { return host_->resident(); }
    const std::vector<PassedKey> &passedKeys() const { return passed_; }
    const std::string &error() const { return error_; }

    Receiver(const Receiver &) = delete;
    Receiver &operator=(const Receiver &) = delete;

private:
    ReceiverConfig config_;
    std::unique_ptr<Firmware> firmware_;
    std::unique_ptr<PluginHost> host_;
    std::vector<PassedKey> passed_;
    std::string error_;
    void firmwareKey(uint32_t code);
};

}  // namespace sim
