// Filling the EPG buffer (see fill.h): the firmware's event list, the fill of one slot with its
// backup in the scratch slot, gap filling, text building and storing, the channel check and the
// sort of the search results. Leans on epgdb/buffer and epgdb/lookup, text/ (filters and coding),
// settings/, settings/colors (the wait message) and search/results.
//
// Sections:
//   --- The firmware's events ---
//   --- Storing texts ---
//   --- The backup ---
//   --- Filling a slot ---
//   --- Skipping unchanged channels ---
//   --- Filling and refilling ---
//   --- Channel check ---
//   --- Sorting the search results ---
#include "epgdb/fill.h"

#include <string.h>

#include "epgdb/buffer.h"
#include "epgdb/lookup.h"
#include "frame/state.h"
#include "search/entries.h"
#include "search/results.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "text/coded.h"
#include "text/strutil.h"

PlatformEvent *_evtInfo;
int _eventNum;
byte *extInfo;

// --- The firmware's events ---

void GetEvent(int svcType, int svcNum)
{
    if (_evtInfo != NULL)
        TAP_MemFree(_evtInfo);
    _evtInfo = NULL;
    _eventNum = 0;
    _evtInfo = TAP_GetEvent(svcType, svcNum, &_eventNum);
    if (_evtInfo == NULL || _eventNum < 0)
        _eventNum = 0;
}

static int packed_in_min(dword packed)
{
    return (int)(packed >> 16) * MINUTES_PER_DAY_EPG + (int)((packed >> 8) & 0xFF) * 60 + (int)(packed & 0xFF);
}

// The same start and the same end time of day (the end date is not compared): the firmware
// delivered the event again.
static int is_repeat(const PlatformEvent *ev, const EpgEvent *prev)
{
    return (ev->start >> 16) == prev->start_mjd && ((ev->start >> 8) & 0xFF) == prev->start_hour &&
           (ev->start & 0xFF) == prev->start_min && ((ev->end >> 8) & 0xFF) == prev->end_hour &&
           (ev->end & 0xFF) == prev->end_min;
}

static void copy_event(EpgEvent *rec, const PlatformEvent *ev)
{
    rec->start_mjd = (word)(ev->start >> 16);
    rec->start_hour = (byte)(ev->start >> 8);
    rec->start_min = (byte)ev->start;
    rec->end_mjd = (word)(ev->end >> 16);
    rec->end_hour = (byte)(ev->end >> 8);
    rec->end_min = (byte)ev->end;
    rec->dur_hour = (byte)(ev->duration >> 8);
    rec->dur_min = (byte)ev->duration;
    rec->event_id = ev->event_id;
}

// --- Storing texts ---

// Stores the first `length` bytes of dctstr and a 0 byte in the staging store and points the
// record at them. Results: 0 stored; 1 refused (the store would pass LARGETXT_LIMIT).
static int store_text(EpgEvent *rec, int length)
{
    rec->text = largetxt_p;
    if (length < 0 || largetxt_len + length > LARGETXT_LIMIT)
        return 1;
    memcpy(largetxt_p, dctstr, (size_t)length);
    largetxt_p[length] = 0;
    largetxt_p += length + 1;
    largetxt_len += length + 1;
    return 0;
}

// Whether a fill of this slot fetches extended texts.
static int wants_ext_info(int slot)
{
    return slot < settings.ext_info_channels || (slot == SLOT_SCRATCH && settings.ext_info_channels >= 0);
}

static_assert(2 * EVENT_TITLE_SOURCE + 3 + 1 + EVENT_TEXT_CODED_PLAIN + 1 <= STRBUF_SIZE,
              "dctstr holds title, short text, '|' and the filtered long text before the cut");
static_assert(5 * (DCT_CODED_SIZE / 4 - 2) + 4 <= EVENT_TEXT_CODED_PLAIN,
              "a text EncodeTxtWithExt codes whole is never cut by the fill either");

// Builds the text of a delivered event in dctstr (title, " ~ " short info, '|' long info) and
// codes it when coding is on. Returns its stored length (coded: the words with the zero word).
// Changes dctstr, _strBuf, extInfo (freed again).
static int build_text(int slot, PlatformEvent *ev)
{
    int coded = settings.compress_text == 1;
    // Title and short text may hold the layout's separators ('|', " ~ "): they are folded away,
    // as the long text's are by ConvertByteStr.
    CopyConvertTitleStr(dctstr, ev->title, EVENT_TITLE_SOURCE);
    int title_len = (int)strlen(dctstr);
    int used = title_len;
    if (ev->short_text[0] != 0 && title_len < EVENT_SHORT_TITLE_ROOM) {
        CopyConvertTitleStr(_strBuf, ev->short_text, EVENT_TITLE_SOURCE);
        if (_strBuf[0] != 0 && stricmp_self(_strBuf, dctstr) != 0) {
            _strBuf[EVENT_SHORT_ROOM - title_len] = 0;
            strcat(dctstr, " ~ ");
            strcat(dctstr, _strBuf);
            used = (int)strlen(dctstr);
        }
    }
    if (wants_ext_info(slot)) {
        extInfo = TAP_EPG_GetExtInfo(ev);
        if (extInfo != NULL && coded) {
            // Coded straight from the firmware's text when it is not cut (nearly always): the
            // same words, without filtering it into dctstr first.
            int length = EncodeTxtWithExt(dctstr, dctstr, (const char *)extInfo, DCT_CODED_SIZE);
            if (length >= 0) {
                TAP_MemFree(extInfo);
                extInfo = NULL;
                _strBuf[0] = 0;
                return length;
            }
        }
        if (extInfo != NULL) {
            // Filtered straight behind the title and its '|' (dctstr holds the title's at most
            // 2 * 127 + 3 bytes, the '|' and the filtered text), then cut to the longest text.
            char *ext = dctstr + used + 1;
            char *ext_end =
                ConvertByteStrEnd(ext, (const char *)extInfo, coded ? EVENT_TEXT_CODED_PLAIN : EVENT_TEXT_PLAIN);
            TAP_MemFree(extInfo);
            extInfo = NULL;
            if (ext[0] != 0) {
                dctstr[used] = '|';
                used += 1 + (int)(ext_end - ext);
                if (used > EVENT_TEXT_CODED_PLAIN)
                    used = EVENT_TEXT_CODED_PLAIN;
            }
            dctstr[used] = 0;
        }
    }
    _strBuf[0] = 0;
    if (coded)
        return EncodeTxt(dctstr, dctstr, DCT_CODED_SIZE);
    if (used > EVENT_TEXT_PLAIN) {
        used = EVENT_TEXT_PLAIN;
        dctstr[used] = 0;
    }
    return used;
}

// --- The backup ---

// Set while slot 200 holds a backup whose records start in order and never end before they
// start: FillGap may then search from the first record starting at `from` and stop at the first
// starting after `to`, which finds the same record as a scan from record 0.
static int backup_ordered;

static int check_backup_order(void)
{
    const EpgEvent *b = &EPG_Buffer[SLOT_SCRATCH * EVENTS_PER_SLOT];
    int count = max_Event[SLOT_SCRATCH];
    for (int r = 0; r < count; r++) {
        if (EpgEndInMin(&b[r]) < EpgStartInMin(&b[r]))
            return 0;
        if (r > 0 && EpgStartInMin(&b[r]) < EpgStartInMin(&b[r - 1]))
            return 0;
    }
    return 1;
}

// Copies the slot into slot 200 after releasing what slot 200 held of its own.
static void take_backup(int slot)
{
    EpgEvent *scratch = &EPG_Buffer[SLOT_SCRATCH * EVENTS_PER_SLOT];
    if (scratch[0].text != NULL)
        TAP_MemFree(scratch[0].text);
    scratch[0].text = NULL;
    max_Event[SLOT_SCRATCH] = 0;
    BlockSize[SLOT_SCRATCH] = 0;
    CopyBuf(SLOT_SCRATCH, slot);
    backup_ordered = check_backup_order();
}

// Forgets the backup: its texts are borrowed (and may point into a block released by now), so
// every one of them is dropped, none freed.
static void drop_backup(void)
{
    EpgEvent *scratch = &EPG_Buffer[SLOT_SCRATCH * EVENTS_PER_SLOT];
    for (int i = 0; i < EVENTS_PER_SLOT; i++)
        scratch[i].text = NULL;
    max_Event[SLOT_SCRATCH] = 0;
    backup_ordered = 0;
}

// The first backup record starting at or after `from` (count when none); records in start order.
static int first_starting_at(const EpgEvent *b, int count, int from)
{
    int lo = 0, hi = count;
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (EpgStartInMin(&b[mid]) < from)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int FillGap(int slot, int index, int from, int to)
{
    if (slot < 0 || slot >= SLOT_SCRATCH || index < 0 || index >= EVENTS_PER_SLOT || to < from + 2)
        return 1;
    int count = max_Event[SLOT_SCRATCH];
    if (count <= 0)
        return 1;
    if (count > EVENTS_PER_SLOT)
        count = EVENTS_PER_SLOT;
    const EpgEvent *b = &EPG_Buffer[SLOT_SCRATCH * EVENTS_PER_SLOT];
    int r = backup_ordered ? first_starting_at(b, count, from) : 0;
    for (; r < count; r++) {
        int start = EpgStartInMin(&b[r]);
        if (backup_ordered && start > to)
            return 1;
        if (start >= from && EpgEndInMin(&b[r]) <= to)
            break;
    }
    if (r >= count)
        return 1;
    EpgEvent *rec = &EPG_Buffer[slot * EVENTS_PER_SLOT + index];
    const char *text = b[r].text;
    *rec = b[r];
    rec->text = NULL;
    if (text == NULL)
        return 1;
    CopyCodedStr(dctstr, text, DCT_CODED_SIZE);
    int length = settings.compress_text == 1 ? StrCodedLen(dctstr, DCT_CODED_SIZE) : (int)strlen(dctstr);
    return store_text(rec, length);
}

// --- Filling a slot ---

static int events_limit(void)
{
    int limit = settings.max_events_per_channel;
    if (limit < 0)
        return 0;
    return limit > EVENTS_PER_SLOT ? EVENTS_PER_SLOT : limit;
}

// Records the channel a slot was filled from (the firmware's record of (type, slot)).
static void mark_slot(int svcType, int slot)
{
    memset(&chInfo, 0, sizeof chInfo);
    TAP_Channel_GetInfo(svcType, slot, &chInfo);
    ChannelMark *m = &chMarkInfo[slot];
    memset(m, 0, sizeof *m);
    m->svc_type = (byte)svcType;
    m->svc_num = (word)slot;
    m->transponder = chInfo.transponder;
    m->service_id = chInfo.service_id;
    m->lcn = chInfo.lcn;
    for (int i = 0; i < CHANNEL_NAME_MARK && chInfo.name[i] != 0; i++)
        m->name[i] = chInfo.name[i];
}

// Fills the leading records from the backup, before the first delivered event. Returns the
// records stored.
static int fill_leading(int slot, int now_min, int first_start_min, int limit)
{
    if (limit <= 0 || FillGap(slot, 0, now_min - FILL_LEADING_MINUTES, first_start_min) != 0)
        return 0;
    int i = 1;
    while (i < limit && FillGap(slot, i, EpgEndInMin(&EPG_Buffer[slot * EVENTS_PER_SLOT + i - 1]), first_start_min) == 0)
        i++;
    return i;
}

// The delivered events from record i on, with repeats dropped and gaps filled from the backup.
// k is the offset of the delivered event from the record index. Returns the records in use.
static int fill_delivered(int slot, int i, int k, int limit)
{
    EpgEvent *rec = &EPG_Buffer[slot * EVENTS_PER_SLOT];
    while (i < limit && i + k < _eventNum) {
        int j = i + k;
        while (i > 0 && j < _eventNum && is_repeat(&_evtInfo[j], &rec[i - 1])) {
            k++;
            j = i + k;
        }
        if (j >= _eventNum)
            break;
        PlatformEvent *ev = &_evtInfo[j];
        int start = packed_in_min(ev->start);
        if (i > 0 && FillGap(slot, i, EpgEndInMin(&rec[i - 1]), start) == 0) {
            k--;
            i++;
            continue;
        }
        copy_event(&rec[i], ev);
        if (i > 0 && start - EpgEndInMin(&rec[i - 1]) >= FILL_HOLE_MINUTES)
            hole[slot] = 2;
        if (store_text(&rec[i], build_text(slot, ev)) != 0)
            break;
        i++;
    }
    return i;
}

// Appends backup events after the last record while each ends within FILL_TRAILING_MINUTES of
// the one before. Returns the records in use.
static int fill_trailing(int slot, int i, int limit)
{
    while (i > 0 && i < limit) {
        int end = EpgEndInMin(&EPG_Buffer[slot * EVENTS_PER_SLOT + i - 1]);
        if (FillGap(slot, i, end, end + FILL_TRAILING_MINUTES) != 0)
            break;
        i++;
    }
    return i;
}

// --- Skipping unchanged channels ---

// What a fill of a TV slot made of what: a fingerprint of everything the fill reads besides the
// slot itself (the delivered events' times, ids, titles and short texts, the settings that shape
// the texts, the channel record, and the minute while the first delivered event lies ahead), and
// the slot as the fill left it. A background refill whose fingerprint and slot are the same would
// rebuild the same slot; the long texts are not in the fingerprint (fetching them costs what a
// fill costs), so a fill older than FILL_RECHECK_MINUTES is made again in any case.
struct FillPrint {
    dword print;        // 0: none (no fill recorded, or the last one stopped early)
    int minute;         // receiver time of the fill, minutes
    const char *block;  // the slot's block, count and block size after the fill
    int count;
    int block_size;
};
static FillPrint fill_prints[BUFFER_SLOTS_TV];

// FNV-1a over bytes; strings four bytes at a time, each step followed by a shift that carries the
// high bits down (the product alone only carries low bits up). Every step is invertible for a
// given input, so texts that differ in one place never give the same fingerprint.
enum { FNV_BASIS = 2166136261u, FNV_PRIME = 16777619u };

static dword hash_bytes(dword h, const void *data, int length)
{
    const unsigned char *p = (const unsigned char *)data;
    for (int i = 0; i < length; i++)
        h = (h ^ p[i]) * FNV_PRIME;
    return h;
}

// The string in the array s of `size` bytes: its bytes up to the NUL (all of them when there is
// none). The array is read four bytes at a time, never beyond its end.
static dword hash_string(dword h, const char *s, int size)
{
    int i = 0;
    for (; i + 4 <= size; i += 4) {
        dword w;
        memcpy(&w, s + i, 4);
        if ((w - 0x01010101u) & ~w & 0x80808080u)
            break;   // a NUL among these four
        h = (h ^ w) * FNV_PRIME;
        h ^= h >> 15;
    }
    for (; i < size && s[i] != 0; i++)
        h = (h ^ (unsigned char)s[i]) * FNV_PRIME;
    return (h ^ 0xFFu) * FNV_PRIME;   // the end, so that "ab" + "c" differs from "a" + "bc"
}

static int now_in_min(void)
{
    return time_mjd * MINUTES_PER_DAY_EPG + time_h * 60 + time_min;
}

// The fingerprint of a fill's inputs for the slot from the n events in _evtInfo. Changes chInfo.
static dword inputs_print(int svcType, int slot, int n)
{
    int knobs[5] = {settings.compress_text, events_limit(), wants_ext_info(slot), n, svcType};
    dword h = hash_bytes(FNV_BASIS, knobs, (int)sizeof knobs);
    memset(&chInfo, 0, sizeof chInfo);
    TAP_Channel_GetInfo(svcType, slot, &chInfo);
    word ids[3] = {chInfo.transponder, chInfo.service_id, chInfo.lcn};
    h = hash_bytes(h, ids, (int)sizeof ids);
    h = hash_string(h, chInfo.name, (int)sizeof chInfo.name);
    dword now_packed = ((dword)time_mjd << 16) | ((dword)time_h << 8) | time_min;
    if (n > 0 && now_packed < _evtInfo[0].start) {   // the fill then reads the clock
        int minute = now_in_min();
        h = hash_bytes(h, &minute, (int)sizeof minute);
    }
    for (int i = 0; i < n; i++) {
        const PlatformEvent *ev = &_evtInfo[i];
        dword times[4] = {ev->event_id, ev->start, ev->end, ev->duration};
        h = hash_bytes(h, times, (int)sizeof times);
        h = hash_string(h, ev->title, (int)sizeof ev->title);
        h = hash_string(h, ev->short_text, (int)sizeof ev->short_text);
    }
    return h == 0 ? 1 : h;
}

static int slot_unchanged(int slot, dword print)
{
    const FillPrint *f = &fill_prints[slot];
    return f->print != 0 && f->print == print && now_in_min() - f->minute < FILL_RECHECK_MINUTES &&
           now_in_min() >= f->minute && f->block == EPG_Buffer[slot * EVENTS_PER_SLOT].text &&
           f->count == max_Event[slot] && f->block_size == BlockSize[slot];
}

static void remember_fill(int slot, dword print)
{
    FillPrint *f = &fill_prints[slot];
    f->print = print;
    f->minute = now_in_min();
    f->block = EPG_Buffer[slot * EVENTS_PER_SLOT].text;
    f->count = max_Event[slot];
    f->block_size = BlockSize[slot];
}

// --- Filling and refilling ---

// FillBuffer, or with skip_unchanged 1 nothing when the slot is a TV slot whose last fill had the
// same inputs (slot_unchanged). Results: 1 skipped, 0 otherwise.
static int fill_slot(int svcType, int svcNum, int skip_unchanged)
{
    GetEvent(svcType, svcNum);
    int n = _eventNum < EVENTS_PER_SLOT ? _eventNum : EVENTS_PER_SLOT;
    int slot = BufferSlot(svcType, svcNum);
    dword print = 0;
    if (slot < BUFFER_SLOTS_TV) {
        print = inputs_print(svcType, slot, _evtInfo != NULL ? n : 0);
        if (skip_unchanged && slot_unchanged(slot, print))
            return 1;
        fill_prints[slot].print = 0;   // recorded again only by a fill that runs to its end
    }
    if (slot == SLOT_SCRATCH) {
        max_Event[SLOT_SCRATCH] = 0;
        currEvent[SLOT_SCRATCH] = 0;
        hole[SLOT_SCRATCH] = 1;
    }
    EpgEvent *rec = &EPG_Buffer[slot * EVENTS_PER_SLOT];
    if (time_mjd < rec[0].start_mjd)
        hole[slot] = 1;
    if (n <= 0 || _evtInfo == NULL)
        return 0;

    dword now_packed = ((dword)time_mjd << 16) | ((dword)time_h << 8) | time_min;
    dword first_start = _evtInfo[0].start;
    if (now_packed < first_start) {
        int current = FindCurrentEvent(slot);
        if (max_Event[slot] - current >= n)
            return 0;   // the buffer already holds as many events from now on as offered
    }

    int with_backup = slot != SLOT_SCRATCH;
    if (with_backup)
        take_backup(slot);
    TAP_MemInfo(&heapSize, &freeHeapSize, &availHeapSize);
    if (availHeapSize <= FILL_HEAP_COMFORTABLE &&
        !(max_Event[slot] >= FILL_REFRESH_MIN_EVENTS && availHeapSize > FILL_HEAP_REFRESH_ONLY)) {
        if (with_backup)
            drop_backup();
        return 0;
    }

    largetxt_buf[0] = 0;
    largetxt_p = largetxt_buf;
    largetxt_len = 0;
    largetxt_lastmem = rec[0].text;
    hole[slot] = 0;

    int limit = events_limit();
    int i = 0, k = 0;
    if (now_packed < first_start) {
        int now_min = time_mjd * MINUTES_PER_DAY_EPG + time_h * 60 + time_min;
        i = fill_leading(slot, now_min, packed_in_min(first_start), limit);
        k = -i;
    }
    i = fill_delivered(slot, i, k, limit);
    i = fill_trailing(slot, i, limit);
    max_Event[slot] = i;

    mark_slot(svcType, slot);
    int moved = static_to_alloc(slot, largetxt_len, FILL_HEAP_RESERVE);
    if (with_backup)
        drop_backup();
    if (moved == 0 && slot < BUFFER_SLOTS_TV)
        remember_fill(slot, print);
    return 0;
}

void FillBuffer(int svcType, int svcNum)
{
    fill_slot(svcType, svcNum, 0);
}

int RefillBuffer(int svcType, int svcNum)
{
    return fill_slot(svcType, svcNum, 1);
}

// --- Channel check ---

void CheckChBuf(void)
{
    if (_svcType != SVC_TYPE_Tv)
        return;
    for (int slot = 0; slot < BUFFER_SLOTS_TV; slot++) {
        if (max_Event[slot] == 0)
            continue;
        memset(&chInfo, 0, sizeof chInfo);
        int known = TAP_Channel_GetInfo(SVC_TYPE_Tv, slot, &chInfo);
        if (!known || chInfo.service_id != chMarkInfo[slot].service_id || max_Event[slot] < 0 ||
            max_Event[slot] > EVENTS_PER_SLOT)
            DelBuf(slot);
    }
}

// --- Sorting the search results ---

enum {
    SORT_BOX_X = 61, SORT_BOX_Y = 71, SORT_BOX_W = 503, SORT_BOX_H = 36,
    SORT_TEXT_X = 204, SORT_TEXT_Y = 76, SORT_TEXT_RIGHT = 559,
    SORT_BY_START = 1, SORT_BY_CHANNEL = 2, SORT_BY_NAME = 3
};

// The channel names of the results while sorting by name: the firmware's name cut to 23 bytes
// and filtered, compared with CharCompare as the search list's words are.
static char result_names[SEARCH_RESULTS_MAX][CHANNEL_NAME_MARK + 1];

static void load_result_name(int r)
{
    char *name = result_names[r];
    name[0] = 0;
    memset(&chInfo, 0, sizeof chInfo);
    if (TAP_Channel_GetInfo(_svcType, searchresult_ext[r].channel, &chInfo)) {
        strxcpy(name, chInfo.name, CHANNEL_NAME_MARK);
        ConvertStr(name);
    }
}

// Whether result a sorts strictly before result b under the mode.
static int sorts_before(int a, int b, int mode)
{
    const EpgEvent *ra = &EPG_Buffer[SLOT_RESULT * EVENTS_PER_SLOT + a];
    const EpgEvent *rb = &EPG_Buffer[SLOT_RESULT * EVENTS_PER_SLOT + b];
    int start_a = EpgStartInMin(ra), start_b = EpgStartInMin(rb);
    int ch_a = searchresult_ext[a].channel, ch_b = searchresult_ext[b].channel;
    switch (mode) {
    case SORT_BY_START:
        return start_a < start_b || (start_a == start_b && ch_a < ch_b);
    case SORT_BY_CHANNEL:
        return ch_a < ch_b || (ch_a == ch_b && start_a < start_b);
    default: {
        int order = CharCompare(result_names[a], result_names[b]);
        return order == 2 || (order == 0 && start_a < start_b);
    }
    }
}

static void swap_results(int a, int b)
{
    CopyEPGtemp(SLOT_RESULT, a, 0);
    CopyEPGBuf(SLOT_RESULT, a, SLOT_RESULT, b);
    CopyEPGtemp(SLOT_RESULT, b, 1);
    SearchResultExt ext = searchresult_ext[a];
    searchresult_ext[a] = searchresult_ext[b];
    searchresult_ext[b] = ext;
    char name[CHANNEL_NAME_MARK + 1];
    memcpy(name, result_names[a], sizeof name);
    memcpy(result_names[a], result_names[b], sizeof name);
    memcpy(result_names[b], name, sizeof name);
}

void SortResult(int mode, int show_message)
{
    if (show_message == 1) {
        TAP_Osd_FillBox(rgn, SORT_BOX_X, SORT_BOX_Y, SORT_BOX_W, SORT_BOX_H, titlebox_color);
        TAP_Osd_PutS(rgn, SORT_TEXT_X, SORT_TEXT_Y, SORT_TEXT_RIGHT,
                     LangText("Please wait ...", "Sortiere! Bitte warten ...", "Odota ..."), font_red,
                     titlebox_color, FNT_Type_Default, FNT_Size_1926, 0, ALIGN_LEFT);
        TAP_Osd_Sync();
    }
    if (mode != SORT_BY_START && mode != SORT_BY_CHANNEL && mode != SORT_BY_NAME)
        return;
    int count = max_Event[SLOT_RESULT];
    if (count < 0)
        count = 0;
    if (count > SEARCH_RESULTS_MAX)
        count = SEARCH_RESULTS_MAX;
    for (int r = 0; r < count; r++) {
        if (mode == SORT_BY_NAME)
            load_result_name(r);
        else
            result_names[r][0] = 0;
    }
    for (int p = 0; p < count; p++) {
        int best = p;
        for (int q = p + 1; q < count; q++) {
            if (sorts_before(q, best, mode))
                best = q;
        }
        if (best != p)
            swap_results(p, best);
    }
}
