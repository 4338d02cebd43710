// The firmware's state and the rest: TAP_ExitNormal, TAP_EnterNormal, TAP_GetState,
// TAP_GenerateEvent, TAP_GetSystemVar, TAP_Print, TAP_SPrint, TAP_Exit.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "frame/platform/tap.h"
#include "sim/firmware.h"

extern "C" {

void TAP_ExitNormal(void) { sim::Firmware::active(__func__).system.exitNormal(); }

void TAP_EnterNormal(void) { sim::Firmware::active(__func__).system.enterNormal(); }

int TAP_GetState(dword *state, dword *subState) {
    sim::System &sys = sim::Firmware::active(__func__).system;
    if (state)
        *state = sys.mainState;
    if (subState)
        *subState = sys.subState;
    return 0;
}

int TAP_GenerateEvent(word evtCode, dword param1, dword param2) {
    sim::Firmware &fw = sim::Firmware::active(__func__);
    fw.system.generate(evtCode, param1, param2, fw.clock.nowMs());
    return 0;
}

int TAP_GetSystemVar(int varId) { return sim::Firmware::active(__func__).system.systemVar(varId); }

void TAP_Print(const char *fmt, ...) {
    sim::System &sys = sim::Firmware::active(__func__).system;
    if (!fmt)
        return;
    va_list ap;
    va_start(ap, fmt);
    va_list copy;
    va_copy(copy, ap);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string line(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(&line[0], line.size() + 1, fmt, ap);
    va_end(ap);
    sys.print(line);
}

void TAP_SPrint(char *s, const char *fmt, ...) {
    if (!s || !fmt)
        return;
    va_list ap;
    va_start(ap, fmt);
    std::vsprintf(s, fmt, ap);
    va_end(ap);
}

void TAP_Exit(void) { sim::Firmware::active(__func__).system.requestExit(); }

}  // extern "C"
