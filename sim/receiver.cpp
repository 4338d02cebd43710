// The virtual receiver as a whole (see receiver.h).
#include "sim/receiver.h"

namespace sim {

Receiver::Receiver(const ReceiverConfig &config)
    : config_(config), firmware_(std::make_unique<Firmware>(config.firmware)),
      host_(std::make_unique<PluginHost>(*firmware_)) {
    firmware_->activate();
}

Receiver::~Receiver() {
    firmware_->activate();
    host_->unload();
    host_.reset();
    firmware_.reset();
}

bool Receiver::powerOn() {
    firmware_->activate();
    error_.clear();
    bool loaded = config_.linkedInit ? host_->link(config_.linkedInit) : host_->load(config_.imagePath);
    if (!loaded) {
        error_ = host_->error();
        return false;
    }
    if (!host_->start()) {
        error_ = host_->mainResult() == 0 ? "the plug-in did not stay (TAP_Main returned 0)"
                                          : "the plug-in ended during its start";
        return false;
    }
    return true;
}

uint32_t Receiver::pressKey(uint32_t code) {
    firmware_->activate();
    uint32_t result = host_->resident() ? host_->deliver(EVT_KEY, code, 0) : code;
    if (result != 0)
        firmwareKey(result);
    return result;
}

void Receiver::firmwareKey(uint32_t code) {
    passed_.push_back({code, firmware_->clock.nowMs()});
    if (!firmware_->system.normalViewing())
        return;
    Channels &ch = firmware_->channels;
    ChannelRef now = ch.current();
    int n = ch.count(now.svcType);
    if (n == 0)
        return;
    if (code == RKEY_Up)
        ch.tune(now.svcType, (now.svcNum + 1) % n, TuneSource::Firmware, firmware_->clock.nowMs());
    else if (code == RKEY_Down)
        ch.tune(now.svcType, (now.svcNum + n - 1) % n, TuneSource::Firmware, firmware_->clock.nowMs());
}

void Receiver::idle() {
    firmware_->activate();
    host_->deliver(EVT_IDLE, 0, 0);
}

void Receiver::advance(int64_t ms) { advance(ms, kIdleStepMs); }

void Receiver::advance(int64_t ms, int64_t stepMs) {
    if (stepMs < 1)
        stepMs = 1;
    while (ms > 0) {
        int64_t step = ms < stepMs ? ms : stepMs;
        firmware_->clock.advanceMs(step);
        firmware_->tick();
        ms -= step;
        idle();
    }
}

void Receiver::setClock(int64_t localMs) {
    firmware_->clock.set(localMs);
    firmware_->tick();
}

int Receiver::stopRecordings(const ChannelRef *channel) {
    Recordings &rec = firmware_->recordings;
    int stopped = 0;
    for (int s = 0; s < Recordings::kSlots; ++s)
        if (rec.running(s) && (!channel || rec.running(s)->channel == *channel) && rec.stop(s, firmware_->clock.nowMs()))
            ++stopped;
    firmware_->tick();
    return stopped;
}

bool Receiver::tune(int svcType, int svcNum) {
    return firmware_->channels.tune(svcType, svcNum, TuneSource::Firmware, firmware_->clock.nowMs()) == 0;
}

void Receiver::setState(uint32_t mainState, uint32_t subState) {
    firmware_->system.mainState = mainState;
    firmware_->system.subState = subState;
}

bool Receiver::restart() {
    firmware_->activate();
    host_->unload();
    firmware_->system.powerCycle();
    firmware_->clock.powerCycle();
    if (!host_->lastUnloadClean()) {
        error_ = "the plug-in image stayed in memory after unloading";
        return false;
    }
    return powerOn();
}

}  // namespace sim
