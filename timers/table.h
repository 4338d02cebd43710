// The program's copy of the receiver's timer table, the queue of timers waiting to be set, and
// the time arithmetic all timer code shares. For now the copy and the queue are empty
// placeholders; the time arithmetic is complete.
#ifndef DIRO_TIMERS_TABLE_H
#define DIRO_TIMERS_TABLE_H

#include "frame/platform/tap.h"

extern int max_Timers;       // timers the receiver reported at the last read
extern int ToSetTimer_max;   // timers waiting in the queue
extern int cursorTimer;      // timer of the event under the cursor: its index, -1 none, -2 recording

// Refreshes the copy from the receiver's table.
void ReadTimers(void);
// Copies one slot of the copy into another (slots 0..75).
void CopyTimer(int target, int source);
// The queue: kind 1 appends the slot's timer, kind 2 takes the first into the slot and returns
// the number left.
int CopyTimerToSet(int kind, int slot);
// Draws the timer mark of an event row; returns the timer's index, -2 a recording, -1 none.
int TimerIcon(int svcType, int channel, int event, int y, int xShift, int row);

// Minutes since MJD 0 of a packed time ((MJD << 16) + (hour << 8) + minute).
dword StartTimeInMin(dword packed);
// Brings minute into 0..59 and hour into 0..23, carrying into hour and MJD in both directions.
void TimeRevision(word *mjd, int *hour, int *minute);

// The number parser of the command and search files: an optionally signed decimal number at
// the start of text, its digits read while the value stays at most ATOI_X_MAX ("20sec" gives 20,
// "99999" 9999). Returns dflt for a null or empty text, a text that starts with neither a digit
// nor a sign, or a sign without a digit after it ("def", "-", "+").
enum { ATOI_X_MAX = 32766 };
int atoi_x(const char *text, int dflt);

#endif
