// Combining and cutting timers (see combine.h for the neighbour terms and the rules).
//
// Slots: 71 the new timer, 72 the reference (the firmware timer to write over or delete),
// 73 the copy written back, 74 the next occurrence of a repeating neighbour on its way into the
// queue, 75 ChangePTimer's saved "-P-" timer. A function that is handed one of these slots as its
// timer keeps a local copy of it, so borrowing the slot does not lose it; carrying on saves and
// restores slot 74 around its work.
//
// Sections:
//   --- Finding and writing ---
//   --- Carrying repeating timers on ---
//   --- Combining ---
//   --- Cutting ---
//   --- Undoing a cut, extending over "-P-" timers ---
//   --- The second press of the record key ---
#include "timers/combine.h"

#include <string.h>

#include "epgdb/lookup.h"
#include "settings/settings.h"
#include "timers/names.h"
#include "timers/set.h"
#include "timers/table.h"

enum {
    QUEUE_ROOM_FOR_CARRY = 68,   // a next occurrence is queued only while at most this many wait
    DAYS_PER_WEEK = 7,
    CUT_NEIGHBOURS = 2           // a cut moves at most a predecessor and a successor
};

int last_tuner = -1;

// A timer's span in minutes.
typedef struct {
    int start;
    int end;
} Span;

static Span span_of(const TimerRecord *t)
{
    Span s;
    s.start = (int)StartTimeInMin(t->start);
    s.end = s.start + t->duration;
    return s;
}

static int same_channel(const TimerRecord *a, const TimerRecord *b)
{
    return a->svc_num == b->svc_num && a->svc_type == b->svc_type;
}

static int is_recording(const TimerRecord *t)
{
    return t->is_rec == 1;
}

static int is_repeating(const TimerRecord *t)
{
    return t->mode >= TIMER_MODE_DAILY && t->mode <= TIMER_MODE_WEEKDAYS;
}

// Moves a timer's start to the minute `start_min` (minutes since MJD 0), keeping its end.
static void move_start(TimerRecord *t, int start_min)
{
    int old = (int)StartTimeInMin(t->start);
    int duration = t->duration - (start_min - old);
    t->start = PackedTime((word)(start_min / 1440), 0, start_min % 1440);
    t->duration = (word)(duration < 0 ? 0 : duration);
}

// --- Finding and writing ---

void Timer_SwitchTuner(TimerRecord *t)
{
    if (t->tuner == 1)
        t->tuner = 0;
    else if (t->tuner != TIMER_TUNER_ANY)
        t->tuner = 1;
}

// The fields by which a slot is matched with a firmware timer.
static int same_timer(const TimerRecord *a, const TimerRecord *b)
{
    return a->svc_num == b->svc_num && a->svc_type == b->svc_type && a->start == b->start &&
           a->duration == b->duration && a->is_rec == b->is_rec && a->mode == b->mode;
}

// The copy's slot of the first firmware timer equal to ref, -1 none. Re-reads the table.
static int find_timer(const TimerRecord *ref)
{
    ReadTimers();
    for (int i = 0; i < max_Timers && i < TIMERS_MIRRORED; i++) {
        if (same_timer(&TimerList[i].rec, ref))
            return i;
    }
    return -1;
}

int Timer_EditSave(int action, int slot)
{
    TimerRecord *t = TimerSlotRecord(slot);
    if (t == NULL || (action != EDIT_DELETE && action != EDIT_WRITE))
        return 1;
    int i = find_timer(&TimerList[TIMER_SLOT_REFERENCE].rec);
    if (i < 0)
        return EDIT_NOT_FOUND;
    int index = TimerList[i].index;
    if (action == EDIT_DELETE) {
        TAP_Timer_Delete(index);
        ReadTimers();
        Timer_DelCut(TIMER_SLOT_REFERENCE);
        return 0;
    }
    if (t->name[0] == 0)
        TimerName_FromChannel(t);
    t->name[TIMER_NAME_KEPT] = 0;
    Replace_CombiName(slot);
    TimerName_AddRec(t->name);
    TimerError = TAP_Timer_Modify(index, t);
    if (TimerError != 0) {
        Timer_SwitchTuner(t);
        TimerError = TAP_Timer_Modify(index, t);
    }
    ReadTimers();
    if (TimerError != 0) {
        last_tuner = -1;
        return 1;
    }
    last_tuner = t->tuner;
    return 0;
}

// Writes `before` back over the firmware timer that now equals `now` (undoing a write), without
// touching TimerError.
static void restore_timer(const TimerRecord *now, TimerRecord *before)
{
    int i = find_timer(now);
    if (i >= 0)
        TAP_Timer_Modify(TimerList[i].index, before);
    ReadTimers();
}

// --- Carrying repeating timers on ---

// 1 when a timer of this mode occurs on a day of this weekday (0 Monday).
static int occurs_on(int mode, int weekday)
{
    if (mode == TIMER_MODE_WEEKEND)
        return weekday >= 5;
    if (mode == TIMER_MODE_WEEKDAYS)
        return weekday <= 4;
    return 1;
}

// Queues the next occurrence of the repeating timer in `slot` (the day after on which its mode
// occurs; a week on for weekly timers). Returns 0 queued or not repeating, 1 abandoned: the queue
// is nearly full or the occurrence breaks the collision rule. Slot 74 is restored afterwards.
static int carry_on(int slot)
{
    const TimerRecord *x = TimerSlotRecord(slot);
    if (x == NULL || !is_repeating(x))
        return 0;
    if (ToSetTimer_max > QUEUE_ROOM_FOR_CARRY)
        return 1;
    TimerSlot saved = TimerList[TIMER_SLOT_SWAP];
    CopyTimer(TIMER_SLOT_SWAP, slot);
    TimerRecord *next = &TimerList[TIMER_SLOT_SWAP].rec;
    int day = (int)(next->start >> 16);
    if (next->mode == TIMER_MODE_WEEKLY) {
        day += DAYS_PER_WEEK;
    } else {
        day++;
        while (!occurs_on(next->mode, WeekDay(day)))
            day++;
    }
    next->start = ((dword)(word)day << 16) | (next->start & 0xFFFF);
    int ok = TimerCollisionFree(TIMER_SLOT_SWAP);
    if (ok)
        CopyTimerToSet(QUEUE_APPEND, TIMER_SLOT_SWAP);
    TimerList[TIMER_SLOT_SWAP] = saved;
    return ok ? 0 : 1;
}

// --- Combining ---

// Widens t to the union of its span and `other`.
static void widen(TimerRecord *t, Span other)
{
    Span s = span_of(t);
    if (other.start < s.start) {
        t->start = PackedTime((word)(other.start / 1440), 0, other.start % 1440);
        t->duration = (word)(t->duration + (s.start - other.start));
    }
    if (s.end < other.end)
        t->duration = (word)(t->duration + (other.end - s.end));
}

// The first table timer after `from` of t's channel and kind that starts or ends strictly inside
// the span; -1 none.
static int find_overlapping(const TimerRecord *t, Span s, int from)
{
    for (int i = from; i < max_Timers && i < TIMERS_MIRRORED; i++) {
        const TimerRecord *x = &TimerList[i].rec;
        if (!same_channel(x, t) || x->is_rec != t->is_rec)
            continue;
        Span xs = span_of(x);
        if ((s.start < xs.start && xs.start < s.end) || (s.start < xs.end && xs.end < s.end))
            return i;
    }
    return -1;
}

// What Timer_Combination borrows, given back when it does not merge: the caller's timer and the
// reference and work slots (the queue's error box is drawn from the reference).
typedef struct {
    int slot;
    TimerSlot own, reference, work;
} Borrowed;

static void give_back(const Borrowed *b)
{
    TimerList[TIMER_SLOT_REFERENCE] = b->reference;
    TimerList[TIMER_SLOT_WORK] = b->work;
    TimerList[b->slot] = b->own;
}

int Timer_Combination(int slot)
{
    const TimerRecord *p = TimerSlotRecord(slot);
    if (p == NULL)
        return 1;
    Borrowed borrowed;   // slots 72..74 are borrowed below
    borrowed.slot = slot;
    borrowed.own = TimerList[slot];
    borrowed.reference = TimerList[TIMER_SLOT_REFERENCE];
    borrowed.work = TimerList[TIMER_SLOT_WORK];
    const TimerRecord *own = &borrowed.own.rec;
    if (!TimerCollisionFree(slot))
        return 1;
    Span s = span_of(own);
    int x = find_overlapping(own, s, 0);
    if (x < 0)
        return 1;

    int queued = ToSetTimer_max;
    CopyTimer(TIMER_SLOT_REFERENCE, x);
    CopyTimer(TIMER_SLOT_WORK, x);
    TimerRecord *merged = &TimerList[TIMER_SLOT_WORK].rec;
    widen(merged, s);
    merged->mode = TIMER_MODE_ONCE;
    if (carry_on(TIMER_SLOT_REFERENCE) != 0) {
        give_back(&borrowed);
        return 1;
    }

    // One more timer that the widened one now reaches is merged too, and deleted.
    TimerRecord deleted;
    memset(&deleted, 0, sizeof deleted);
    int y = find_overlapping(merged, span_of(merged), x + 1);
    if (y >= 0) {
        deleted = TimerList[y].rec;
        widen(merged, span_of(&deleted));
        if (carry_on(y) != 0) {
            ToSetTimer_max = queued;
            give_back(&borrowed);
            return 1;
        }
        TAP_Timer_Delete(TimerList[y].index);
    }

    Replace_TimerName(TIMER_SLOT_WORK, NAME_STYLE_COMBINED);
    if (Timer_EditSave(EDIT_WRITE, TIMER_SLOT_WORK) != 0) {
        if (y >= 0)
            TAP_Timer_Add(&deleted);
        ToSetTimer_max = queued;
        give_back(&borrowed);
        ReadTimers();
        return 1;
    }
    return 0;
}

// --- Cutting ---

static int is_predecessor(Span x, Span t)
{
    return x.start < t.start && t.start < x.end && x.end < t.end && x.end - t.start < t.start - x.start;
}

static int is_successor(Span x, Span t)
{
    return t.start < x.start && x.start < t.end && t.end < x.end && t.end - x.start < x.end - t.end;
}

// One neighbour a cut moves: the firmware timer before and after the cut.
typedef struct {
    TimerRecord before;
    TimerRecord after;
} CutNeighbour;

// Undoes the written cuts, newest first, and drops what was queued since `queued`.
static void undo_cuts(CutNeighbour *cuts, int written, int queued)
{
    for (int k = written - 1; k >= 0; k--)
        restore_timer(&cuts[k].after, &cuts[k].before);
    ToSetTimer_max = queued;
}

// Step 2 of cutting: lead and follow shrink until the timer meets its neighbours (a recording
// timer keeps them over "-P-" neighbours). Returns 1 when more than one neighbour overlaps a side.
static int shrink_lead_follow(const TimerRecord *t, int *lead, int *follow)
{
    Span s = span_of(t);
    int predecessors = 0, successors = 0;
    for (int i = 0; i < max_Timers && i < TIMERS_MIRRORED; i++) {
        const TimerRecord *x = &TimerList[i].rec;
        if (!same_channel(x, t))
            continue;
        Span xs = span_of(x);
        int keeps = is_recording(t) && !is_recording(x);
        if (!keeps && xs.start < s.start && s.start - *lead < xs.end && xs.end < s.end &&
            xs.end - s.start < s.start - xs.start) {
            while (s.start - *lead < xs.end && *lead > 0)
                (*lead)--;
        }
        if (!keeps && s.start < xs.start && xs.start < s.end + *follow && s.end < xs.end &&
            s.end - xs.start < xs.end - s.end) {
            while (xs.start < s.end + *follow && *follow > 0)
                (*follow)--;
        }
        predecessors += is_predecessor(xs, s);
        successors += is_successor(xs, s);
    }
    return predecessors > 1 || successors > 1;
}

// Step 4 of cutting, before anything is written: the neighbours' cut forms, their next
// occurrences queued. Returns the number found, or -1 when a next occurrence cannot be kept.
static int plan_cuts(const TimerRecord *t, int lead, int follow, CutNeighbour *cuts)
{
    Span s = span_of(t);
    int n = 0;
    for (int i = 0; i < max_Timers && i < TIMERS_MIRRORED && n < CUT_NEIGHBOURS; i++) {
        const TimerRecord *x = &TimerList[i].rec;
        if (!same_channel(x, t) || (!is_recording(t) && is_recording(x)))
            continue;
        Span xs = span_of(x);
        int p_before_rec = !is_recording(x) && is_recording(t);
        int predecessor = is_predecessor(xs, s), successor = !predecessor && is_successor(xs, s);
        if (!predecessor && !successor)
            continue;
        CopyTimer(TIMER_SLOT_REFERENCE, i);
        if (carry_on(TIMER_SLOT_REFERENCE) != 0)
            return -1;
        const TimerRecord *before = &TimerList[i].rec;   // as the firmware holds it, all bytes
        TimerRecord cut = *before;
        if (predecessor)
            cut.duration = (word)(cut.duration + (s.start - xs.end - (p_before_rec ? 0 : lead)));
        else
            move_start(&cut, s.end + (p_before_rec ? 0 : follow));
        cut.mode = TIMER_MODE_ONCE;
        cuts[n].before = *before;
        cuts[n].after = cut;
        n++;
    }
    return n;
}

int Timer_Cut(int slot, int lead, int follow)
{
    const TimerRecord *p = TimerSlotRecord(slot);
    if (settings.combine_timers != COMBINE_AND_CUT || p == NULL || slot == TIMER_SLOT_REFERENCE ||
        slot == TIMER_SLOT_WORK)
        return 1;
    TimerSlot own = TimerList[slot];
    last_tuner = -1;
    if (!TimerCollisionFree(slot))
        return 1;
    if (shrink_lead_follow(&own.rec, &lead, &follow))
        return 1;

    TimerList[TIMER_SLOT_WORK] = own;
    Enlarge_Timer(TIMER_SLOT_WORK, lead, follow);
    if (TimerAlreadyExist(TIMER_SLOT_WORK))
        return 0;
    if (!TimerCollisionFree(TIMER_SLOT_WORK))
        return 1;

    int queued = ToSetTimer_max;
    CutNeighbour cuts[CUT_NEIGHBOURS];
    int planned = plan_cuts(&own.rec, lead, follow, cuts);
    if (planned < 0) {
        ToSetTimer_max = queued;
        return 1;
    }
    for (int k = 0; k < planned; k++) {
        TimerList[TIMER_SLOT_REFERENCE].rec = cuts[k].before;
        TimerList[TIMER_SLOT_WORK].rec = cuts[k].after;
        if (last_tuner >= 0)
            TimerList[TIMER_SLOT_WORK].rec.tuner = (byte)last_tuner;
        if (Timer_EditSave(EDIT_WRITE, TIMER_SLOT_WORK) != 0) {
            int error = TimerError;
            undo_cuts(cuts, k, queued);
            TimerError = error;
            return 1;
        }
        cuts[k].after = TimerList[TIMER_SLOT_WORK].rec;
    }

    TimerList[TIMER_SLOT_WORK] = own;
    if (last_tuner >= 0)
        TimerList[TIMER_SLOT_WORK].rec.tuner = (byte)last_tuner;
    Enlarge_Timer(TIMER_SLOT_WORK, lead, follow);
    Set_Timer(TIMER_SLOT_WORK);
    if (TimerError != 0) {
        int error = TimerError;
        undo_cuts(cuts, planned, queued);
        TimerError = error;
        return 1;
    }
    return 0;
}

// --- Undoing a cut, extending over "-P-" timers ---

// Writes `x` back with `change` applied to it (through slots 72 and 73), trying `minutes` down to
// 1 until the firmware takes it. change 0 extends the end, 1 moves the start earlier.
static void extend_neighbour(const TimerRecord *x, int minutes, int change)
{
    for (int m = minutes; m > 0; m--) {
        TimerList[TIMER_SLOT_REFERENCE].rec = *x;
        TimerList[TIMER_SLOT_WORK].rec = *x;
        if (change == 0)
            Enlarge_Timer(TIMER_SLOT_WORK, 0, m);
        else
            Enlarge_Timer(TIMER_SLOT_WORK, m, 0);
        if (Timer_EditSave(EDIT_WRITE, TIMER_SLOT_WORK) == 0)
            return;
    }
}

int Timer_DelCut(int slot)
{
    const TimerRecord *d = TimerSlotRecord(slot);
    if (settings.combine_timers != COMBINE_AND_CUT || d == NULL)
        return 1;
    int error = TimerError;
    TimerSlot gone = TimerList[slot];
    TimerSlot reference = TimerList[TIMER_SLOT_REFERENCE];
    int b = (int)StartTimeInMin(gone.rec.start), e = gone.rec.duration;

    TimerRecord found[CUT_NEIGHBOURS];
    int ends_at_b[CUT_NEIGHBOURS];
    int n = 0;
    ReadTimers();
    for (int i = 0; i < max_Timers && i < TIMERS_MIRRORED && n < CUT_NEIGHBOURS; i++) {
        const TimerRecord *x = &TimerList[i].rec;
        if (!is_recording(x) || !same_channel(x, &gone.rec))
            continue;
        Span xs = span_of(x);
        if ((xs.end == b && xs.start < b) || (xs.start == b + e && x->duration > 0)) {
            found[n] = *x;
            ends_at_b[n] = xs.end == b && xs.start < b;
            n++;
        }
    }
    for (int k = 0; k < n; k++) {
        if (ends_at_b[k])
            extend_neighbour(&found[k], settings.rec_stop_add, 0);
        else
            extend_neighbour(&found[k], settings.rec_lead_time, 1);
    }
    TimerList[TIMER_SLOT_REFERENCE] = reference;
    TimerError = error;
    return 0;
}

int Timer_RCutP(int slot)
{
    const TimerRecord *r = TimerSlotRecord(slot);
    if (settings.combine_timers != COMBINE_AND_CUT || r == NULL || slot == TIMER_SLOT_REFERENCE ||
        slot == TIMER_SLOT_WORK)
        return 1;
    if (!is_recording(r))
        return 0;
    CopyTimer(TIMER_SLOT_REFERENCE, slot);
    TimerRecord *ref = &TimerList[TIMER_SLOT_REFERENCE].rec;

    TimerRecord found[CUT_NEIGHBOURS];
    int n = 0;
    ReadTimers();
    Span rs = span_of(ref);
    for (int i = 0; i < max_Timers && i < TIMERS_MIRRORED && n < CUT_NEIGHBOURS; i++) {
        const TimerRecord *x = &TimerList[i].rec;
        if (is_recording(x) || !same_channel(x, ref))
            continue;
        Span xs = span_of(x);
        if (xs.start == rs.end || xs.end == rs.start)
            found[n++] = *x;
    }
    for (int k = 0; k < n; k++) {
        Span now = span_of(ref), xs = span_of(&found[k]);
        CopyTimer(TIMER_SLOT_WORK, TIMER_SLOT_REFERENCE);
        if (xs.start == now.end)
            Enlarge_Timer(TIMER_SLOT_WORK, 0, settings.rec_stop_add);
        else if (xs.end == now.start)
            Enlarge_Timer(TIMER_SLOT_WORK, settings.rec_lead_time, 0);
        else
            continue;
        if (Timer_EditSave(EDIT_WRITE, TIMER_SLOT_WORK) == 0)
            CopyTimer(TIMER_SLOT_REFERENCE, TIMER_SLOT_WORK);
    }
    return 0;
}

// --- The second press of the record key ---

int ChangePTimer(void)
{
    int method = settings.manual_timer_method;
    if (method < 3 || is_recording(&TimerList[TIMER_SLOT_REFERENCE].rec))
        return 1;
    int lead = method == 3 ? settings.rec_lead_time : 0;
    int follow = method == 3 ? settings.rec_stop_add : 0;
    CopyTimer(TIMER_SLOT_NEW, TIMER_SLOT_REFERENCE);
    CopyTimer(TIMER_SLOT_SAVED, TIMER_SLOT_REFERENCE);
    TimerList[TIMER_SLOT_NEW].rec.is_rec = 1;
    Enlarge_Timer(TIMER_SLOT_NEW, lead, follow);
    if (Timer_EditSave(EDIT_WRITE, TIMER_SLOT_NEW) == 0) {
        Timer_RCutP(TIMER_SLOT_NEW);
    } else if (settings.combine_timers > COMBINE_OFF) {
        // Set anew: the "-P-" timer goes, the recording is cut or combined in, and the "-P-"
        // timer is queued again when that fails too.
        CopyTimer(TIMER_SLOT_NEW, TIMER_SLOT_SAVED);
        CopyTimer(TIMER_SLOT_REFERENCE, TIMER_SLOT_SAVED);
        Timer_EditSave(EDIT_DELETE, TIMER_SLOT_REFERENCE);
        TimerList[TIMER_SLOT_NEW].rec.is_rec = 1;
        if (Timer_Cut(TIMER_SLOT_NEW, lead, follow) != 0) {
            Enlarge_Timer(TIMER_SLOT_NEW, lead, follow);
            if (Timer_Combination(TIMER_SLOT_NEW) != 0)
                CopyTimerToSet(QUEUE_APPEND, TIMER_SLOT_SAVED);
        }
    }
    ReadTimers();
    return 0;
}
