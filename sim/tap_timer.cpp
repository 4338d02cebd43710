// TAP_Timer_*: the active firmware's timer table.
#include "frame/platform/tap.h"
#include "sim/firmware.h"

extern "C" {

int TAP_Timer_GetTotalNum(void) { return sim::Firmware::active(__func__).timers.count(); }

int TAP_Timer_GetInfo(int entryNum, TimerRecord *info) {
    return sim::Firmware::active(__func__).timers.get(entryNum, info);
}

int TAP_Timer_Add(TimerRecord *info) { return sim::Firmware::active(__func__).timers.add(info, __func__); }

int TAP_Timer_Modify(int entryNum, TimerRecord *info) {
    return sim::Firmware::active(__func__).timers.modify(entryNum, info, __func__);
}

int TAP_Timer_Delete(int entryNum) { return sim::Firmware::active(__func__).timers.remove(entryNum); }

}  // extern "C"
