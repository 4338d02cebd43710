// Setting timers (see set.h). Placeholder: no timers are set yet.
#include "timers/set.h"

int TimerError;

int Set_Timer(int slot)
{
    return 1;
}

void ReadRecInfo(void) {}
void TimerErrorMsg(void) {}
void TimerErrorMsg2(void) {}
void RecordSelectedEvent(void) {}
