// TAP_Hdd_GetRecInfo / TAP_Hdd_GetPlayInfo: the recorder and player of the active firmware.
#include "frame/platform/tap.h"
#include "sim/firmware.h"

extern "C" {

int TAP_Hdd_GetRecInfo(byte recSlot, PlatformRecInfo *info) {
    return sim::Firmware::active(__func__).recordings.recInfo(recSlot, info);
}

int TAP_Hdd_GetPlayInfo(PlatformPlayInfo *info) { return sim::Firmware::active(__func__).recordings.playInfo(info); }

}  // extern "C"
