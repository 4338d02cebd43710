// Timer names (see names.h): the suffix styles, the recognition of old suffixes, the names of
// combined timers and the renewal of dates.
#include "timers/names.h"

#include <stdio.h>
#include <string.h>

#include "frame/platform/tap.h"
#include "frame/state.h"
#include "settings/settings.h"
#include "text/strutil.h"
#include "timers/table.h"
#include "views/help.h"

enum {
    REC_SUFFIX_LEN = 4,        // ".rec"
    SUFFIX_SIZE = 24,          // bytes of a formatted suffix
    COMBINED_DATED_CUT = 23,   // style 200 with a date: the name before "_DD.MM.+HHMM-HHMM"
    COMBINED_PLAIN_CUT = 30,   // style 200 without: the name before "+HHMM-HHMM"
    CHANGE_DATE_CUT = 91,      // Timer_ChangeDate works on names of at most this many characters
    MINUTE_NONE = -1
};

static int change_date_minute = MINUTE_NONE;   // minute (since MJD 0) of the last renewal

// The name length each style cuts to before appending its suffix (styles 1..8).
static const int style_cut[NAME_STYLE_LAST + 1] = {0, 31, 35, 26, 38, 31, 31, 33, 34};

// --- ".rec" ---

int TimerName_EndsInRec(const char *name)
{
    int n = (int)strlen(name);
    return n >= REC_SUFFIX_LEN && stricmp_self(name + n - REC_SUFFIX_LEN, ".rec") == 0;
}

void TimerName_AddRec(char *name)
{
    if (TimerName_EndsInRec(name))
        return;
    name[TIMER_NAME_MAX] = 0;
    strcat(name, ".rec");
}

// Removes a trailing ".rec" (any case) from a name of more than three characters.
static void remove_rec(char *name)
{
    if (TimerName_EndsInRec(name))
        name[strlen(name) - REC_SUFFIX_LEN] = 0;
}

// --- Suffixes ---

// 1 when the character k places before the end of a name of length n is c.
static int at(const char *name, int n, int k, char c)
{
    return k <= n && name[n - k] == c;
}

// Removes at most one suffix of the program's own from the end of the name. Returns 1 when the
// removed suffix carried a date (the name of a later combination keeps a date then), else 0.
static int remove_old_suffix(char *name)
{
    int n = (int)strlen(name);
    int cut = -1, dated = 0;
    if (n > 17 && at(name, n, 17, '_') && at(name, n, 14, '.') && at(name, n, 11, '.') && at(name, n, 10, '+') &&
        at(name, n, 5, '-')) {
        cut = 17, dated = 1;   // _DD.MM.+HHMM-HHMM
    } else if (n > 10 && (at(name, n, 10, '_') || at(name, n, 10, '+')) && at(name, n, 5, '-')) {
        cut = 10;              // +HHMM-HHMM
    } else if (n > 9 && at(name, n, 9, '_') && !at(name, n, 2, '_')) {
        cut = 9, dated = 1;    // _YYYYMMDD, _YY-MM-DD, _DD.MM.YY
    } else if (n > 14 && at(name, n, 14, '_') && at(name, n, 5, '_')) {
        cut = 14, dated = 1;   // _YYYYMMDD_HHMM
    } else if (n > 5 && at(name, n, 5, '_')) {
        cut = 5;               // _HHMM
    } else if (n > 2 && at(name, n, 2, '_')) {
        cut = 2;               // _#
    } else if (n > 7 && at(name, n, 7, '_') && at(name, n, 4, '.') && at(name, n, 1, '.')) {
        cut = 7, dated = 1;    // _DD.MM.
    } else if (n > 6 && at(name, n, 6, '_') && at(name, n, 3, '-')) {
        cut = 6, dated = 1;    // _MM-DD
    }
    if (cut > 0)
        name[n - cut] = 0;
    return dated;
}

// The suffix of a style for a timer: its start date and times, its end.
static void format_suffix(char *out, int style, int dated, const TimerRecord *t)
{
    word year = 0;
    byte month = 0, day = 0, weekday = 0;
    word mjd = (word)(t->start >> 16);
    TAP_ExtractMjd(mjd, &year, &month, &day, &weekday);
    int hour = (int)((t->start >> 8) & 0xFF), minute = (int)(t->start & 0xFF);
    word end_mjd = mjd;
    int end_hour = hour + t->duration / 60, end_min = minute + t->duration % 60;
    TimeRevision(&end_mjd, &end_hour, &end_min);
    switch (style) {
    case 1: snprintf(out, SUFFIX_SIZE, "_%04d%02d%02d", year, month, day); break;
    case 2: snprintf(out, SUFFIX_SIZE, "_%02d%02d", hour, minute); break;
    case 3: snprintf(out, SUFFIX_SIZE, "_%04d%02d%02d_%02d%02d", year, month, day, hour, minute); break;
    case 4: snprintf(out, SUFFIX_SIZE, "_#"); break;
    case 5: snprintf(out, SUFFIX_SIZE, "_%02d-%02d-%02d", year % 100, month, day); break;
    case 6: snprintf(out, SUFFIX_SIZE, "_%02d.%02d.%02d", day, month, year % 100); break;
    case 7: snprintf(out, SUFFIX_SIZE, "_%02d.%02d.", day, month); break;
    case 8: snprintf(out, SUFFIX_SIZE, "_%02d-%02d", month, day); break;
    default:
        if (dated)
            snprintf(out, SUFFIX_SIZE, "_%02d.%02d.+%02d%02d-%02d%02d", day, month, hour, minute, end_hour, end_min);
        else
            snprintf(out, SUFFIX_SIZE, "+%02d%02d-%02d%02d", hour, minute, end_hour, end_min);
        break;
    }
}

void Replace_TimerName(int slot, int style)
{
    TimerRecord *t = TimerSlotRecord(slot);
    if (t == NULL || style < 1 || (style > NAME_STYLE_LAST && style != NAME_STYLE_COMBINED))
        return;
    char *name = t->name;
    name[TIMER_NAME_KEPT] = 0;
    remove_rec(name);
    int dated = remove_old_suffix(name);
    char suffix[SUFFIX_SIZE];
    format_suffix(suffix, style, dated, t);
    if (style == NAME_STYLE_COMBINED) {
        name[dated ? COMBINED_DATED_CUT : COMBINED_PLAIN_CUT] = 0;
        if (strlen(name) + strlen(suffix) < TIMER_NAME_SIZE)
            strcat(name, suffix);
    } else {
        name[style_cut[style]] = 0;
        strcat(name, suffix);
    }
    name[TIMER_NAME_MAX] = 0;
}

void Replace_CombiName(int slot)
{
    TimerRecord *t = TimerSlotRecord(slot);
    if (t == NULL)
        return;
    t->name[TIMER_NAME_KEPT] = 0;
    int n = (int)strlen(t->name);
    int end = n;
    if (TimerName_EndsInRec(t->name)) {
        if (n <= 14)
            return;
        end = n - REC_SUFFIX_LEN;
    } else if (n <= 10) {
        return;
    }
    if (at(t->name, end, 10, '+') && at(t->name, end, 5, '-'))
        Replace_TimerName(slot, NAME_STYLE_COMBINED);
}

// --- Renewing dates ---

// 1 when the name of length n ends in the shape: 'd' stands for a digit, any other character for
// itself.
static int ends_in_shape(const char *name, int n, const char *shape)
{
    int k = (int)strlen(shape);
    if (k > n)
        return 0;
    for (int i = 0; i < k; i++) {
        char c = name[n - k + i];
        if (shape[i] == 'd' ? (c < '0' || c > '9') : c != shape[i])
            return 0;
    }
    return 1;
}

// Rewrites the date suffix of the name in slot 71 for its current start. Returns 1 when the name
// carries a suffix the program renews, else 0. The name has no ".rec" here. The suffixes are
// recognised with their digits, so that a name of the user's own that merely has an underscore
// in such a place (Tatort_Folge123) is never rewritten.
static int renew_suffix(TimerRecord *t)
{
    char *name = t->name;
    int n = (int)strlen(name);
    if (n >= 10 && ends_in_shape(name, n, "_dddddddd")) {
        Replace_TimerName(TIMER_SLOT_NEW, 1);
    } else if (n > 14 && ends_in_shape(name, n, "_dddddddd_dddd")) {
        char date[SUFFIX_SIZE];
        format_suffix(date, 1, 0, t);
        memcpy(name + n - 14, date, 9);   // "_YYYYMMDD" over the old date; the time stays
    } else if (n > 9 && ends_in_shape(name, n, "_dd-dd-dd")) {
        Replace_TimerName(TIMER_SLOT_NEW, 5);
    } else if (n > 9 && ends_in_shape(name, n, "_dd.dd.dd")) {
        Replace_TimerName(TIMER_SLOT_NEW, 6);
    } else if (n > 7 && ends_in_shape(name, n, "_dd.dd.")) {
        Replace_TimerName(TIMER_SLOT_NEW, 7);
    } else if (n > 6 && ends_in_shape(name, n, "_dd-dd")) {
        Replace_TimerName(TIMER_SLOT_NEW, 8);
    } else if (n > 10 && ends_in_shape(name, n, "+dddd-dddd")) {
        Replace_TimerName(TIMER_SLOT_NEW, NAME_STYLE_COMBINED);
    } else {
        return 0;
    }
    return 1;
}

void Timer_ChangeDate(void)
{
    char kept[TIMER_NAME_SIZE];
    ReadTimers();
    for (int i = 0; i < max_Timers && i < TIMERS_MIRRORED; i++) {
        CopyTimer(TIMER_SLOT_NEW, i);
        TimerRecord *t = &TimerList[TIMER_SLOT_NEW].rec;
        t->name[CHANGE_DATE_CUT] = 0;
        remove_rec(t->name);
        strcpy(kept, t->name);
        if (!renew_suffix(t) || stricmp_self(t->name, kept) == 0)
            continue;
        t->name[CHANGE_DATE_CUT] = 0;
        strcat(t->name, ".rec");
        TAP_Timer_Modify(TimerList[i].index, t);
        timerlisthelp = 0;
    }
    ReadTimers();
}

void Timer_ChangeDate_Minute(void)
{
    if (settings.timer_name_date_replace != 1 || (timer_mode & 1) != 0 || keyboard_mode != 0)
        return;
    int now = time_mjd * 1440 + time_h * 60 + time_min;
    if (now == change_date_minute)
        return;
    change_date_minute = now;
    Timer_ChangeDate();
}
