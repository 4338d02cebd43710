// The event search (see search.h): a word prepared into terms once, then every event from now
// on of the chosen channels tested against the window, the weekday and the terms, and the events
// that pass copied into the result channel.
//
// Sections:
//   --- Terms ---
//   --- Testing events ---
//   --- The searches ---
#include "search/search.h"

#include <string.h>

#include "epgdb/buffer.h"
#include "epgdb/lookup.h"
#include "frame/msgbox.h"
#include "frame/state.h"
#include "search/entries.h"
#include "search/results.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "text/coded.h"
#include "text/strutil.h"

// --- Terms ---

struct SearchTerm {
    char text[SEARCH_TERM_SIZE];   // folded, lower case, and coded-table reduced with coding on
    int must_occur;                // 1 must occur, 0 must not occur
};

static SearchTerm terms[SEARCH_TERMS_MAX];
static int term_count;

// Splits a word into terms: runs of "+" and "~" separate them, the last separator of a run
// giving the next term its polarity ("+" must occur, "~" must not); the first term must occur
// unless a separator stands before it. Empty terms are left out: "Krimi~" is the word Krimi,
// not a word that nothing can match. Changes terms, term_count.
static void prepare_word(const char *search_word)
{
    char folded[SEARCH_WORD_SIZE + 1];
    ReplaceStrN(folded, search_word != NULL ? search_word : "", SEARCH_WORD_SIZE);
    strlwr_self(folded);
    term_count = 0;
    int must_occur = 1;
    const char *p = folded;
    while (*p != 0 && term_count < SEARCH_TERMS_MAX) {
        for (; *p == '+' || *p == '~'; p++)
            must_occur = *p == '+';
        SearchTerm *term = &terms[term_count];
        int n = 0;
        for (; *p != 0 && *p != '+' && *p != '~'; p++) {
            if (n < SEARCH_TERM_SIZE - 1)
                term->text[n++] = *p;
        }
        term->text[n] = 0;
        // Stored texts went through the code table when coding is on: so must the terms.
        if (settings.compress_text == 1)
            UseDecTable(term->text, term->text);
        if (term->text[0] == 0)
            continue;
        term->must_occur = must_occur;
        term_count++;
    }
}

// --- Testing events ---

// The text an event is tested on: "_", the folded text, the title closed by "_", lower case.
static char test_text[1 + SEARCH_TEXT_MAX + 2];

static void build_test_text(const EpgEvent *ev)
{
    char *t = test_text;
    t[0] = '_';
    const char *plain = DCT(ev->text);
    // Title and short info end at the first '|': the long info is only folded when it is tested.
    int length = SEARCH_TEXT_MAX;
    if (settings.search_description <= 1) {
        const char *long_info = strchr(plain, '|');
        if (long_info != NULL && long_info - plain < length)
            length = (int)(long_info - plain);
    }
    ReplaceStrN(t + 1, plain, length);
    char *tilde = strstr(t, " ~ ");
    char *bar = strchr(t, '|');
    if (settings.search_description <= 0) {
        // The title only.
        if (tilde != NULL)
            *tilde = 0;
        else if (bar != NULL)
            *bar = 0;
        strcat(t, "_");
    } else if (settings.search_description == 1) {
        // Title and short info.
        if (bar != NULL)
            *bar = 0;
        if (tilde != NULL && (bar == NULL || tilde < bar))
            *tilde = '_';
        strcat(t, "_");
    } else if (tilde != NULL) {
        *tilde = '_';
    } else if (bar != NULL) {
        *bar = '_';
    } else {
        strcat(t, "_");
    }
    strlwr_self(t);
}

static int window_accepts(int minute_of_day, int window_start, int window_end)
{
    if (window_start == window_end)
        return 1;
    if (window_start < window_end)
        return minute_of_day >= window_start && minute_of_day <= window_end;
    return minute_of_day >= window_start || minute_of_day <= window_end;
}

static int weekday_accepts(int mjd, int weekdays)
{
    int day = WeekDay(mjd);
    if (weekdays >= 0 && weekdays <= 6)
        return day == weekdays;
    if (weekdays == SEARCH_DAYS_WD)
        return day <= 4;
    if (weekdays == SEARCH_DAYS_WE)
        return day >= 5;
    return 1;   // every day (the search file writes any other code as "ED" as well)
}

static int terms_accept(void)
{
    for (int i = 0; i < term_count; i++) {
        int found = strstr(test_text, terms[i].text) != NULL;
        if (found != terms[i].must_occur)
            return 0;
    }
    return 1;
}

// Whether the result list holds an event of this channel with the same start already.
static int already_found(int channel, const EpgEvent *ev)
{
    int count = max_Event[SLOT_RESULT];
    for (int r = 0; r < count && r < SEARCH_RESULTS_MAX; r++) {
        const EpgEvent *found = &EPG_Buffer[SLOT_RESULT * EVENTS_PER_SLOT + r];
        if (searchresult_ext[r].channel == channel && found->start_mjd == ev->start_mjd &&
            found->start_hour == ev->start_hour && found->start_min == ev->start_min)
            return 1;
    }
    return 0;
}

// The first record of a slot that has not ended yet (max_Event when every one has).
static int first_not_ended(int slot, int now)
{
    int count = max_Event[slot] < EVENTS_PER_SLOT ? max_Event[slot] : EVENTS_PER_SLOT;
    const EpgEvent *rec = &EPG_Buffer[slot * EVENTS_PER_SLOT];
    int i = 0;
    while (i < count && EpgEndInMin(&rec[i]) <= now)
        i++;
    return i;
}

// One pass over the channels with the prepared terms. The results name the entry `index` and
// take the offsets and window of `entry`. skip_found 1 leaves out events found before.
static void search_channels(const SearchEntry *entry, int index, int first, int last, int window_start,
                            int window_end, int weekdays, int skip_found)
{
    int now = time_mjd * MINUTES_PER_DAY_EPG + time_h * 60 + time_min;
    // The slots hold TV channels: the count of the service list only bounds them while it is TV.
    int channels = settings.buffered_channels < BUFFER_SLOTS_TV ? settings.buffered_channels : BUFFER_SLOTS_TV;
    if (_svcType == SVC_TYPE_Tv && _maxSvcNum < channels)
        channels = _maxSvcNum;
    for (int ch = first < 0 ? 0 : first; ch <= last && ch < channels; ch++) {
        int count = max_Event[ch] < EVENTS_PER_SLOT ? max_Event[ch] : EVENTS_PER_SLOT;
        for (int i = first_not_ended(ch, now); i < count; i++) {
            if (max_Event[SLOT_RESULT] >= SEARCH_RESULTS_MAX)
                return;
            const EpgEvent *ev = &EPG_Buffer[ch * EVENTS_PER_SLOT + i];
            if (!window_accepts(ev->start_hour * 60 + ev->start_min, window_start, window_end))
                continue;
            if (!weekday_accepts(ev->start_mjd, weekdays))
                continue;
            build_test_text(ev);
            if (!terms_accept())
                continue;
            if (skip_found && already_found(ch, ev))
                continue;
            int r = max_Event[SLOT_RESULT];
            CopyEPGBuf(SLOT_RESULT, r, ch, i);
            SearchResultExt *ext = &searchresult_ext[r];
            ext->channel = ch;
            ext->lead_time = entry->lead_time;
            ext->stop_add = entry->stop_add;
            ext->window_start = entry->window_start;
            ext->window_end = entry->window_end;
            ext->search_index = index;
            max_Event[SLOT_RESULT] = r + 1;
        }
        if (max_Event[SLOT_RESULT] >= SEARCH_RESULTS_MAX)
            return;
    }
}

// --- The searches ---

enum {
    WAIT_BOX_X = 61, WAIT_BOX_Y = 71, WAIT_BOX_W = 503, WAIT_BOX_H = 36,
    WAIT_TEXT_X = 204, WAIT_TEXT_Y = 76, WAIT_TEXT_RIGHT = 559,
    MSG_CLEAR_X = 130, MSG_CLEAR_Y = 250, MSG_CLEAR_W = 460, MSG_CLEAR_H = 45
};

// English, German, Finnish.
static const char *const searching_text[3] = {"Searching! Please wait ...", "Suche l\xE4uft! Bitte warten ...",
                                              "Haetaan. Odota ..."};

static const char *searching(void)
{
    return LangText(searching_text[0], searching_text[1], searching_text[2]);
}

// The message in the title box of the open views.
static void show_searching_in_view(void)
{
    TAP_Osd_FillBox(rgn, WAIT_BOX_X, WAIT_BOX_Y, WAIT_BOX_W, WAIT_BOX_H, titlebox_color);
    TAP_Osd_PutS(rgn, WAIT_TEXT_X, WAIT_TEXT_Y, WAIT_TEXT_RIGHT, searching(), font_red, titlebox_color,
                 FNT_Type_Default, FNT_Size_1926, 0, ALIGN_LEFT);
    TAP_Osd_Sync();
}

static void empty_results(void)
{
    max_Event[SLOT_RESULT] = 0;
    currEvent[SLOT_RESULT] = 0;
}

void SearchTxt(const char *search_word, int first_channel, int last_channel, int window_start, int window_end,
               int weekdays)
{
    empty_results();
    show_searching_in_view();
    prepare_word(search_word);
    search_channels(&Search[SEARCH_WORKING], SEARCH_WORKING, first_channel, last_channel, window_start, window_end,
                    weekdays, 0);
}

static int entry_selected(int mode, int selection)
{
    switch (selection) {
    case SEARCH_ALL_ENTRIES:
        return 1;
    case SEARCH_MODE_M:
    case SEARCH_MODE_P:
    case SEARCH_MODE_REC:
    case SEARCH_MODE_1XREC:
        return mode == selection;
    case SEARCH_ALL_ACTIVE:
        return mode != SEARCH_MODE_OFF;
    case SEARCH_ALL_RECORDING:
        return mode == SEARCH_MODE_REC || mode == SEARCH_MODE_1XREC;
    default:
        return 0;
    }
}

void SearchAll(int selection, int show_message)
{
    empty_results();
    int in_view = _epgShow == 1;
    if (show_message != 0) {
        if (in_view) {
            show_searching_in_view();
        } else {
            DrawMsgBox(searching());
            TAP_Osd_Sync();
        }
    }
    int count = max_Search < SEARCH_LIST_SIZE ? max_Search : SEARCH_LIST_SIZE;
    for (int e = 0; e < count && max_Event[SLOT_RESULT] < SEARCH_RESULTS_MAX; e++) {
        const SearchEntry *entry = &Search[e];
        if (!entry_selected(entry->mode, selection))
            continue;
        prepare_word(entry->word);
        search_channels(entry, e, entry->first_place - 1, entry->last_place - 1, entry->window_start,
                        entry->window_end, entry->weekdays, 1);
    }
    if (show_message != 0 && !in_view) {
        TAP_Osd_FillBox(rgn, MSG_CLEAR_X, MSG_CLEAR_Y, MSG_CLEAR_W, MSG_CLEAR_H, COLOR_None);
        TAP_Osd_Sync();
    }
}
