// The program's copy of the receiver's timer table, the queue of timers waiting to be set, and
// the time arithmetic all timer code shares. For now the copy and the queue are empty
// placeholders; the time arithmetic is complete.
#ifndef DIRO_TIMERS_TABLE_H
#define DIRO_TIMERS_TABLE_H

#include "frame/platform/tap.h"

// A running recording as the firmware reports it, with the transponder of the recorded channel
// behind it (the views grey the channels that a busy tuner cannot receive).
typedef struct {
    PlatformRecInfo info;     //   0: rec_state 1 while it records
    word transponder;         // 148: transponder word of the recorded channel
    word reserved;            // 150
} RecordingInfo;

#ifdef __cplusplus
static_assert(sizeof(RecordingInfo) == 152, "RecordingInfo is 152 bytes");
#endif

enum { REC_SLOTS = 2 };       // the receiver records at most two channels at once

extern RecordingInfo recSlot[REC_SLOTS];   // the running recordings, refreshed by ReadRecInfo
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
