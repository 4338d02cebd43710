// The timer watch (see watch.h): "-P-" timers switch the channel, a record-now timer is set anew
// once on the other tuner and then handed over to its recording.
#include "timers/watch.h"

#include <string.h>

#include "frame/state.h"
#include "timers/combine.h"
#include "timers/names.h"
#include "timers/set.h"
#include "timers/table.h"
#include "views/help.h"

enum { MINUTES_PER_DAY = 1440 };

int nowRecordAge;
int WakeUpTimer_lasttime = -1;

// 0 when both tuners record, each on a transponder other than the channel's: tuning it would take
// a tuner from a running recording. Else 1. Refreshes recSlot; changes chInfo.
static int receivable_beside_recordings(int svcType, int svcNum)
{
    ReadRecInfo();
    const RecordingInfo *a = &recSlot[0], *b = &recSlot[1];
    if (a->info.rec_state != 1 || b->info.rec_state != 1 || a->info.tuner == b->info.tuner)
        return 1;
    memset(&chInfo, 0, sizeof chInfo);
    if (!TAP_Channel_GetInfo(svcType, svcNum, &chInfo))
        return 1;   // the firmware refuses a channel it does not know anyway
    return chInfo.transponder == a->transponder || chInfo.transponder == b->transponder;
}

void CheckWakeUpTimer(void)
{
    int now = time_h * 60 + time_min;
    if (now == WakeUpTimer_lasttime)
        return;
    ReadTimers();
    TAP_Channel_GetCurrent(&_svcType, &curr_svcNum);
    dword now_in_min = (dword)time_mjd * MINUTES_PER_DAY + (dword)now;
    for (int i = 0; i < max_Timers && i < TIMERS_MIRRORED; i++) {
        const TimerRecord *t = &TimerList[i].rec;
        if (t->is_rec == 1 || StartTimeInMin(t->start) != now_in_min)
            continue;
        if (t->svc_type != _svcType && _epgShow != 0)
            continue;
        WakeUpTimer_lasttime = now;
        if (!receivable_beside_recordings(t->svc_type, t->svc_num))
            return;
        TAP_Channel_Start(1, t->svc_type, t->svc_num);
        TAP_Channel_GetCurrent(&_svcType, &curr_svcNum);
        timerlisthelp = 0;
        return;
    }
}

void CheckNowTimer(void)
{
    if (nowRecordAge <= 0)
        return;
    nowRecordAge--;
    if (nowRecordAge != NOW_RECORD_RESET_AT && nowRecordAge != NOW_RECORD_DELETE_AT)
        return;
    ReadTimers();
    TimerRecord *set = &TimerList[TIMER_SLOT_RECORD_NOW].rec;
    dword now = PackedTime(time_mjd, time_h, time_min);
    for (int i = 0; i < max_Timers && i < TIMERS_MIRRORED; i++) {
        const TimerRecord *t = &TimerList[i].rec;
        if (t->start > now || t->start != set->start || t->svc_type != set->svc_type || t->svc_num != set->svc_num)
            continue;
        if (nowRecordAge == NOW_RECORD_RESET_AT) {
            set->tuner = t->tuner;
            Timer_SwitchTuner(set);
            TAP_Timer_Delete(i);
            if (set->name[0] == 0)
                TimerName_FromChannel(set);
            set->name[TIMER_NAME_KEPT] = 0;
            TimerName_AddRec(set->name);
            TAP_Timer_Add(set);
        } else {
            TAP_Timer_Delete(i);
        }
        ReadTimers();
        return;
    }
}
