// Setting timers from events (see set.h): composing, the rules, adding, the error boxes, the
// record key.
//
// Sections:
//   --- Composing a timer ---
//   --- Rules ---
//   --- Adding ---
//   --- Error boxes ---
//   --- The record key ---
#include "timers/set.h"

#include <stdio.h>
#include <string.h>

#include "epgdb/buffer.h"
#include "epgdb/lookup.h"
#include "frame/msgbox.h"
#include "frame/state.h"
#include "search/results.h"
#include "search/values.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "text/coded.h"
#include "text/strutil.h"
#include "timers/combine.h"
#include "timers/editor.h"
#include "timers/names.h"
#include "timers/table.h"
#include "views/nowview.h"
#include "views/window.h"

enum {
    COLLISION_OTHER_LIMIT = 2,   // a timer may be set while fewer overlap on other channels ...
    COLLISION_SAME_LIMIT = 3,    // ... and on its own channel
    COLLISION_BAD_SLOT = 99,
    MINUTES_PER_DAY = 1440,
    SATURDAY = 5,
    FRIDAY = 4,
    ERROR_BOX_X = 110, ERROR_BOX_W = 500, ERROR_BOX_LINE = 3, ERROR_SHADOW = 10,
    ERROR_TEXT_X = 116, ERROR_TEXT_RIGHT = 604,
    MIN_TITLE_CHARS = 2,
    HELP_ONE_KEY = 2
};

// The boxes: the first of a refused timer, the second of a queued one with its own lines above.
static const int ERROR_BOX_Y = 200, ERROR_BOX_H = 175;
static const int ERROR_BOX2_Y = 148, ERROR_BOX2_H = 280;

// Texts of the error boxes and the record key, one row per text: English, German, Finnish.
static const char *const error_title[] = {"Timer Setting Error!", "Aufnahme konnte nicht gesetzt werden!",
                                          "Virhe ajastuksen asettamisessa!"};
static const char *const error_collision[] = {"Collision with timer nr. %d at channel %d",
                                              "Kollision mit Timer Nr. %d auf Programm %d",
                                              "Kanavalla %d on samanaikainen ajastus nro %d"};
static const char *const error_other = "Invalid Entry or No resource available!";
static const char *const queued_date[] = {"%d. %s - %04d-%02d-%02d %s", "%d. %s - %02d.%02d.%04d %s",
                                          "%d. %s - %02d.%02d.%04d %s"};
static const char *const event_over[] = {"This event is already over!", "Die Sendung ist schon vorbei!",
                                         "Ohjelma on jo p\xE4\xE4ttynyt!"};

int TimerError;

static int now_in_min(void)
{
    return time_mjd * MINUTES_PER_DAY + time_h * 60 + time_min;
}

// --- Composing a timer ---

void TimerName_FromChannel(TimerRecord *t)
{
    memset(&chInfo, 0, sizeof chInfo);
    if (!TAP_Channel_GetInfo(t->svc_type, t->svc_num, &chInfo))
        chInfo.name[0] = 0;
    strxcpy(t->name, chInfo.name, TIMER_CHANNEL_NAME);
    ConvertStr_FileName(t->name);
}

int BufToTimer(int channel, int event)
{
    int result_list = search_mode % 10 == 3;
    int slot = result_list ? SLOT_RESULT : BufferSlot(_svcType, channel);
    const EpgEvent *ev = EpgRecord(slot, event);
    if (ev == NULL || event >= max_Event[slot] || (result_list && event >= SEARCH_RESULTS_MAX))
        return 1;

    TimerSlot *s = &TimerList[TIMER_SLOT_NEW];
    memset(s, 0, sizeof *s);
    s->index = -1;
    TimerRecord *t = &s->rec;
    t->svc_num = (word)(result_list ? searchresult_ext[event].channel : channel);
    t->svc_type = (byte)(result_list ? SVC_TYPE_Tv : _svcType);

    strxcpy(t->name, DCT(ev->text), TIMER_NAME_KEPT);
    RemInfo(t->name);
    ConvertStr_FileName(t->name);
    if ((int)strlen(t->name) < MIN_TITLE_CHARS)
        TimerName_FromChannel(t);

    t->start = PackedTime(ev->start_mjd, ev->start_hour, ev->start_min);
    t->duration = (word)EpgDurInMin(ev);
    t->tuner = (byte)settings.rec_tuner;
    t->reserved0 = 0;
    t->mode = TIMER_MODE_ONCE;
    t->name_fixed = 1;
    t->is_rec = settings.manual_timer_method == 0 ? 1 : 0;
    return 0;
}

void Enlarge_Timer(int slot, int lead, int follow)
{
    TimerRecord *t = TimerSlotRecord(slot);
    if (t == NULL)
        return;
    word mjd = (word)(t->start >> 16);
    int hour = (int)((t->start >> 8) & 0xFF), minute = (int)(t->start & 0xFF) - lead;
    t->start = PackedTime(mjd, hour, minute);
    int duration = t->duration + lead + follow;
    t->duration = (word)(duration < 0 ? 0 : duration > 0xFFFF ? 0xFFFF : duration);
}

// --- Rules ---

int TimerAlreadyExist(int slot)
{
    const TimerRecord *t = TimerSlotRecord(slot);
    if (t == NULL)
        return 0;
    ReadTimers();
    ReadRecInfo();
    dword s = StartTimeInMin(t->start);
    for (int r = 0; r < REC_SLOTS; r++) {
        const PlatformRecInfo *rec = &recSlot[r].info;
        if (rec->rec_state == 1 && rec->svc_type == t->svc_type && rec->svc_num == t->svc_num &&
            StartTimeInMin(rec->end) > s)
            return 1;
    }
    for (int i = 0; i < max_Timers && i < TIMERS_MIRRORED; i++) {
        const TimerRecord *x = &TimerList[i].rec;
        if (x->svc_num == t->svc_num && x->svc_type == t->svc_type && x->is_rec == t->is_rec &&
            StartTimeInMin(x->start) <= s && TimerEndInMin(x) >= s + t->duration)
            return 1;
    }
    return 0;
}

// The overlap rule: b starts inside [a, a_end), or ends inside (a, a_end], or spans it.
static int overlaps(int a, int a_end, int b, int b_end)
{
    return (b >= a && b < a_end) || (b_end > a && b_end <= a_end) || (b < a && b_end > a_end);
}

// 1 when a repeating timer occurs on a day of the given weekday (0 Monday).
static int repeats_on(const TimerRecord *x, int weekday)
{
    switch (x->mode) {
    case TIMER_MODE_DAILY: return 1;
    case TIMER_MODE_WEEKEND: return weekday >= SATURDAY;
    case TIMER_MODE_WEEKLY: return weekday == WeekDay((int)(x->start >> 16));
    case TIMER_MODE_WEEKDAYS: return weekday <= FRIDAY;
    default: return 0;
    }
}

int CheckTimerCollision(int slot, int *same_channel)
{
    const TimerRecord *t = TimerSlotRecord(slot);
    if (same_channel)
        *same_channel = 0;
    if (t == NULL)
        return COLLISION_BAD_SLOT;
    ReadTimers();
    int s = (int)StartTimeInMin(t->start), e = s + t->duration;
    int day = (int)(t->start >> 16);
    int tod = (int)((t->start >> 8) & 0xFF) * 60 + (int)(t->start & 0xFF);
    int weekday = WeekDay(day);
    int other = 0, same = 0;
    int prev_channel = -1, prev_type = -1, prev_tuner = -1;
    for (int i = 0; i < max_Timers && i < TIMERS_MIRRORED; i++) {
        const TimerRecord *x = &TimerList[i].rec;
        int xs = (int)StartTimeInMin(x->start), xe = xs + x->duration;
        int hit = overlaps(s, e, xs, xe);
        if (!hit && (int)(x->start >> 16) <= day && repeats_on(x, weekday)) {
            int xtod = (int)((x->start >> 8) & 0xFF) * 60 + (int)(x->start & 0xFF);
            hit = overlaps(tod, tod + t->duration, xtod, xtod + x->duration);
        }
        if (!hit)
            continue;
        if (x->svc_num == t->svc_num && x->svc_type == t->svc_type) {
            same++;
            continue;
        }
        // Two timers on one channel share a tuner.
        int shares = (x->tuner == prev_tuner || x->tuner == TIMER_TUNER_ANY) && x->svc_num == prev_channel &&
                     x->svc_type == prev_type;
        if (!shares)
            other++;
        prev_channel = x->svc_num;
        prev_type = x->svc_type;
        if (x->tuner != TIMER_TUNER_ANY)
            prev_tuner = x->tuner;
    }
    if (same_channel)
        *same_channel = same;
    return other;
}

int TimerCollisionFree(int slot)
{
    int same = 0;
    int other = CheckTimerCollision(slot, &same);
    return other < COLLISION_OTHER_LIMIT && same < COLLISION_SAME_LIMIT;
}

// --- Adding ---

int Set_Timer(int slot)
{
    TimerRecord *t = TimerSlotRecord(slot);
    if (t == NULL)
        return 1;
    if (settings.combine_timers > 0 && Timer_Combination(slot) == 0) {
        ReadTimers();
        return 0;
    }
    if (t->name[0] == 0)
        TimerName_FromChannel(t);
    t->name[TIMER_NAME_KEPT] = 0;
    TimerName_AddRec(t->name);
    TimerError = TAP_Timer_Add(t);
    if (TimerError != 0) {
        Timer_SwitchTuner(t);
        TimerError = TAP_Timer_Add(t);
    }
    ReadTimers();
    return TimerError != 0;
}

void ReadRecInfo(void)
{
    for (int i = 0; i < REC_SLOTS; i++) {
        memset(&recSlot[i], 0, sizeof recSlot[i]);
        TAP_Hdd_GetRecInfo((byte)i, &recSlot[i].info);
        if (recSlot[i].info.rec_state != 1)
            continue;
        memset(&chInfo, 0, sizeof chInfo);
        if (TAP_Channel_GetInfo(recSlot[i].info.svc_type, recSlot[i].info.svc_num, &chInfo))
            recSlot[i].transponder = chInfo.transponder;
    }
}

// --- Error boxes ---

static void error_box(int y, int h)
{
    TAP_Osd_DrawRectangle(rgn, ERROR_BOX_X, (dword)y, ERROR_BOX_W, (dword)h, ERROR_BOX_LINE, fineline_color);
    TAP_Osd_FillBox(rgn, ERROR_BOX_X + ERROR_BOX_LINE, (dword)(y + ERROR_BOX_LINE), ERROR_BOX_W - 2 * ERROR_BOX_LINE,
                    (dword)(h - 2 * ERROR_BOX_LINE), titlebox_color);
    TAP_Osd_FillBox(rgn, ERROR_BOX_X + ERROR_BOX_W, (dword)(y + ERROR_SHADOW), ERROR_SHADOW, (dword)h, box_shadow);
    TAP_Osd_FillBox(rgn, ERROR_BOX_X + ERROR_SHADOW, (dword)(y + h), ERROR_BOX_W, ERROR_SHADOW, box_shadow);
}

static void error_line(int y, const char *text, dword colour)
{
    TAP_Osd_PutString(rgn, ERROR_TEXT_X, (dword)y, ERROR_TEXT_RIGHT, text, colour, titlebox_color, FNT_Type_Default,
                      FNT_Size_1926, 0);
}

// "HH:MM - HH:MM  "name"" of a timer, its name without ".rec".
static void times_and_name(char *line, const TimerRecord *t)
{
    char name[TIMER_NAME_SIZE];
    strxcpy(name, t->name, TIMER_NAME_KEPT);
    if (TimerName_EndsInRec(name))
        name[strlen(name) - 4] = 0;
    word end_mjd = (word)(t->start >> 16);
    int end_h = (int)((t->start >> 8) & 0xFF) + t->duration / 60;
    int end_m = (int)(t->start & 0xFF) + t->duration % 60;
    TimeRevision(&end_mjd, &end_h, &end_m);
    snprintf(line, ERROR_BOX_LINE_SIZE, "%02d:%02d - %02d:%02d  \"%s\"", (int)((t->start >> 8) & 0xFF),
             (int)(t->start & 0xFF), end_h, end_m, name);
}

// The firmware timer a collision names, or -1 when TimerError names none the copy holds.
static int colliding_timer(void)
{
    int n = TimerError - TIMER_COLLISION_BASE;
    if (n < 0 || n >= TIMERS_MIRRORED || n >= max_Timers)
        return -1;
    return n;
}

// The title, then the collision's two lines or the other refusal's line.
static void error_lines(int y_title, int y_collision, int y_other)
{
    char line[ERROR_BOX_LINE_SIZE];
    error_line(y_title, LangText(error_title[0], error_title[1], error_title[2]), font_red);
    int n = colliding_timer();
    if (n < 0) {
        error_line(y_other, error_other, font_title);
        return;
    }
    const TimerRecord *x = &TimerList[n].rec;
    int number = n + 1, channel = LCN(x->svc_type, x->svc_num);
    const char *format = LangText(error_collision[0], error_collision[1], error_collision[2]);
    if (language == LAN_Finnish)
        snprintf(line, sizeof line, format, channel, number);
    else
        snprintf(line, sizeof line, format, number, channel);
    error_line(y_collision, line, font_title);
    times_and_name(line, x);
    error_line(y_collision + 50, line, font_title);
}

void TimerErrorMsg(void)
{
    if (TimerError == 0)
        return;
    ReadTimers();
    error_box(ERROR_BOX_Y, ERROR_BOX_H);
    error_lines(225, 275, 285);
    TAP_Osd_Sync();
    help = HELP_ONE_KEY;
}

void TimerErrorMsg2(void)
{
    if (TimerError == 0)
        return;
    ReadTimers();
    const TimerRecord *t = &TimerList[TIMER_SLOT_REFERENCE].rec;
    char line[ERROR_BOX_LINE_SIZE];
    error_box(ERROR_BOX2_Y, ERROR_BOX2_H);

    word year = 0;
    byte month = 0, day = 0, weekday = 0;
    TAP_ExtractMjd((word)(t->start >> 16), &year, &month, &day, &weekday);
    if (weekday >= WEEKDAYS)
        weekday = 0;
    memset(&chInfo, 0, sizeof chInfo);
    if (!TAP_Channel_GetInfo(t->svc_type, t->svc_num, &chInfo))
        chInfo.name[0] = 0;
    chInfo.name[sizeof chInfo.name - 1] = 0;
    const char *wd = LangText(weekDay_name[0][weekday], weekDay_name[1][weekday], weekDay_name[2][weekday]);
    const char *format = LangText(queued_date[0], queued_date[1], queued_date[2]);
    int number = LCN(t->svc_type, t->svc_num);
    if (language != LAN_German && language != LAN_Finnish)
        snprintf(line, sizeof line, format, number, chInfo.name, year, month, day, wd);
    else
        snprintf(line, sizeof line, format, number, chInfo.name, day, month, year, wd);
    error_line(173, line, font_title);
    times_and_name(line, t);
    error_line(223, line, font_title);
    error_lines(273, 323, 338);
    TAP_Osd_Sync();
}

// --- The record key ---

// A one-line message that stays until the next key.
static void one_key_message(const char *const texts[3])
{
    DrawMsgBox(LangText(texts[0], texts[1], texts[2]));
    TAP_Osd_Sync();
    help = HELP_ONE_KEY;
}

// The selected event: its channel and record, 1 when there is one.
static int selected_event(int *channel, int *event)
{
    if (search_mode % 10 == 3) {
        *channel = SLOT_RESULT;
        *event = ListOffset + cursor;
        return *event >= 0 && *event < max_Event[SLOT_RESULT] && *event < SEARCH_RESULTS_MAX;
    }
    if (settings.view > 0) {
        *channel = _svcNum + cursor;
        *event = cursor_event;
    } else {
        *channel = _svcNum;
        *event = ListOffset + cursor;
    }
    int slot = BufferSlot(_svcType, *channel);
    return *event >= 0 && *event < max_Event[slot];
}

// What covers the selected event now: sets cursorTimer and, for a timer, slot 72, from the
// table as it is (the view may have been drawn before a queued timer was set).
static void selected_mark(int channel, int event)
{
    ReadTimers();
    ReadRecInfo();
    int slot = channel == SLOT_RESULT ? SLOT_RESULT : BufferSlot(_svcType, channel);
    int found = TimerCovering(channel == SLOT_RESULT ? SVC_TYPE_Tv : _svcType, slot, event);   // results are TV
    cursorTimer = found;
    if (found >= 0) {
        cursorTimer = TimerList[found].index;
        CopyTimer(TIMER_SLOT_REFERENCE, found);
    }
}

// After the key: the error box, or the view again with the new mark.
static void record_key_done(void)
{
    if (TimerError != 0) {
        TimerErrorMsg();
        return;
    }
    ReadTimers();
    DrawEPG(0);
}

// Record now: the extended timer would start in the past. Its start moves to now, shortening
// it; what is left opens in the timer editor on its record-now row.
static void record_running_event(int lead, int follow)
{
    Enlarge_Timer(TIMER_SLOT_NEW, lead, follow);
    TimerRecord *t = &TimerList[TIMER_SLOT_NEW].rec;
    int now = now_in_min();
    while ((int)StartTimeInMin(t->start) < now && t->duration > 0)
        Enlarge_Timer(TIMER_SLOT_NEW, -1, 0);
    if (t->duration == 0) {
        one_key_message(event_over);
        return;
    }
    Timer_OpenEditor(0, 0, TIMER_ROW_SAVE);
}

void RecordSelectedEvent(void)
{
    int channel = 0, event = 0;
    if (!selected_event(&channel, &event))
        return;
    TimerError = 0;
    TimerList[TIMER_SLOT_NEW].rec.name[0] = 0;
    if (BufToTimer(channel == SLOT_RESULT ? 0 : channel, event) != 0)
        return;
    Replace_TimerName(TIMER_SLOT_NEW, settings.rec_name_manual);

    selected_mark(channel, event);
    if (cursorTimer >= 0) {
        if (ChangePTimer() == 1) {
            CopyTimer(TIMER_SLOT_NEW, TIMER_SLOT_REFERENCE);
            Timer_OpenEditor(1, 0, TIMER_ROW_NAME);
            return;
        }
        record_key_done();
        return;
    }
    if (cursorTimer == CURSOR_TIMER_RECORDING)
        return;

    int lead = settings.rec_lead_time, follow = settings.rec_stop_add;
    CopyTimer(TIMER_SLOT_REFERENCE, TIMER_SLOT_NEW);
    Enlarge_Timer(TIMER_SLOT_REFERENCE, lead, follow);
    if ((int)StartTimeInMin(TimerList[TIMER_SLOT_REFERENCE].rec.start) < now_in_min()) {
        record_running_event(lead, follow);
        return;
    }

    int method = settings.manual_timer_method;
    if (method == 1 || method == 3) {
        if (Timer_Cut(TIMER_SLOT_NEW, 0, 0) != 0)
            Set_Timer(TIMER_SLOT_NEW);
    } else if (Timer_Cut(TIMER_SLOT_NEW, lead, follow) != 0) {
        Enlarge_Timer(TIMER_SLOT_NEW, lead, follow);
        Set_Timer(TIMER_SLOT_NEW);
    }
    record_key_done();
}
