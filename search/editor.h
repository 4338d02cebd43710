// The search editor: one search entry as ten rows (the word and its cut, the channels, the
// weekdays, the time window, the mode, the timer offsets, save or delete), a one-off search with
// it, and saving it into the list or deleting it; and the editor's keys. It always edits the
// working entry (slot 200 of Search); search_idx says where the entry belongs. Open while
// search_mode is 2. Leans on search/entries, search/search (SearchTxt), search/keyboard,
// search/values (EditValue, LCN), search/textfield (fitting texts), views/window (DrawEPG).
//
// The word is made from a source text, _strBuf2 (the word the entry had when it was opened, or
// what was typed on the keyboard), less Cut_Start characters at its start and Cut_End at its
// end: "Krimi: Der Fall" with Cut_End 10 gives the word "Krimi".
//
// Example:
//   Search_OpenEditor(3, 0, 1);          // list entry 3 in the editor, on its first row
//   Keys_SearchEditor(RKEY_Right);       // its row's value one step up
#ifndef DIRO_SEARCH_EDITOR_H
#define DIRO_SEARCH_EDITOR_H

#include "frame/platform/tap.h"

enum {
    SEARCH_EDITOR_ROWS = 10,        // rows 0..9 (shown as 1..10)
    SEARCH_EDITOR_ROW_WORD = 0,
    SEARCH_EDITOR_ROW_FIRST = 1,
    SEARCH_EDITOR_ROW_LAST = 2,
    SEARCH_EDITOR_ROW_DAYS = 3,
    SEARCH_EDITOR_ROW_FROM = 4,     // the time window, moved by hours with << and >>
    SEARCH_EDITOR_ROW_TO = 5,
    SEARCH_EDITOR_ROW_MODE = 6,
    SEARCH_EDITOR_ROW_LEAD = 7,
    SEARCH_EDITOR_ROW_STOP = 8,
    SEARCH_EDITOR_ROW_SAVE = 9,     // save or delete
    SEARCH_KEYBOARD_LIMIT = 45      // characters a word typed on the keyboard may have
};

// What search_mode (frame/state.h) shows.
enum {
    SEARCH_SHOWS_LIST = 1,
    SEARCH_SHOWS_EDITOR = 2,
    SEARCH_SHOWS_RESULTS = 3,         // the results of the editor's search
    SEARCH_SHOWS_LIST_RESULTS = 23    // the results of a search from the list (S2, S3)
};

extern unsigned char search_idx;    // 200 while a new entry is edited, else the list entry edited
extern unsigned char save_or_del;   // what the last row does: 1 save, 0 delete
extern int Cut_Start;               // characters cut off the start of the source text _strBuf2
extern int Cut_End;                 // characters cut off its end

// Draws the editor for the working entry (entry is always 200; other values are taken as 200).
// step 0 draws it; a non-zero step first changes the selected row's value: the cut at the word's
// start, the first and last channel (wrapping within the channels the search can reach), the
// weekdays, the window's start and end (in minutes, 60 for an hour, faster while Key_TimeCount
// grows: tens from 3 held seconds, half hours from 5, wrapping round the clock), the mode, the
// lead and follow-up times (stopping at 0 and 600), save or delete. The working entry's word is
// rebuilt from the source text and the cuts every time; a source text with fewer than 2
// characters other than spaces becomes "???". Syncs.
// Changes Search[200], Cut_Start, Cut_End, save_or_del, _strBuf2 (see above), cursor (kept on
// rows 0..9), ListOffset (0), chInfo.
void Search_Menu(int entry, int step);

// Opens the editor: list entry `entry` (0..199) is copied into the working entry, its word
// becoming the source text with no cuts; entry 200 keeps the working entry, its source text and
// cuts (a new entry). The list's position is remembered for the way back. row: the row selected
// (0..9); save_or_delete: what the last row offers (1 save, 0 delete). Draws the window.
// Changes search_idx, save_or_del, Search[200], _strBuf2, Cut_Start, Cut_End, search_mode (2),
// cursor, ListOffset, ListOffset_store2, cursor_store2.
void Search_OpenEditor(int entry, int row, int save_or_delete);

// Shows the results of the search just made as a result list: search_mode becomes `mode` (3 from
// the editor, 23 from the list), the selection goes to the first result, the window is drawn, and
// with two results or more the key bar of the sorting keys.
void Search_ShowResults(int mode);

// A key in the search editor (search_mode 2), handed on by the key table of the views:
// UP and DOWN the previous or next row (round the ends); LEFT and RIGHT (V-, V+) step the row's
// value; << and >> on the word's row cut one character more or less at its end, on the window's
// rows move it by an hour; BLUE on the word's row opens the keyboard on the word; OK on rows 0..5
// searches with the entry (the results follow, search_mode 3), on the last row saves the entry
// into the list (a full list refuses a new one with "The Searchlist is full!", which the next key
// removes) or deletes it, writes the file and returns to the list where it was.
// Returns 0 (the key is consumed). Changes what Search_Menu and the actions change.
dword Keys_SearchEditor(dword key);

#endif
