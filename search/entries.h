// Search entries and the search file "Diro_ROD.Search.ini": the record, the table of 200 list
// entries and the working entry. For now the table and the entries the frame calls.
#ifndef DIRO_SEARCH_ENTRIES_H
#define DIRO_SEARCH_ENTRIES_H

#include <stdint.h>

enum {
    SEARCH_WORD_SIZE = 128,
    SEARCH_LIST_SIZE = 200,     // list entries 0..199
    SEARCH_WORKING = 200,       // the working entry
    SEARCH_SLOTS = 201
};

struct SearchEntry {
    char word[SEARCH_WORD_SIZE];   // Latin-1, at most 127 characters; "+" and "~" join terms
    uint8_t first_place;           // first buffer place searched, 1-based
    uint8_t last_place;            // last buffer place searched, 1-based
    uint8_t mode;                  // 0 Off, 1 M, 2 P, 3 Rec, 4 1xRec
    int32_t lead_time;             // minutes a timer starts early, 0..600
    int32_t stop_add;              // minutes a timer runs on, 0..600
    int32_t window_start;          // time window, minutes after midnight
    int32_t window_end;
    uint8_t weekdays;              // 0..6 one day, 7 Mon-Fri, 8 Sat+Sun, 9 every day
};

extern SearchEntry Search[SEARCH_SLOTS];   // 0..199 the list, 200 the working entry
extern int max_Search;                      // entries in the list

// Reads the search file into the list.
void ReadSearchINI(void);
// Writes the list to the search file.
void SaveSearch(void);
// Copies slot source into slot destination (0..200).
void CopySearch(int destination, int source);
// Sorts the list: 1 by word, 2 by mode ascending, 3 by mode descending.
void SortSearch(int kind);
// Exchanges the entry at index with its neighbour (direction 1 next, -1 previous).
void SortManualSearch(int index, int direction);

#endif
