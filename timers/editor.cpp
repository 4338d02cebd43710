// The timer editor and its keys (see editor.h).
//
// Sections:
//   --- Texts ---
//   --- Values ---
//   --- Editing ---
//   --- Drawing ---
//   --- Opening and closing ---
//   --- Actions ---
//   --- Keys ---
#include "timers/editor.h"

#include <stdio.h>
#include <string.h>

#include "epgdb/lookup.h"
#include "frame/keys.h"
#include "frame/state.h"
#include "search/keyboard.h"
#include "search/textfield.h"
#include "search/values.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "text/strutil.h"
#include "timers/combine.h"
#include "timers/names.h"
#include "timers/set.h"
#include "timers/table.h"
#include "timers/watch.h"
#include "views/window.h"

unsigned char timer_edit;

enum {
    LINE_SIZE = 160,                // bytes of a formatted text
    TITLE_X = 109, TITLE_RIGHT = 524,
    NUMBER_X = 61, NUMBER_RIGHT = 103,
    LABEL_X = 109, LABEL_RIGHT = 289,
    VALUE_X = 291, VALUE_RIGHT = 655,
    ROW_FILL_X = 60, ROW_FILL_W = 598, ROW_FILL_H = 33,   // a row's box, from 3 pixels above its text
    COLUMN_LINE_W = 2, COLUMN_LINE_H = 397,
    MINUTES_PER_DAY = 1440,
    HOUR_STEP = 60,                 // << and >> on the start and stop rows
    HELD_FOR_TENS = 3,              // Key_TimeCount from which times move in tens ...
    HELD_FOR_HALF_HOURS = 5,        // ... and the start in half hours
    TUNER_CHOICES = 3,              // 0, 1, 3: shown as 1, 2, 4
    MESSAGE_TICKS = 400             // a refused record-now timer's box stands 4 seconds
};

static const unsigned char tuner_choice[TUNER_CHOICES] = {0, 1, TIMER_TUNER_ANY};

// The timer being edited as it was when the editor opened (slot 72 then): the receiver's timer
// that saving and deleting look for.
static TimerSlot edit_before;

// --- Texts ---

// One row per text: English, German, Finnish.
static const char *const title_editor[] = {" Timer Editor", " Timer Editor", " Ajastusvalikko"};
static const char *const title_record_now[] = {" Record Now", " Sofortaufnahme", " Tallenna nyt"};
static const char *const title_edit[] = {" Edit Timer Nr. %d", " Bearbeite Timer Nr. %d",
                                         " Muokkaa ajastusta nro. %d"};
static const char *const row_label[TIMER_EDITOR_ROWS][3] = {
    {" Name", " Name", " Nimi"},
    {" Channel", " Programm", " Kanava"},
    {" Date", " Datum", " P\xE4iv\xE4m\xE4\xE4r\xE4"},
    {" Start time", " Startzeit", " Aloitusaika"},
    {" Stop (Duration)", " Stopzeit (Dauer)", " Lopetus (Kesto)"},
    {" Mode", " Modus", " Tallennustapa"},
    {" Typ", " Typ", " TV/Radio"},
    {" Record", " Aufnahme", " Tallennus"},
    {" Tuner", " Tuner", " Viritin"},
    {" Save the timer", " Speichere Timer", " Tallenna ajastus"},
    {" Delete the timer", " L\xF6sche Timer", " Poista ajastus"},
};
static const char *const label_run_record[] = {" Run Record", " Starte Aufnahme", " K\xE4ynnist\xE4 tallennus"};
static const char *const mode_text[TIMER_MODE_WEEKDAYS + 1][3] = {
    {"  One Time  (OT)", "  Einmal  (OT)", "  Kerran  (OT)"},
    {"  Every Day  (ED)", "  Jeden Tag  (ED)", "  Joka p\xE4iv\xE4  (ED)"},
    {"  Every Weekend  (WE)", "  Jedes Wochenende  (WE)", "  Joka viikonloppu  (WE)"},
    {"  Weekly  (WL)", "  W\xF6" "chentlich  (WL)", "  Joka viikko  (WL)"},
    {"  Every WeekDay  (WD)", "  Jeden Werktag  (WD)", "  Joka arkip\xE4iv\xE4  (WD)"},
};
static const char *const date_format[] = {" %04d-%02d-%02d %s", " %02d.%02d.%04d %s", " %02d.%02d.%04d %s"};

#define LANG_TEXT(row) LangText((row)[0], (row)[1], (row)[2])

// --- Values ---

static TimerRecord *edited(void)
{
    return &TimerList[TIMER_SLOT_NEW].rec;
}

char *Timer_EditedName(void)
{
    return edited()->name;
}

static dword now_packed(void)
{
    return PackedTime(time_mjd, time_h, time_min);
}

// A timer that starts now or has begun.
static int record_now(const TimerRecord *t)
{
    return t->start <= now_packed();
}

// A new record-now timer: it records once, from now.
static int new_record_now(const TimerRecord *t)
{
    return timer_edit == 0 && record_now(t);
}

static int channel_count(int svcType)
{
    int tv = 0, radio = 0;
    TAP_Channel_GetTotalNum(&tv, &radio);
    return svcType == SVC_TYPE_Radio ? radio : tv;
}

static int duration_max(const TimerRecord *t)
{
    return t->mode == TIMER_MODE_ONCE ? TIMER_DURATION_MAX : TIMER_DURATION_MAX_REPEATING;
}

static int minute_of_day(dword packed)
{
    return (int)((packed >> 8) & 0xFF) * 60 + (int)(packed & 0xFF);
}

// The name as the row shows it and a save writes it: a file name without ".rec", at most 40
// characters, without blanks round it. Changes name.
static void tidy_name(char *name)
{
    name[TIMER_NAME_KEPT] = 0;
    ConvertStr_FileName(name);
    if (TimerName_EndsInRec(name))
        name[strlen(name) - 4] = 0;
    name[TIMER_NAME_LIMIT] = 0;
    int length = (int)strlen(name);
    while (length > 0 && name[length - 1] == ' ')
        name[--length] = 0;
    int lead = 0;
    while (name[lead] == ' ')
        lead++;
    if (lead > 0)
        memmove(name, name + lead, (size_t)(length - lead + 1));
}

// The values every draw puts right, so that what the form shows is what a save writes.
static void tidy_timer(TimerRecord *t)
{
    tidy_name(t->name);
    if (t->svc_type != SVC_TYPE_Radio)
        t->svc_type = SVC_TYPE_Tv;
    if (t->svc_num >= channel_count(t->svc_type))
        t->svc_num = 0;
    if (t->mode > TIMER_MODE_WEEKDAYS)
        t->mode = TIMER_MODE_ONCE;
    if (new_record_now(t)) {
        t->mode = TIMER_MODE_ONCE;
        t->is_rec = 1;
    }
    if (t->duration < 1)
        t->duration = 1;
    if (t->duration > duration_max(t))
        t->duration = (word)duration_max(t);
}

// --- Editing ---

// A start stepped earlier than one minute before now is raised to that minute.
static void keep_start_from_past(TimerRecord *t)
{
    dword earliest = PackedTime(time_mjd, time_h, time_min - 1);
    if (t->start < earliest)
        t->start = earliest;
}

// The start's minute of the day by step (left and right faster while held), the date kept.
static void step_start(TimerRecord *t, int step)
{
    int grid = 1;
    if (step == 1 || step == -1) {
        if (Key_TimeCount >= HELD_FOR_HALF_HOURS)
            grid = 30;
        else if (Key_TimeCount >= HELD_FOR_TENS)
            grid = 10;
    }
    int minutes = (minute_of_day(t->start) + step * grid) % MINUTES_PER_DAY;
    if (minutes < 0)
        minutes += MINUTES_PER_DAY;
    minutes -= minutes % grid;
    t->start = PackedTime((word)(t->start >> 16), 0, minutes);
    keep_start_from_past(t);
}

static void step_duration(TimerRecord *t, int step)
{
    int tens = (step == 1 || step == -1) && Key_TimeCount >= HELD_FOR_TENS;
    int duration = EditValue(0, 0, EDIT_STOP, tens ? step * 10 : step, t->duration, 1, duration_max(t));
    if (tens)
        duration -= duration % 10;
    t->duration = (word)(duration < 1 ? 1 : duration);
}

static void step_tuner(TimerRecord *t, int step)
{
    int at = 0;
    while (at < TUNER_CHOICES - 1 && tuner_choice[at] != t->tuner)
        at++;
    t->tuner = tuner_choice[EditValue(0, 0, EDIT_WRAP, step, at, 0, TUNER_CHOICES - 1)];
}

// Changes the value of row `row` by step.
static void step_row(int row, int step)
{
    TimerRecord *t = edited();
    switch (row) {
    case TIMER_ROW_CHANNEL: {
        int count = channel_count(t->svc_type);
        if (count > 0)
            t->svc_num = (word)EditValue(0, 0, EDIT_WRAP, step, t->svc_num < count ? t->svc_num : 0, 0, count - 1);
        break;
    }
    case TIMER_ROW_DATE: {
        int before = (int)(t->start >> 16);
        int mjd = EditValue(0, 0, EDIT_STOP, step, before, time_mjd, TIMER_LAST_MJD);
        if (mjd != before) {
            t->start = ((dword)mjd << 16) | (t->start & 0xFFFF);
            keep_start_from_past(t);
        }
        break;
    }
    case TIMER_ROW_START:
        step_start(t, step);
        break;
    case TIMER_ROW_STOP:
        step_duration(t, step);
        break;
    case TIMER_ROW_MODE:
        if (!record_now(t))
            t->mode = (byte)EditValue(0, 0, EDIT_WRAP, step, t->mode, TIMER_MODE_ONCE, TIMER_MODE_WEEKDAYS);
        break;
    case TIMER_ROW_TYPE:
        t->svc_type = (byte)EditValue(0, 0, EDIT_WRAP, step, t->svc_type, SVC_TYPE_Tv, SVC_TYPE_Radio);
        break;
    case TIMER_ROW_RECORD:
        if (!record_now(t))
            t->is_rec = (byte)EditValue(0, 0, EDIT_WRAP, step, t->is_rec == 1, 0, 1);
        break;
    case TIMER_ROW_TUNER:
        step_tuner(t, step);
        break;
    default:
        break;
    }
}

// Help-and-edit on the date row: the earliest day on which the start still lies ahead, if that
// is earlier than the timer's day.
static void earliest_date(void)
{
    TimerRecord *t = edited();
    dword time_of_day = t->start & 0xFFFF;
    dword day = time_mjd;
    if (((day << 16) | time_of_day) <= now_packed())
        day++;
    if (day < (t->start >> 16))
        t->start = (day << 16) | time_of_day;
}

// --- Drawing ---

// The value of row `row` into value (LINE_SIZE bytes). Changes chInfo.
static void format_value(int row, const TimerRecord *t, char *value)
{
    value[0] = 0;
    switch (row) {
    case TIMER_ROW_NAME:
        if (t->name[0] != 0) {
            snprintf(value, LINE_SIZE, " %s", t->name);
        } else {
            // An empty name becomes the channel's when the timer is set.
            TimerRecord shown = *t;
            TimerName_FromChannel(&shown);
            snprintf(value, LINE_SIZE, " %s", shown.name);
        }
        break;
    case TIMER_ROW_CHANNEL:
        Channel_Info(t->svc_type, t->svc_num);
        snprintf(value, LINE_SIZE, " %d. %s", LCN(t->svc_type, t->svc_num), chInfo.name);
        break;
    case TIMER_ROW_DATE: {
        word year = 0;
        byte month = 0, day = 0, weekday = 0;
        TAP_ExtractMjd((word)(t->start >> 16), &year, &month, &day, &weekday);
        const char *name = Date_Parts((word)(t->start >> 16));
        if (language == LAN_German || language == LAN_Finnish)
            snprintf(value, LINE_SIZE, LANG_TEXT(date_format), day, month, year, name);
        else
            snprintf(value, LINE_SIZE, date_format[0], year, month, day, name);
        break;
    }
    case TIMER_ROW_START:
        snprintf(value, LINE_SIZE, "  %02d:%02d", (int)((t->start >> 8) & 0xFF), (int)(t->start & 0xFF));
        break;
    case TIMER_ROW_STOP: {
        int end = (minute_of_day(t->start) + t->duration) % MINUTES_PER_DAY;
        if (t->duration < 60)
            snprintf(value, LINE_SIZE, "  %02d:%02d  (%d min)", end / 60, end % 60, t->duration);
        else
            snprintf(value, LINE_SIZE, "  %02d:%02d  (%d h %d min)", end / 60, end % 60, t->duration / 60,
                     t->duration % 60);
        break;
    }
    case TIMER_ROW_MODE:
        snprintf(value, LINE_SIZE, "%s", LANG_TEXT(mode_text[t->mode <= TIMER_MODE_WEEKDAYS ? t->mode : 0]));
        break;
    case TIMER_ROW_TYPE:
        snprintf(value, LINE_SIZE, "%s", t->svc_type == SVC_TYPE_Radio ? "  Radio" : "    TV");
        break;
    case TIMER_ROW_RECORD:
        snprintf(value, LINE_SIZE, "%s", t->is_rec == 1 ? "    On" : "    Off");
        break;
    case TIMER_ROW_TUNER:
        snprintf(value, LINE_SIZE, "     %d", t->tuner + 1);
        break;
    default:
        snprintf(value, LINE_SIZE, "   (OK)");
        break;
    }
}

// 1 for a row that does not apply: mode and record of a record-now timer, the tuner of a "-P-"
// timer, delete for a new timer.
static int row_greyed(int row, const TimerRecord *t)
{
    switch (row) {
    case TIMER_ROW_MODE:
    case TIMER_ROW_RECORD:
        return record_now(t);
    case TIMER_ROW_TUNER:
        return t->is_rec != 1;
    case TIMER_ROW_DELETE:
        return timer_edit == 0;
    default:
        return 0;
    }
}

static void draw_row(int row, const TimerRecord *t)
{
    int y = WINDOW_TEXT_Y + WINDOW_ROW_PITCH * row;
    int selected = row == cursor;
    dword bg = selected ? box1_color : box2_color;
    dword fg = row_greyed(row, t) ? font_gray : selected ? font_boxselected : font2_color;
    char line[LINE_SIZE];

    TAP_Osd_FillBox(rgn, ROW_FILL_X, y - 3, ROW_FILL_W, ROW_FILL_H, bg);
    snprintf(line, sizeof line, " %2d.", row + 1);
    PutFittingText(rgn, NUMBER_X, y, NUMBER_RIGHT, line, fg, bg, ALIGN_LEFT);
    const char *label = row == TIMER_ROW_SAVE && record_now(t) ? LANG_TEXT(label_run_record) : LANG_TEXT(row_label[row]);
    PutFittingText(rgn, LABEL_X, y, LABEL_RIGHT, label, fg, bg, ALIGN_LEFT);
    format_value(row, t, line);
    PutFittingText(rgn, VALUE_X, y, VALUE_RIGHT, line, fg, bg, ALIGN_LEFT);
}

static void draw_title(const TimerRecord *t)
{
    char line[LINE_SIZE];
    if (timer_edit)
        snprintf(line, sizeof line, LANG_TEXT(title_edit), edit_before.index + 1);
    else
        snprintf(line, sizeof line, "%s", record_now(t) ? LANG_TEXT(title_record_now) : LANG_TEXT(title_editor));
    PutFittingText(rgn, TITLE_X, WINDOW_TITLE_Y, TITLE_RIGHT, line, font_red, titlebox_color, ALIGN_LEFT);
}

void Timer_Menu(int step)
{
    if (cursor < 0 || cursor >= TIMER_EDITOR_ROWS)
        cursor = 0;
    ListOffset = 0;
    TimerRecord *t = edited();
    if (step != 0)
        step_row(cursor, step);
    tidy_timer(t);
    draw_title(t);
    for (int row = 0; row < TIMER_EDITOR_ROWS; row++)
        draw_row(row, t);
    TAP_Osd_FillBox(rgn, NUMBER_RIGHT, WINDOW_ROW_TOP, COLUMN_LINE_W, COLUMN_LINE_H, fineline_color);
    TAP_Osd_FillBox(rgn, LABEL_RIGHT, WINDOW_ROW_TOP, COLUMN_LINE_W, COLUMN_LINE_H, fineline_color);
    TAP_Osd_Sync();
}

// --- Opening and closing ---

void Timer_OpenEditor(int existing, int from_list, int row)
{
    timer_edit = existing ? 1 : 0;
    if (existing)
        edit_before = TimerList[TIMER_SLOT_REFERENCE];
    timer_mode = from_list ? TIMER_MODE_FROM_LIST : TIMER_MODE_FROM_EPG;
    cursor = row >= 0 && row < TIMER_EDITOR_ROWS ? row : TIMER_ROW_NAME;
    ListOffset = 0;
    DrawEPG(1);
}

// The list's row of the timer just set (found by channel and start), or its last row.
// Changes the copy's order (SortTimer as the list shows it).
static int row_of_new_timer(const TimerRecord *t)
{
    ReadTimers();
    SortTimer(settings.timerlist_sort);
    int count = max_Timers < TIMERS_MIRRORED ? max_Timers : TIMERS_MIRRORED;
    for (int i = 0; i < count; i++) {
        const TimerRecord *x = &TimerList[i].rec;
        if (x->svc_type == t->svc_type && x->svc_num == t->svc_num && x->start == t->start)
            return i;
    }
    return count > 0 ? count - 1 : 0;
}

// Back to the list (at the new timer `added`, or where it was) or to the EPG view.
static void close_editor(const TimerRecord *added)
{
    if (timer_mode == TIMER_MODE_FROM_LIST) {
        timer_mode = TIMER_MODE_LIST;
        if (added) {
            ListOffset = 0;
            cursor = row_of_new_timer(added);
        } else {
            ListOffset = ListOffset_store2;
            cursor = cursor_store2;
        }
    } else {
        timer_mode = 0;
    }
    DrawEPG(0);
}

// --- Actions ---

// The error box of a refusal; slot 71 goes back to what the form showed (the retry's tuner, the
// ".rec" ending), and the editor stays.
static void refused(const TimerRecord *shown)
{
    *edited() = *shown;
    TimerErrorMsg();
}

static void save_new_timer(void)
{
    TimerRecord shown = *edited();
    TimerError = 0;
    if (Set_Timer(TIMER_SLOT_NEW) != 0) {
        refused(&shown);
        return;
    }
    close_editor(&shown);
}

// Run Record: the views close, the timer is set to start at once and the record-now watch looks
// after it. A refusal shows its box over the picture for 4 seconds.
static void run_record(void)
{
    nowRecordAge = NOW_RECORD_CALLS;
    CopyTimer(TIMER_SLOT_RECORD_NOW, TIMER_SLOT_NEW);
    timer_mode = 0;
    Close_Views();
    TimerError = 0;
    if (Set_Timer(TIMER_SLOT_NEW) == 0)
        return;
    nowRecordAge = 0;
    TimerErrorMsg();
    TAP_Delay(MESSAGE_TICKS);
    cls();
    // The box is gone with the views closed: the next key must not be taken for closing it.
    help = 0;
}

// Saving or deleting an existing timer: the receiver's timer equal to the one the editor opened.
static int save_or_delete_existing(int action)
{
    TimerList[TIMER_SLOT_REFERENCE] = edit_before;
    return Timer_EditSave(action, TIMER_SLOT_NEW);
}

static void save_existing_timer(void)
{
    TimerRecord shown = *edited();
    TimerError = 0;
    int result = save_or_delete_existing(EDIT_WRITE);
    if (result == EDIT_NOT_FOUND && TimerError == 0)
        TimerError = EDIT_NOT_FOUND;   // gone meanwhile: said as a refusal
    if (result != 0) {
        refused(&shown);
        return;
    }
    close_editor(NULL);
}

static void delete_existing_timer(void)
{
    // A timer that is gone already needs no deleting.
    save_or_delete_existing(EDIT_DELETE);
    close_editor(NULL);
}

// OK on the name row: the keyboard on the name as the row shows it; a saved text becomes the name
// (the dispatch hands it Timer_EditedName()).
static void open_keyboard(void)
{
    char shown[LINE_SIZE];
    format_value(TIMER_ROW_NAME, edited(), shown);
    keyboard_mode = KEYB_MODE_CAPITALS;
    keyboard_idx = 0;
    Keyboard(1, 0, shown + 1, TIMER_NAME_LIMIT);
    TAP_Osd_Sync();
}

static void ok_key(void)
{
    TimerRecord *t = edited();
    tidy_timer(t);
    switch (cursor) {
    case TIMER_ROW_NAME:
        open_keyboard();
        break;
    case TIMER_ROW_SAVE:
        if (timer_edit)
            save_existing_timer();
        else if (record_now(t))
            run_record();
        else
            save_new_timer();
        break;
    case TIMER_ROW_DELETE:
        if (timer_edit)
            delete_existing_timer();
        break;
    default:
        break;
    }
}

// --- Keys ---

dword Keys_TimerEditor(dword key)
{
    switch (key) {
    case RKEY_Up:
        cursor = cursor <= 0 ? TIMER_EDITOR_ROWS - 1 : cursor - 1;
        Timer_Menu(0);
        return 0;
    case RKEY_Down:
        cursor = cursor >= TIMER_EDITOR_ROWS - 1 ? 0 : cursor + 1;
        Timer_Menu(0);
        return 0;
    case RKEY_Left:
    case RKEY_Right:
        Timer_Menu(key == RKEY_Left ? -1 : 1);
        return 0;
    case RKEY_Rewind:
    case RKEY_Forward:
        if (cursor == TIMER_ROW_START || cursor == TIMER_ROW_STOP)
            Timer_Menu(key == RKEY_Rewind ? -HOUR_STEP : HOUR_STEP);
        return 0;
    case RKEY_Help:
        if (cursor == TIMER_ROW_DATE) {
            earliest_date();
            Timer_Menu(0);
        }
        return 0;
    case RKEY_Ok:
        ok_key();
        return 0;
    default:
        return 0;
    }
}
