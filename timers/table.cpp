// The timer table copy and queue (see table.h). The copy and the queue are placeholders: the
// receiver's timers are not read yet.
#include "timers/table.h"

RecordingInfo recSlot[REC_SLOTS];
int max_Timers;
int ToSetTimer_max;
int cursorTimer = -1;

void ReadTimers(void) {}

void CopyTimer(int target, int source) {}

int CopyTimerToSet(int kind, int slot)
{
    return ToSetTimer_max;
}

int TimerIcon(int svcType, int channel, int event, int y, int xShift, int row)
{
    return -1;
}

dword StartTimeInMin(dword packed)
{
    return (packed >> 16) * 1440u + ((packed >> 8) & 0xFF) * 60u + (packed & 0xFF);
}

void TimeRevision(word *mjd, int *hour, int *minute)
{
    while (*minute >= 60) {
        *minute -= 60;
        *hour += 1;
    }
    while (*hour >= 24) {
        *hour -= 24;
        *mjd = (word)(*mjd + 1);
    }
    while (*minute < 0) {
        *minute += 60;
        *hour -= 1;
    }
    while (*hour < 0) {
        *hour += 24;
        *mjd = (word)(*mjd - 1);
    }
}

int atoi_x(const char *text, int dflt)
{
    if (text == 0 || text[0] == 0)
        return dflt;
    int negative = text[0] == '-';
    const char *p = text[0] == '-' || text[0] == '+' ? text + 1 : text;
    if (*p < '0' || *p > '9')
        return dflt;
    int value = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        int next = value * 10 + (*p - '0');
        if (next > ATOI_X_MAX)
            break;
        value = next;
    }
    return negative ? -value : value;
}
