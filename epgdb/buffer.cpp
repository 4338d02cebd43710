// Owner of the EPG buffer and its text store (see buffer.h for the design note): the slot rule,
// the record times in minutes, moving the staging store into a slot's text block, emptying and
// copying slots. Leans on the firmware heap (TAP_MemAlloc, TAP_MemFree, TAP_MemInfo).
#include "epgdb/buffer.h"

#include <string.h>

#include "search/results.h"
#include "settings/settings.h"

// --- The buffer ---
EpgEvent EPG_Buffer[BUFFER_SLOTS * EVENTS_PER_SLOT];
int max_Event[BUFFER_SLOTS];
int currEvent[BUFFER_SLOTS];
int hole[BUFFER_SLOTS];
int BlockSize[BUFFER_SLOTS];
ChannelMark chMarkInfo[BUFFER_SLOTS];

// --- The text store ---
char largetxt_buf[LARGETXT_SIZE];
char *largetxt_p = largetxt_buf;
int largetxt_len;
char *largetxt_lastmem;
EpgEvent TempEPGdata;
dword heapSize;
dword freeHeapSize;
dword availHeapSize;

static int slot_ok(int slot)
{
    return slot >= 0 && slot < BUFFER_SLOTS;
}

static int index_ok(int index)
{
    return index >= 0 && index < EVENTS_PER_SLOT;
}

// A count as it may be used to index a slot: 0..500.
static int clamped_count(int count)
{
    if (count < 0)
        return 0;
    return count > EVENTS_PER_SLOT ? EVENTS_PER_SLOT : count;
}

EpgEvent *EpgRecord(int slot, int index)
{
    if (!slot_ok(slot) || !index_ok(index))
        return NULL;
    return &EPG_Buffer[slot * EVENTS_PER_SLOT + index];
}

int BufferSlot(int svcType, int svcNum)
{
    if (svcType != SVC_TYPE_Tv || svcNum < 0 || svcNum >= BUFFER_SLOTS_TV || svcNum >= settings.buffered_channels)
        return SLOT_SCRATCH;
    return svcNum;
}

int EpgStartInMin(const EpgEvent *e)
{
    return e->start_mjd * MINUTES_PER_DAY_EPG + e->start_hour * 60 + e->start_min;
}

int EpgEndInMin(const EpgEvent *e)
{
    return e->end_mjd * MINUTES_PER_DAY_EPG + e->end_hour * 60 + e->end_min;
}

int EpgDurInMin(const EpgEvent *e)
{
    return e->dur_hour * 60 + e->dur_min;
}

// --- Text blocks ---

static void set_texts_null(int slot)
{
    EpgEvent *rec = &EPG_Buffer[slot * EVENTS_PER_SLOT];
    for (int i = 0; i < EVENTS_PER_SLOT; i++)
        rec[i].text = NULL;
}

static void release_lastmem(void)
{
    if (largetxt_lastmem != NULL)
        TAP_MemFree(largetxt_lastmem);
    largetxt_lastmem = NULL;
}

// The slot after a failed move: nothing kept, the previous block released. Record 0's text
// points into the staging store here, never at a block, so it is dropped, not freed.
static void empty_after_failed_move(int slot)
{
    release_lastmem();
    set_texts_null(slot);
    max_Event[slot] = 0;
    currEvent[slot] = 0;
    BlockSize[slot] = 0;
    hole[slot] = 1;
}

int static_to_alloc(int slot, int length, int reserve)
{
    if (!slot_ok(slot) || length < 0 || length > LARGETXT_SIZE || reserve < 0)
        return 1;
    // The search results may borrow texts of the previous block: they follow the move.
    const void *previous = largetxt_lastmem;
    int previous_size = BlockSize[slot];
    TAP_MemInfo(&heapSize, &freeHeapSize, &availHeapSize);
    if ((dword)length + (dword)reserve >= availHeapSize) {
        empty_after_failed_move(slot);
        ResultTextsReleased(slot, previous, previous_size);
        return 2;
    }
    release_lastmem();
    char *block = (char *)TAP_MemAlloc((dword)length + TEXT_BLOCK_SLACK);
    if (block == NULL) {
        empty_after_failed_move(slot);
        ResultTextsReleased(slot, previous, previous_size);
        return 3;
    }
    memcpy(block, largetxt_buf, (size_t)length);
    memset(block + length, 0, TEXT_BLOCK_SLACK);

    EpgEvent *rec = &EPG_Buffer[slot * EVENTS_PER_SLOT];
    int count = clamped_count(max_Event[slot]);
    uintptr_t staging = (uintptr_t)largetxt_buf;
    for (int i = 1; i < EVENTS_PER_SLOT; i++) {
        uintptr_t p = (uintptr_t)rec[i].text;
        if (i < count && rec[i].text != NULL && p >= staging && p - staging < (uintptr_t)length)
            rec[i].text = block + (p - staging);
        else
            rec[i].text = NULL;
    }
    rec[0].text = block;
    BlockSize[slot] = length + TEXT_BLOCK_SLACK;
    ResultTextsReleased(slot, previous, previous_size);
    return 0;
}

int DelBuf(int slot)
{
    if (slot < 0 || slot > SLOT_SCRATCH)
        return 1;
    EpgEvent *rec = &EPG_Buffer[slot * EVENTS_PER_SLOT];
    const void *block = rec[0].text;
    int block_size = BlockSize[slot];
    if (rec[0].text != NULL)
        TAP_MemFree(rec[0].text);
    set_texts_null(slot);
    hole[slot] = 1;
    BlockSize[slot] = 0;
    max_Event[slot] = 0;
    currEvent[slot] = 0;
    ResultTextsReleased(slot, block, block_size);
    return 0;
}

// --- Copies ---

int CopyBuf(int dst, int src)
{
    if (!slot_ok(dst) || !slot_ok(src))
        return 1;
    if (dst == src)
        return 0;
    int count = clamped_count(max_Event[src]);
    EpgEvent *to = &EPG_Buffer[dst * EVENTS_PER_SLOT];
    const EpgEvent *from = &EPG_Buffer[src * EVENTS_PER_SLOT];
    memcpy(to, from, (size_t)count * sizeof(EpgEvent));
    memset(to + count, 0, (size_t)(EVENTS_PER_SLOT - count) * sizeof(EpgEvent));
    chMarkInfo[dst] = chMarkInfo[src];
    chMarkInfo[dst].pad = 0;
    chMarkInfo[dst].name[CHANNEL_NAME_MARK] = 0;
    max_Event[dst] = count;
    currEvent[dst] = currEvent[src];
    return 0;
}

int CopyEPGBuf(int dst_slot, int dst_index, int src_slot, int src_index)
{
    EpgEvent *to = EpgRecord(dst_slot, dst_index);
    const EpgEvent *from = EpgRecord(src_slot, src_index);
    if (to == NULL || from == NULL)
        return 1;
    *to = *from;
    return 0;
}

int CopyEPGtemp(int slot, int index, int mode)
{
    EpgEvent *rec = EpgRecord(slot, index);
    if (rec == NULL)
        return 1;
    if (mode == 0)
        TempEPGdata = *rec;
    else if (mode == 1)
        *rec = TempEPGdata;
    return 0;
}
