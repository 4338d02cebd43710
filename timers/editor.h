// The timer editor: the timer in the new-timer slot (71) as eleven rows (name, channel, date,
// start, stop and duration, mode, TV or radio, record or "-P-", tuner, save or record now,
// delete), the rules by which the remote's keys change them, and the actions that write the
// receiver's timer table. Only the action rows write the table; changing values never does.
// Open while timer_mode is 1 (from an EPG view: the record key) or 3 (from the timer list).
// Leans on timers/table (slots), timers/set (Set_Timer, the error box), timers/combine
// (Timer_EditSave), timers/watch (the record-now watch), search/keyboard (the name),
// search/textfield, search/values (EditValue, LCN) and views/window (DrawEPG).
//
// Editing an existing timer: slot 72 holds it as it was when the editor opened; saving writes
// slot 71 over the receiver's timer equal to it, deleting deletes that timer. The editor keeps
// its own copy of the unchanged timer, since timers set in the background borrow slot 72.
//
// A timer whose start is not later than now is a record-now timer: a new one is one-time and
// records, the title says " Record Now" and its save row " Run Record" starts it at once.
//
// Example (the timer list's OK on its third row):
//   CopyTimer(TIMER_SLOT_NEW, 2); CopyTimer(TIMER_SLOT_REFERENCE, 2);
//   Timer_OpenEditor(1, 1, TIMER_ROW_NAME);   // timer_mode 3, the editor drawn
//   Keys_TimerEditor(RKEY_Right);             // the name row: nothing; other rows step
#ifndef DIRO_TIMERS_EDITOR_H
#define DIRO_TIMERS_EDITOR_H

#include "frame/platform/tap.h"

enum {
    TIMER_EDITOR_ROWS = 11,
    TIMER_ROW_NAME = 0,
    TIMER_ROW_CHANNEL = 1,
    TIMER_ROW_DATE = 2,
    TIMER_ROW_START = 3,          // start and stop: << and >> move them by an hour
    TIMER_ROW_STOP = 4,
    TIMER_ROW_MODE = 5,
    TIMER_ROW_TYPE = 6,
    TIMER_ROW_RECORD = 7,
    TIMER_ROW_TUNER = 8,
    TIMER_ROW_SAVE = 9,           // save, or for a record-now timer run the record
    TIMER_ROW_DELETE = 10,
    TIMER_NAME_LIMIT = 40,        // characters of a name typed on the keyboard
    TIMER_DURATION_MAX = 2880,    // minutes of a one-time timer
    TIMER_DURATION_MAX_REPEATING = 1440,   // ... of a repeating one: it ends before it recurs
    TIMER_LAST_MJD = 65500,       // the latest date the date row reaches
    TIMER_MODE_FROM_EPG = 1,      // timer_mode of the editor opened from an EPG view ...
    TIMER_MODE_LIST = 2,          // ... of the timer list
    TIMER_MODE_FROM_LIST = 3      // ... of the editor opened from the list
};

extern unsigned char timer_edit;   // 1 while an existing timer is edited, 0 a new one

// Opens the editor on slot 71: existing 1 edits the receiver's timer that slot 72 holds (its
// copy is kept), 0 a new timer; from_list 1 returns to the timer list (whose position the caller
// kept in ListOffset_store2, cursor_store2), 0 to the EPG view (Position_Store). row: the row
// selected. Draws the window. Changes timer_edit, timer_mode, cursor, ListOffset.
void Timer_OpenEditor(int existing, int from_list, int row);

// step 0 draws the form; -1/+1 (V-, V+) and -60/+60 (<<, >> on the start and stop rows) first
// change the selected row's value: the channel wraps over the channels of the timer's type; the
// date stops at today and at 65500; the start wraps round the day (ten minutes a step from the
// third held second of Key_TimeCount, half hours from the fifth, rounded down to them) and is
// raised to one minute before now when stepped earlier; the duration stops at 1 and at 2880
// minutes (1440 for a repeating timer; tens from the third held second); mode, type and record
// wrap; the tuner cycles 1, 2, 4. Every draw tidies the name (a file name without ".rec", at most
// 40 characters, no blanks round it: an empty one shows the channel's name), puts a channel beyond
// its list back to the first, and makes a new record-now timer one-time and recording. Syncs.
// Changes slot 71, cursor (kept on rows 0..10), ListOffset (0), chInfo.
void Timer_Menu(int step);

// The name the keyboard edits while the editor has it open: slot 71's (100 bytes).
char *Timer_EditedName(void);

// A key in the editor (timer_mode 1 or 3), handed on by the key table of the views:
// UP and DOWN the previous or next row (round the ends); LEFT and RIGHT step the row's value;
// << and >> move the start or stop by an hour; help-and-edit on the date row moves the date back
// to the earliest day on which the start still lies ahead; OK on the name row opens the keyboard,
// on the save row sets the new timer (or writes the edited one; a record-now timer starts at once
// and the views close), on the delete row deletes the edited timer. A refusal shows the error box
// and the editor stays; otherwise the list (at the new timer, or where it was) or the view comes
// back. Returns 0 (the key is consumed).
dword Keys_TimerEditor(dword key);

#endif
