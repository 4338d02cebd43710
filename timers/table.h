// The program's copy of the receiver's timer table, the queue of timers waiting to be set, the
// time arithmetic all timer code shares, the timer marks beside events and the number parser of
// the command and search files. Leans on frame/platform (the timer calls), frame/state (the
// clock, _svcNum, chInfo), epgdb/ (the events a mark is drawn for), settings/ and text/.
//
// Design note
// -----------
// Records (little-endian, byte-exact on every build):
//   TimerRecord  the firmware's 144-byte timer (frame/platform/tap.h): is_rec, tuner, svc_type, 0,
//                svc_num u16, mode, name_fixed, duration u16 (minutes), 2 unused, start u32
//                (packed: MJD << 16 | hour << 8 | minute), name[100], 28 unused bytes that are
//                neither read nor copied.
//   TimerSlot    a TimerRecord and `index` (s32): the firmware index the record was read from.
//                Every copy between slots carries index along, so a slot always addresses the
//                right firmware timer, also after SortTimer.
//
// TimerList slots:
//   0..69  the firmware's table as ReadTimers last read it (max_Timers of them, at most 70),
//          in firmware order unless SortTimer ordered them by start.
//   70     record-now copy: the timer the editor last set to start at once.
//   71     new timer: composed from an event, a command line or the editor before it is set.
//   72     reference: the timer under the cursor (written by the marks) or the one being edited,
//          modified or deleted; Timer_EditSave finds the firmware timer equal to it.
//   73     work slot of cutting and combining: the copy that is written back.
//   74     swap slot of SortTimer; the idle duty takes a queued timer out into it.
//   75     saved copy: ChangePTimer keeps the "-P-" timer here while it turns it into a recording.
// Functions that borrow a slot outside its role save and restore it (see timers/combine.cpp).
//
// Invariants between calls:
//   - Slots 0..69 are only as fresh as the last ReadTimers; every operation re-reads first and
//     again after it changed the firmware's table.
//   - Name byte 99 of every slot and queue entry is 0; a name the program set ends in ".rec".
//   - ToSetTimer[0 .. ToSetTimer_max - 1] are the waiting timers, oldest first (at most 70).
//   - cursorTimer is the firmware index of the timer that covers the event in the cursor row as
//     the view last drew it (-1 none, -2 a running recording); slot 72 then holds that timer.
//
// State changes and who makes them:
//   firmware table   Set_Timer (add), Timer_EditSave (modify, delete), Timer_Combination (delete
//                    a merged neighbour), DelAllTimers, Timer_ChangeDate (names)
//   ToSetTimer       CopyTimerToSet: appended by combining and cutting (next occurrences of
//                    repeating timers), search words and the command file; taken one per step by
//                    the idle duty; emptied by DelAllTimers
//   TimerList 0..69  ReadTimers; SortTimer reorders them
//   cursorTimer, 72  TimerIcon for the cursor row; the record key
#ifndef DIRO_TIMERS_TABLE_H
#define DIRO_TIMERS_TABLE_H

#include <stddef.h>

#include "frame/platform/tap.h"

// A running recording as the firmware reports it, with the transponder of the recorded channel
// behind it (the views grey the channels that a busy tuner cannot receive).
typedef struct {
    PlatformRecInfo info;     //   0: rec_state 1 while it records
    word transponder;         // 148: transponder word of the recorded channel
    word reserved;            // 150
} RecordingInfo;

// One slot of the copy: a firmware timer and where it came from.
typedef struct {
    TimerRecord rec;          //   0: the timer
    int index;                // 144: firmware index it was read from; -1 a timer not (yet) in the table
} TimerSlot;

#ifdef __cplusplus
static_assert(sizeof(RecordingInfo) == 152, "RecordingInfo is 152 bytes");
static_assert(sizeof(TimerSlot) == 148 && offsetof(TimerSlot, index) == 144, "TimerSlot is 148 bytes");
#endif

enum {
    REC_SLOTS = 2,            // the receiver records at most two channels at once
    TIMER_SLOTS = 76,         // slots of TimerList
    TIMERS_MIRRORED = 70,     // slots 0..69 mirror the firmware's table
    TIMER_SLOT_RECORD_NOW = 70,
    TIMER_SLOT_NEW = 71,
    TIMER_SLOT_REFERENCE = 72,
    TIMER_SLOT_WORK = 73,
    TIMER_SLOT_SWAP = 74,
    TIMER_SLOT_SAVED = 75,
    TIMER_QUEUE_SIZE = 70,    // timers ToSetTimer holds
    TIMER_NAME_SIZE = 100,    // bytes of a timer name
    TIMER_NAME_KEPT = 99,     // characters of a name the program keeps
    TIMER_NAME_MAX = 40,      // characters of a name the program writes, before ".rec"
    TIMER_MODE_ONCE = 0,      // TimerRecord.mode: one time ...
    TIMER_MODE_DAILY = 1,     // ... every day
    TIMER_MODE_WEEKEND = 2,   // ... Saturday and Sunday
    TIMER_MODE_WEEKLY = 3,    // ... the same weekday
    TIMER_MODE_WEEKDAYS = 4,  // ... Monday to Friday
    TIMER_TUNER_ANY = 3,      // TimerRecord.tuner: whichever tuner is free
    CURSOR_TIMER_NONE = -1,   // cursorTimer values besides a firmware index
    CURSOR_TIMER_RECORDING = -2,
    QUEUE_APPEND = 1,         // CopyTimerToSet kinds
    QUEUE_TAKE_FIRST = 2,
    ATOI_X_MAX = 32766        // atoi_x stops before a digit that would pass this
};

extern RecordingInfo recSlot[REC_SLOTS];      // the running recordings, refreshed by ReadRecInfo
extern TimerSlot TimerList[TIMER_SLOTS];       // the copy (0..69) and the work slots (70..75)
extern TimerRecord ToSetTimer[TIMER_QUEUE_SIZE];   // timers waiting to be set, oldest first
extern int ToSetTimer_max;   // timers waiting in ToSetTimer, 0..70
extern int max_Timers;       // timers the receiver reported at the last read (not capped at 70)
extern int cursorTimer;      // timer of the event under the cursor: its index, -1 none, -2 recording

// Refreshes the copy: max_Timers from the firmware, then slots 0 .. min(max_Timers, 70) - 1 with
// name byte 99 cleared, the name made a file name (ConvertStr_FileName) and index set.
// Changes max_Timers, TimerList[0..69].
void ReadTimers(void);
// Copies source into target (both 0..75): name (99 characters), the fields and index; the
// unused bytes stay. Anything else does nothing.
void CopyTimer(int target, int source);
// The queue. kind 1 (QUEUE_APPEND): the slot's timer (0..75) becomes the last waiting timer; a
// full queue drops it. kind 2 (QUEUE_TAKE_FIRST): the first waiting timer goes into the slot
// (index -1) and the others move up. Returns the number of waiting timers afterwards.
// Changes ToSetTimer, ToSetTimer_max, the slot.
int CopyTimerToSet(int kind, int slot);
// Deletes firmware timers from the highest index down and empties the queue: kind 0 every
// "-P-" timer (is_rec other than 1), 1 every recording timer, 2 and up all of them, also those
// beyond the copy's 70. Re-reads the copy.
void DelAllTimers(int kind);
// With kind 2 and settings.timerlist_sort 2: orders slots 0 .. min(max_Timers, 70) - 1 by start
// (equal starts keep their order), through the swap slot 74. Otherwise nothing.
void SortTimer(int kind);
// Draws the timer mark of an event row and returns what covers the event: a timer's firmware
// index, -2 a running recording, -1 nothing. The event is record `event` of buffer slot `channel`
// (200 stands for _svcNum; 201, the results, for the result's own channel); x_shift moves the
// mark left. For the cursor row it sets cursorTimer and copies the timer to slot 72.
int TimerIcon(int svcType, int channel, int event, int y, int xShift, int row);
// What TimerIcon finds, without drawing: -1 none, -2 a recording, else the slot 0..69 of the timer.
// Uses the copy and recSlot as they stand.
int TimerCovering(int svcType, int channel, int event);
// Number of the command and search files: optional sign, decimal digits up to 32766; the default
// for an empty or null text, one that starts with neither digit nor sign, or a sign alone.
int atoi_x(const char *text, int def);

// Minutes since MJD 0 of a packed time ((MJD << 16) + (hour << 8) + minute).
dword StartTimeInMin(dword packed);
// Brings minute into 0..59 and hour into 0..23, carrying into hour and MJD in both directions.
void TimeRevision(word *mjd, int *hour, int *minute);
// A packed time from its parts, normalised with TimeRevision first.
dword PackedTime(word mjd, int hour, int minute);
// The end of a timer in minutes: start + duration.
dword TimerEndInMin(const TimerRecord *t);
// The record of a slot 0..75, or null.
TimerRecord *TimerSlotRecord(int slot);

#endif
