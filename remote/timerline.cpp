// The timer lines of the remote commands (see timerline.h): the fields read from their columns
// and checked, the channel resolved, the timer composed in the new-timer slot and queued or
// deleted.
#include "remote/timerline.h"

#include <stdio.h>
#include <string.h>

#include "epgdb/lookup.h"
#include "export/channels.h"
#include "frame/platform/tap.h"
#include "frame/state.h"
#include "remote/commands.h"
#include "settings/settings.h"
#include "text/strutil.h"
#include "timers/combine.h"
#include "timers/names.h"
#include "timers/set.h"
#include "timers/table.h"

enum {
    PREFIX_EXT = 20,              // the channel reference of AddTimerExt starts here
    PREFIX_BY_NAME = 25,          // the channel name of AddTimerByChName starts here
    DATE_OFFSET_EXT = 8,          // X of AddTimerExt
    DATE_OFFSET_NAME_EXTRA = 4,   // X of AddTimerByChName: the name's length + this
    KIND_OFFSET_EXTRA = 9,        // Y = X + this for Ext and ByChName
    MIN_LENGTH_ADD = 44,          // AddTimer, DelTimer
    MIN_LENGTH_EXTRA = 56,        // Ext, ByChName: X + this
    COL_CHANNEL = 17, CHANNEL_DIGITS = 4,
    COL_TYPE = 45,                // AddTimer, DelTimer: "TV", "T+", "RA", "R+"
    COL_YEAR = 22, COL_MONTH = 27, COL_DAY = 30, COL_HOUR = 33, COL_MINUTE = 36,
    COL_DUR_HOURS = 39, COL_DUR_MINUTES = 42,
    COL_LEAD = 45, COL_FOLLOW = 49, COL_STYLE = 53,   // + X
    COL_MODE = 48, COL_KIND = 52, COL_NAME = 55,      // + Y
    EXT_TYPE = 23, EXT_CHANNEL = 25, EXT_NUMBER = 23, EXT_NUMBER_DIGITS = 6,
    NAME_FIELD_MAX = 30,          // characters of the timer's name and of a channel name field
    YEAR_FIRST = 2000, YEAR_LAST = 2038,
    START_HOUR_MAX = 24,          // 24:xx is 00:xx of the next day
    DURATION_HOURS_MAX = 24,
    LEAD_FOLLOW_MAX = 600,        // minutes, as for search entries
    STYLE_NONE_ABOVE = 10,        // a name style above this means none
    SERVICE_NUMBER_MAX = 65535,   // service ids and logical numbers are 16 bits
    MINUTES_PER_DAY = 1440,
    MJD_LAST = 0xFFFF,
    PAST_DAYS_ENDED = 3,          // an occurrence this many days before today has ended
    VALUE_TEXT_SIZE = 16
};

// What a timer line says, once read.
typedef struct {
    int svc_type, svc_num;
    int year, month, day, hour, minute, dur_hours, dur_minutes;
    int lead, follow, style;   // minutes, minutes, name style
    int mode, is_rec;
    char name[NAME_FIELD_MAX + 1];
} TimerFields;

// --- Reading columns ---

// The number written in line[col .. col + width): -1 when the line ends before it or one of the
// characters is no digit.
static int digits_at(const char *line, int len, int col, int width)
{
    if (col < 0 || col + width > len)
        return -1;
    int value = 0;
    for (int i = col; i < col + width; i++) {
        if (line[i] < '0' || line[i] > '9')
            return -1;
        value = value * 10 + (line[i] - '0');
    }
    return value;
}

// 1 when line[col ..] begins with text, compared without regard to case.
static int text_at(const char *line, int len, int col, const char *text)
{
    int n = (int)strlen(text);
    return col >= 0 && col + n <= len && strnicmp_self(line + col, text, n) == 0;
}

// Three digits of minutes or a style at col, or "def" for def; -1 when neither.
static int number_or_default(const char *line, int len, int col, int def)
{
    if (text_at(line, len, col, "def"))
        return def;
    return digits_at(line, len, col, 3);
}

// The repetition written at col: "ED", "WE", "WL", "WD" give 1..4; anything else, or nothing,
// one time.
static int mode_at(const char *line, int len, int col)
{
    static const char *const modes[] = {"ED", "WE", "WL", "WD"};
    for (int m = 0; m < (int)(sizeof modes / sizeof modes[0]); m++) {
        if (text_at(line, len, col, modes[m]))
            return m + 1;
    }
    return TIMER_MODE_ONCE;
}

// --- Channels ---

// The channel numbered `number` from 1 among the receiver's channels of a type. Returns 0 and
// sets f's channel, or 1 when there is no such channel.
static int channel_by_number(TimerFields *f, int svc_type, int number)
{
    int tv = 0, radio = 0;
    TAP_Channel_GetTotalNum(&tv, &radio);
    int count = svc_type == SVC_TYPE_Radio ? radio : tv;
    if (number < 1 || number > count)
        return 1;
    f->svc_type = svc_type;
    f->svc_num = number - 1;
    return 0;
}

// A channel that the line names but the receiver lacks: the message while remote messages are
// on, and the line counted as rejected.
static int channel_not_found(const char *line, const char *text, const char *value, int wait_max)
{
    RejectCommand(line, text);
    RemoteMessage(text, value, wait_max);
    return TIMER_LINE_REJECTED;
}

// The channel reference of AddTimerExt: "Ch" + type + number, "Sid" + service id or "LCN" +
// logical number. Returns TIMER_LINE_DONE with f's channel set, else TIMER_LINE_REJECTED.
static int resolve_ext_channel(const char *line, int len, TimerFields *f)
{
    char value[VALUE_TEXT_SIZE];
    if (text_at(line, len, PREFIX_EXT, "Ch")) {
        int svc_type = text_at(line, len, EXT_TYPE, "TV") ? SVC_TYPE_Tv
                       : text_at(line, len, EXT_TYPE, "RA") ? SVC_TYPE_Radio
                                                            : -1;
        int number = digits_at(line, len, EXT_CHANNEL, CHANNEL_DIGITS);
        if (svc_type < 0 || number < 0) {
            RejectCommand(line, "the channel is not Ch_TV or Ch_RA and four digits");
            return TIMER_LINE_REJECTED;
        }
        if (channel_by_number(f, svc_type, number) != 0) {
            RejectCommand(line, "there is no channel of that number");
            return TIMER_LINE_REJECTED;
        }
        return TIMER_LINE_DONE;
    }
    int by_sid = text_at(line, len, PREFIX_EXT, "Sid");
    if (!by_sid && !text_at(line, len, PREFIX_EXT, "LCN")) {
        RejectCommand(line, "the channel is not given as Ch, Sid or LCN");
        return TIMER_LINE_REJECTED;
    }
    int number = digits_at(line, len, EXT_NUMBER, EXT_NUMBER_DIGITS);
    if (number < 0 || number > SERVICE_NUMBER_MAX) {
        RejectCommand(line, "the service id or logical number is not six digits up to 065535");
        return TIMER_LINE_REJECTED;
    }
    int svc_type = 0, svc_num = 0;
    snprintf(value, sizeof value, "%d", number);
    if (by_sid && SidToSvcTypeNum(&svc_type, &svc_num, number) != 0)
        return channel_not_found(line, "Service ID not found!", value, REMOTE_WAIT_NUMBER_MAX);
    if (!by_sid && LcnToSvcTypeNum(&svc_type, &svc_num, number) != 0)
        return channel_not_found(line, "Logical Channel Number not found!", value, REMOTE_WAIT_NUMBER_MAX);
    f->svc_type = svc_type;
    f->svc_num = svc_num;
    return TIMER_LINE_DONE;
}

// The length of the channel name of AddTimerByChName, from column 25 up to the first '|'; -1
// (the line counted as rejected) when there is no '|' or the name is longer than 30 characters.
static int channel_name_length(const char *line, int len)
{
    const char *bar = len > PREFIX_BY_NAME ? strchr(line + PREFIX_BY_NAME, '|') : NULL;
    if (bar == NULL) {
        RejectCommand(line, "the channel name does not end in '|'");
        return -1;
    }
    int n = (int)(bar - (line + PREFIX_BY_NAME));
    if (n > NAME_FIELD_MAX) {
        RejectCommand(line, "the channel name is longer than 30 characters");
        return -1;
    }
    return n;
}

// The channel of AddTimerByChName, whose name is name_len characters long. Returns
// TIMER_LINE_DONE with f's channel set, else TIMER_LINE_REJECTED.
static int resolve_named_channel(const char *line, int name_len, TimerFields *f)
{
    char name[NAME_FIELD_MAX + 1];
    memcpy(name, line + PREFIX_BY_NAME, (size_t)name_len);
    name[name_len] = 0;
    ConvertStr(name);
    int svc_type = 0, svc_num = 0;
    if (ChNameToSvcTypeNum(&svc_type, &svc_num, name) != 0)
        return channel_not_found(line, "Channel name not found!", name, REMOTE_WAIT_NAME_MAX);
    f->svc_type = svc_type;
    f->svc_num = svc_num;
    return TIMER_LINE_DONE;
}

// --- The date, times and the rest ---

// Reads the date and times at offset x. Returns NULL when they are right, else why not.
static const char *read_times(const char *line, int len, int x, TimerFields *f)
{
    f->year = digits_at(line, len, x + COL_YEAR, 4);
    f->month = digits_at(line, len, x + COL_MONTH, 2);
    f->day = digits_at(line, len, x + COL_DAY, 2);
    f->hour = digits_at(line, len, x + COL_HOUR, 2);
    f->minute = digits_at(line, len, x + COL_MINUTE, 2);
    f->dur_hours = digits_at(line, len, x + COL_DUR_HOURS, 2);
    f->dur_minutes = digits_at(line, len, x + COL_DUR_MINUTES, 2);
    if (f->year < 0 || f->month < 0 || f->day < 0 || f->hour < 0 || f->minute < 0 || f->dur_hours < 0 ||
        f->dur_minutes < 0)
        return "a date or time field is not all digits (shifted columns?)";
    if (f->year < YEAR_FIRST || f->year > YEAR_LAST || f->month < 1 || f->month > 12 || f->day < 1 || f->day > 31)
        return "the date is out of range";
    if (f->hour > START_HOUR_MAX || f->minute > 59 || f->dur_hours > DURATION_HOURS_MAX || f->dur_minutes > 59)
        return "a time is out of range";
    return NULL;
}

// The day number of f's date; 0 when the date does not exist (31 February, or beyond the
// receiver's 16-bit days).
static word date_of(const TimerFields *f)
{
    word mjd = TAP_MakeMjd((word)f->year, (byte)f->month, (byte)f->day);
    word year = 0;
    byte month = 0, day = 0, weekday = 0;
    if (mjd == 0)
        return 0;
    TAP_ExtractMjd(mjd, &year, &month, &day, &weekday);
    return year == f->year && month == f->month && day == f->day ? mjd : 0;
}

// Reads a whole timer line of the kind into f. Returns TIMER_LINE_DONE, or TIMER_LINE_REJECTED
// (already counted or shown).
static int read_timer_line(int kind, const char *line, TimerFields *f)
{
    int len = (int)strlen(line);
    int x = 0, y = 0;
    memset(f, 0, sizeof *f);
    if (kind == TIMER_LINE_ADD || kind == TIMER_LINE_DELETE) {
        if (len < MIN_LENGTH_ADD) {
            RejectCommand(line, "the line is too short");
            return TIMER_LINE_REJECTED;
        }
        // The type is read before the channel number, which counts among the channels of it.
        int svc_type = SVC_TYPE_Tv;
        if (len > COL_TYPE + 1) {
            char second = line[COL_TYPE + 1];
            if ((line[COL_TYPE] == 'R' || line[COL_TYPE] == 'r') && (second == 'A' || second == 'a' || second == '+'))
                svc_type = SVC_TYPE_Radio;
            if (second == '+') {
                f->lead = settings.rec_lead_time;
                f->follow = settings.rec_stop_add;
            }
        }
        int number = digits_at(line, len, COL_CHANNEL, CHANNEL_DIGITS);
        if (number < 0) {
            RejectCommand(line, "the channel number is not four digits");
            return TIMER_LINE_REJECTED;
        }
        if (channel_by_number(f, svc_type, number) != 0) {
            RejectCommand(line, "there is no channel of that number");
            return TIMER_LINE_REJECTED;
        }
    } else {
        int name_len = 0;
        if (kind == TIMER_LINE_BY_NAME) {
            name_len = channel_name_length(line, len);
            if (name_len < 0)
                return TIMER_LINE_REJECTED;
        }
        x = kind == TIMER_LINE_EXT ? DATE_OFFSET_EXT : name_len + DATE_OFFSET_NAME_EXTRA;
        if (len < x + MIN_LENGTH_EXTRA) {
            RejectCommand(line, "the line is too short");
            return TIMER_LINE_REJECTED;
        }
        int resolved = kind == TIMER_LINE_EXT ? resolve_ext_channel(line, len, f)
                                              : resolve_named_channel(line, name_len, f);
        if (resolved != TIMER_LINE_DONE)
            return TIMER_LINE_REJECTED;
        y = x + KIND_OFFSET_EXTRA;
        f->lead = number_or_default(line, len, x + COL_LEAD, settings.rec_lead_time);
        f->follow = number_or_default(line, len, x + COL_FOLLOW, settings.rec_stop_add);
        f->style = number_or_default(line, len, x + COL_STYLE, settings.rec_name_manual);
        if (f->lead < 0 || f->follow < 0 || f->style < 0) {
            RejectCommand(line, "lead, follow or name style is not three digits or def");
            return TIMER_LINE_REJECTED;
        }
        if (f->lead > LEAD_FOLLOW_MAX || f->follow > LEAD_FOLLOW_MAX) {
            RejectCommand(line, "lead or follow time is above 600 minutes");
            return TIMER_LINE_REJECTED;
        }
        if (f->style > STYLE_NONE_ABOVE)
            f->style = NAME_STYLE_NONE;
    }
    const char *why = read_times(line, len, x, f);
    if (why != NULL) {
        RejectCommand(line, why);
        return TIMER_LINE_REJECTED;
    }
    f->mode = len >= y + COL_MODE + 2 ? mode_at(line, len, y + COL_MODE) : TIMER_MODE_ONCE;
    f->is_rec = !(len >= y + COL_KIND + 1 && (line[y + COL_KIND] == 'P' || line[y + COL_KIND] == 'p'));
    if (len > y + COL_NAME)
        strxcpy(f->name, line + y + COL_NAME, NAME_FIELD_MAX);
    return TIMER_LINE_DONE;
}

// --- Carrying out ---

// Composes f in the new-timer slot (71): start moved by the lead time, duration with lead and
// follow, tuner settings.rec_tuner, the name (or the channel's) with its style. Returns NULL,
// or why the timer cannot be: a date that does not exist or lies beyond the receiver's days, no
// duration.
static const char *compose_timer(const TimerFields *f)
{
    word mjd = date_of(f);
    if (mjd == 0)
        return "the date does not exist";
    long start = (long)mjd * MINUTES_PER_DAY + f->hour * 60 + f->minute - f->lead;
    int duration = f->dur_hours * 60 + f->dur_minutes + f->lead + f->follow;
    if (start / MINUTES_PER_DAY > MJD_LAST)
        return "the date lies beyond the receiver's calendar";
    if (duration <= 0)
        return "the timer lasts no time";

    TimerSlot *slot = &TimerList[TIMER_SLOT_NEW];
    TimerRecord *t = &slot->rec;
    memset(t, 0, sizeof *t);
    slot->index = -1;
    t->svc_type = (byte)f->svc_type;
    t->svc_num = (word)f->svc_num;
    t->start = PackedTime(mjd, f->hour, f->minute - f->lead);
    t->duration = (word)duration;
    t->tuner = (byte)settings.rec_tuner;
    t->is_rec = (byte)f->is_rec;
    t->mode = (byte)f->mode;
    t->name_fixed = 1;
    strxcpy(t->name, f->name, NAME_FIELD_MAX);
    ConvertStr_FileName(t->name);
    if (t->name[0] == 0)
        TimerName_FromChannel(t);
    Replace_TimerName(TIMER_SLOT_NEW, f->style);
    return NULL;
}

// The clock's minute.
static dword now_in_minutes(void)
{
    word mjd = 0;
    byte hour = 0, minute = 0, second = 0;
    TAP_GetTime(&mjd, &hour, &minute, &second);
    return (dword)mjd * MINUTES_PER_DAY + hour * 60u + minute;
}

// 1 when the timer in the new-timer slot ends at or before the clock's minute.
static int ends_before_now(void)
{
    return TimerEndInMin(&TimerList[TIMER_SLOT_NEW].rec) <= now_in_minutes();
}

// A repeating timer in the new-timer slot whose occurrence on the day written has ended moves
// on to its first later occurrence that has not, as the receiver moves its own repeating
// timers: a backup restored days after it was made, or a series written from its first day,
// sets the series again (and finds it when it still exists) instead of being refused.
static void move_to_coming_occurrence(void)
{
    TimerRecord *t = &TimerList[TIMER_SLOT_NEW].rec;
    if (t->mode == TIMER_MODE_ONCE || !ends_before_now())
        return;
    dword now = now_in_minutes();
    // Occurrences that start three days before today or earlier have ended (a timer lasts less
    // than two days): the search begins after them.
    int day = (int)(t->start >> 16) + 1;
    if (day < (int)(now / MINUTES_PER_DAY) - PAST_DAYS_ENDED)
        day = (int)(now / MINUTES_PER_DAY) - PAST_DAYS_ENDED;
    for (; day <= MJD_LAST && TimerEndInMin(t) <= now; day++) {
        if (TimerRepeatsOn(t, WeekDay(day)))
            t->start = ((dword)day << 16) | (t->start & 0xFFFF);
    }
}

// The place in the queue of a timer equal to the new-timer slot's (channel, start, duration,
// kind, mode), -1 none: a line given twice sets one timer.
static int queued_index(void)
{
    const TimerRecord *t = &TimerList[TIMER_SLOT_NEW].rec;
    for (int i = 0; i < ToSetTimer_max && i < TIMER_QUEUE_SIZE; i++) {
        const TimerRecord *q = &ToSetTimer[i];
        if (q->svc_num == t->svc_num && q->svc_type == t->svc_type && q->start == t->start &&
            q->duration == t->duration && q->is_rec == t->is_rec && q->mode == t->mode)
            return i;
    }
    return -1;
}

// Takes the timer equal to the new-timer slot's out of the queue, so that a timer added and
// deleted again before its turn is not set after all. Returns 0 taken, 1 none waits.
static int unqueue(void)
{
    int i = queued_index();
    if (i < 0)
        return 1;
    int last = ToSetTimer_max < TIMER_QUEUE_SIZE ? ToSetTimer_max : TIMER_QUEUE_SIZE;
    memmove(&ToSetTimer[i], &ToSetTimer[i + 1], (size_t)(last - i - 1) * sizeof ToSetTimer[0]);
    ToSetTimer_max = last - 1;
    return 0;
}

int TimerCommand(int kind, const char *line)
{
    if (line == NULL || kind < TIMER_LINE_ADD || kind > TIMER_LINE_BY_NAME)
        return TIMER_LINE_REJECTED;
    TimerFields f;
    if (read_timer_line(kind, line, &f) != TIMER_LINE_DONE)
        return TIMER_LINE_REJECTED;
    const char *why = compose_timer(&f);
    if (why != NULL) {
        RejectCommand(line, why);
        return TIMER_LINE_REJECTED;
    }
    move_to_coming_occurrence();

    if (kind == TIMER_LINE_DELETE) {
        CopyTimer(TIMER_SLOT_REFERENCE, TIMER_SLOT_NEW);
        if (Timer_EditSave(EDIT_DELETE, TIMER_SLOT_NEW) != 0 && unqueue() != 0) {
            RejectCommand(line, "the receiver has no such timer");
            return TIMER_LINE_REJECTED;
        }
        return TIMER_LINE_DONE;
    }
    if (ends_before_now()) {
        RejectCommand(line, "the timer ends before now");
        return TIMER_LINE_REJECTED;
    }
    if (TimerAlreadyExist(TIMER_SLOT_NEW) || queued_index() >= 0)
        return TIMER_LINE_DONE;
    if (ToSetTimer_max >= TIMER_QUEUE_SIZE) {
        RejectCommand(line, "the queue of timers to set is full (70)");
        return TIMER_LINE_REJECTED;
    }
    CopyTimerToSet(QUEUE_APPEND, TIMER_SLOT_NEW);
    return TIMER_LINE_DONE;
}
