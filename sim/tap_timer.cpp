// TAP_Timer_*: the active firmware's timer table.
#include "frame/platform/tap.h"
#include "sim/firmware.h"

extern "C" {

int TAP_Timer_GetTotalNum(void) { return sim::Firmware::active(__func__).timers.count(); }

int TAP_Timer_GetInfo(int entryNum, TimerRecord *info) {
    return sim::Firmware::active(__func__).timers.get(entryNum, info);
}

int TAP_Timer_Add(TimerRecord *info) {
    sim::Timers &timers = sim::Firmware::active(__func__).timers;
    if (!info)
        return sim::Timers::kTimerRefused;
    return timers.add(*info);
}

int TAP_Timer_Modify(int entryNum, TimerRecord *info) {
    sim::Timers &timers = sim::Firmware::active(__func__).timers;
    if (!info)
        return sim::Timers::kTimerRefused;
    return timers.modify(entryNum, *info);
}

int TAP_Timer_Delete(int entryNum) { return sim::Firmware::active(__func__).timers.remove(entryNum); }

}  // extern "C"
