// Recording by search words (see record.h): which results become timers, the three passes, the
// minute duty and the start-up message box.
//
// Sections:
//   --- Which results become timers ---
//   --- The three passes ---
//   --- The minute duty ---
//   --- The start-up message ---
#include "search/record.h"

#include <string.h>

#include "epgdb/buffer.h"
#include "frame/platform/tap.h"
#include "frame/state.h"
#include "search/entries.h"
#include "search/results.h"
#include "search/search.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "timers/combine.h"
#include "timers/names.h"
#include "timers/set.h"
#include "timers/table.h"
#include "views/help.h"

enum {
    MINUTES_PER_DAY = 1440,
    SOON_MINUTES = 360,              // with cutting on, events of the next six hours are checked
                                     // for an equal timer before anything else
    RUNNING_TICKS = 60000,           // the minute duty waits for 600 s after power-on (10 ms ticks)
    RESULT_LIST_MODE = 3,            // search_mode while the results are worked on
    MINUTE_NONE = -1
};

// What became of one result.
enum {
    RESULT_PASSED_OVER = 0,   // not suitable, or no timer could be set
    RESULT_DONE = 1           // a timer is set (or queued, or was there already through cutting)
};

int HideAutoRecord_lastmin = MINUTE_NONE;

// --- Which results become timers ---

static int now_in_min(void)
{
    return time_mjd * MINUTES_PER_DAY + time_h * 60 + time_min;
}

// 1 when a timer equal to t (channel, kind, start, length) already waits in the queue: a second
// run before the queue is empty must not queue it twice.
static int waiting_in_queue(const TimerRecord *t)
{
    for (int i = 0; i < ToSetTimer_max && i < TIMER_QUEUE_SIZE; i++) {
        const TimerRecord *q = &ToSetTimer[i];
        if (q->svc_num == t->svc_num && q->svc_type == t->svc_type && q->is_rec == t->is_rec &&
            q->start == t->start && q->duration == t->duration)
            return 1;
    }
    return 0;
}

// 1 when the timer in the new-timer slot, not yet extended, lies where the pass may set it:
// beginning more than a minute from now, within the horizon, and (cutting on, soon) not set yet.
static int within_horizon(int pass, int lead, int follow)
{
    const TimerRecord *t = &TimerList[TIMER_SLOT_NEW].rec;
    int now = now_in_min();
    int start = (int)StartTimeInMin(t->start);
    int horizon = now + 60 * settings.search_record_hours;
    if (!(now < start - lead - 1))
        return 0;
    if (pass == SEARCH_MODE_P) {
        if (!(start + t->duration + follow + 1 < horizon))
            return 0;
    } else if (!(start < horizon + lead)) {
        return 0;
    }
    if (settings.combine_timers == COMBINE_AND_CUT && start < now + SOON_MINUTES &&
        TimerAlreadyExist(TIMER_SLOT_NEW) == 1)
        return 0;
    return 1;
}

// Result r of the pass's search as a timer: composed in the new-timer slot, checked against the
// horizon, then cut to meet its neighbours, or extended and queued or set.
// Returns RESULT_DONE or RESULT_PASSED_OVER.
static int record_result(int pass, int r)
{
    if (BufToTimer(0, r) != 0)
        return RESULT_PASSED_OVER;
    TimerRecord *t = &TimerList[TIMER_SLOT_NEW].rec;
    t->is_rec = pass == SEARCH_MODE_P ? 0 : 1;
    Replace_TimerName(TIMER_SLOT_NEW, settings.rec_name_auto);

    int lead = searchresult_ext[r].lead_time, follow = searchresult_ext[r].stop_add;
    if (!within_horizon(pass, lead, follow))
        return RESULT_PASSED_OVER;

    int result = RESULT_PASSED_OVER;
    if (Timer_Cut(TIMER_SLOT_NEW, lead, follow) == 0) {
        result = RESULT_DONE;
    } else {
        Enlarge_Timer(TIMER_SLOT_NEW, lead, follow);
        if (TimerAlreadyExist(TIMER_SLOT_NEW) == 1 || waiting_in_queue(t)) {
            result = RESULT_PASSED_OVER;
        } else if (settings.search_record_delay != 0 && pass != SEARCH_MODE_1XREC) {
            CopyTimerToSet(QUEUE_APPEND, TIMER_SLOT_NEW);
            result = RESULT_DONE;
        } else if (Set_Timer(TIMER_SLOT_NEW) == 0) {
            result = RESULT_DONE;
        }
    }
    timerlisthelp = 0;   // an open timer list draws itself anew
    return result;
}

// --- The three passes ---

void SearchAndRecord(int show_message)
{
    static const int passes[] = {SEARCH_MODE_1XREC, SEARCH_MODE_REC, SEARCH_MODE_P};
    // 1xRec entries that have got their timer in this run: their further results are passed over.
    unsigned char served[SEARCH_LIST_SIZE];
    memset(served, 0, sizeof served);
    int turned_to_m = 0;

    byte saved_search_mode = search_mode;
    search_mode = RESULT_LIST_MODE;   // BufToTimer takes each result's own channel
    for (unsigned p = 0; p < sizeof passes / sizeof passes[0]; p++) {
        int pass = passes[p];
        SearchAll(pass, show_message);
        int count = max_Event[SLOT_RESULT] < SEARCH_RESULTS_MAX ? max_Event[SLOT_RESULT] : SEARCH_RESULTS_MAX;
        for (int r = 0; r < count; r++) {
            int entry = searchresult_ext[r].search_index;
            int known_entry = entry >= 0 && entry < max_Search && entry < SEARCH_LIST_SIZE;
            if (pass == SEARCH_MODE_1XREC && known_entry && served[entry])
                continue;
            if (record_result(pass, r) != RESULT_DONE || pass != SEARCH_MODE_1XREC || !known_entry)
                continue;
            Search[entry].mode = SEARCH_MODE_M;
            served[entry] = 1;
            turned_to_m = 1;
        }
    }
    search_mode = saved_search_mode;
    if (turned_to_m)
        SaveSearch();
    TAP_Osd_Sync();
}

// --- The minute duty ---

void HideAutoRecord(void)
{
    if ((timer_mode & 1) != 0 || search_mode % 10 == RESULT_LIST_MODE)
        return;
    int minute = time_h * 60 + time_min;
    if (minute == HideAutoRecord_lastmin)
        return;
    HideAutoRecord_lastmin = minute;
    if (settings.auto_record_by_search > 2 && TAP_GetTick() > RUNNING_TICKS && ToSetTimer_max == 0)
        SearchAndRecord(0);
}

// --- The start-up message ---

enum {
    MSG_FRAME_X = 140, MSG_FRAME_Y = 213, MSG_FRAME_W = 440, MSG_FRAME_H = 150, MSG_FRAME_LINE = 3,
    MSG_SHADOW = 10,
    MSG_TEXT_X = 146, MSG_TEXT_RIGHT = 574, MSG_LAST_RIGHT = 577,
    MSG_LINE1_Y = 231, MSG_LINE2_Y = 273, MSG_LINE3_Y = 317
};

// One row per line: English, German, Finnish.
static const char *const interest_text[3][3] = {
    {"Events of interest found!", "Interessante Sendungen gefunden!", "Ohjelmahaku l\xF6ysi ohjelmia!"},
    {"Show Search Result?", "Suchergebnisse anzeigen?", "N\xE4yt\xE4 haun tulokset?"},
    {"(OK) Yes          (EXIT) No", "(OK) Ja          (EXIT) Nein", "(OK) Kyll\xE4       (EXIT) Ei"},
};

static void message_line(int line, int y, int right, dword colour)
{
    const char *const *row = interest_text[line];
    TAP_Osd_PutS(rgn, MSG_TEXT_X, (dword)y, (dword)right, LangText(row[0], row[1], row[2]), colour, titlebox_color,
                 FNT_Type_Default, FNT_Size_1926, 0, ALIGN_CENTER);
}

void DrawSearchMsg(void)
{
    TAP_Osd_DrawRectangle(rgn, MSG_FRAME_X, MSG_FRAME_Y, MSG_FRAME_W, MSG_FRAME_H, MSG_FRAME_LINE, fineline_color);
    TAP_Osd_FillBox(rgn, MSG_FRAME_X + MSG_FRAME_LINE, MSG_FRAME_Y + MSG_FRAME_LINE, MSG_FRAME_W - 2 * MSG_FRAME_LINE,
                    MSG_FRAME_H - 2 * MSG_FRAME_LINE, titlebox_color);
    TAP_Osd_FillBox(rgn, MSG_FRAME_X + MSG_FRAME_W, MSG_FRAME_Y + MSG_SHADOW, MSG_SHADOW, MSG_FRAME_H, box_shadow);
    TAP_Osd_FillBox(rgn, MSG_FRAME_X + MSG_SHADOW, MSG_FRAME_Y + MSG_FRAME_H, MSG_FRAME_W, MSG_SHADOW, box_shadow);
    message_line(0, MSG_LINE1_Y, MSG_TEXT_RIGHT, font_red);
    message_line(1, MSG_LINE2_Y, MSG_TEXT_RIGHT, font_title);
    message_line(2, MSG_LINE3_Y, MSG_LAST_RIGHT, font_title);
    TAP_Osd_Sync();
}
