// The firmware's plug-in loader: checks an image's header sections (ELF32/ELF64, little-endian),
// loads it with dlopen, hands __TAP_Init_ the two-slot entry table, runs TAP_Main, delivers events
// to TAP_EventHandler, and unloads the image when TAP_Main declines to stay or the plug-in called
// TAP_Exit (verifying that the image is really gone, so a reload starts with clean globals).
// A "linked" mode takes the init function of a plug-in linked into the program instead.
// Example:
//   sim::PluginHost host(firmware);
//   if (!host.load("build/Diro_ROD.tap") || !host.start()) std::cerr << host.error();
//   host.deliver(EVT_KEY, RKEY_Ok, 0);
#pragma once

#include <cstdint>
#include <string>

#include "frame/platform/tap.h"
#include "sim/firmware.h"

namespace sim {

using TapInitFn = int (*)(TapEntryFn *);

// The texts of an image's header sections.
struct PluginImageInfo {
    uint32_t id = 0;
    std::string programName, authorName, description, etcInfo;
};

// Checks the header sections of an image file; false with a message naming what is wrong.
bool checkPluginImage(const std::string &path, PluginImageInfo &info, std::string &error);

class PluginHost {
public:
    // Unloaded: nothing loaded. Loaded: initialised, TAP_Main not yet run. Resident: TAP_Main
    // returned non-zero and events are delivered.
    enum class State { Unloaded, Loaded, Resident };

    explicit PluginHost(Firmware &firmware) : fw_(firmware) {}
    ~PluginHost();

    // Checks and loads an image and calls __TAP_Init_; false with error() when refused.
    bool load(const std::string &imagePath);
    // A plug-in linked into this program: no header check, never unloaded.
    bool link(TapInitFn init);
    // Runs TAP_Main; true when the plug-in stays resident (a plug-in that returns 0 is unloaded).
    bool start();
    // Delivers an event; returns the handler's result, or param1 when no plug-in is resident.
    // A plug-in that called TAP_Exit during the call is unloaded afterwards.
    dword deliver(dword event, dword param1, dword param2);
    // Ends the plug-in: unloads the image (dlclose, then checks it is gone) and takes back its
    // files, heap blocks and OSD regions.
    void unload();

    State state() const { return state_; }
    bool resident() const { return state_ == State::Resident; }
    bool linked() const { return linkedInit_ != nullptr; }
    const PluginImageInfo &info() const { return info_; }
    const std::string &error() const { return error_; }
    int loads() const { return loads_; }
    // After an unload: false when the image stayed in memory after dlclose.
    bool lastUnloadClean() const { return lastUnloadClean_; }
    const PluginLeftovers &lastLeftovers() const { return leftovers_; }
    // The last result of TAP_Main.
    int mainResult() const { return mainResult_; }

    PluginHost(const PluginHost &) = delete;
    PluginHost &operator=(const PluginHost &) = delete;

private:
    Firmware &fw_;
    State state_ = State::Unloaded;
    void *handle_ = nullptr;
    std::string path_;
    TapInitFn linkedInit_ = nullptr;
    TapMainFn main_ = nullptr;
    TapEventHandlerFn handler_ = nullptr;
    PluginImageInfo info_;
    std::string error_;
    int loads_ = 0;
    int mainResult_ = 0;
    bool lastUnloadClean_ = true;
    PluginLeftovers leftovers_;
    bool initialise(TapInitFn init);
    void endIfExitRequested();
};

}  // namespace sim
