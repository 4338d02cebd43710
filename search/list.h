// The search list view: the three fixed rows S1-S3 (a search with the working entry, a search
// with every entry, a search with the entries of one kind) above the entries of the search list,
// ten rows to a page, with the selected row's details in the status line; and the view's keys.
// Open while search_mode is 1. Leans on search/entries (the list), search/search (SearchAll),
// search/editor (the editor it opens), search/keyboard, views/window (the grid and DrawEPG).
//
// Example (the dispatch opens the view, then hands it every key):
//   search_mode = 1; cursor = 0; ListOffset = 0;
//   DrawEPG(1);                       // the frame, then SearchList()
//   Keys_SearchList(RKEY_Down);       // the next row
#ifndef DIRO_SEARCH_LIST_H
#define DIRO_SEARCH_LIST_H

#include "frame/platform/tap.h"

enum {
    SEARCH_LIST_FIXED_ROWS = 3,   // S1..S3 above the entries: list row r >= 3 is entry r - 3
    SEARCH_LIST_LINES = 10,       // rows of a page (cursor 0..9)
    SEARCH_ROW_WORKING = 0,       // S1: a search with the working entry
    SEARCH_ROW_ALL = 1,           // S2: a search with every entry
    SEARCH_ROW_KINDS = 2,         // S3: a search with the entries of settings.search_all_modes
    SEARCH_ALL_MODES_MAX = 3      // settings.search_all_modes: 0 M&P&R, 1 M, 2 P, 3 R
};

// Draws the whole view from Search, max_Search, ListOffset, cursor and
// settings.search_all_modes, after pulling the selection back onto an existing row (never beyond
// the last entry; with an empty list onto S1..S3), and syncs. Changes ListOffset, cursor and the
// working entry's time window (S1 searches at any time of day).
void SearchList(void);

// A key in the search list (search_mode 1), handed on by the key table of the views:
// UP, DOWN, <<, >> move the selection; LEFT and RIGHT (V-, V+) step S3's kinds or move the
// selected entry one place (the file is written); OK opens the editor on S1 or an entry, or
// searches with S2 and S3 (the results follow, search_mode 23); help-and-edit opens the entry in
// the editor ready to delete it; RED, GREEN, YELLOW sort the list (A-Z, -/M/P/R, R/P/M/-) and
// write the file; BLUE opens the keyboard for a new word (the editor follows); INFO shows the
// key bar; |> closes the list. Returns 0 (the key is consumed).
// Changes cursor, ListOffset, search_mode, the list and the working entry as the key says.
dword Keys_SearchList(dword key);

#endif
