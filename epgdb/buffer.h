// The EPG buffer: the program's own EPG data base of 202 channel slots of 500 event records, the
// per-slot counters and channel marks, the staging store in which a fill collects texts, and the
// one heap text block per slot. Leans on frame/platform (heap calls), frame/state (BUFFER_SLOTS_TV)
// and settings/ (settings.buffered_channels for the slot rule).
//
// Design note
// -----------
// Layouts (little-endian; the same bytes in the buffer file, epgdb/bufferfile.h):
//   EpgEvent     start_mjd u16, start_hour u8, start_min u8, end_mjd u16, end_hour u8, end_min u8,
//                dur_hour u8, dur_min u8, event_id u16, text: 12 bytes of fields and the text
//                pointer. 16 bytes on the 32-bit receiver; 24 on a 64-bit PC, where only the
//                buffer file converts (to EpgEventFile, the text as a 32-bit value).
//   ChannelMark  svc_type u8, 0, svc_num u16, transponder u16, service_id u16, lcn u16,
//                name 23 bytes + a 0 byte: 34 bytes.
//   EPG_Buffer   record i of slot s is EPG_Buffer[s * EVENTS_PER_SLOT + i].
// Times of records are minutes (MJD * 1440 + hour * 60 + minute) in every comparison; the end of
// a record is its end fields (EpgEndInMin), FindEvent alone uses start + duration.
//
// Slots: 0..199 the TV channel of that number when it is below settings.buffered_channels;
// 200 the scratch slot (radio or unbuffered channels, and the backup while a slot is refilled);
// 201 the result channel of searches. BufferSlot() is the one rule that maps a channel to a slot.
//
// Invariants between calls:
//   - Records 0 .. max_Event[s] - 1 are valid and in start order; max_Event is 0..500.
//   - A slot 0..200 that holds a text block holds it in record 0's text: that pointer alone owns
//     the block (freed through it by DelBuf or when the slot is refilled); BlockSize[s] is its
//     size (texts + 4 zero bytes). Every other non-null text of the slot points into that block,
//     below BlockSize. Records at or beyond max_Event have null texts.
//   - A slot may own a block with max_Event 0 (a fill that found nothing to keep: 4 bytes).
//   - Slot 201 never owns a block: its texts are borrowed from the slots the results came from.
//   - Slot 200 owns its block while it holds a channel of its own. While a fill of slot s runs it
//     holds the backup of s (CopyBuf (200, s)) with borrowed texts; the fill drops them (all texts
//     null, max_Event 0) before it returns, so slot 200 never keeps a borrowed pointer between
//     calls and DelBuf (200) can never free another slot's block.
//   - largetxt_lastmem is null between calls.
//
// State changes and who makes them:
//   empty  -> filled   FillBuffer (epgdb/fill) through static_to_alloc; ReadBufferFile at start-up
//   filled -> filled   FillBuffer: the old block is released by static_to_alloc just before the
//                      new one is allocated
//   any    -> empty    DelBuf (settings clear command, channel check CheckChBuf, settings save for
//                      slots no longer buffered); static_to_alloc on a failed move (no heap)
//   slot 201           the search copies records in (CopyEPGBuf); SortResult reorders them
#ifndef DIRO_EPGDB_BUFFER_H
#define DIRO_EPGDB_BUFFER_H

#include <stddef.h>
#include <stdint.h>

#include "frame/platform/tap.h"
#include "frame/state.h"

enum {
    BUFFER_SLOTS = 202,          // slots of every per-channel array
    EVENTS_PER_SLOT = 500,       // event records of one slot
    SLOT_SCRATCH = 200,          // radio / unbuffered channel, backup during a fill
    SLOT_RESULT = 201,           // search results
    LARGETXT_SIZE = 962500,      // bytes of the staging store
    LARGETXT_LIMIT = 962499,     // a text is refused when largetxt_len + its length exceeds this
    TEXT_BLOCK_SLACK = 4,        // zero bytes behind the texts of a block
    TEXT_BLOCK_MAX = 962500,     // the largest block size the buffer file accepts
    CHANNEL_NAME_MARK = 23,      // bytes of a channel name kept in a ChannelMark
    FILL_HEAP_RESERVE = 250000,  // heap left free behind a new block by a fill
    MINUTES_PER_DAY_EPG = 1440
};

// One event of the buffer. Field names and order are those of the buffer file.
struct EpgEvent {
    word start_mjd;     // start date, Modified Julian Date
    byte start_hour;    // 0..23
    byte start_min;     // 0..59
    word end_mjd;
    byte end_hour;
    byte end_min;
    byte dur_hour;      // duration, whole hours
    byte dur_min;       // duration, remaining minutes
    word event_id;      // the firmware's event identifier
    char *text;         // the stored text (coded or plain), null for none; see the design note
};
enum { EPG_EVENT_FIELDS_SIZE = 12 };   // bytes before the text pointer, as in the file
static_assert(offsetof(EpgEvent, start_hour) == 2 && offsetof(EpgEvent, end_mjd) == 4 &&
                  offsetof(EpgEvent, dur_hour) == 8 && offsetof(EpgEvent, event_id) == 10,
              "EpgEvent fields as in the buffer file");
static_assert(offsetof(EpgEvent, text) == (sizeof(char *) == 4 ? 12 : 16), "EpgEvent text field");
static_assert(sizeof(EpgEvent) == (sizeof(char *) == 4 ? 16 : 24), "EpgEvent is 16 bytes on the receiver");

// Which channel a slot was filled from.
struct ChannelMark {
    byte svc_type;      // 0 TV, 1 radio
    byte pad;           // 0
    word svc_num;       // the slot number used for the fill
    word transponder;   // from the firmware's channel record
    word service_id;
    word lcn;           // logical channel number
    char name[CHANNEL_NAME_MARK + 1];   // name cut to 23 bytes; name[23] is always 0
};
static_assert(sizeof(ChannelMark) == 34, "ChannelMark is 34 bytes");
static_assert(offsetof(ChannelMark, service_id) == 6 && offsetof(ChannelMark, name) == 10, "ChannelMark");

// --- The buffer ---
extern EpgEvent EPG_Buffer[BUFFER_SLOTS * EVENTS_PER_SLOT];   // record i of slot s at s * 500 + i
extern int max_Event[BUFFER_SLOTS];       // valid records of the slot, 0..500
extern int currEvent[BUFFER_SLOTS];       // record running now, as FindCurrentEvent last found it
extern int hole[BUFFER_SLOTS];            // 0 complete, 1 not back to today or cleared, 2 gap in a fill
extern int BlockSize[BUFFER_SLOTS];       // bytes of the slot's text block, 0 none
extern ChannelMark chMarkInfo[BUFFER_SLOTS];

// --- The text store ---
extern char largetxt_buf[LARGETXT_SIZE];  // staging store: the texts of the slot being filled
extern char *largetxt_p;                  // next free byte of largetxt_buf
extern int largetxt_len;                  // bytes of largetxt_buf in use
extern char *largetxt_lastmem;            // during a fill: the slot's previous block, else null
extern EpgEvent TempEPGdata;              // spare record for swaps
extern dword heapSize;                    // heap figures of the last TAP_MemInfo, bytes
extern dword freeHeapSize;
extern dword availHeapSize;

// Record index of slot s, or null for a slot or index out of range.
EpgEvent *EpgRecord(int slot, int index);

// The slot that serves a channel: the service number for a TV channel (type 0) below 200 and
// below settings.buffered_channels, else SLOT_SCRATCH.
int BufferSlot(int svcType, int svcNum);

// Start, end (end fields) and duration of a record in minutes.
int EpgStartInMin(const EpgEvent *e);
int EpgEndInMin(const EpgEvent *e);
int EpgDurInMin(const EpgEvent *e);

// Moves the first `length` bytes of the staging store into a new text block of length + 4 bytes
// (the last 4 zero) for the slot, and rebases the texts of records 1 .. max_Event - 1 from the
// staging store into it (texts outside the first `length` bytes become null); record 0's text
// becomes the block. Before allocating it releases largetxt_lastmem, which the caller has set to
// the slot's previous block (or null).
// Results: 0 done; 1 slot outside 0..201 or length outside 0..LARGETXT_SIZE (nothing changed);
// 2 length + reserve is not below the available heap; 3 the allocation failed. On 2 and 3 the
// slot is left empty (max_Event, currEvent and BlockSize 0, hole 1, every text null) and the
// previous block released.
// Changes: the slot's records, max_Event, currEvent, hole, BlockSize; largetxt_lastmem (null);
// heapSize, freeHeapSize, availHeapSize.
int static_to_alloc(int slot, int length, int reserve);

// Empties a slot: frees its text block (record 0's text), sets hole to 1, BlockSize, max_Event
// and currEvent to 0 and every text of its 500 records to null (times stay).
// Results: 0 done; 1 slot outside 0..200 (the result channel never owns a block).
int DelBuf(int slot);

// Copies slot src into slot dst: records 0 .. max_Event[src] - 1, the rest of dst zeroed, the
// channel mark (name cut to 23 bytes), max_Event and currEvent; hole and BlockSize stay. The
// copied texts are borrowed: dst must not own a block (the caller empties it first).
// Results: 0 done; 1 a slot outside 0..201.
int CopyBuf(int dst, int src);

// Copies one record (text borrowed). Results: 0 done; 1 a slot outside 0..201 or an index
// outside 0..499.
int CopyEPGBuf(int dst_slot, int dst_index, int src_slot, int src_index);

// mode 0: the record into TempEPGdata; mode 1: TempEPGdata into the record; other modes: nothing.
// Results: 0; 1 for a slot or index out of range.
int CopyEPGtemp(int slot, int index, int mode);

#endif
