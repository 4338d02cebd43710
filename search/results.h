// The search results' extension records: one SearchResultExt per event found, parallel to the
// result channel (slot 201 of the EPG buffer, epgdb/buffer.h), which holds the events themselves.
// Filled by the event search; sorted together with the result channel by SortResult (epgdb/fill.h).
#ifndef DIRO_SEARCH_RESULTS_H
#define DIRO_SEARCH_RESULTS_H

#include <stddef.h>
#include <stdint.h>

enum {
    SEARCH_RESULTS_MAX = 500   // results a search keeps: the records of one buffer slot
};

// What a result carries besides its event record. Six signed 32-bit words, 24 bytes.
struct SearchResultExt {
    int32_t channel;         // buffer place (service number from 0) the event was found on
    int32_t lead_time;       // minutes, from the search entry that found it
    int32_t stop_add;        // minutes, from the search entry
    int32_t window_start;    // minutes after midnight, from the search entry
    int32_t window_end;      // minutes after midnight, from the search entry
    int32_t search_index;    // index of that entry in the search list (set by the full search only)
};
static_assert(sizeof(SearchResultExt) == 24, "SearchResultExt is 24 bytes");
static_assert(offsetof(SearchResultExt, channel) == 0, "the channel is the first field");

// Entry i belongs to record i of the result channel; max_Event[201] of them are valid.
extern SearchResultExt searchresult_ext[SEARCH_RESULTS_MAX];

// The result channel borrows its texts from the slots the events were found in. When a slot's
// text block (block, of size bytes) is released, the results whose text lay in it take the text
// of the slot's record with the same start (the slot was refilled) or none, so that a result
// list never reads a freed block. Called by the EPG buffer wherever it frees a block.
// Changes the texts of the result channel.
void ResultTextsReleased(int slot, const void *block, int size);

#endif
