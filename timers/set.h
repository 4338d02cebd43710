// Setting timers from events: a buffered event turned into a timer in the new-timer slot (71),
// the duplicate and collision rules, adding to the receiver with one retry on the other tuner,
// the recording status, the error boxes, and the steps of the record key on the selected event.
// Leans on timers/table (slots, time arithmetic), timers/names (suffixes, ".rec"),
// timers/combine (combining and cutting before a timer is added), epgdb/ (the events), the views
// (redraw) and frame/msgbox.
//
// The collision rule every caller applies before it sets a timer: CheckTimerCollision counts the
// overlapping timers on other channels (two on one channel share a tuner) and on the timer's own
// channel; a timer may be set while the first count is below 2 and the second below 3
// (TimerCollisionFree). The firmware still has the last word: TAP_Timer_Add refuses with
// -65536 + n for a collision with its timer n, or another non-zero code.
#ifndef DIRO_TIMERS_SET_H
#define DIRO_TIMERS_SET_H

#include "frame/platform/tap.h"

enum {
    TIMER_COLLISION_BASE = -65536,   // TimerError -65536 + n: a collision with firmware timer n
    TIMER_CHANNEL_NAME = 23,         // characters of a channel name used as a timer name
    ERROR_BOX_LINE_SIZE = 160
};

extern int TimerError;   // result of the last timer add or modify: 0 ok, -65536 + n collision with n

// Composes the new-timer slot (71) from record `event` of a channel's events: in a result list
// (search_mode ending in 3) from the result channel with the result's own channel; otherwise
// from the channel's buffer slot for service type _svcType. Name: the event's title as a file
// name, or the channel's name when it has fewer than 2 characters. One time, tuner
// settings.rec_tuner, a recording timer with settings.manual_timer_method 0, else "-P-".
// Returns 0, or 1 when the event does not exist (slot 71 untouched). Changes slot 71, chInfo,
// dctstr.
int BufToTimer(int channel, int event);
// Moves the slot's start `lead` minutes earlier and lengthens it by lead + follow (negative
// values shrink it; the duration stops at 0). Slots outside 0..75: nothing.
void Enlarge_Timer(int slot, int lead, int follow);
// 1 when the slot's timer is already covered: a running recording of its channel lasts to its
// end, or a table timer of its channel and kind spans it. Else 0. Re-reads the table and the
// recording status.
int TimerAlreadyExist(int slot);
// The number of overlapping table timers on other channels that need a tuner of their own
// (repeating timers counted on the slot's day); the number on the slot's own channel goes to
// *same_channel (may be null). Re-reads the table. A slot outside 0..75 counts 99.
int CheckTimerCollision(int slot, int *same_channel);
// 1 when the collision rule lets the slot's timer be set, else 0.
int TimerCollisionFree(int slot);
// 1 when a repeating timer occurs on a day of the given weekday (0 Monday; weekly: its start's
// weekday), 0 for a one-time timer.
int TimerRepeatsOn(const TimerRecord *x, int weekday);
// Adds the slot's timer to the receiver: combined into a neighbour first when
// settings.combine_timers is on; an empty name becomes the channel's; the ".rec" ending; on a
// refusal once more on the other tuner (1 -> 0, 3 stays, else 1). Returns 0 set (or merged),
// 1 refused (TimerError holds the firmware's code; the slot keeps the timer) or a slot outside
// 0..75. Changes the slot's name and tuner, TimerError, the copy.
int Set_Timer(int slot);
// The channel's name (23 characters, made a file name) as the timer's name. Changes chInfo.
void TimerName_FromChannel(TimerRecord *t);
// Refreshes the state of the running recordings.
void ReadRecInfo(void);
// The error box of the last refused timer: the title, then the colliding timer's number, channel,
// times and name, or "Invalid Entry or No resource available!". Stays until the next key
// (help 2). Nothing while TimerError is 0. Re-reads the table.
void TimerErrorMsg(void);
// The error box of a queued timer (in slot 72) that failed: its channel, date, times and name
// above the same lines. Nothing while TimerError is 0.
void TimerErrorMsg2(void);
// The record key on the selected event of the open view (Normal view, Now view or result list):
// a timer by settings.manual_timer_method, the second press on a marked timer, the error box.
void RecordSelectedEvent(void);

#endif
