// TAP_Timer_*: the active firmware's timer table. A timer the table refuses goes into the
// firmware's log.
#include <cstdio>

#include "frame/platform/tap.h"
#include "sim/firmware.h"

namespace {
// "TAP_Timer_Add: timer refused (error 1): TV 3, 2026-12-07 20:15, 90 min, \"Name.rec\"".
int logged(const char *call, const TimerRecord *t, int rc) {
    if (rc == 0)
        return rc;
    char line[240];
    if (!t) {
        std::snprintf(line, sizeof line, "%s: no timer given (error %d)", call, rc);
    } else {
        int y = 0, m = 0, d = 0, wd = 0;
        sim::dateFromMjd(static_cast<int>(t->start >> 16), y, m, d, wd);
        std::snprintf(line, sizeof line,
                      "%s: timer refused (error %d): %s %u, %04d-%02d-%02d %02u:%02u, %u min, \"%.100s\"", call, rc,
                      t->svc_type == 0 ? "TV" : "radio", static_cast<unsigned>(t->svc_num), y, m, d,
                      static_cast<unsigned>((t->start >> 8) & 0xFF), static_cast<unsigned>(t->start & 0xFF),
                      static_cast<unsigned>(t->duration), t->name);
    }
    sim::Firmware::active(call).system.log(line);
    return rc;
}
}  // namespace

extern "C" {

int TAP_Timer_GetTotalNum(void) { return sim::Firmware::active(__func__).timers.count(); }

int TAP_Timer_GetInfo(int entryNum, TimerRecord *info) {
    return sim::Firmware::active(__func__).timers.get(entryNum, info);
}

int TAP_Timer_Add(TimerRecord *info) {
    sim::Timers &timers = sim::Firmware::active(__func__).timers;
    if (!info)
        return logged(__func__, info, sim::Timers::kTimerRefused);
    return logged(__func__, info, timers.add(*info));
}

int TAP_Timer_Modify(int entryNum, TimerRecord *info) {
    sim::Timers &timers = sim::Firmware::active(__func__).timers;
    if (!info)
        return logged(__func__, info, sim::Timers::kTimerRefused);
    return logged(__func__, info, timers.modify(entryNum, *info));
}

int TAP_Timer_Delete(int entryNum) { return sim::Firmware::active(__func__).timers.remove(entryNum); }

}  // extern "C"
