// Owner of the search results' extension records (see results.h), and what becomes of the
// results' borrowed texts when the EPG buffer releases a text block.
#include "search/results.h"

#include "epgdb/buffer.h"

SearchResultExt searchresult_ext[SEARCH_RESULTS_MAX];

// The text of the slot's valid record that starts as ev does, or null.
static char *same_start_text(int slot, const EpgEvent *ev)
{
    if (slot < 0 || slot >= SLOT_RESULT)
        return NULL;
    int count = max_Event[slot] < EVENTS_PER_SLOT ? max_Event[slot] : EVENTS_PER_SLOT;
    const EpgEvent *rec = &EPG_Buffer[slot * EVENTS_PER_SLOT];
    for (int i = 0; i < count; i++) {
        if (rec[i].start_mjd == ev->start_mjd && rec[i].start_hour == ev->start_hour &&
            rec[i].start_min == ev->start_min)
            return rec[i].text;
    }
    return NULL;
}

void ResultTextsReleased(int slot, const void *block, int size)
{
    if (block == NULL || size <= 0)
        return;
    uintptr_t from = (uintptr_t)block;
    int count = max_Event[SLOT_RESULT] < SEARCH_RESULTS_MAX ? max_Event[SLOT_RESULT] : SEARCH_RESULTS_MAX;
    EpgEvent *results = &EPG_Buffer[SLOT_RESULT * EVENTS_PER_SLOT];
    for (int r = 0; r < count; r++) {
        uintptr_t p = (uintptr_t)results[r].text;
        if (results[r].text == NULL || p < from || p - from >= (uintptr_t)size)
            continue;
        results[r].text = searchresult_ext[r].channel == slot ? same_start_text(slot, &results[r]) : NULL;
    }
}
