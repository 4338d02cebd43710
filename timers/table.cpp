// The timer table copy, the queue, the time arithmetic, the marks and atoi_x (see table.h for
// the design note: slot roles, invariants, who changes what).
//
// Sections:
//   --- The copy ---
//   --- The queue and bulk deletion ---
//   --- Time arithmetic ---
//   --- Timer marks ---
//   --- Numbers ---
#include "timers/table.h"

#include <stdio.h>
#include <string.h>

#include "epgdb/buffer.h"
#include "frame/state.h"
#include "search/results.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "text/strutil.h"

enum {
    MARK_X = 621,             // the mark's frame, less the x shift ...
    MARK_W = 34,
    MARK_H = 26,
    MARK_LINE = 2,
    MARK_TEXT_X = 623,        // ... and its text inside it
    MARK_TEXT_RIGHT = 653,
    MARK_TEXT_DY = 2,
    MARK_TEXT_SIZE = 8,
    TIMERLIST_SORT_BY_START = 2,
    SORT_KIND_LIST = 2
};
static const dword MARK_RED = 0xFFD20000;     // a recording timer or a recording
static const dword MARK_GREEN = 0xFF008000;   // a "-P-" timer
static const dword MARK_TEXT = 0xFFFFFFFF;

RecordingInfo recSlot[REC_SLOTS];
TimerSlot TimerList[TIMER_SLOTS];
TimerRecord ToSetTimer[TIMER_QUEUE_SIZE];
int ToSetTimer_max;
int max_Timers;
int cursorTimer = CURSOR_TIMER_NONE;

static int slot_ok(int slot)
{
    return slot >= 0 && slot < TIMER_SLOTS;
}

TimerRecord *TimerSlotRecord(int slot)
{
    return slot_ok(slot) ? &TimerList[slot].rec : NULL;
}

// --- The copy ---

void ReadTimers(void)
{
    max_Timers = TAP_Timer_GetTotalNum();
    for (int i = 0; i < max_Timers && i < TIMERS_MIRRORED; i++) {
        TimerSlot *s = &TimerList[i];
        s->rec.name[0] = 0;
        if (!TAP_Timer_GetInfo(i, &s->rec))
            s->rec.name[0] = 0;
        s->rec.name[TIMER_NAME_KEPT] = 0;
        ConvertStr_FileName(s->rec.name);
        s->index = i;
    }
}

// The fields a copy carries (not the unused bytes); the name at most 99 characters.
static void copy_fields(TimerRecord *to, const TimerRecord *from)
{
    if (to == from)
        return;
    to->is_rec = from->is_rec;
    to->tuner = from->tuner;
    to->svc_type = from->svc_type;
    to->reserved0 = from->reserved0;
    to->svc_num = from->svc_num;
    to->mode = from->mode;
    to->name_fixed = from->name_fixed;
    to->duration = from->duration;
    to->start = from->start;
    strxcpy(to->name, from->name, TIMER_NAME_KEPT);
}

void CopyTimer(int target, int source)
{
    if (!slot_ok(target) || !slot_ok(source))
        return;
    copy_fields(&TimerList[target].rec, &TimerList[source].rec);
    TimerList[target].index = TimerList[source].index;
}

// --- The queue and bulk deletion ---

int CopyTimerToSet(int kind, int slot)
{
    if (!slot_ok(slot))
        return ToSetTimer_max;
    if (kind == QUEUE_APPEND) {
        if (ToSetTimer_max < 0)
            ToSetTimer_max = 0;
        if (ToSetTimer_max < TIMER_QUEUE_SIZE) {
            TimerRecord *q = &ToSetTimer[ToSetTimer_max];
            memset(q, 0, sizeof *q);
            copy_fields(q, &TimerList[slot].rec);
            ToSetTimer_max++;
        }
    } else if (kind == QUEUE_TAKE_FIRST && ToSetTimer_max > 0) {
        if (ToSetTimer_max > TIMER_QUEUE_SIZE)
            ToSetTimer_max = TIMER_QUEUE_SIZE;
        copy_fields(&TimerList[slot].rec, &ToSetTimer[0]);
        TimerList[slot].index = -1;
        memmove(&ToSetTimer[0], &ToSetTimer[1], (size_t)(ToSetTimer_max - 1) * sizeof ToSetTimer[0]);
        ToSetTimer_max--;
    }
    return ToSetTimer_max;
}

void DelAllTimers(int kind)
{
    ReadTimers();
    ToSetTimer_max = 0;
    TimerRecord beyond;   // a timer past the copy's 70 is read for its kind alone
    for (int n = max_Timers - 1; n >= 0; n--) {
        int is_rec = 0;
        if (n < TIMERS_MIRRORED) {
            is_rec = TimerList[n].rec.is_rec;
        } else if (kind < 2) {
            memset(&beyond, 0, sizeof beyond);
            TAP_Timer_GetInfo(n, &beyond);
            is_rec = beyond.is_rec;
        }
        // Every kind but 1 is a "-P-" timer, also one another program set.
        if (kind >= 2 || (kind == 1) == (is_rec == 1))
            TAP_Timer_Delete(n);
    }
    ReadTimers();
}

void SortTimer(int kind)
{
    if (kind != SORT_KIND_LIST || settings.timerlist_sort != TIMERLIST_SORT_BY_START)
        return;
    int count = max_Timers < TIMERS_MIRRORED ? max_Timers : TIMERS_MIRRORED;
    for (int b = 0; b < count; b++) {
        int best = b;
        for (int i = b + 1; i < count; i++) {
            if (TimerList[i].rec.start < TimerList[best].rec.start)
                best = i;
        }
        if (best != b) {
            CopyTimer(TIMER_SLOT_SWAP, b);
            CopyTimer(b, best);
            CopyTimer(best, TIMER_SLOT_SWAP);
        }
    }
}

// --- Time arithmetic ---

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

dword PackedTime(word mjd, int hour, int minute)
{
    TimeRevision(&mjd, &hour, &minute);
    return ((dword)mjd << 16) | ((dword)hour << 8) | (dword)minute;
}

dword TimerEndInMin(const TimerRecord *t)
{
    return StartTimeInMin(t->start) + t->duration;
}

// --- Timer marks ---

// The channel (service number) whose timers cover record `event` of buffer slot `channel`.
static int event_channel(int channel, int event)
{
    if (channel == SLOT_RESULT)
        return event >= 0 && event < SEARCH_RESULTS_MAX ? searchresult_ext[event].channel : -1;
    if (channel == SLOT_SCRATCH)
        return _svcNum;
    return channel;
}

int TimerCovering(int svcType, int channel, int event)
{
    const EpgEvent *ev = EpgRecord(channel, event);
    if (ev == NULL)
        return CURSOR_TIMER_NONE;
    int svc = event_channel(channel, event);
    dword ev_start = PackedTime(ev->start_mjd, ev->start_hour, ev->start_min);
    dword ev_end_min = (dword)EpgEndInMin(ev);
    for (int i = 0; i < max_Timers && i < TIMERS_MIRRORED; i++) {
        const TimerRecord *t = &TimerList[i].rec;
        if (t->svc_num == svc && t->svc_type == svcType && ev_start >= t->start && TimerEndInMin(t) >= ev_end_min)
            return i;
    }
    dword ev_end = PackedTime(ev->end_mjd, ev->end_hour, ev->end_min);
    for (int r = 0; r < REC_SLOTS; r++) {
        const PlatformRecInfo *rec = &recSlot[r].info;
        if (rec->rec_state == 1 && rec->svc_type == svcType && rec->svc_num == svc && ev_start >= rec->start &&
            rec->end >= ev_end)
            return CURSOR_TIMER_RECORDING;
    }
    return CURSOR_TIMER_NONE;
}

// The badge covers the end of a long title beneath it.
static void draw_mark(int y, int x_shift, const char *text, dword colour)
{
    TAP_Osd_FillBox(rgn, (dword)(MARK_X - x_shift), (dword)y, MARK_W, MARK_H, colour);
    TAP_Osd_DrawRectangle(rgn, (dword)(MARK_X - x_shift), (dword)y, MARK_W, MARK_H, MARK_LINE, font2_color);
    TAP_Osd_PutS(rgn, (dword)(MARK_TEXT_X - x_shift), (dword)(y + MARK_TEXT_DY), (dword)(MARK_TEXT_RIGHT - x_shift),
                 text, MARK_TEXT, colour, FNT_Type_Default, FNT_Size_1622, 0, ALIGN_CENTER);
}

int TimerIcon(int svcType, int channel, int event, int y, int xShift, int row)
{
    if (row == cursor)
        cursorTimer = CURSOR_TIMER_NONE;
    int found = TimerCovering(svcType, channel, event);
    if (found == CURSOR_TIMER_NONE)
        return CURSOR_TIMER_NONE;
    if (found == CURSOR_TIMER_RECORDING) {
        draw_mark(y, xShift, "R\xBB", MARK_RED);
        if (row == cursor)
            cursorTimer = CURSOR_TIMER_RECORDING;
        return CURSOR_TIMER_RECORDING;
    }
    const TimerSlot *s = &TimerList[found];
    if (s->rec.is_rec == 1) {
        char text[MARK_TEXT_SIZE];
        snprintf(text, sizeof text, "T%d", s->rec.tuner + 1);
        draw_mark(y, xShift, text, MARK_RED);
    } else {
        draw_mark(y, xShift, "P", MARK_GREEN);
    }
    if (row == cursor) {
        cursorTimer = s->index;
        CopyTimer(TIMER_SLOT_REFERENCE, found);
    }
    return s->index;
}

// --- Numbers ---

int atoi_x(const char *text, int def)
{
    if (text == NULL || text[0] == 0)
        return def;
    int negative = text[0] == '-';
    const char *p = text;
    if (*p == '+' || *p == '-')
        p++;
    if (*p < '0' || *p > '9')
        return def;
    int value = 0;
    while (*p >= '0' && *p <= '9') {
        int next = value * 10 + (*p - '0');
        if (next > ATOI_X_MAX)
            break;
        value = next;
        p++;
    }
    return negative ? -value : value;
}
