// Setting timers (see set.h). Placeholder: no timers are set yet.
#include "timers/set.h"

#include <string.h>

#include "frame/state.h"
#include "timers/table.h"

int TimerError;

int Set_Timer(int slot)
{
    return 1;
}

void ReadRecInfo(void)
{
    for (int i = 0; i < REC_SLOTS; i++) {
        memset(&recSlot[i], 0, sizeof recSlot[i]);
        TAP_Hdd_GetRecInfo((byte)i, &recSlot[i].info);
        if (recSlot[i].info.rec_state != 1)
            continue;
        memset(&chInfo, 0, sizeof chInfo);
        if (TAP_Channel_GetInfo(recSlot[i].info.svc_type, recSlot[i].info.svc_num, &chInfo))
            recSlot[i].transponder = chInfo.transponder;
    }
}
void TimerErrorMsg(void) {}
void TimerErrorMsg2(void) {}
void RecordSelectedEvent(void) {}
