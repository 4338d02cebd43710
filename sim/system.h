// The firmware's own state as a plug-in sees it: the main and sub state (31 = normal viewing),
// who owns the display (the firmware, or the plug-in between TAP_ExitNormal and TAP_EnterNormal),
// the OSD language, and logs of the events the plug-in generated, its printed lines and its
// request to end.
// Example:
//   sim::System sys;
//   sys.exitNormal();                      // sys.display() == sim::Display::PlugIn
//   sys.generated().size();                // events sent with TAP_GenerateEvent
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/platform/tap.h"

namespace sim {

enum class Display { Firmware, PlugIn };

struct GeneratedEvent {
    uint32_t code, param1, param2;
    int64_t atMs;
};

class System {
public:
    // Firmware state read by TAP_GetState.
    uint32_t mainState = STATE_Normal;
    uint32_t subState = SUBSTATE_Normal;
    bool normalViewing() const { return mainState == STATE_Normal && subState == SUBSTATE_Normal; }

    int osdLanguage = LAN_English;  // TAP_GetSystemVar(SYSVAR_OsdLan)
    bool echoPrints = false;        // TAP_Print lines also go to stderr

    // Display ownership: transitions by the two calls; counted so tests see unbalanced use.
    Display display() const { return display_; }
    void exitNormal();
    void enterNormal();
    int exitNormalCalls() const { return exitNormalCalls_; }
    int enterNormalCalls() const { return enterNormalCalls_; }

    void generate(uint32_t code, uint32_t param1, uint32_t param2, int64_t atMs);
    const std::vector<GeneratedEvent> &generated() const { return generated_; }

    void print(const std::string &line);
    const std::vector<std::string> &printed() const { return printed_; }
    void clearPrinted() { printed_.clear(); }


    // The plug-in asked to end (TAP_Exit); the host unloads it when its current call returns.
    void requestExit() { exitRequested_ = true; }
    bool exitRequested() const { return exitRequested_; }
    void clearExitRequest() { exitRequested_ = false; }

    int systemVar(int id) const;

    // The plug-in ended: the display is the firmware's again, whether or not it said so.
    void pluginEnded();
    // Power-on state: normal viewing, display with the firmware.
    void powerCycle();

private:
    Display display_ = Display::Firmware;
    int exitNormalCalls_ = 0, enterNormalCalls_ = 0;
    std::vector<GeneratedEvent> generated_;
    std::vector<std::string> printed_;
    bool exitRequested_ = false;
};

}  // namespace sim
