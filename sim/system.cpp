// The firmware's state, display ownership and logs (see system.h).
#include "sim/system.h"

#include <cstdio>

namespace sim {

void System::exitNormal() {
    display_ = Display::PlugIn;
    ++exitNormalCalls_;
}

void System::enterNormal() {
    display_ = Display::Firmware;
    ++enterNormalCalls_;
}

void System::generate(uint32_t code, uint32_t param1, uint32_t param2, int64_t atMs) {
    generated_.push_back({code, param1, param2, atMs});
}

void System::print(const std::string &line) {
    printed_.push_back(line);
    if (echoPrints)
        std::fprintf(stderr, "plug-in: %s%s", line.c_str(), !line.empty() && line.back() == '\n' ? "" : "\n");
}

void System::log(const std::string &line) {
    logged_.push_back(line);
    if (echoLog)
        std::fprintf(stderr, "firmware: %s\n", line.c_str());
}

int System::systemVar(int id) const {
    if (id == SYSVAR_OsdLan)
        return osdLanguage;
    return 0;
}

void System::pluginEnded() {
    display_ = Display::Firmware;
    exitRequested_ = false;
}

void System::powerCycle() {
    mainState = STATE_Normal;
    subState = SUBSTATE_Normal;
    display_ = Display::Firmware;
    exitRequested_ = false;
}

}  // namespace sim
