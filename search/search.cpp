// The event search (see search.h). Every word of a search is prepared into terms once; then one
// pass over the channels and their events from now on prepares each event's test text once (the
// text decoded, folded and in lower case) and finds the first word, in list order, whose filters
// and terms accept it. The events found are kept in list order as the searches one word after
// the other would list them, and copied into the result channel at the end.
//
// Why one pass gives the same results as a pass per word: a word after the first that accepts an
// event would only list it again, which a search over all entries skips, or list nothing once
// 500 results stand. Of the events of one channel with the same start, only the first in the
// order of the lists (word, then record) is listed. So the results are, of the pairs (first word
// accepting the event, event), the first per channel and start, in the order (word, channel,
// record), the first 500 of them.
//
// Sections:
//   --- Words ---
//   --- Test texts ---
//   --- Testing events ---
//   --- Collecting the events found ---
//   --- The pass over the channels ---
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

// --- Words ---

enum {
    // The terms of a word, one after the other, each with its NUL: the folded word has at most
    // SEARCH_WORD_SIZE characters, and a NUL follows each term.
    SEARCH_TERMS_TEXT = SEARCH_WORD_SIZE + SEARCH_TERMS_MAX + 1,
    SEARCH_QUERIES_MAX = SEARCH_LIST_SIZE + 1,  // every list entry, or the working entry
    SEARCH_HEAD_SIZE = 256                      // a coded text's head decoded first: 255 characters
};

// One word of a search, prepared, with its filters.
struct SearchQuery {
    char terms[SEARCH_TERMS_TEXT];            // folded, lower case, coded-table reduced with coding on
    unsigned char term_at[SEARCH_TERMS_MAX];  // where term i begins in terms
    unsigned short must_occur;                // bit i set: term i must occur; clear: must not
    int term_count;
    int entry;                                // index in Search of the entry the results name
    int first_channel, last_channel;          // buffer places from 0
    int window_start, window_end;             // minutes after midnight
    int weekdays;                             // code of search/entries.h
};

static SearchQuery queries[SEARCH_QUERIES_MAX];
static int query_count;

// Splits a word into the query's terms: runs of "+" and "~" separate them, the last separator of
// a run giving the next term its polarity ("+" must occur, "~" must not); the first term must
// occur unless a separator stands before it. Empty terms are left out: "Krimi~" is the word Krimi,
// not a word that nothing can match. A term keeps at most SEARCH_TERM_SIZE - 1 characters.
static void prepare_terms(SearchQuery *q, const char *search_word)
{
    char folded[SEARCH_WORD_SIZE + 1];
    ReplaceStrN(folded, search_word != NULL ? search_word : "", SEARCH_WORD_SIZE);
    strlwr_self(folded);
    q->term_count = 0;
    q->must_occur = 0;
    int used = 0;
    int must_occur = 1;
    const char *p = folded;
    while (*p != 0 && q->term_count < SEARCH_TERMS_MAX) {
        for (; *p == '+' || *p == '~'; p++)
            must_occur = *p == '+';
        char *term = q->terms + used;
        int n = 0;
        for (; *p != 0 && *p != '+' && *p != '~'; p++) {
            if (n < SEARCH_TERM_SIZE - 1)
                term[n++] = *p;
        }
        term[n] = 0;
        // Stored texts went through the code table when coding is on: so must the terms.
        if (settings.compress_text == 1)
            UseDecTable(term, term);
        if (term[0] == 0)
            continue;
        q->term_at[q->term_count] = (unsigned char)used;
        if (must_occur)
            q->must_occur |= (unsigned short)(1u << q->term_count);
        q->term_count++;
        used += (int)strlen(term) + 1;
    }
}

// Appends a query for the word and its filters; the results it finds name the entry `entry`.
// Changes queries, query_count.
static void add_query(const char *search_word, int entry, int first, int last, int window_start, int window_end,
                      int weekdays)
{
    if (query_count >= SEARCH_QUERIES_MAX)
        return;
    SearchQuery *q = &queries[query_count++];
    prepare_terms(q, search_word);
    q->entry = entry;
    q->first_channel = first < 0 ? 0 : first;
    q->last_channel = last;
    q->window_start = window_start;
    q->window_end = window_end;
    q->weekdays = weekdays;
}

// --- Test texts ---

// What the search makes of each byte of a text: folded and in lower case (text/strutil.h), for the
// language of this search.
static unsigned char fold_lower[256];

// The text an event is tested on: "_", the folded text, the title closed by "_", lower case.
static char test_text[1 + SEARCH_TEXT_MAX + 2];

// Folds the length bytes at src into dst through fold_lower; dst may be src. Four bytes a turn,
// read before they are written.
static void fold_text(char *dst, const unsigned char *src, int length)
{
    const unsigned char *table = fold_lower;
    int i = 0;
    for (; i + 4 <= length; i += 4) {
        unsigned char a = table[src[i]], b = table[src[i + 1]], c = table[src[i + 2]], d = table[src[i + 3]];
        dst[i] = (char)a;
        dst[i + 1] = (char)b;
        dst[i + 2] = (char)c;
        dst[i + 3] = (char)d;
    }
    for (; i < length; i++)
        dst[i] = (char)table[src[i]];
}

// The test text of a record. The text is decoded, folded and lower-cased in one go (folding
// touches neither ' ', '~' nor '|', so the title's end is found in the folded text as well).
// Changes test_text.
static void build_test_text(const EpgEvent *ev)
{
    char *t = test_text;
    t[0] = '_';
    char *body = t + 1;
    int length = 0;
    if (!CheckPointerRange(ev->text)) {
        const char *plain = ev->text;
        if (settings.compress_text == 1) {
            // At most the characters tested: the words of SEARCH_TEXT_MAX characters. Where only
            // title and short info are tested, the head of the text first: it mostly holds them.
            int decoded = 0;
            if (settings.search_description <= 1) {
                DecodeTxt(body, ev->text, SEARCH_HEAD_SIZE);
                decoded = strchr(body, '|') != NULL || strlen(body) < SEARCH_HEAD_SIZE - 1;
            }
            if (!decoded)
                DecodeTxt(body, ev->text, SEARCH_TEXT_MAX + 1);
            plain = body;
        }
        // Title and short info end at the first '|': the long info is only read when it is tested.
        const char *long_info = settings.search_description <= 1 ? strchr(plain, '|') : NULL;
        size_t plain_length = long_info != NULL ? (size_t)(long_info - plain) : strlen(plain);
        length = plain_length < SEARCH_TEXT_MAX ? (int)plain_length : SEARCH_TEXT_MAX;
        fold_text(body, (const unsigned char *)plain, length);
    }
    body[length] = 0;
    int end = 1 + length;
    char *tilde = strstr(t, " ~ ");
    char *bar = strchr(t, '|');
    if (settings.search_description <= 0) {
        // The title only.
        if (tilde != NULL)
            end = (int)(tilde - t);
        else if (bar != NULL)
            end = (int)(bar - t);
        t[end++] = '_';
        t[end] = 0;
    } else if (settings.search_description == 1) {
        // Title and short info (the text ends before any '|').
        if (tilde != NULL)
            *tilde = '_';
        t[end++] = '_';
        t[end] = 0;
    } else if (tilde != NULL) {
        *tilde = '_';
    } else if (bar != NULL) {
        *bar = '_';
    } else {
        t[end++] = '_';
        t[end] = 0;
    }
}

// --- Testing events ---

static int window_accepts(int minute_of_day, int window_start, int window_end)
{
    if (window_start == window_end)
        return 1;
    if (window_start < window_end)
        return minute_of_day >= window_start && minute_of_day <= window_end;
    return minute_of_day >= window_start || minute_of_day <= window_end;
}

static int weekday_accepts(int day, int weekdays)
{
    if (weekdays >= 0 && weekdays <= 6)
        return day == weekdays;
    if (weekdays == SEARCH_DAYS_WD)
        return day <= 4;
    if (weekdays == SEARCH_DAYS_WE)
        return day >= 5;
    return 1;   // every day (the search file writes any other code as "ED" as well)
}

static int terms_accept(const SearchQuery *q)
{
    for (int i = 0; i < q->term_count; i++) {
        int found = strstr(test_text, q->terms + q->term_at[i]) != NULL;
        if (found != (int)((q->must_occur >> i) & 1u))
            return 0;
    }
    return 1;
}

// The first of the queries active[0 .. count - 1] (in list order) that accepts the record; -1 when
// none does. The test text is built only when a query's window and weekday let the record pass.
// Changes test_text.
static int first_query_accepting(const EpgEvent *ev, const int *active, int count)
{
    int minute_of_day = ev->start_hour * 60 + ev->start_min;
    int day = WeekDay(ev->start_mjd);
    int text_ready = 0;
    for (int a = 0; a < count; a++) {
        const SearchQuery *q = &queries[active[a]];
        if (!window_accepts(minute_of_day, q->window_start, q->window_end) || !weekday_accepts(day, q->weekdays))
            continue;
        if (!text_ready) {
            build_test_text(ev);
            text_ready = 1;
        }
        if (terms_accept(q))
            return active[a];
    }
    return -1;
}

// --- Collecting the events found ---

// An event found: the query that found it first, its channel and record. Kept in the order of
// the results (query, channel, record), at most SEARCH_RESULTS_MAX of them.
struct SearchFind {
    short query;
    short channel;
    short record;
};
static SearchFind finds[SEARCH_RESULTS_MAX];
static int find_count;

static int same_start(const EpgEvent *a, const EpgEvent *b)
{
    return a->start_mjd == b->start_mjd && a->start_hour == b->start_hour && a->start_min == b->start_min;
}

// Takes the event (channel, record) that query q found first, the events arriving in the order
// (channel, record). skip_found 1: of the events of a channel with the same start only the first
// in result order is kept. Changes finds, find_count.
static void keep_find(int q, int channel, int record, int skip_found)
{
    // Everything kept came earlier in (channel, record): the event sorts after the last one
    // unless its query comes earlier.
    if (find_count >= SEARCH_RESULTS_MAX && q >= finds[SEARCH_RESULTS_MAX - 1].query)
        return;
    if (skip_found) {
        const EpgEvent *ev = &EPG_Buffer[channel * EVENTS_PER_SLOT + record];
        for (int f = 0; f < find_count; f++) {
            if (finds[f].channel != channel ||
                !same_start(&EPG_Buffer[channel * EVENTS_PER_SLOT + finds[f].record], ev))
                continue;
            if (finds[f].query <= q)
                return;   // listed before it
            memmove(&finds[f], &finds[f + 1], (size_t)(find_count - f - 1) * sizeof finds[0]);
            find_count--;
            break;   // at most one per channel and start is kept
        }
    }
    if (find_count >= SEARCH_RESULTS_MAX)
        find_count--;   // the last one falls out
    int at = find_count;
    while (at > 0 && finds[at - 1].query > q)
        at--;
    memmove(&finds[at + 1], &finds[at], (size_t)(find_count - at) * sizeof finds[0]);
    finds[at].query = (short)q;
    finds[at].channel = (short)channel;
    finds[at].record = (short)record;
    find_count++;
}

// The queries before this one may still add results: all while fewer than 500 are kept, else
// those before the last one's.
static int queries_still_open(void)
{
    return find_count < SEARCH_RESULTS_MAX ? query_count : finds[SEARCH_RESULTS_MAX - 1].query;
}

// --- The pass over the channels ---

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

// Searches with the queries and fills the result channel. skip_found 1 lists every event once.
// Changes the result channel, searchresult_ext, finds, test_text, fold_lower.
static void run_queries(int skip_found)
{
    FoldLowerTable(fold_lower);
    find_count = 0;
    int now = time_mjd * MINUTES_PER_DAY_EPG + time_h * 60 + time_min;
    // The slots hold TV channels: the count of the service list only bounds them while it is TV.
    int channels = settings.buffered_channels < BUFFER_SLOTS_TV ? settings.buffered_channels : BUFFER_SLOTS_TV;
    if (_svcType == SVC_TYPE_Tv && _maxSvcNum < channels)
        channels = _maxSvcNum;
    int active[SEARCH_QUERIES_MAX];
    for (int ch = 0; ch < channels; ch++) {
        int open = queries_still_open();
        if (open <= 0)
            break;
        int count = 0;
        for (int q = 0; q < open; q++) {
            if (ch >= queries[q].first_channel && ch <= queries[q].last_channel)
                active[count++] = q;
        }
        if (count == 0)
            continue;
        int records = max_Event[ch] < EVENTS_PER_SLOT ? max_Event[ch] : EVENTS_PER_SLOT;
        for (int i = first_not_ended(ch, now); i < records && count > 0; i++) {
            int q = first_query_accepting(&EPG_Buffer[ch * EVENTS_PER_SLOT + i], active, count);
            if (q < 0)
                continue;
            keep_find(q, ch, i, skip_found);
            // With 500 kept, only queries before the last one's may add any.
            open = queries_still_open();
            while (count > 0 && active[count - 1] >= open)
                count--;
        }
    }
    for (int r = 0; r < find_count; r++) {
        const SearchFind *f = &finds[r];
        const SearchEntry *entry = &Search[queries[f->query].entry];
        CopyEPGBuf(SLOT_RESULT, r, f->channel, f->record);
        SearchResultExt *ext = &searchresult_ext[r];
        ext->channel = f->channel;
        ext->lead_time = entry->lead_time;
        ext->stop_add = entry->stop_add;
        ext->window_start = entry->window_start;
        ext->window_end = entry->window_end;
        ext->search_index = queries[f->query].entry;
    }
    max_Event[SLOT_RESULT] = find_count;
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
    query_count = 0;
    add_query(search_word, SEARCH_WORKING, first_channel, last_channel, window_start, window_end, weekdays);
    run_queries(0);
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
    query_count = 0;
    for (int e = 0; e < count; e++) {
        const SearchEntry *entry = &Search[e];
        if (entry_selected(entry->mode, selection))
            add_query(entry->word, e, entry->first_place - 1, entry->last_place - 1, entry->window_start,
                      entry->window_end, entry->weekdays);
    }
    run_queries(1);
    if (show_message != 0 && !in_view) {
        TAP_Osd_FillBox(rgn, MSG_CLEAR_X, MSG_CLEAR_Y, MSG_CLEAR_W, MSG_CLEAR_H, COLOR_None);
        TAP_Osd_Sync();
    }
}
