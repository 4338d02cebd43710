// Combining and cutting timers of one channel. Programmes on a channel follow each other, and
// lead and follow times make their timers overlap, which costs a second tuner: with
// settings.combine_timers 1 or 2 overlapping timers of a channel merge into one ("combine"), with
// 2 the lead and follow times shrink and the neighbours' boundaries move so that consecutive
// timers meet without overlapping ("cut"). Also: undoing a cut when a timer is deleted, writing
// and deleting firmware timers found through the reference slot 72, and turning a "-P-" timer
// into a recording timer on the second press of the record key.
// Leans on timers/table (slots, queue, time arithmetic), timers/set (rules, Set_Timer,
// TimerError) and timers/names (style 200, ".rec").
//
// Neighbours of a timer T (start S, end E in minutes) among the timers X of its channel and
// service type (start XS, end XE):
//   predecessor  XS < S < XE < E and XE - S < S - XS (X overlaps T's start, lies mostly before)
//   successor    S < XS < E < XE and E - XS < XE - E (X overlaps T's end, lies mostly after)
// A repeating neighbour that a merge or cut turns into a one-time timer is carried on: its next
// occurrence (next day it occurs on; a week on for weekly timers) must pass the collision rule
// and is queued (ToSetTimer) before anything is written; otherwise the operation is abandoned.
// A merge or cut that the firmware refuses halfway is undone: nothing is left half-set.
#ifndef DIRO_TIMERS_COMBINE_H
#define DIRO_TIMERS_COMBINE_H

#include "frame/platform/tap.h"

enum {
    EDIT_DELETE = 0,   // Timer_EditSave actions
    EDIT_WRITE = 1,
    EDIT_NOT_FOUND = 2,
    COMBINE_OFF = 0,   // settings.combine_timers
    COMBINE_MERGE = 1,
    COMBINE_AND_CUT = 2
};

extern int last_tuner;   // tuner of the last successful Timer_EditSave write; -1 none

// The tuner of a retry: 1 becomes 0, 3 stays 3, any other value 1.
void Timer_SwitchTuner(TimerRecord *t);
// Finds the firmware timer equal to the reference slot 72 (channel, service type, start,
// duration, kind, mode). action 0 deletes it and re-extends its cut neighbours (Timer_DelCut);
// action 1 writes the slot over it (channel name for an empty name, combined name renewed,
// ".rec"), with one retry on the other tuner. Results: 0 done; 1 refused (TimerError) or an
// unknown action or slot; 2 no such timer. Changes TimerError, last_tuner, the slot's name and
// tuner, the copy.
int Timer_EditSave(int action, int slot);
// Merges the slot's timer into the first table timer of its channel and kind that starts or ends
// strictly inside it (and one more that the widened timer then reaches, which is deleted); the
// merged timer is one-time and named with style 200. Results: 0 merged; 1 not merged (collision,
// no neighbour, a neighbour's next occurrence not kept, or refused): the caller sets the timer
// itself. The slot keeps its timer either way, and slots 72 and 73 are as before unless it
// merged. Changes the copy, slots 72 and 73 (on a merge), the queue.
int Timer_Combination(int slot);
// With settings.combine_timers 2: lead and follow shrink so that the timer meets its neighbours,
// overlapping neighbours are cut to meet it, and the timer is set. Results: 0 set, or already
// covered; 1 the caller must extend and set it itself (also when cutting is off, the slot is 72
// or 73, a collision, more than one overlapping neighbour on a side, or a refusal, after which
// the neighbours are as before). Changes last_tuner, TimerError, the copy, slots 72 and 73, the
// queue.
int Timer_Cut(int slot, int lead, int follow);
// After the timer in the slot (the reference 72) was deleted, with settings.combine_timers 2:
// the recording timer that ended at its start gets settings.rec_stop_add minutes again, the one
// that began at its end settings.rec_lead_time minutes (each a minute less per refusal). Returns
// 0, or 1 when cutting is off. Leaves TimerError and the slot as they were.
int Timer_DelCut(int slot);
// With settings.combine_timers 2: a recording timer in the slot gets settings.rec_stop_add
// minutes more over a "-P-" timer starting at its end, and settings.rec_lead_time minutes
// earlier over one ending at its start. Returns 0, or 1 when cutting is off or the slot is 72
// or 73. Changes slots 72 and 73, the copy.
int Timer_RCutP(int slot);
// The second press of the record key on the timer in slot 72: with settings.manual_timer_method
// 3 or 4 a "-P-" timer becomes a recording timer (method 3 with lead and follow time); when the
// firmware refuses, it is set anew through cutting and combining, and the "-P-" timer is queued
// again if that fails too. Returns 0, or 1 when the editor should open instead (other methods,
// or a recording timer). Changes slots 71, 72, 73, 75, the copy, the queue, TimerError.
int ChangePTimer(void);

#endif
