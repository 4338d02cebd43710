// The on-screen keyboard: five rows of ten character keys, a function row (Shift, Space,
// Delete, Save) and the text line, with which a search word or a timer name is typed on the
// remote control. Leans on frame/state.h (rgn, keyboard_mode), settings/ (colours, language).
//
// Example (the caller owns the text and its limit):
//   keyboard_mode = 1; keyboard_idx = 0;
//   Keyboard(1, 0, _strBuf2, 45);               // opens and draws
//   Keyboard(0, RKEY_Ok, _strBuf2, 45);         // for every key while keyboard_mode != 0
#ifndef DIRO_SEARCH_KEYBOARD_H
#define DIRO_SEARCH_KEYBOARD_H

#include <stdint.h>

#include "frame/platform/tap.h"

enum {
    KEYB_TEXT_MAX = 127,                  // longest text the keyboard edits (a search word)
    KEYB_BUF_SIZE = KEYB_TEXT_MAX + 1,    // size of strBuf_keyb and strBuf_keyb_2
    KEYB_CHAR_KEYS = 50,                  // character keys 0..49: row times 10 plus column
    KEYB_COLUMNS = 10,
    KEYB_CHAR_ROWS = 5,
    // keyboard_idx of the function row (one past the character rows)
    KEYB_SHIFT = 50, KEYB_SPACE = 52, KEYB_DELETE = 56, KEYB_SAVE = 58,
    KEYB_FUNCTION_END = 60,               // 50..59: the function row, by column
    KEYB_TEXT_LINE = 100,                 // 100..109: the text line, entered from column idx - 100
    KEYB_CURSOR_MARK = 127                // shown between the two parts of the text
};

// keyboard_mode while the keyboard is open (0 closed; the variable lives in frame/state.h).
enum { KEYB_MODE_CAPITALS = 1, KEYB_MODE_SMALL = 2 };

// Results of Keyboard.
enum {
    KEYB_STAYS_OPEN = 0,   // opened, or a key handled with the keyboard still open
    KEYB_SAVED = 1,        // closed by Save or STOP; the caller's text holds the new text
    KEYB_CANCELLED = 2,    // closed by EXIT; the caller's text is unchanged
    KEYB_NOT_OPEN = 3      // a key arrived while keyboard_mode was 0: nothing done
};

extern int32_t keyboard_idx;                 // selected key: 0..49, 50..59 function row, 100.. text line
extern char strBuf_keyb[KEYB_BUF_SIZE];      // the text left of the text cursor; after a save the whole text
extern char strBuf_keyb_2[KEYB_BUF_SIZE];    // the text right of the text cursor

// With open 1: copies text (at most max_len bytes; null counts as empty) left of the cursor,
// empties the right part and draws the whole keyboard. The caller sets keyboard_mode = 1 and
// keyboard_idx = 0 first (a keyboard_mode of 0 is taken as 1).
// With open 0: handles one remote key and redraws what it shows. Save and STOP write the text
// (both parts joined, at most max_len bytes and a NUL) into text and close; EXIT closes without
// writing. Closing sets keyboard_mode = 0 and draws nothing: the caller redraws its view.
// max_len is clamped to 0..KEYB_TEXT_MAX, so text must hold max_len + 1 bytes. The caller syncs.
// Returns KEYB_STAYS_OPEN, KEYB_SAVED, KEYB_CANCELLED or KEYB_NOT_OPEN.
// Changes keyboard_mode, keyboard_idx, strBuf_keyb, strBuf_keyb_2.
int Keyboard(int open, dword key, char *text, int max_len);

#endif
