// TAP_Channel_*: the service lists and the tuner of the active firmware.
#include "frame/platform/tap.h"
#include "sim/firmware.h"

extern "C" {

int TAP_Channel_GetTotalNum(int *nTvSvc, int *nRadioSvc) {
    sim::Channels &ch = sim::Firmware::active(__func__).channels;
    if (nTvSvc)
        *nTvSvc = ch.count(sim::kTv);
    if (nRadioSvc)
        *nRadioSvc = ch.count(sim::kRadio);
    return 0;
}

int TAP_Channel_GetCurrent(int *svcType, int *svcNum) {
    sim::ChannelRef now = sim::Firmware::active(__func__).channels.current();
    if (svcType)
        *svcType = now.svcType;
    if (svcNum)
        *svcNum = now.svcNum;
    return 0;
}

int TAP_Channel_GetInfo(int svcType, int svcNum, PlatformChannelInfo *info) {
    return sim::Firmware::active(__func__).channels.info(svcType, svcNum, info);
}

// Only the main picture (mainSub 1) can be switched.
int TAP_Channel_Start(int mainSub, int svcType, int svcNum) {
    sim::Firmware &fw = sim::Firmware::active(__func__);
    if (mainSub != 1)
        return 1;
    return fw.channels.tune(svcType, svcNum, sim::TuneSource::PlugIn, fw.clock.nowMs());
}

}  // extern "C"
