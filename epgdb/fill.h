// Filling the EPG buffer from the firmware's EPG: fetching a channel's event list, refreshing a
// slot from it (repeats dropped, gaps filled from the slot's previous contents, texts built and
// stored coded or plain), the channel check that drops slots whose channel changed, and the sort
// of the search results. Leans on epgdb/buffer (slots, text store), epgdb/lookup, text/ (filters,
// coding), settings/ and search/results.
#ifndef DIRO_EPGDB_FILL_H
#define DIRO_EPGDB_FILL_H

#include "frame/platform/tap.h"

enum {
    FILL_HEAP_COMFORTABLE = 1984374,   // above this much free heap every fill runs
    FILL_HEAP_REFRESH_ONLY = 1262499,  // above this a slot holding 4 events or more is refreshed
    FILL_REFRESH_MIN_EVENTS = 4,
    FILL_LEADING_MINUTES = 240,        // how far before now the backup may fill in leading events
    FILL_TRAILING_MINUTES = 720,       // a trailing backup event must end within this after the last
    FILL_HOLE_MINUTES = 3,             // a gap this long between delivered events marks hole 2
    EVENT_TITLE_SOURCE = 127,          // source bytes taken of a title or short text
    EVENT_TEXT_CODED_PLAIN = 1919,     // longest plain text before coding
    EVENT_TEXT_PLAIN = 1535,           // longest text stored plain
    EVENT_SHORT_TITLE_ROOM = 1531,     // a short text is added only while the title is shorter
    EVENT_SHORT_ROOM = 1532,           // short text bytes allowed, less the title's length
    FILL_RECHECK_MINUTES = 30          // RefillBuffer rebuilds an unchanged slot after this long
};

// --- Globals of the fill ---
extern PlatformEvent *_evtInfo;   // the event array last delivered by TAP_GetEvent (heap), or null
extern int _eventNum;             // its length (0 when there is none)
extern byte *extInfo;             // the extended text being copied (heap); null between events

// Frees the previous event array, then fetches the firmware's events of the channel into
// _evtInfo and _eventNum. Changes _evtInfo, _eventNum.
void GetEvent(int svcType, int svcNum);

// Refreshes the slot that serves the channel (BufferSlot) from the firmware's events: the
// previous contents fill gaps and are kept before the first and after the last delivered event;
// texts are built as title, " ~ " short info, '|' long info and stored coded when
// settings.compress_text is 1. A slot whose block cannot be allocated ends empty. Nothing changes
// when the firmware delivers nothing, when the slot already holds as many events from now on as
// delivered, or when the heap is too low (FILL_HEAP_*).
// Changes the slot and slot 200 (reset for a scratch fill; the backup during a TV fill, dropped
// at the end), _evtInfo, _eventNum, dctstr, _strBuf, chInfo, the text store, the heap figures.
void FillBuffer(int svcType, int svcNum);

// The background's FillBuffer: the same, but nothing is done for a TV slot whose last fill
// (FillBuffer or RefillBuffer) read the same delivered events (times, ids, titles, short texts),
// the same settings and channel record, and the same minute while the first delivered event lies
// ahead, that left the slot as it still is, and that is less than FILL_RECHECK_MINUTES old (the
// long texts are only read by a fill: a change of them alone arrives with that fill).
// Results: 1 skipped (the event array is fetched all the same), 0 filled as FillBuffer.
// Changes what FillBuffer changes.
int RefillBuffer(int svcType, int svcNum);

// During a fill: looks in the backup (slot 200) for the first record, in record order, that starts
// at or after `from` and ends at or before `to` (minutes) and copies it with its text into record
// `index` of `slot`. Results: 0 stored; 1 nothing stored (slot 200 or more, index out of range,
// to < from + 2, empty backup, no such record, a record without text, or the text store full).
// Changes the record, dctstr and the text store.
int FillGap(int slot, int index, int from, int to);

// While the views show TV: empties (DelBuf) every TV slot 0..199 holding events whose channel
// is gone from the firmware's list, whose service id differs from its mark, or whose count is
// outside 0..500. Changes those slots and chInfo.
void CheckChBuf(void);

// Sorts the result channel (slot 201) together with searchresult_ext. mode 1: by start, ties by
// channel; 2: by channel, ties by start; 3: by channel name (the firmware's), ties by start; other
// modes: no change. show_message 1 first shows "Please wait ..." in the title box.
// Changes the records of slot 201, searchresult_ext, TempEPGdata, chInfo.
void SortResult(int mode, int show_message);

#endif
